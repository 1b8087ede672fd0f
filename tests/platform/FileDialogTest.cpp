// CFileDialog over the prompt, and CException::ReportError telling the user
// what went wrong: what the prompt was asked and what came back.
#include "DialogTestUtil.h"
#include "ScriptedPrompt.h"
#include "TestDialogs.h"

#include "platform/File.h"
#include "platform/FileDialog.h"
#include "platform/FileException.h"
#include "platform/ModuleResources.h"
#include "platform/UserException.h"
#include "platform/WinApp.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace dlgtest;

constexpr char kImportFilter[] = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr DWORD kImportFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;

const bool g_anchor = true;

TEST(CFileDialogTest, TheRequestReachesThePromptAsGiven)
{
    static_assert(kImportFlags == 4100);
    CScriptedPrompt prompt;
    prompt.m_FileAnswers = {std::string("/data/run 1/points.txt")};
    CFileDialog dlg(TRUE, nullptr, nullptr, kImportFlags, kImportFilter);
    EXPECT_EQ(IDOK, dlg.DoModal());
    ASSERT_EQ(1u, prompt.m_FileRequests.size());
    const CPrompt::CFileRequest& r = prompt.m_FileRequests[0];
    EXPECT_EQ(kImportFilter, r.m_strFilter.Std());
    EXPECT_EQ(4100u, r.m_dwFlags);
    EXPECT_EQ("", r.m_strDefExt.Std());
    EXPECT_EQ("", r.m_strInitialPath.Std());
    EXPECT_EQ("", r.m_strTitle.Std());
    EXPECT_EQ(1, r.m_nFilterIndex);
    EXPECT_EQ(nullptr, prompt.m_FileOwners[0]);  // no dialog runs
    EXPECT_EQ("/data/run 1/points.txt", dlg.GetPathName().Std());
    EXPECT_EQ("points.txt", dlg.GetFileName().Std());
    EXPECT_EQ("txt", dlg.GetFileExt().Std());

    // The defaults of the other arguments.
    CFileDialog plain(TRUE, "pvt", "/data/old.pvt");
    plain.DoModal();
    ASSERT_EQ(2u, prompt.m_FileRequests.size());
    EXPECT_EQ(static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), prompt.m_FileRequests[1].m_dwFlags);
    EXPECT_EQ("pvt", prompt.m_FileRequests[1].m_strDefExt.Std());
    EXPECT_EQ("/data/old.pvt", prompt.m_FileRequests[1].m_strInitialPath.Std());
    EXPECT_EQ("", prompt.m_FileRequests[1].m_strFilter.Std());
}

TEST(CFileDialogTest, CancelGivesIdCancelAndKeepsThePreviousChoice)
{
    CScriptedPrompt prompt;
    CFileDialog dlg(TRUE, nullptr, nullptr, kImportFlags, kImportFilter);
    prompt.m_FileAnswers = {std::nullopt};
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ("", dlg.GetPathName().Std());
    EXPECT_EQ("", dlg.GetFileName().Std());

    prompt.m_FileAnswers = {std::string("/tmp/a.txt"), std::nullopt, std::string()};
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(IDCANCEL, dlg.DoModal());  // a prompt that confirms no path at all
    EXPECT_EQ("/tmp/a.txt", dlg.GetPathName().Std());
    EXPECT_EQ(4u, prompt.m_FileRequests.size());
}

TEST(CFileDialogTest, FileNameAndExtensionOfThePath)
{
    struct Row {
        const char* path;
        const char* name;
        const char* ext;
    };
    const Row rows[] = {
        {"/home/ann/points.txt", "points.txt", "txt"},
        {"points.csv", "points.csv", "csv"},
        {"/home/ann/README", "README", ""},
        {"/home/ann.d/README", "README", ""},  // a dot in a folder is not an extension
        {"/home/ann/archive.tar.gz", "archive.tar.gz", "gz"},
        {"/home/ann/dir/", "", ""},
    };
    CScriptedPrompt prompt;
    for (const Row& r : rows) {
        prompt.m_FileAnswers = {std::string(r.path)};
        CFileDialog dlg(TRUE);
        ASSERT_EQ(IDOK, dlg.DoModal()) << r.path;
        EXPECT_EQ(r.path, dlg.GetPathName().Std());
        EXPECT_EQ(r.name, dlg.GetFileName().Std()) << r.path;
        EXPECT_EQ(r.ext, dlg.GetFileExt().Std()) << r.path;
    }
}

