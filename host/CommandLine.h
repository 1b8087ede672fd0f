// CCommandLine: motionhost's command line as a Linux user expects it.
//
//   motionhost [--module PATH] [--setup FILE] COMMAND [ARGUMENTS] [OPTIONS]
//
//   - The global options (--module, --setup) are accepted before or after
//     the command; a command that does not load the module refuses
//     --module rather than ignore it.
//   - --help (or -h), anywhere, and `motionhost help [COMMAND]`: the help of
//     the program or of one command: its purpose, its arguments and options
//     with their value names, units and defaults, the global options, the
//     exit statuses and an example. --version: "motionhost 1.0.0.1".
//   - Every usage error is one line: "motionhost: " and a sentence in
//     lower case, then where the help is; status 2.
#pragma once

#include "host/Command.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCommandLine {
public:
    CCommandLine();
    CCommandLine(const CCommandLine&) = delete;
    CCommandLine& operator=(const CCommandLine&) = delete;

    // Parses the command line. Returns -1 when a command is to run
    // (GetCommand); otherwise the exit status, after printing the help, the
    // version or the one-line usage error.
    int Parse(int argc, char** argv);

    CCommand& GetCommand() const { return *m_pChosen; }
    const std::string& GetModulePath() const { return m_strModulePath; }
    const std::string& GetSetupPath() const { return m_strSetupPath; }

    // The one line of a usage error: the message, then where the help of
    // `command` (empty: the program's) is.
    static std::string UsageLine(const std::string& message, const std::string& command);

private:
    void Add(std::unique_ptr<CCommand> command);
    std::string Footer(const CCommand& command) const;
    int Help(const std::string& topic);
    int Checked();

    CLI::App m_App;
    std::vector<std::pair<CLI::App*, std::unique_ptr<CCommand>>> m_Commands;
    CLI::App* m_pHelp = nullptr;
    CLI::Option* m_pModuleOption = nullptr;
    std::string m_strHelpTopic;
    std::string m_strModulePath;
    std::string m_strSetupPath;
    CCommand* m_pChosen = nullptr;
    std::string m_strChosenName;
};
