// motionhost as a hostile or careless user meets it: standard descriptors
// closed, outputs that name inputs, interruptions while an output is being
// written, names at the length limit, outputs that fail part way, a window
// system that cannot start. Nothing is ever written into the wrong file,
// and nothing is left half written.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace host_test;

class RobustnessTest : public HostTest {
protected:
    // Whether a name in the work folder starts with `prefix`.
    bool Holds(const std::string& prefix)
    {
        for (const std::string& name : List(m_Work))
            if (name.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    // A table of 10^6 samples: its preview takes a while.
    std::string BigTable()
    {
        std::string t = "0", p = "0", v = "0";
        for (int i = 1; i <= 2000; ++i) {
            t += ", " + std::to_string(i * 500);
            p += ", " + std::to_string(i % 2 ? 100000 : 0);
            v += ", 0";
        }
        return "ATIME = " + t + "\nTPOS = " + p + "\nTSPD = " + v + "\nExecute = 0\n";
    }
};

// With descriptor 0, 1 or 2 closed, every writing command's outputs hold
// exactly what they hold when all three are open; a command that must
// write to the closed standard output says so (status 2) and writes no
// file at all.
TEST_F(RobustnessTest, ClosedStandardDescriptorsNeverReachAnOutput)
{
    const std::string motion = ReadFile(kExamples + "invalid.pvt");  // warnings on standard error
    const std::string points = Make("points.txt", "header\n1 0 5\n2 0 9\n");  // a skipped line
    const std::string edit = "--module " + Q(kEditTestModule) + " edit ";
    const struct {
        std::string args, output;
        bool needsStdout;
    } commands[] = {
        {"import " + Q(points) + " --into " + Q(m_Work + "/out"), "out", false},
        {"preview " + Q(m_Work + "/in.pvt") + " --csv " + Q(m_Work + "/out"), "out", false},
        {"preview " + Q(m_Work + "/in.pvt") + " --png " + Q(m_Work + "/out") + " --csv -", "out", true},
        {"info --icon " + Q(m_Work + "/out"), "out", true},
        {edit + Q(m_Work + "/out"), "out", false},
    };
    for (const auto& c : commands) {
        Make("in.pvt", motion);
        Make("out", motion);
        const SRun reference = Run(c.args, "", "EDIT_TEST_ACTION=ok");
        ASSERT_EQ(reference.status, 0) << c.args << reference.err;
        const std::string expected = ReadFile(m_Work + "/out");
        for (const char* closed : {"<&-", ">&-", "2>&-"}) {
            Make("out", motion);
            // The redirections of the test's own output come first, so the
            // one that closes a descriptor is the last word.
            const std::string line = "EDIT_TEST_ACTION=ok " + kHost + " " + c.args + " >>'" + m_Dir +
                                     "/noise' 2>>'" + m_Dir + "/noise' " + closed;
            const int raw = std::system(line.c_str());
            const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            const bool fails = c.needsStdout && std::string(closed) == ">&-";
            EXPECT_EQ(status, fails ? 2 : 0) << c.args << " " << closed;
            EXPECT_EQ(ReadFile(m_Work + "/out"), fails ? motion : expected) << c.args << " " << closed;
            EXPECT_EQ(List(m_Work), (std::vector<std::string>{"in.pvt", "out", "points.txt"})) << c.args << " " << closed;
        }
    }
}

// An output may not be the same file as any input of its command, by any
// name: the text, standard input's file, the points file, the setup file,
// the module. Refused with one line before anything is written.
TEST_F(RobustnessTest, AnOutputThatIsAnInputIsRefused)
{
    const std::string motion = Make("m.pvt", ReadFile(kExamples + "multi-point.pvt"));
    const std::string setup = Make("d.json", ReadFile(kExamples + "drive-setup.json"));
    const std::string points = Make("p.txt", "1 0 5\n");
    const std::string module = m_Work + "/module.so";
    ASSERT_EQ(std::system(("cp " + Q(kEditTestModule) + " " + Q(module)).c_str()), 0);
    ASSERT_EQ(link(motion.c_str(), (m_Work + "/hard.pvt").c_str()), 0);
    const struct {
        std::string args, redirect, err;
    } cases[] = {
        {"preview " + Q(motion) + " --csv " + Q(motion), "", "--csv " + N(motion) + " is the input file"},
        {"preview " + Q(motion) + " --csv " + Q(m_Work + "/hard.pvt"), "", "--csv " + N(m_Work + "/hard.pvt") + " is the input file"},
        {"preview - --csv " + Q(motion), "<" + Q(motion), "--csv " + N(motion) + " is the input file on standard input"},
        {"--setup " + Q(setup) + " preview " + Q(motion) + " --png " + Q(setup), "", "--png " + N(setup) + " is the setup file"},
        {"--module " + Q(module) + " info --icon " + Q(module), "", "--icon " + N(module) + " is the module"},
        {"import " + Q(points) + " --into " + Q(points), "", "--into " + N(points) + " is the points file"},
        {"--setup " + Q(setup) + " import " + Q(points) + " --into " + Q(setup), "", "--into " + N(setup) + " is the setup file"},
        {"--setup " + Q(setup) + " edit " + Q(setup), "", "edit FILE " + N(setup) + " is the setup file"},
        {"--module " + Q(module) + " edit " + Q(module), "", "edit FILE " + N(module) + " is the module"},
    };
    const std::vector<std::string> before = {ReadFile(motion), ReadFile(setup), ReadFile(points), ReadFile(module)};
    for (const auto& c : cases) {
        const SRun run = RunFrom(c.args, c.redirect.empty() ? "</dev/null" : c.redirect);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.err, "motionhost: " + c.err + ", which it would replace\n") << c.args;
        EXPECT_EQ((std::vector<std::string>{ReadFile(motion), ReadFile(setup), ReadFile(points), ReadFile(module)}),
                  before)
            << c.args;
    }
    // A file of other text is not a parameter text to import into.
    const std::string notes = Make("notes.txt", "shopping: milk, bread\n");
    const SRun run = Run("import " + Q(points) + " --into " + Q(notes));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "motionhost: cannot import into " + N(notes) +
                           ": it holds none of a motion's keys, so it is not a parameter text\n");
    EXPECT_EQ(ReadFile(notes), "shopping: milk, bread\n");
}

