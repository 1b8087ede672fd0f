// Running the built motionhost as a process, as a user runs it from a shell.
#pragma once

#include "tests/TestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace host_test {

inline const std::string kBin = VELKOR_BIN_DIR;
inline const std::string kHost = kBin + "/motionhost";
inline const std::string kExamples = std::string(VELKOR_SOURCE_DIR) + "/examples/";
inline const std::string kEditTestModule = VELKOR_EDIT_TEST_MODULE;
// The environment of a shell without any display.
inline const std::string kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

using testutil::ReadFile;
using testutil::WriteFile;

// A file name as motionhost's messages show it: in double quotes.
inline std::string N(const std::string& path) { return "\"" + path + "\""; }

inline bool Exists(const std::string& path)
{
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0;
}

inline unsigned ModeOf(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// The names in a folder, "." and ".." left out.
inline std::vector<std::string> List(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The process's umask, without changing it for long.
inline unsigned CurrentUmask()
{
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

struct SRun {
    int status;  // the exit status, or minus the signal that stopped it
    std::string out, err;
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_Temp.Path().empty());
        m_Dir = m_Temp.Path();
        m_Work = m_Dir + "/work";
        ASSERT_EQ(mkdir(m_Work.c_str(), 0755), 0);
    }

    // Runs the host with `args` (a shell word list), standard input from
    // `input`; captures both outputs and the exit status. `env` comes before
    // the host on the command line ("X=1", "env -u DISPLAY").
    SRun Run(const std::string& args, const std::string& input = "", const std::string& env = "")
    {
        WriteFile(m_Dir + "/in", input);
        return RunFrom(args, "<'" + m_Dir + "/in'", env);
    }
    // The same with standard input as `redirect` gives it ("<&-" closes it).
    SRun RunFrom(const std::string& args, const std::string& redirect, const std::string& env = "")
    {
        return RunProgram(kHost, args, redirect, env);
    }
    // The same with another copy of the host.
    SRun RunProgram(const std::string& host, const std::string& args, const std::string& redirect,
                    const std::string& env = "")
    {
        const std::string command =
            env + " " + host + " " + args + " " + redirect + " >'" + m_Dir + "/out' 2>'" + m_Dir + "/err'";
        const int raw = std::system(command.c_str());
        int status = -1;
        if (WIFSIGNALED(raw))
            status = -WTERMSIG(raw);
        else if (WIFEXITED(raw))
            // The shell reports a child stopped by a signal as 128 + signal.
            status = WEXITSTATUS(raw) > 128 ? 128 - WEXITSTATUS(raw) : WEXITSTATUS(raw);
        return {status, ReadFile(m_Dir + "/out"), ReadFile(m_Dir + "/err")};
    }
    // A file in the work folder (which holds nothing else the host did not
    // write), with `bytes` and `mode`.
    std::string Make(const std::string& name, const std::string& bytes, unsigned mode = 0644)
    {
        const std::string path = m_Work + "/" + name;
        WriteFile(path, bytes);
        chmod(path.c_str(), mode);
        return path;
    }
    std::string Q(const std::string& path) const { return "'" + path + "'"; }

    testutil::CTempDir m_Temp{"motionhost-test"};
    std::string m_Dir;
    std::string m_Work;
};

}  // namespace host_test
