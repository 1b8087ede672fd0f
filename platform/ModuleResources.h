// CModuleResources: the resources of one loaded module (string table,
// dialog templates, bitmaps, version information). A module defines one static instance; its
// construction registers the resources with the platform when the module is
// loaded and its destruction withdraws them when the module is unloaded.
#pragma once

#include "platform/DialogTemplate.h"
#include "platform/String.h"
#include "platform/Types.h"
#include "platform/VersionInfo.h"

#include <map>
#include <string>
#include <vector>

class CModuleResources {
public:
    // `addressInModule` is the address of any object or function of the
    // module; the module handle is the load address of the shared object
    // that contains it.
    CModuleResources(const char* moduleName, const void* addressInModule);
    ~CModuleResources();
    CModuleResources(const CModuleResources&) = delete;
    CModuleResources& operator=(const CModuleResources&) = delete;

    HMODULE GetHandle() const { return m_hModule; }
    const CString& GetName() const { return m_strName; }

    void AddString(UINT id, const char* text) { m_Strings[id] = text; }
    const char* FindString(UINT id) const;

    // A dialog template under its resource id (CDialog's template id).
    void AddDialog(UINT id, CDialogTemplate dialog) { m_Dialogs.insert_or_assign(id, std::move(dialog)); }
    const CDialogTemplate* FindDialog(UINT id) const;

    // A bitmap is kept as a device-independent bitmap: BITMAPINFOHEADER,
    // colour table, then the pixel rows bottom-up, as a .bmp file holds it
    // after its 14-byte file header.
    void AddBitmap(const char* name, std::vector<BYTE> dib) { m_Bitmaps[name] = std::move(dib); }
    const std::vector<BYTE>* FindBitmap(const char* name) const;

    CVersionInfo m_Version;

private:
    CString m_strName;
    HMODULE m_hModule;
    std::map<UINT, std::string> m_Strings;
    std::map<UINT, CDialogTemplate> m_Dialogs;
    std::map<std::string, std::vector<BYTE>> m_Bitmaps;
};
