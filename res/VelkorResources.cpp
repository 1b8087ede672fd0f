// The module's resources: the bitmap "MODULEICON" (the icon of the PVT motion
// type) and the version information. They are registered with the framework
// when the module loads and withdrawn when it unloads, so that a host reads
// them from the loaded module.
#include "platform/Dib.h"
#include "platform/ModuleResources.h"

namespace {

// 16 x 16 pixels, one palette index per digit, top row first: two
// interleaved wave-shaped curves, dark green (2) and blue (12, "c"), on light
// grey (7).
const std::vector<const char*> kModuleIcon = {
    "7722777777777777", "7277277777777777", "72772cc777777777", "277c727c77772777",
    "277c727c77727277", "27c77277c7727277", "27c77277c7277727", "27c77277c7277727",
    "77777277c72777c7", "77777277c72777c7", "77777277c72777c7", "777772777c277c77",
    "777772777c277c77", "7777772772ccc777", "7777772772777777", "7777777227777777",
};

struct CVelkorResources : CModuleResources {
    CVelkorResources() : CModuleResources("Velkor", &kModuleIcon)
    {
        AddBitmap("MODULEICON", CDib::Build4bpp(16, kModuleIcon));
        m_Version.m_FileVersion = {1, 0, 0, 1};
        m_Version.m_ProductVersion = {1, 0, 0, 1};
        m_Version.m_Strings["FileDescription"] = "Velkor DLL";
        m_Version.m_Strings["FileVersion"] = "1.0.0.1";
        m_Version.m_Strings["ProductVersion"] = "1.0.0.1";
        m_Version.m_Strings["InternalName"] = "Velkor";
        m_Version.m_Strings["OriginalFilename"] = "Velkor.so";
    }
};

const CVelkorResources s_Resources;

}  // namespace
