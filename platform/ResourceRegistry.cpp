#include "platform/ResourceRegistry.h"

#include "platform/ModuleResources.h"

#include <algorithm>
#include <dlfcn.h>

CResourceRegistry& CResourceRegistry::Instance()
{
    // Built on first use, so that modules registering from their static
    // constructors find it whatever the load order; it outlives them.
    static CResourceRegistry registry;
    return registry;
}

HMODULE CResourceRegistry::ModuleOf(const void* address)
{
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

void CResourceRegistry::Register(CModuleResources* module)
{
    if (module && std::find(m_Modules.begin(), m_Modules.end(), module) == m_Modules.end())
        m_Modules.push_back(module);
}

void CResourceRegistry::Unregister(CModuleResources* module)
{
    m_Modules.erase(std::remove(m_Modules.begin(), m_Modules.end(), module), m_Modules.end());
}

const char* CResourceRegistry::FindString(UINT id) const
{
    for (auto it = m_Modules.rbegin(); it != m_Modules.rend(); ++it)
        if (const char* text = (*it)->FindString(id))
            return text;
    return nullptr;
}

const CDialogTemplate* CResourceRegistry::FindDialog(UINT id) const
{
    for (auto it = m_Modules.rbegin(); it != m_Modules.rend(); ++it)
        if (const CDialogTemplate* dialog = (*it)->FindDialog(id))
            return dialog;
    return nullptr;
}

const CModuleResources* CResourceRegistry::FindModule(HMODULE module) const
{
    for (const CModuleResources* m : m_Modules)
        if (m->GetHandle() == module)
            return m;
    return nullptr;
}

const CModuleResources* CResourceRegistry::FindModule(const char* name) const
{
    for (const CModuleResources* m : m_Modules)
        if (m->GetName() == (name ? name : ""))
            return m;
    return nullptr;
}
