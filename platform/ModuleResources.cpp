#include "platform/ModuleResources.h"

#include "platform/ResourceRegistry.h"

CModuleResources::CModuleResources(const char* moduleName, const void* addressInModule)
    : m_strName(moduleName), m_hModule(CResourceRegistry::ModuleOf(addressInModule))
{
    CResourceRegistry::Instance().Register(this);
}

CModuleResources::~CModuleResources()
{
    CResourceRegistry::Instance().Unregister(this);
}

const char* CModuleResources::FindString(UINT id) const
{
    const auto it = m_Strings.find(id);
    return it == m_Strings.end() ? nullptr : it->second.c_str();
}

const CDialogTemplate* CModuleResources::FindDialog(UINT id) const
{
    const auto it = m_Dialogs.find(id);
    return it == m_Dialogs.end() ? nullptr : &it->second;
}

const std::vector<BYTE>* CModuleResources::FindBitmap(const char* name) const
{
    const auto it = m_Bitmaps.find(name ? name : "");
    return it == m_Bitmaps.end() ? nullptr : &it->second;
}
