// CCommand: one command of motionhost (info, defaults, translate, edit,
// preview, import). main registers every command with the parser, checks
// the files the chosen one names, and runs it.
#pragma once

namespace CLI {
class App;
}
class CFileRoles;
class CHostContext;

class CCommand {
public:
    virtual ~CCommand() = default;
    // Adds the command, its arguments and options to the parser.
    virtual CLI::App* Register(CLI::App& app) = 0;
    // Checks the values the parser gave (beyond what it checks itself);
    // throws SHostError.
    virtual void Validate() {}
    // The files the command reads and writes, so that no output replaces an
    // input.
    virtual void ListFiles(CFileRoles&) const {}
    // Runs the command; returns the exit status (EXIT_OK or EXIT_FAILED),
    // throws SHostError for usage and file errors.
    virtual int Run(CHostContext& context) = 0;
};
