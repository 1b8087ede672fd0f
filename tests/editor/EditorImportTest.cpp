// "Import From File" as a user meets it: the file chosen through the file
// dialog (the scripted prompt answers it), good files, odd files and files
// that cannot be read.
#include "EditorTestUtil.h"

#include <unistd.h>

namespace {

using namespace edtest;

// Three points in internal units, shown in internal units.
const std::string kThreePoints = MotionText("0, 100, 200", "0, 10, 20", "0, 1, 0");
const std::vector<SPoint> kThree = {{0, 0, 0}, {100, 10, 1}, {200, 20, 0}};
const std::vector<SPoint> kStartOnly = {{0, 0, 0}};

class EditorImportTest : public EditorTest {
protected:
    // Opens the editor on `text`, selects point 2, and imports `path`
    // through the file dialog; checks what every import that got past the
    // file dialog ends with.
    void Import(const std::string& text, const std::string& path)
    {
        m_Prompt.m_FileAnswers = {path};
        Run(text, [&](CEditorDlg& d) {
            Click(Item(d, E::IDC_NEXT));
            Click(Item(d, E::IDC_NEXT));
            Click(Item(d, E::IDC_IMPORT));
            EXPECT_EQ(0, d.GetCurrentPoint()) << path;
            EXPECT_EQ(0, d.GetGraph().GetSelectedPoint()) << path;
            EXPECT_EQ(d.GetData().m_Time.PrintValue(0).Std(), TextOf(d, E::IDC_TIME)) << path;
            EXPECT_EQ(d.GetData().m_Time.GetValuesCount() > 1, Enabled(d, E::IDC_NEXT)) << path;
            EXPECT_FALSE(Enabled(d, E::IDC_PREVIOUS)) << path;
        });
        ASSERT_EQ(1u, m_Prompt.m_FileRequests.size());
        const CPrompt::CFileRequest& r = m_Prompt.m_FileRequests.back();
        EXPECT_EQ("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", r.m_strFilter.Std());
        EXPECT_EQ(OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, r.m_dwFlags);
        EXPECT_EQ(4100u, r.m_dwFlags);
        EXPECT_EQ("", r.m_strDefExt.Std());
        EXPECT_EQ("", r.m_strInitialPath.Std());
        m_Prompt.m_FileRequests.clear();
    }
};

TEST_F(EditorImportTest, PointLinesReplaceTheTable)
{
    struct SCase {
        const char* name;
        std::string content;
        std::vector<SPoint> table;
        std::string units = "IU IU IU";  // time, position, velocity
    };
    // The line rules themselves are the reader's (tests/pvt/ImportReaderTest.cpp);
    // these show the dialog's wiring: the file dialog's file, the columns'
    // display units, the start point, exact values, an empty file.
    const SCase cases[] = {
        {"the file's own start line is skipped", "0 0 0\n1 2 10\n3 4 20\n", {{0, 0, 0}, {10, 1, 2}, {20, 3, 4}}},
        {"decimal commas, in the display units", "1,5 0,5 2,5\n", {{0, 0, 0}, {2500, 3000, 1}}, "s rot rot/s"},
        {"an empty file", "", kStartOnly},
        {"a time of 1.001 s is 1001 sampling periods", "0.5005 0 1.001\n", {{0, 0, 0}, {1001, 1001, 0}},
         "s rot rot/s"},
    };
    int n = 0;
    for (const SCase& c : cases) {
        char t[8], p[8], v[8];
        ASSERT_EQ(3, std::sscanf(c.units.c_str(), "%7s %7s %7s", t, p, v));
        const std::string path = WriteTempFile("import-" + std::to_string(n++) + ".txt", c.content);
        Import(MotionText("0, 100, 200", "0, 10, 20", "0, 1, 0", t, p, v), path);
        EXPECT_EQ(c.table, m_LastTable) << c.name;
        EXPECT_TRUE(m_Prompt.m_Messages.empty()) << c.name;
        std::remove(path.c_str());
    }
}

TEST_F(EditorImportTest, TheExampleFileAndAMillionPoints)
{
    // In the default text's units (s, rot, rpm): the same table as
    // `motionhost import examples/import-points.txt` prints (host tests).
    Import(MotionText("0", "0", "0", "s", "rot", "rpm"), std::string(VELKOR_SOURCE_DIR) + "/examples/import-points.txt");
    const std::vector<SPoint> example = {{0, 0, 0},       {50, 500, 1},    {100, 2000, 2},
                                         {150, 5000, 3}, {200, 8000, 2}, {250, 9000, 0}};
    EXPECT_EQ(example, m_LastTable);

    std::string big;
    big.reserve(20 * 1000000);
    for (int i = 1; i <= 1000000; ++i)
        big += std::to_string(i % 1000) + " 0 " + std::to_string(i) + "\n";
    const std::string path = WriteTempFile("import-million.txt", big);
    big.clear();
    big.shrink_to_fit();
    Import(kThreePoints, path);
    ASSERT_EQ(1000001u, m_LastTable.size());
    EXPECT_EQ((SPoint{1000000, 0, 0}), m_LastTable.back());
    EXPECT_EQ((SPoint{999, 999, 0}), m_LastTable[999]);
    std::remove(path.c_str());
}

TEST_F(EditorImportTest, AFileThatCannotBeReadIsReportedAndThePointsBeforeTheErrorStay)
{
    const std::string folder = std::string(VELKOR_BUILD_DIR);
    const std::string gone = folder + "/editor-test-removed-before-opening.txt";
    std::remove(gone.c_str());
    struct SCase {
        const char* name;
        std::string path;
        std::string message;
        std::vector<SPoint> table;
    };
    const SCase cases[] = {
        {"removed between the dialog and the open", gone,
         "Cannot open \"" + gone + "\": there is no such file.", kThree},
        {"a folder", folder, "", kThree},
        {"a read error at the first byte", "/proc/self/mem", "Cannot read \"/proc/self/mem\": input/output error.",
         kStartOnly},
    };
    for (const SCase& c : cases) {
        m_Prompt.m_Messages.clear();
        Import(kThreePoints, c.path);
        EXPECT_EQ(c.table, m_LastTable) << c.name;
        ASSERT_EQ(1u, m_Prompt.m_Messages.size()) << c.name;
        if (!c.message.empty()) {
            EXPECT_EQ(c.message, m_Prompt.m_Messages[0].text) << c.name;
        } else {
            EXPECT_NE(std::string::npos, m_Prompt.m_Messages[0].text.find(c.path)) << c.name;
        }
        EXPECT_EQ(MB_OK, m_Prompt.m_Messages[0].type & MB_TYPEMASK) << c.name;
    }
}

TEST_F(EditorImportTest, ACancelledFileDialogChangesNothing)
{
    m_Prompt.m_FileAnswers = {std::nullopt};
    Run(kThreePoints, [&](CEditorDlg& d) {
        Click(Item(d, E::IDC_NEXT));
        Click(Item(d, E::IDC_NEXT));
        TypeInto(d, E::IDC_POSITION, "77");  // typed, not applied
        Click(Item(d, E::IDC_IMPORT));
        EXPECT_EQ(2, d.GetCurrentPoint());
        EXPECT_EQ("77", TextOf(d, E::IDC_POSITION));  // not even refreshed
    });
    EXPECT_EQ(kThree, m_LastTable);
    EXPECT_EQ(1u, m_Prompt.m_FileRequests.size());
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
}

}  // namespace
