// CAtomicFile: a file is replaced whole or not at all, with its permissions;
// a kill between the temporary file and the rename leaves the old file, for
// the class and for every command that writes a file.
#include "host/AtomicFile.h"

#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace host_test;

std::string Str(const CString& s) { return std::string(s.View()); }

class AtomicFileTest : public HostTest {};

TEST_F(AtomicFileTest, ReplacesWholeFilesKeepingPermissions)
{
    const std::string old = Make("kept.txt", "old bytes, longer than the new ones", 0640);
    EXPECT_EQ(Str(CAtomicFile::Replace(old, "new")), "");
    EXPECT_EQ(ReadFile(old), "new");
    EXPECT_EQ(ModeOf(old), 0640u);

    const std::string fresh = m_Work + "/fresh.txt";
    EXPECT_EQ(Str(CAtomicFile::Replace(fresh, std::string("a\0b", 3))), "");
    EXPECT_EQ(ReadFile(fresh), std::string("a\0b", 3));
    EXPECT_EQ(ModeOf(fresh), 0666u & ~CurrentUmask());
    EXPECT_EQ(List(m_Work), (std::vector<std::string>{"fresh.txt", "kept.txt"}));

    // A relative name: the temporary file goes into the current folder.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(m_Work.c_str()), 0);
    const CString relative = CAtomicFile::Replace("kept.txt", "relative");
    ASSERT_EQ(chdir(here), 0);
    EXPECT_EQ(Str(relative), "");
    EXPECT_EQ(ReadFile(old), "relative");
}

TEST_F(AtomicFileTest, TargetsThatCannotBeReplacedAreOneLineAndLeaveNothing)
{
    Make("file", "x");
    ASSERT_EQ(symlink((m_Work + "/nowhere").c_str(), (m_Work + "/dangling").c_str()), 0);
    const struct {
        std::string path, error;
    } cases[] = {
        {"", "cannot write \"\": no file name given"},
        {m_Work, "cannot write " + N(m_Work) + ": is a directory"},
        {"/dev/null", "cannot write \"/dev/null\": not a regular file"},
        {m_Dir + "/absent/x", "cannot write " + N(m_Dir + "/absent/x") + ": the folder " + N(m_Dir + "/absent") + " does not exist"},
        {m_Work + "/file/x", "cannot write " + N(m_Work + "/file/x") + ": not a directory"},
        {m_Work + "/dangling", "cannot write " + N(m_Work + "/dangling") + ": it is a symbolic link to a file that does not exist"},
    };
    for (const auto& c : cases) {
        CAtomicFile file(c.path);
        EXPECT_EQ(Str(file.Open()), c.error) << c.path;
        EXPECT_EQ(Str(file.Check()), c.error) << c.path;
        EXPECT_EQ(file.GetTempPath(), "") << c.path;
    }
    EXPECT_EQ(List(m_Work), (std::vector<std::string>{"dangling", "file"}));
}

// Until Commit nothing changes; without it (Discard, or the object's end)
// the temporary file goes and the old file stays.
TEST_F(AtomicFileTest, AnUncommittedFileLeavesTheOldOne)
{
    const std::string path = Make("kept.txt", "old");
    {
        CAtomicFile file(path);
        ASSERT_EQ(Str(file.Open()), "");
        ASSERT_EQ(Str(file.Write("new", 3)), "");
        EXPECT_EQ(ReadFile(file.GetTempPath()), "new");
        EXPECT_EQ(ReadFile(path), "old");
        EXPECT_EQ(List(m_Work).size(), 2u);
    }
    EXPECT_EQ(List(m_Work), std::vector<std::string>{"kept.txt"});
    CAtomicFile file(path);
    ASSERT_EQ(Str(file.Open()), "");
    file.Discard();
    EXPECT_EQ(Str(file.Commit()), "cannot write " + N(path) + ": the file is not open");
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(List(m_Work), std::vector<std::string>{"kept.txt"});
}

// The process killed after the temporary file is complete, before the
// rename: the old file is whole, the new bytes are only in the temporary file.
TEST_F(AtomicFileTest, AKillBeforeTheRenameLeavesTheOldFile)
{
    const std::string path = Make("kept.txt", "old");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv(CAtomicFile::kKillBeforeRenameVariable, "1", 1);
        (void)CAtomicFile::Replace(path, "new");
        _exit(0);  // not reached: the kill comes first
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(ReadFile(path), "old");
    const std::vector<std::string> names = List(m_Work);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind(".kept.txt.", 0), 0u);
    EXPECT_EQ(ReadFile(m_Work + "/" + names[0]), "new");
}

// The same for each command that writes a file, run as a user runs it.
TEST_F(AtomicFileTest, EveryCommandKilledBeforeTheRenameLeavesTheOldFile)
{
    // In the default units (s, rot, rpm), which the example points file uses.
    const std::string motion = "ATIME = 0, 10\nTPOS = 0, 20\nTSPD = 0, 0\nExecute = 0\n";
    const std::string kill = std::string(CAtomicFile::kKillBeforeRenameVariable) + "=1";
    const struct {
        std::string args, name;
    } cases[] = {
        {"import " + Q(kExamples + "import-points.txt") + " --into %", "motion.pvt"},
        {"--module " + Q(kEditTestModule) + " edit %", "motion.pvt"},
        {"preview " + Q(kExamples + "multi-point.pvt") + " --csv %", "old.csv"},
        {"preview " + Q(kExamples + "multi-point.pvt") + " --png %", "old.png"},
    };
    for (const auto& c : cases) {
        std::system(("rm -rf '" + m_Work + "'/* '" + m_Work + "'/.[!.]*").c_str());
        const std::string path = Make(c.name, motion, 0640);
        std::string args = c.args;
        args.replace(args.find('%'), 1, Q(path));
        const SRun run = Run(args, "", kill + " EDIT_TEST_ACTION=ok");
        EXPECT_EQ(run.status, -SIGKILL) << args << "\n" << run.err;
        EXPECT_EQ(ReadFile(path), motion) << args;
        EXPECT_EQ(ModeOf(path), 0640u) << args;
        const std::vector<std::string> names = List(m_Work);
        ASSERT_EQ(names.size(), 2u) << args;
        EXPECT_EQ(names[0].rfind("." + c.name + ".", 0), 0u) << args;
        EXPECT_NE(ReadFile(m_Work + "/" + names[0]), motion) << args;  // the new bytes were complete, not renamed

        // Without the kill the same command replaces the file.
        std::system(("rm -f '" + m_Work + "'/.[!.]*").c_str());
        EXPECT_EQ(Run(args, "", "EDIT_TEST_ACTION=ok").status, 0) << args;
        EXPECT_NE(ReadFile(path), motion) << args;
        EXPECT_EQ(ModeOf(path), 0640u) << args;
        EXPECT_EQ(List(m_Work), std::vector<std::string>{c.name}) << args;
    }
}

}  // namespace
