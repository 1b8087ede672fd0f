// CCommand: one command of motionhost (info, defaults, translate, edit,
// preview, import, ...). CCommandLine registers every command with the
// parser, checks the files the chosen one names, and main runs it.
#pragma once

namespace CLI {
class App;
}
class CFileRoles;
class CHostContext;

class CCommand {
public:
    virtual ~CCommand() = default;
    // Adds the command, its arguments and options (with their value names,
    // units and defaults in the help text) to the parser.
    virtual CLI::App* Register(CLI::App& app) = 0;
    // For the help text: when the command exits with status 1 (null: it
    // never does), and one example command line (after "motionhost ").
    virtual const char* FailureStatus() const { return nullptr; }
    virtual const char* Example() const = 0;
    // Whether the command loads the module (--module is refused otherwise).
    virtual bool UsesModule() const { return true; }
    // Checks the values the parser gave (beyond what it checks itself);
    // throws SHostError, which is a usage error here.
    virtual void Validate() {}
    // The files the command reads and writes, so that no output replaces an
    // input.
    virtual void ListFiles(CFileRoles&) const {}
    // Runs the command; returns the exit status (EXIT_OK or EXIT_FAILED),
    // throws SHostError for usage and file errors.
    virtual int Run(CHostContext& context) = 0;
};
