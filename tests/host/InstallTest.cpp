// motionhost as a user gets it: installed under a prefix and run from
// another folder, and every command line that README prints.
#include "HostTestUtil.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace host_test;

class InstallTest : public HostTest {};

// `cmake --install` into a prefix: the program runs from any folder with no
// environment variables (its run path finds the libraries, the module is
// found in lib/velkor), and the manual page and the completion are there.
TEST_F(InstallTest, TheInstalledHostRunsFromAnyFolder)
{
    const std::string prefix = m_Dir + "/prefix";
    ASSERT_EQ(std::system(("cmake --install " + Q(VELKOR_BUILD_DIR) + " --prefix " + Q(prefix) + " >/dev/null").c_str()),
              0);
    for (const char* file : {"/bin/motionhost", "/lib/velkor/Velkor.so", "/share/man/man1/motionhost.1",
                                    "/share/bash-completion/completions/motionhost",
                                    "/share/doc/motionhost/examples/multi-point.pvt"})
        EXPECT_TRUE(Exists(prefix + file)) << file;
    const SRun installed = RunProgram("cd / && env -u LD_LIBRARY_PATH " + prefix + "/bin/motionhost",
                                      "translate " + Q(prefix + "/share/doc/motionhost/examples/multi-point.pvt"),
                                      "</dev/null");
    EXPECT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(installed.out, Run("translate " + Q(kExamples + "multi-point.pvt")).out);
    const SRun info = RunProgram("cd / && " + prefix + "/bin/motionhost", "info", "</dev/null");
    EXPECT_NE(info.out.find("version: 1.0.0.1\n"), std::string::npos) << info.out << info.err;
}

// Every motionhost line in README's code blocks runs, in order, in a copy
// of the examples, and succeeds: README cannot fall out of step with the
// program. An edit line is answered OK by the test module.
TEST_F(InstallTest, EveryCommandLineOfTheReadmeRuns)
{
    ASSERT_EQ(std::system(("cp -r " + Q(kExamples) + " " + Q(m_Work + "/examples") + " && mkdir " +
                           Q(m_Work + "/docs"))
                              .c_str()),
              0);
    std::istringstream readme(ReadFile(std::string(VELKOR_SOURCE_DIR) + "/README.md"));
    const std::string program = "build/bin/motionhost";
    std::vector<std::string> lines;
    bool inBlock = false;
    for (std::string line; std::getline(readme, line);) {
        if (line.rfind("```", 0) == 0)
            inBlock = !inBlock;
        else if (inBlock && line.rfind(program + " ", 0) == 0)
            lines.push_back(line);
    }
    EXPECT_GE(lines.size(), 5u);
    for (std::string line : lines) {
        for (std::size_t at = 0; (at = line.find(program, at)) != std::string::npos; at += kHost.size())
            line.replace(at, program.size(), kHost);
        if (line.find(" edit ") != std::string::npos)
            line = "EDIT_TEST_ACTION=ok " + line + " --module " + Q(kEditTestModule);
        WriteFile(m_Dir + "/line.sh", "set -o pipefail\ncd " + Q(m_Work) + "\n" + line + "\n");
        const int raw = std::system(("bash " + Q(m_Dir + "/line.sh") + " >/dev/null 2>&1").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 0) << line;
    }
}

}  // namespace
