// CInputFile: a whole input text from a file or standard input, or one line
// that says why not, with the size limit tried at small sizes.
#include "host/InputFile.h"

#include "tests/TestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

std::string Str(const CString& s) { return std::string(s.View()); }
std::string N(const std::string& path) { return "\"" + path + "\""; }

class InputFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(m_Dir.empty()); }

    std::string File(const std::string& name, const std::string& bytes) { return m_Temp.File(name, bytes); }

    std::string Fifo()
    {
        const std::string path = m_Dir + "/fifo";
        mkfifo(path.c_str(), 0600);
        return path;
    }

    testutil::CTempDir m_Temp{"inputfile-test"};
    std::string m_Dir = m_Temp.Path();
};

TEST_F(InputFileTest, ReadsWholeFilesUpToTheLimit)
{
    const std::string text("ATIME = 0, 1\n\0\xff end", 19);
    const struct {
        std::string path;
        std::int64_t limit;
        std::string text;    // when read
        std::string error;   // otherwise
    } cases[] = {
        {File("text", text), 19, text, ""},
        {File("empty", ""), 0, "", ""},
        {File("one-over", text), 18, "", "cannot read " + N(m_Dir + "/one-over") + ": more than 18 bytes, the limit for an input text"},
        {File("kib", std::string(2049, 'x')), 2048, "", "cannot read " + N(m_Dir + "/kib") + ": more than 2 KiB, the limit for an input text"},
        // Only a regular file is read by name: a device may never end, a
        // named pipe never be written to (and is not waited for).
        {"/dev/zero", 3 << 20, "", "cannot read \"/dev/zero\": it is a device, not a regular file"},
        {"/dev/null", 1, "", "cannot read \"/dev/null\": it is a device, not a regular file"},
        {Fifo(), 1, "", "cannot read " + N(m_Dir + "/fifo") + ": it is a named pipe, not a regular file (give - and redirect "
                         "standard input from it)"},
        {m_Dir, 100, "", "cannot read " + N(m_Dir) + ": is a directory"},
        {m_Dir + "/absent", 100, "", "cannot read " + N(m_Dir + "/absent") + ": no such file or directory"},
        {"", 100, "", "cannot read \"\": no such file or directory"},
    };
    for (const auto& c : cases) {
        CInputFile input(c.path, c.limit);
        CString read = "stale";
        EXPECT_EQ(c.error, Str(input.Read(read))) << c.path;
        EXPECT_EQ(c.text, Str(read)) << c.path;
    }
}

TEST_F(InputFileTest, OpenReportsBeforeReadingAndReadRepeatsIt)
{
    CInputFile input(m_Dir);
    const std::string message = "cannot read " + N(m_Dir) + ": is a directory";
    EXPECT_EQ(message, Str(input.Open()));
    EXPECT_EQ(message, Str(input.Open()));
    CString read;
    EXPECT_EQ(message, Str(input.Read(read)));
    EXPECT_EQ("standard input", CInputFile("-").GetName());
    EXPECT_EQ(N(m_Dir), input.GetName());
}

TEST_F(InputFileTest, StandardInput)
{
    const std::string text = "Execute = 0\n";
    const int saved = dup(STDIN_FILENO);
    ASSERT_GE(saved, 0);
    const auto redirect = [&](const std::string& path) {
        const int fd = open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0) << path;
        ASSERT_EQ(dup2(fd, STDIN_FILENO), STDIN_FILENO);
        close(fd);
    };
    const struct {
        const char* what;
        std::function<void()> prepare;
        std::int64_t limit;
        std::string text;
        std::string error;
    } cases[] = {
        {"a file", [&] { redirect(File("in", text)); }, 100, text, ""},
        {"a file beyond the limit", [&] { redirect(File("in", text)); }, 11, "",
         "cannot read standard input: more than 11 bytes, the limit for an input text"},
        {"the rest of a file read from before",
         [&] {
             redirect(File("in", "xx" + text));
             char skip[2];
             ASSERT_EQ(read(STDIN_FILENO, skip, 2), 2);
         },
         12, text, ""},
        {"a directory", [&] { redirect(m_Dir); }, 100, "", "cannot read standard input: is a directory"},
        {"closed", [&] { close(STDIN_FILENO); }, 100, "", "cannot read standard input: it is closed"},
    };
    for (const auto& c : cases) {
        c.prepare();
        CInputFile input("-", c.limit);
        CString read;
        EXPECT_EQ(c.error, Str(input.Read(read))) << c.what;
        EXPECT_EQ(c.text, Str(read)) << c.what;
    }
    ASSERT_EQ(dup2(saved, STDIN_FILENO), STDIN_FILENO);
    close(saved);
}

TEST(InputFile, DescribeSize)
{
    const struct {
        std::int64_t bytes;
        const char* text;
    } cases[] = {{std::int64_t{1} << 30, "1 GiB"}, {3 << 20, "3 MiB"}, {1536, "1536 bytes"}, {1024, "1 KiB"},
                 {1, "1 byte"}, {0, "0 bytes"}, {(std::int64_t{1} << 30) + 1024, "1048577 KiB"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.text, CInputFile::DescribeSize(c.bytes)) << c.bytes;
}

}  // namespace
