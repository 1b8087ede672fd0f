// motionhost edit, driven by a test module whose editor answers OK or
// Cancel as the environment says (tests/host/module/EditTestModule.cpp).
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace host_test;

class EditTest : public HostTest {
protected:
    // The editor answers `action`; what it was given lands in m_Dir/given.
    SRun Edit(const std::string& path, const std::string& action, const std::string& env = "")
    {
        return Run("--module " + Q(kEditTestModule) + " edit " + Q(path), "",
                   env + " env EDIT_TEST_ACTION=" + action + " EDIT_TEST_RECORD=" + Q(Given()));
    }
    std::string Given() const { return m_Dir + "/given"; }
};

// OK replaces the file with the editor's text, keeps its permissions and
// leaves no temporary file; the editor was given the file's text.
TEST_F(EditTest, OkReplacesTheFileKeepingItsPermissions)
{
    const std::string path = Make("motion.pvt", "Execute = 0\r\n", 0640);
    struct stat before = {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const SRun run = Edit(path, "ok");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile(Given()), "Execute = 0\r\n");
    EXPECT_EQ(ReadFile(path), "Execute = 0\r\nEdited = 1\n");
    EXPECT_EQ(ModeOf(path), 0640u);
    struct stat after = {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new file renamed into place, not rewritten
    EXPECT_EQ(List(m_Work), std::vector<std::string>{"motion.pvt"});

    // Through a symbolic link: the file it points to is replaced, the link stays.
    ASSERT_EQ(symlink(path.c_str(), (m_Work + "/link.pvt").c_str()), 0);
    EXPECT_EQ(Edit(m_Work + "/link.pvt", "ok").status, 0);
    EXPECT_EQ(ReadFile(path), "Execute = 0\r\nEdited = 1\nEdited = 1\n");
    struct stat link = {};
    ASSERT_EQ(lstat((m_Work + "/link.pvt").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
}

// OK keeps the comment block at the head of the file (the editor writes its
// text anew, without comments); comments further down are not kept.
TEST_F(EditTest, OkKeepsTheLeadingCommentBlock)
{
    const struct {
        std::string before, after;
    } cases[] = {
        {"# a motion\r\n\n#   for axis 2\nExecute = 0\n# gone\n", "# a motion\r\n\n#   for axis 2\n"},
        {"\xEF\xBB\xBF# marked\nExecute = 0\n", "# marked\n"},
        {"\n\nExecute = 0\n", ""},
        {"# only a comment", "# only a comment\n"},
    };
    for (const auto& c : cases) {
        const std::string path = Make("motion.pvt", c.before);
        ASSERT_EQ(Edit(path, "ok").status, 0) << c.before;
        EXPECT_EQ(ReadFile(path), c.after + c.before + "Edited = 1\n") << c.before;
    }
}

// A file that does not exist: the editor starts from the module's default
// text; OK creates the file with a new file's permissions, Cancel creates
// nothing.
TEST_F(EditTest, ANewFileStartsFromTheDefaultTextAndIsCreatedOnOkOnly)
{
    const std::string path = m_Work + "/new.pvt";
    const SRun cancel = Edit(path, "cancel");
    EXPECT_EQ(cancel.status, 1);
    EXPECT_EQ(cancel.err, "motionhost: cancelled: " + N(path) + " not created\n");
    EXPECT_EQ(ReadFile(Given()), "Default = 1\n");
    EXPECT_TRUE(List(m_Work).empty());

    const SRun ok = Edit(path, "ok");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ReadFile(path), "Default = 1\nEdited = 1\n");
    EXPECT_EQ(ModeOf(path), 0666u & ~CurrentUmask());
    EXPECT_EQ(List(m_Work), std::vector<std::string>{"new.pvt"});
}

// A file that changed on disk while the editor was open (another editor
// saved it) is not replaced, which would lose that change: the edited text
// goes beside it, into a name not yet taken; status 1.
TEST_F(EditTest, AFileChangedWhileEditedIsNotReplaced)
{
    const std::string path = Make("motion.pvt", "Execute = 0\n");
    for (const std::string& beside : {path + ".edited", path + ".edited.2"}) {
        const std::string before = ReadFile(path);
        const SRun run = Edit(path, "ok", "EDIT_TEST_MEANWHILE=" + Q(path));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "motionhost: " + N(path) + " changed on disk while it was edited: not replaced; the "
                                                      "edited text is in " + N(beside) + "\n");
        EXPECT_EQ(ReadFile(path), before + "Changed = 1\n");
        EXPECT_EQ(ReadFile(beside), before + "Edited = 1\n");
    }
    EXPECT_EQ(List(m_Work), (std::vector<std::string>{"motion.pvt", "motion.pvt.edited", "motion.pvt.edited.2"}));
}

// Cancel leaves the file byte for byte, the same file (inode and time).
TEST_F(EditTest, CancelLeavesTheFileAsItWas)
{
    const std::string bytes = ReadFile(kExamples + "multi-point.pvt");
    const std::string path = Make("motion.pvt", bytes, 0600);
    struct stat before = {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const SRun run = Edit(path, "cancel");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "motionhost: cancelled: " + N(path) + " left as it was\n");
    EXPECT_EQ(ReadFile(path), bytes);
    struct stat after = {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(List(m_Work), std::vector<std::string>{"motion.pvt"});
}

// What would keep the result from being saved is said in one line before
// the editor opens (it is never given a text); so is a missing display.
TEST_F(EditTest, ProblemsAreOneLineWithStatus2BeforeTheEditorOpens)
{
    const std::string path = Make("motion.pvt", "Execute = 0\n");
    const struct {
        std::string args, env, err;
    } cases[] = {
        {Q(path), kNoDisplay,
         "motionhost: no display available: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen\n"},
        {Q(path), "env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711",
         "motionhost: cannot open the X display \":4711\": start an X server there, or set QT_QPA_PLATFORM=offscreen\n"},
        {"-", "", "motionhost: edit needs a file name: standard input cannot be written back\n"},
        {Q(m_Work), "", "motionhost: cannot write " + N(m_Work) + ": is a directory\n"},
        {Q(m_Dir + "/absent/new.pvt"), "",
         "motionhost: cannot write " + N(m_Dir + "/absent/new.pvt") + ": the folder " + N(m_Dir + "/absent") + " does not exist\n"},
        {Q(path) + " --no-such-option", "", "motionhost: the following argument was not expected: --no-such-option (see motionhost help edit)\n"},
    };
    for (const auto& c : cases) {
        const SRun run = Run("--module " + Q(kEditTestModule) + " edit " + c.args, "",
                             c.env + " EDIT_TEST_ACTION=ok EDIT_TEST_RECORD=" + Q(Given()));
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_EQ(run.err, c.err) << c.args;
        EXPECT_FALSE(Exists(Given())) << c.args;
        EXPECT_EQ(ReadFile(path), "Execute = 0\n");
        EXPECT_EQ(List(m_Work), std::vector<std::string>{"motion.pvt"});
    }
    // A module without the editor is found out before the editor would open.
    const SRun none = Run("--module " + Q(kBin + "/libplatform.so") + " edit " + Q(path));
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err, "motionhost: the module " + N(kBin + "/libplatform.so") + " does not export \"EditMotionSequence\"\n");
}

// A read-only file would be replaced by the rename all the same: refused
// before the editor opens. The superuser may write any file, so the host
// then runs as the unprivileged user "nobody" (uid 65534), from copies of
// the programs in the test's own folder: the checkout may lie where nobody
// cannot enter (a home folder).
TEST_F(EditTest, AReadOnlyFileIsRefused)
{
    const std::string path = Make("motion.pvt", "Execute = 0\n", 0444);
    std::string env, host = kHost, module = kEditTestModule;
    if (geteuid() == 0) {
        const std::string bin = m_Dir + "/bin";
        ASSERT_EQ(std::system(("mkdir -p " + Q(bin) + " && cp " + Q(kHost) + " " + Q(kBin + "/libplatform.so") + " " +
                               Q(kBin + "/libdkcore.so") + " " + Q(kEditTestModule) + " " + Q(bin))
                                  .c_str()),
                  0);
        host = bin + "/motionhost";
        module = bin + "/" + kEditTestModule.substr(kEditTestModule.rfind('/') + 1);
        for (const std::string& dir : {m_Dir, m_Work, bin})
            ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
        env = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    }
    const SRun run = RunProgram(host, "--module " + Q(module) + " edit " + Q(path), "</dev/null",
                                env + " env EDIT_TEST_ACTION=ok EDIT_TEST_RECORD=" + Q(Given()));
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(run.err, "motionhost: cannot write " + N(path) + ": the file is read-only\n");
    EXPECT_FALSE(Exists(Given()));
    EXPECT_EQ(ReadFile(path), "Execute = 0\n");
}

}  // namespace
