#include "host/EditCommand.h"

#include "host/AtomicFile.h"
#include "host/Console.h"
#include "host/HostError.h"
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "platform/WindowSystem.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr int kCancelled = 1;
constexpr int kNotSaved = 2;

}  // namespace

int CEditCommand::Run(CDK_Setup& setup, const std::string& path, const std::function<const CModuleLoader&()>& module)
{
    using namespace module_exports;
    if (path == CInputFile::kStandardInput)
        throw SHostError{"edit needs a file name: standard input cannot be written back"};
    if (CString message; !CWindowSystem::IsDisplayAvailable(&message))
        throw SHostError{message.GetString()};

    struct stat info = {};
    const bool exists = stat(path.c_str(), &info) == 0 || errno != ENOENT;
    CString params;
    if (exists) {
        CInputFile input(path);
        if (const CString error = input.Read(params); !error.IsEmpty())
            throw SHostError{error.GetString()};
    }
    CAtomicFile output(path);
    if (const CString error = output.Check(); !error.IsEmpty())
        throw SHostError{error.GetString()};

    const CModuleLoader& loaded = module();
    const auto edit = loaded.Require<EditMotionSequenceFn>(kEditMotionSequence);
    CDK_Motion motion;
    if (!exists)
        loaded.Require<GetDefaultParametersFn>(kGetDefaultParameters)(setup, motion, params);

    if (!edit(setup, motion, params)) {
        CConsole::Say("cancelled: " + path + (exists ? " left as it was" : " not created"));
        return kCancelled;
    }
    if (const CString error = CAtomicFile::Replace(path, params.View()); !error.IsEmpty()) {
        CConsole::Say(std::string(error.View()) + "; the edited text follows on standard output");
        CConsole::Out(params);
        return kNotSaved;
    }
    return 0;
}
