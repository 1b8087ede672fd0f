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
        "edit", "open the module's editor on a parameter text file; OK saves it (atomically), Cancel leaves it");
    command->add_option("FILE", m_strPath, "the parameter text file (created on OK when it does not exist)")
        ->required();
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
