#include "host/HostContext.h"

#include "host/HostError.h"
#include "host/InputFile.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"

#include <climits>
#include <unistd.h>
#include <utility>

CHostContext::CHostContext(std::string modulePath, std::string setupPath)
    : m_strModulePath(modulePath.empty() ? DefaultModulePath() : std::move(modulePath)),
      m_strSetupPath(std::move(setupPath))
{
}

std::string CHostContext::DefaultModulePath()
{
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "Velkor.so";
    exe[n] = '\0';
    const std::string path(exe);
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    // Beside the program in a build folder; in lib/velkor once installed
    // (PREFIX/bin/motionhost, PREFIX/lib/velkor/Velkor.so).
    const std::string beside = folder + "/Velkor.so";
    const std::string installed = folder + "/../lib/velkor/Velkor.so";
    return access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0 ? installed : beside;
}

CDK_Setup& CHostContext::Setup()
{
    if (!m_bSetupLoaded) {
        // Read as every input of the host is (a regular file, or standard
        // input), at most as large as a setup file may be.
        if (!m_strSetupPath.empty()) {
            CInputFile input(m_strSetupPath, CDK_Setup::kMaxDocumentSize);
            CString text;
            ThrowIf(input.Read(text));
            // The setup's message names no file (": FIELD: PROBLEM"): this
            // one does, as every message of the host does.
            const CString error = m_Setup.LoadFromText(text, "");
            if (!error.IsEmpty())
                throw SHostError{"cannot use the setup file " + input.GetName() + ": " +
                                 std::string(error.View().substr(error.View().rfind(": ", 0) == 0 ? 2 : 0))};
        }
        m_bSetupLoaded = true;
    }
    return m_Setup;
}

const CModuleLoader& CHostContext::Module()
{
    if (!m_bModuleLoaded) {
        ThrowIf(m_Module.Load(m_strModulePath.c_str()));
        m_bModuleLoaded = true;
    }
    return m_Module;
}

CString CHostContext::DefaultText()
{
    using namespace module_exports;
    const auto defaults = Module().Require<GetDefaultParametersFn>(kGetDefaultParameters);
    CDK_Motion motion;
    CString text;
    defaults(Setup(), motion, text);
    return text;
}
