// `motionhost edit` in a real X window, on an X server of the test's own
// that resets when its last client leaves, as a plain Xvfb (xvfb-run, CI)
// does: the dialog opens every time, and a server that dies under the open
// dialog is said as such, not read as a cancel. Skipped where Xvfb or
// xdotool is not installed.
#include "tests/TestUtil.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const std::string kHost = std::string(VELKOR_BIN_DIR) + "/motionhost";

bool Installed(const char* program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

using testutil::ReadFile;

// The environment of this process with QT_QPA_PLATFORM left out (the tests
// run offscreen) and DISPLAY set to `display`.
std::vector<std::string> EnvironmentFor(const std::string& display)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0)
            env.push_back(entry);
    }
    env.push_back("DISPLAY=" + display);
    return env;
}

// Starts `argv` with its standard output and error in files; -1 on failure.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& out,
            const std::string& err, int keepFd = -1)
{
    std::vector<char*> args, envp;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (keepFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, keepFd, 3);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit status, or minus the signal; -1000 when it did not end in time
// (then it is killed).
int Wait(pid_t pid, int seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int raw = 0;
    while (waitpid(pid, &raw, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &raw, 0);
            return -1000;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -WTERMSIG(raw);
}

class EditorXServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Installed("Xvfb") || !Installed("xdotool"))
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        ASSERT_FALSE(m_Dir.empty());
        m_File = m_Temp.File("motion.pvt", ReadFile(std::string(VELKOR_SOURCE_DIR) + "/examples/multi-point.pvt"));
    }
    void TearDown() override { StopServer(); }

    // A fresh server, which resets whenever its last client leaves (no
    // -noreset); its display number comes through -displayfd once it is
    // ready.
    bool StartServer(const std::vector<std::string>& options = {})
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        std::vector<std::string> argv = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
        argv.insert(argv.end(), options.begin(), options.end());
        m_Server = Spawn(argv, EnvironmentFor(""), "/dev/null", m_Dir + "/xvfb.err", fds[1]);
        close(fds[1]);
        std::string number;
        char c;
        while (m_Server > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        m_Display = ":" + number;
        return m_Server > 0 && !number.empty();
    }
    void StopServer()
    {
        if (m_Server > 0) {
            kill(m_Server, SIGTERM);
            Wait(m_Server, 10);
        }
        m_Server = -1;
    }

    pid_t StartEditor(std::vector<std::string> env = {})
    {
        for (const std::string& e : EnvironmentFor(m_Display))
            env.push_back(e);
        return Spawn({kHost, "edit", m_File}, env, m_Dir + "/out", m_Dir + "/err");
    }
    // The editor's window id, once it is shown (empty when it never is).
    // Asked only after a while, so that xdotool, another client, cannot
    // keep the server from resetting while the editor starts.
    std::string WaitForWindow()
    {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const std::string ids = m_Dir + "/ids";
        const pid_t search = Spawn({"xdotool", "search", "--sync", "--onlyvisible", "--name", "Motion - PVT"},
                                   EnvironmentFor(m_Display), ids, "/dev/null");
        if (search < 0 || Wait(search, 20) != 0)
            return {};
        const std::string found = ReadFile(ids);
        return found.substr(0, found.find('\n'));
    }
    int XDoTool(const std::vector<std::string>& args)
    {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        const pid_t tool = Spawn(argv, EnvironmentFor(m_Display), "/dev/null", "/dev/null");
        return tool < 0 ? -1 : Wait(tool, 20);
    }

    testutil::CTempDir m_Temp{"editor-x-test"};
    std::string m_Dir = m_Temp.Path(), m_File, m_Display;
    pid_t m_Server = -1;
};

// Each time on a server that nothing else holds: the dialog opens, and
// Escape cancels it.
TEST_F(EditorXServerTest, TheDialogOpensEveryTimeOnAFreshServer)
{
    const std::string before = ReadFile(m_File);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(StartServer());
        const pid_t editor = StartEditor();
        ASSERT_GT(editor, 0);
        const std::string window = WaitForWindow();
        EXPECT_FALSE(window.empty()) << ReadFile(m_Dir + "/err");
        if (!window.empty()) {
            EXPECT_EQ(XDoTool({"key", "Escape"}), 0);
        }
        EXPECT_EQ(Wait(editor, 20), 1);
        EXPECT_EQ(ReadFile(m_Dir + "/err"), "motionhost: cancelled: \"" + m_File + "\" left as it was\n");
        StopServer();
    }
    EXPECT_EQ(ReadFile(m_File), before);
}

// The server ends under the open dialog: one line that says so, status 2,
// and the file as it was.
TEST_F(EditorXServerTest, ALostDisplayIsNotACancel)
{
    const std::string before = ReadFile(m_File);
    ASSERT_TRUE(StartServer());
    const pid_t editor = StartEditor();
    ASSERT_GT(editor, 0);
    ASSERT_FALSE(WaitForWindow().empty()) << ReadFile(m_Dir + "/err");
    kill(m_Server, SIGKILL);
    Wait(m_Server, 10);
    m_Server = -1;
    EXPECT_EQ(Wait(editor, 20), 2);
    EXPECT_EQ(ReadFile(m_Dir + "/err"), "motionhost: the display was lost: the X server ended or closed the connection\n");
    EXPECT_EQ(ReadFile(m_File), before);
}

// A server that asks for a cookie the editor does not have: one line,
// status 2, before the editor opens.
TEST_F(EditorXServerTest, ARefusalIsOneLine)
{
    // An authorisation file with one cookie for any display (family "wild",
    // no address, no display number): each field a 16-bit big-endian length
    // and its bytes.
    const auto field = [](const std::string& bytes) {
        return std::string{static_cast<char>(bytes.size() >> 8), static_cast<char>(bytes.size() & 0xFF)} + bytes;
    };
    const std::string cookies = m_Dir + "/cookies";
    testutil::WriteFile(cookies, std::string("\xFF\xFF", 2) + field("") + field("") +
                                                    field("MIT-MAGIC-COOKIE-1") + field(std::string(16, '\x5A')));
    ASSERT_TRUE(StartServer({"-auth", cookies}));
    const pid_t editor = StartEditor({"XAUTHORITY=/dev/null"});
    ASSERT_GT(editor, 0);
    EXPECT_EQ(Wait(editor, 20), 2);
    EXPECT_EQ(ReadFile(m_Dir + "/err"), "motionhost: the X display \"" + m_Display +
                                           "\" refused the connection: not authorised (XAUTHORITY must name the "
                                           "server's cookie file)\n");
}

}  // namespace
