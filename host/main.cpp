// motionhost: loads a motion module and calls its exports by name.
//
//   motionhost [--module PATH] [--setup FILE] info [--icon FILE.bmp]
//   motionhost [--module PATH] [--setup FILE] defaults
//   motionhost [--module PATH] [--setup FILE] translate FILE|-
//   motionhost [--module PATH] [--setup FILE] edit FILE
//   motionhost [--setup FILE] preview FILE|- [--csv OUT|-] [--png OUT|-] [--size WxH]
//   motionhost [--module PATH] [--setup FILE] import POINTS [--into FILE]
//
// Exit status: 0 success, 1 the module reports an error (translation failed,
// editor cancelled, no point imported), 2 usage or file errors. Every usage
// or file error is one line on standard error, printed before any output.
// main only parses the command line and runs the chosen command (one class
// per command, host/*Command.h); every command reports usage and file
// errors by throwing SHostError, caught here once.
#include "host/Command.h"
#include "host/DefaultsCommand.h"
#include "host/EditCommand.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/ImportCommand.h"
#include "host/InfoCommand.h"
#include "host/PreviewCommand.h"
#include "host/ProcessSetup.h"
#include "host/TranslateCommand.h"
#include "platform/Exception.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

// The command line's first word when it names no command: "motionhost
// frobnicate" is an unknown command, not a missing one.
std::string UnknownCommand(const CLI::App& app)
{
    if (!app.get_subcommands().empty())
        return {};
    for (const std::string& word : app.remaining(false))
        if (!word.empty() && word[0] != '-')
            return word;
    return {};
}

std::string CommandNames(const CLI::App& app)
{
    std::string names;
    const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
    for (std::size_t i = 0; i < commands.size(); ++i)
        names += (i == 0 ? "" : i + 1 == commands.size() ? " or " : ", ") + commands[i]->get_name();
    return names;
}

int Usage(const std::string& message)
{
    std::fprintf(stderr, "motionhost: %s (see motionhost --help)\n", message.c_str());
    return EXIT_USAGE;
}

// Option values that cannot be meant: an empty name would silently mean the
// default or nothing, "--" is the end of the options, not a file.
std::string CheckValues(const CLI::App& app)
{
    for (const CLI::App* scope : {&app, app.get_subcommands().empty() ? &app : app.get_subcommands().front()})
        for (const CLI::Option* option : scope->get_options())
            if (option->count() > 0 && !option->get_lnames().empty() && option->get_expected_min() > 0) {
                const std::string value = option->as<std::string>();
                if (value.empty() || value == "--")
                    return option->get_name() + " needs a value, not " + (value.empty() ? "an empty text" : "--");
            }
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    CProcessSetup::Prepare();
    CLI::App app{"motionhost: loads a motion module and calls its exports by name."};
    app.require_subcommand(1);
    std::string modulePath, setupPath;
    app.add_option("--module", modulePath, "the motion module to load (default: Velkor.so beside motionhost)");
    app.add_option("--setup", setupPath, "the drive setup file (default: the embedded default drive)");
    std::vector<std::pair<CLI::App*, std::unique_ptr<CCommand>>> commands;
    const auto add = [&](std::unique_ptr<CCommand> command) {
        CLI::App* parsed = command->Register(app);
        commands.emplace_back(parsed, std::move(command));
    };
    add(std::make_unique<CInfoCommand>());
    add(std::make_unique<CDefaultsCommand>());
    add(std::make_unique<CTranslateCommand>());
    add(std::make_unique<CEditCommand>());
    add(std::make_unique<CPreviewCommand>());
    add(std::make_unique<CImportCommand>());

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        if (const std::string unknown = UnknownCommand(app); !unknown.empty())
            return Usage("unknown command " + unknown);
        if (app.get_subcommands().empty() && dynamic_cast<const CLI::RequiredError*>(&e))
            return Usage("a command is required: " + CommandNames(app));
        return Usage(e.what());
    }
    if (const std::string error = CheckValues(app); !error.empty())
        return Usage(error);

    try {
        for (auto& [parsed, command] : commands) {
            if (!*parsed)
                continue;
            try {
                command->Validate();
            } catch (const SHostError& e) {
                return Usage(e.message);
            }
            CHostContext context(modulePath, setupPath);
            CFileRoles files;
            files.AddInput("the setup file", context.GetSetupPath());
            files.AddInput("the module", context.GetModulePath());
            command->ListFiles(files);
            files.Check();
            return command->Run(context);
        }
        return Usage("a command is required: " + CommandNames(app));
    } catch (const SHostError& e) {
        std::fprintf(stderr, "motionhost: %s\n", e.message.c_str());
        return e.status;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "motionhost: not enough memory\n");
        return EXIT_USAGE;
    } catch (CException* e) {
        const CString message = e->GetMessage();
        e->Delete();
        std::fprintf(stderr, "motionhost: %s\n", message.GetString());
        return EXIT_USAGE;
    }
}
