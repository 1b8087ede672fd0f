#include "host/ModuleLoader.h"

#include "kernel/ModuleExports.h"
#include "platform/ResourceRegistry.h"

#include <dlfcn.h>

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
        const char* why = dlerror();
        return "cannot load the module " + m_strPath + ": " + CString(why ? why : "unknown error");
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
        error = "the module " + m_strPath + " does not export \"" + name + "\"";
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
