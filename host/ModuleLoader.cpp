#include "host/ModuleLoader.h"

#include "host/HostText.h"
#include "kernel/ModuleExports.h"
#include "platform/ResourceRegistry.h"

#include <dlfcn.h>

#include <string>

CModuleLoader::~CModuleLoader()
{
    if (m_pHandle)
        dlclose(m_pHandle);
}

CString CModuleLoader::Load(const char* path)
{
    m_strPath = path;
    // Bind every symbol now: a module that cannot run fails here, not in
    // the middle of a command.
    m_pHandle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!m_pHandle) {
        // dlerror says "PATH: reason: Reason"; the message names the path
        // once, and goes on in lower case.
        const char* error = dlerror();
        std::string why = error ? error : "unknown error";
        if (why.rfind(m_strPath.Std() + ": ", 0) == 0)
            why.erase(0, m_strPath.GetLength() + 2);
        for (std::size_t at = why.find(": "); at != std::string::npos; at = why.find(": ", at + 2))
            if (at + 3 < why.size() && why[at + 2] >= 'A' && why[at + 2] <= 'Z' && why[at + 3] >= 'a')
                why[at + 2] = static_cast<char>(why[at + 2] - 'A' + 'a');
        return CString(std::string_view("cannot load the module " + CHostText::Name(m_strPath.View()) + ": " + why));
    }
    return CString();
}

void* CModuleLoader::Find(const char* name, CString& error) const
{
    if (!m_pHandle) {
        error = "no module is loaded";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(m_pHandle, name);
    if (!address)
        error = CString(
            std::string_view("the module " + CHostText::Name(m_strPath.View()) + " does not export \"" + name + "\""));
    return address;
}

const CModuleResources* CModuleLoader::GetResources() const
{
    // The module's handle is its load address, found from any of its exports.
    CString error;
    const void* address = Find(module_exports::kGetName, error);
    if (!address)
        return nullptr;
    return CResourceRegistry::Instance().FindModule(CResourceRegistry::ModuleOf(address));
}