TEST(CFileDialogTest, TheOwnerIsTheGivenWindowElseTheInnermostModalDialog)
{
    CTestDialogResources resources;
    CScriptedPrompt prompt;
    prompt.m_FileAnswers = {std::string("/tmp/x.txt"), std::string("/tmp/y.txt")};
    CTestDlg outer;
    CNestedDlg* given = nullptr;
    prompt.OnNextModal([&](CDialog* d) {
        CFileDialog fromModal(TRUE, nullptr, nullptr, kImportFlags, kImportFilter);
        EXPECT_EQ(IDOK, fromModal.DoModal());
        CNestedDlg other(d);
        given = &other;
        ASSERT_TRUE(other.Create(d));
        CFileDialog fromGiven(TRUE, nullptr, nullptr, kImportFlags, kImportFilter, &other);
        EXPECT_EQ(IDOK, fromGiven.DoModal());
        other.DestroyWindow();
        d->EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, outer.DoModal());
    ASSERT_EQ(2u, prompt.m_FileOwners.size());
    EXPECT_EQ(&outer, prompt.m_FileOwners[0]);
    EXPECT_EQ(given, prompt.m_FileOwners[1]);
}

TEST(CFileDialogTest, ASaveDialogIsRefusedWithAMessage)
{
    CScriptedPrompt prompt;
    prompt.m_FileAnswers = {std::string("/tmp/out.txt")};
    CFileDialog dlg(FALSE, "txt", "out.txt");
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(prompt.m_FileRequests.empty());
    ASSERT_EQ(1u, prompt.m_Messages.size());
    EXPECT_EQ("A file cannot be chosen for saving in this program.", prompt.m_Messages[0].text);
    EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, prompt.m_Messages[0].type);
    EXPECT_EQ("", dlg.GetPathName().Std());
}

// ---------------------------------------------------------------- ReportError

// An exception that has no message of its own.
class CSilentException : public CException {
public:
    CString GetMessage() const override { return CString(); }
};

TEST(CExceptionReportTest, TheMessageBoxShowsTheExceptionsMessageAndGivesItsAnswer)
{
    CScriptedPrompt prompt;
    prompt.m_MessageAnswers = {IDOK, IDCANCEL};
    const CFileException notFound(CFileException::fileNotFound, ENOENT, "/home/ann/points.txt");
    EXPECT_EQ(IDOK, notFound.ReportError());
    const CFileException io(CFileException::hardIO, EIO, "/mnt/stick/points.txt");
    EXPECT_EQ(IDCANCEL, io.ReportError(MB_OKCANCEL | MB_ICONSTOP, 0));
    ASSERT_EQ(2u, prompt.m_Messages.size());
    EXPECT_EQ(notFound.GetMessage().Std(), prompt.m_Messages[0].text);
    EXPECT_NE(std::string::npos, prompt.m_Messages[0].text.find("/home/ann/points.txt"));
    EXPECT_NE(std::string::npos, prompt.m_Messages[0].text.find("no such file"));
    EXPECT_EQ(MB_OK, prompt.m_Messages[0].type);
    EXPECT_EQ(AfxGetAppName(), prompt.m_Messages[0].caption);
    EXPECT_EQ(io.GetMessage().Std(), prompt.m_Messages[1].text);
    EXPECT_EQ(MB_OKCANCEL | MB_ICONSTOP, prompt.m_Messages[1].type);
}

TEST(CExceptionReportTest, WithoutAMessageTheStringResourceOrAFallbackIsShown)
{
    constexpr UINT kId = 59101, kMissing = 59102;
    CModuleResources resources("platform-test-report", &g_anchor);
    resources.AddString(kId, "The points could not be read.");
    CScriptedPrompt prompt;
    const CSilentException silent;
    silent.ReportError(MB_OK, kId);
    silent.ReportError(MB_OK, kMissing);
    silent.ReportError();
    CUserException user;  // a message of its own wins over the resource
    user.ReportError(MB_OK, kId);
    const std::vector<std::string> want = {"The points could not be read.", "No error message is available.",
                                           "No error message is available.", "The operation was stopped."};
    std::vector<std::string> got;
    for (const auto& m : prompt.m_Messages)
        got.push_back(m.text);
    EXPECT_EQ(want, got);
}

TEST(CExceptionReportTest, AFileThatCannotBeOpenedIsReportedAndDeletedAsTheImportDoes)
{
    CScriptedPrompt prompt;
    const std::string path = "/tmp/velkor-no-such-dir/points.txt";
    int answer = -1;
    try {
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        ADD_FAILURE() << "opened " << path;
    } catch (CException* e) {
        answer = e->ReportError(MB_OK, 0);
        e->Delete();
    }
    EXPECT_EQ(IDOK, answer);
    ASSERT_EQ(1u, prompt.m_Messages.size());
    EXPECT_EQ("Cannot open \"" + path + "\": there is no such file.", prompt.m_Messages[0].text);
}

}  // namespace
