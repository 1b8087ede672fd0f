// CResourceRegistry: the platform's list of loaded modules and their
// resources. A string or dialog resource is searched in every loaded module,
// the most recently loaded first, as the platform's resource search does.
#pragma once

#include "platform/Types.h"

#include <vector>

class CDialogTemplate;
class CModuleResources;

class CResourceRegistry {
public:
    static CResourceRegistry& Instance();

    // The handle of the loaded shared object (executable or library) that
    // contains `address`: its load address; null when there is none.
    static HMODULE ModuleOf(const void* address);

    void Register(CModuleResources* module);
    void Unregister(CModuleResources* module);

    const char* FindString(UINT id) const;
    const CDialogTemplate* FindDialog(UINT id) const;
    const CModuleResources* FindModule(HMODULE module) const;
    const CModuleResources* FindModule(const char* name) const;

private:
    CResourceRegistry() = default;
    std::vector<CModuleResources*> m_Modules;  // in load order
};
