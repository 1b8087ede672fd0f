#include "host/EditCommand.h"

#include "host/AtomicFile.h"
#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/HostText.h"
#include "host/InputFile.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "platform/WindowSystem.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace {

// FILE's bytes, or nothing when it does not exist.
std::optional<CString> ReadIfExists(const std::string& path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0 && errno == ENOENT)
        return std::nullopt;
    CInputFile input(path);
    CString text;
    ThrowIf(input.Read(text));
    return text;
}

// Whether FILE still holds what the editor was given; a FILE that cannot
// be read any more has changed too.
bool Unchanged(const std::string& path, const std::optional<CString>& original)
{
    try {
        const std::optional<CString> now = ReadIfExists(path);
        return original.has_value() == now.has_value() && (!original || original->View() == now->View());
    } catch (const SHostError&) {
        return false;
    }
}

// The comment block at the head of a parameter text: its lines up to the
// first one that is neither blank nor a comment ("#" first), when it holds a
// comment at all (a byte-order mark before it is not kept). The editor
// writes its text anew, without comments; the head of a file, where people
// describe the motion, is kept.
std::string LeadingComments(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::size_t end = 0;
    bool comment = false;
    while (end < text.size()) {
        const std::size_t feed = text.find('\n', end);
        const std::string_view line = text.substr(end, feed == std::string_view::npos ? feed : feed - end);
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && line[first] != '#')
            break;
        comment = comment || first != std::string_view::npos;
        end = feed == std::string_view::npos ? text.size() : feed + 1;
    }
    std::string block(comment ? text.substr(0, end) : std::string_view());
    if (!block.empty() && block.back() != '\n')
        block += '\n';
    return block;
}

// The edited text in the first free name beside FILE.
std::string SaveBeside(const std::string& path, const CString& text)
{
    for (int i = 1; i <= CEditCommand::kMaxEditedNames; ++i) {
        const std::string name = path + ".edited" + (i == 1 ? "" : "." + std::to_string(i));
        struct stat info = {};
        if (lstat(name.c_str(), &info) == 0 || errno != ENOENT)
            continue;
        ThrowIf(CAtomicFile::Replace(name, text.View()));
        return name;
    }
    throw SHostError{"cannot save the edited text beside " + CHostText::Name(path) + ": " +
                     std::to_string(CEditCommand::kMaxEditedNames) + " edited copies exist already"};
}

}  // namespace

CLI::App* CEditCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "edit", "open the editor \"Motion - PVT\" on a parameter text file (needs a display)");
    command->add_option("FILE", m_strPath, "the parameter text file: OK saves it atomically, keeping its leading "
                                           "comment lines, Escape or Cancel leaves it as it was; one that does not "
                                           "exist starts from the default text and is created on OK")
        ->required()
        ->type_name("FILE");
    return command;
}

void CEditCommand::ListFiles(CFileRoles& files) const { files.AddOutput("edit FILE", m_strPath); }

int CEditCommand::Run(CHostContext& context)
{
    using namespace module_exports;
    if (m_strPath == CInputFile::kStandardInput)
        throw SHostError{"edit needs a file name: standard input cannot be written back"};
    if (CString message; !CWindowSystem::IsDisplayAvailable(&message))
        throw SHostError{message.GetString()};

    // The target first: a file that could not be written back is not read.
    CAtomicFile output(m_strPath);
    ThrowIf(output.Check());
    const std::optional<CString> original = ReadIfExists(m_strPath);
    CDK_Setup& setup = context.Setup();
    const CModuleLoader& module = context.Module();
    const auto edit = module.Require<EditMotionSequenceFn>(kEditMotionSequence);
    CDK_Motion motion;
    CString params = original ? *original : CString();
    if (!original)
        module.Require<GetDefaultParametersFn>(kGetDefaultParameters)(setup, motion, params);

    const std::string name = CHostText::Name(m_strPath);
    if (!edit(setup, motion, params)) {
        CConsole::Say("cancelled: " + name + (original ? " left as it was" : " not created"));
        return EXIT_FAILED;
    }
    if (original)
        params = CString(std::string_view(LeadingComments(original->View()) + params.Std()));
    // Whatever fails from here on, the edited text is not lost: it follows
    // the message on standard output.
    try {
        if (!Unchanged(m_strPath, original)) {
            const std::string beside = SaveBeside(m_strPath, params);
            CConsole::Say(name + " changed on disk while it was edited: not replaced; the edited text is in " +
                          CHostText::Name(beside));
            return EXIT_FAILED;
        }
        ThrowIf(CAtomicFile::Replace(m_strPath, params.View()));
    } catch (const SHostError& e) {
        CConsole::Say(e.message + "; the edited text follows on standard output");
        CConsole::Out(params);
        return EXIT_USAGE;
    }
    return EXIT_OK;
}