// Starts the host with `args`, its signals at their default actions (a
// shell would ignore SIGINT in a background job), standard input from
// /dev/null, standard error discarded and standard output into `out`.
pid_t StartHost(const std::vector<std::string>& args, int out)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(signal, SIG_DFL);
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 2);
    dup2(out >= 0 ? out : null, 1);
    std::vector<char*> argv = {const_cast<char*>(kHost.c_str())};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(kHost.c_str(), argv.data());
    _exit(127);
}

// The signal that ended the process, or 0.
int EndingSignal(pid_t pid)
{
    int raw = 0;
    waitpid(pid, &raw, 0);
    return WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
}

// Interrupted while its outputs are being written (Ctrl-C, timeout, a
// closed terminal, a reader that went away), the program removes their
// temporary files and ends by that signal; the old files stay as they were.
TEST_F(RobustnessTest, AnInterruptionLeavesNoTemporaryFile)
{
    const std::string big = Make("big.pvt", BigTable());
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        Make("out.csv", "old");
        const pid_t host = StartHost({"preview", big, "--csv", m_Work + "/out.csv"}, -1);
        // Once the temporary file is there, the signal.
        for (int i = 0; i < 1000 && !Holds(".out.csv."); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(Holds(".out.csv.")) << signal;
        kill(host, signal);
        EXPECT_EQ(EndingSignal(host), signal);
        EXPECT_FALSE(Holds(".out.csv.")) << signal;
        EXPECT_EQ(ReadFile(m_Work + "/out.csv"), "old") << signal;
    }
    // SIGPIPE: the CSV goes into a pipe whose reader stops after one byte.
    Make("p.png", "old");
    int fds[2];
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);  // the host holds no end but its standard output
    const pid_t host = StartHost({"preview", big, "--csv", "-", "--png", m_Work + "/p.png"}, fds[1]);
    close(fds[1]);
    char byte;
    EXPECT_EQ(read(fds[0], &byte, 1), 1);
    close(fds[0]);
    EXPECT_EQ(EndingSignal(host), SIGPIPE);
    EXPECT_FALSE(Holds(".p.png."));
    EXPECT_EQ(ReadFile(m_Work + "/p.png"), "old");
}

// Outputs fail or misbehave: every output is checked before any is
// written, so a full device leaves the other output as it was; a CSV to
// /dev/stdout appends where the shell says so; a name as long as the system
// allows can be written; a name with a line feed stays on one line.
TEST_F(RobustnessTest, OutputsAtTheEdges)
{
    const std::string motion = Q(kExamples + "multi-point.pvt");
    Make("b.csv", "old");
    const SRun full = Run("preview " + motion + " --csv " + Q(m_Work + "/b.csv") + " --png /dev/full");
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "motionhost: cannot write \"/dev/full\": no space left on device\n");
    EXPECT_EQ(ReadFile(m_Work + "/b.csv"), "old");
    EXPECT_EQ(List(m_Work), std::vector<std::string>{"b.csv"});

    const std::string csv = Run("preview " + motion + " --csv -").out;
    Make("f", "kept\n");
    ASSERT_EQ(std::system((kHost + " preview " + motion + " --csv /dev/stdout >>" + Q(m_Work + "/f")).c_str()), 0);
    EXPECT_EQ(ReadFile(m_Work + "/f"), "kept\n" + csv);

    const std::string longest(255, 'n');
    const SRun named = Run("preview " + motion + " --csv " + Q(m_Work + "/" + longest));
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(ReadFile(m_Work + "/" + longest), csv);

    const SRun feed = Run("preview " + Q(m_Work + "/no\nfile"));
    EXPECT_EQ(feed.status, 2);
    EXPECT_EQ(feed.err, "motionhost: cannot read \"" + m_Work + "/no\\nfile\": no such file or directory\n");
}

// A window system that cannot start is one line and status 2, with no
// file left behind, instead of an abort.
TEST_F(RobustnessTest, AWindowSystemThatCannotStartIsOneLine)
{
    const std::string motion = Make("m.pvt", ReadFile(kExamples + "multi-point.pvt"));
    const std::string line =
        "motionhost: cannot start the window system: the platform \"bogus\" that QT_QPA_PLATFORM names is not "
        "installed\n";
    for (const std::string& args : {"preview " + Q(motion) + " --png " + Q(m_Work + "/out.png"), "edit " + Q(motion)}) {
        const SRun run = Run(args, "", "QT_QPA_PLATFORM=bogus");
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err, line) << args;
        EXPECT_EQ(List(m_Work), std::vector<std::string>{"m.pvt"}) << args;
    }
}

}  // namespace
