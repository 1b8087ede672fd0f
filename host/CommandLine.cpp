#include "host/CommandLine.h"

#include "host/CheckCommand.h"
#include "host/DefaultsCommand.h"
#include "host/EditCommand.h"
#include "host/HostError.h"
#include "host/ImportCommand.h"
#include "host/InfoCommand.h"
#include "host/PreviewCommand.h"
#include "host/SplitCommand.h"
#include "host/TranslateCommand.h"
#include "host/VelocitiesCommand.h"

#include <cstdio>
#include <iostream>

namespace {

constexpr const char* kProgram = "motionhost";

// A parser's message as the rest of ours: "The following argument was not
// expected" starts in lower case; "FILE is required" keeps its name.
std::string Sentence(std::string text)
{
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && text[1] >= 'a' && text[1] <= 'z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// The command line's first word when it names no command: "motionhost
// frobnicate" is an unknown command, not a missing one.
std::string UnknownCommand(const CLI::App& app)
{
    for (const std::string& word : app.remaining(false))
        if (!word.empty() && word[0] != '-')
            return word;
    return {};
}

int Usage(const std::string& line)
{
    std::fputs(line.c_str(), stderr);
    return EXIT_USAGE;
}

}  // namespace

CCommandLine::CCommandLine() : m_App("Loads a motion module and calls its exports by name: translates PVT motions, "
                                     "opens their editor, previews, checks and imports their point tables, computes their "
                                     "velocities and splits their long segments.",
                                     kProgram)
{
    m_App.require_subcommand(0, 1);
    m_App.set_help_flag("-h,--help", "print this help and exit");
    m_App.get_formatter()->label("SUBCOMMAND", "COMMAND");
    m_App.get_formatter()->label("SUBCOMMANDS", "COMMANDS");
    m_App.get_formatter()->label("REQUIRED", "(required)");
    m_App.get_formatter()->label("Positionals", "Arguments");
    m_App.get_formatter()->column_width(24);
    m_App.fallthrough();  // the global options after the command too
    m_pModuleOption = m_App.add_option("--module", m_strModulePath, "the motion module to load (default: Velkor.so "
                                                                    "beside motionhost, or its installed place)")
                          ->type_name("PATH");
    m_App.add_option("--setup", m_strSetupPath, "the drive setup file, a JSON document (default: the embedded "
                                                "default drive: 2000 increments per revolution, 1 ms)")
        ->type_name("FILE");
    m_App.set_version_flag("--version", std::string(kProgram) + " " + VELKOR_VERSION,
                           "print the program's version and exit");
    Add(std::make_unique<CInfoCommand>());
    Add(std::make_unique<CDefaultsCommand>());
    Add(std::make_unique<CTranslateCommand>());
    Add(std::make_unique<CEditCommand>());
    Add(std::make_unique<CPreviewCommand>());
    Add(std::make_unique<CImportCommand>());
    Add(std::make_unique<CCheckCommand>());
    Add(std::make_unique<CVelocitiesCommand>());
    Add(std::make_unique<CSplitCommand>());
    m_pHelp = m_App.add_subcommand("help", "print the help of the program or of one command");
    m_pHelp->group("Commands");
    m_pHelp->add_option("COMMAND", m_strHelpTopic, "the command")->type_name("");
    m_App.footer("Exit status: 0 success; 1 the motion or the points were refused, or the editor was cancelled "
                 "(each command's help says when); 2 a usage or file error, one line on standard error.\n\n"
                 "Run \"motionhost help COMMAND\" for a command's options and an example. The manual: "
                 "man motionhost; the documents: /usr/share/doc/motionhost (docs/ in the source tree).");
}

void CCommandLine::Add(std::unique_ptr<CCommand> command)
{
    CLI::App* parsed = command->Register(m_App);
    parsed->fallthrough();
    parsed->group("Commands");
    // An argument's name says what it is; no "TEXT" after it.
    for (CLI::Option* option : parsed->get_options())
        if (option->get_lnames().empty() && option->get_snames().empty())
            option->type_name("");
    parsed->footer(Footer(*command));
    m_Commands.emplace_back(parsed, std::move(command));
}

std::string CCommandLine::Footer(const CCommand& command) const
{
    std::string text = "Global options, before or after the command:\n";
    if (command.UsesModule())
        text += "  --module PATH  the motion module (default: Velkor.so beside motionhost)\n";
    text += "  --setup FILE   the drive setup file (default: the embedded default drive)\n\nExit status:\n"
            "  0  success\n";
    if (const char* failed = command.FailureStatus())
        text += std::string("  1  ") + failed + "\n";
    text += "  2  a usage or file error, one line on standard error\n\nExample:\n  motionhost " +
            std::string(command.Example());
    return text;
}

std::string CCommandLine::UsageLine(const std::string& message, const std::string& command)
{
    return std::string(kProgram) + ": " + message + " (see motionhost " +
           (command.empty() ? std::string("--help") : "help " + command) + ")\n";
}

int CCommandLine::Help(const std::string& topic)
{
    // The formatter itself: App::help would show the help command's own.
    if (topic.empty()) {
        std::cout << m_App.get_formatter()->make_help(&m_App, kProgram, CLI::AppFormatMode::Normal);
        return EXIT_OK;
    }
    for (const auto& [parsed, command] : m_Commands)
        if (parsed->get_name() == topic) {
            std::cout << parsed->get_formatter()->make_help(parsed, std::string(kProgram) + " " + topic,
                                                            CLI::AppFormatMode::Normal);
            return EXIT_OK;
        }
    return Usage(UsageLine("no command \"" + topic + "\"", ""));
}

int CCommandLine::Parse(int argc, char** argv)
{
    std::string command;
    try {
        m_App.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return m_App.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return m_App.exit(e);
    } catch (const CLI::ParseError& e) {
        if (!m_App.get_subcommands().empty())
            command = m_App.get_subcommands().front()->get_name();
        else if (const std::string unknown = UnknownCommand(m_App); !unknown.empty())
            return Usage(UsageLine("unknown command \"" + unknown + "\"", ""));
        return Usage(UsageLine(Sentence(e.what()), command));
    }
    if (*m_pHelp)
        return Help(m_strHelpTopic);
    return Checked();
}

// After a parse: the chosen command, and the values the parser cannot judge.
int CCommandLine::Checked()
{
    for (const auto& [parsed, command] : m_Commands)
        if (*parsed) {
            m_pChosen = command.get();
            m_strChosenName = parsed->get_name();
        }
    if (!m_pChosen) {
        std::string names;
        for (std::size_t i = 0; i < m_Commands.size(); ++i)
            names += (i == 0 ? "" : i + 1 == m_Commands.size() ? " or " : ", ") + m_Commands[i].first->get_name();
        return Usage(UsageLine("a command is required: " + names, ""));
    }
    const auto usage = [&](const std::string& message) { return Usage(UsageLine(message, m_strChosenName)); };
    if (m_pModuleOption->count() > 0 && !m_pChosen->UsesModule())
        return usage(m_strChosenName + " does not use --module: it runs no module");
    // Values that cannot be meant: an empty name would silently mean the
    // default or nothing; "--" is the end of the options, not a file.
    for (const CLI::App* scope : {&m_App, m_App.get_subcommands().front()})
        for (const CLI::Option* option : scope->get_options())
            if (option->count() > 0 && !option->get_lnames().empty() && option->get_expected_min() > 0) {
                const std::string value = option->as<std::string>();
                if (value.empty() || value == "--")
                    return usage(option->get_name() + " needs a value, not " + (value.empty() ? "an empty text" : "--"));
            }
    try {
        m_pChosen->Validate();
    } catch (const SHostError& e) {
        return usage(e.message);
    }
    return -1;
}
