// The module as a host sees it: loaded with dlopen, its exports found by
// name, its resources read from the loaded module.
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/Dib.h"
#include "platform/ModuleResources.h"
#include "platform/ResourceRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace module_exports;

const char* const kModulePath = VELKOR_BIN_DIR "/Velkor.so";

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pModule = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_pModule, nullptr) << dlerror();
    }
    void TearDown() override
    {
        if (m_pModule)
            dlclose(m_pModule);
    }
    template <typename Fn>
    Fn Export(const char* name)
    {
        void* address = dlsym(m_pModule, name);
        EXPECT_NE(address, nullptr) << name;
        return reinterpret_cast<Fn>(address);
    }
    int Translate(const char* text, CString& out)
    {
        CDK_Setup setup;
        CDK_Motion motion;
        CString params(text);
        return Export<TranslateMotionSequenceFn>(kTranslateMotionSequence)(setup, motion, params, out);
    }

    void* m_pModule = nullptr;
};

// A setup that records every query the availability check makes.
class CRecordingSetup : public CDK_Setup {
public:
    int IsMotionController() const override
    {
        m_Queries.push_back("IsMotionController");
        return m_bController;
    }
    int GetIntOption(const char* name) const override
    {
        m_Queries.push_back(std::string("option ") + name);
        return std::string(name) == "IsClosedPosition" ? m_nClosed : 0;
    }
    const CDK_Variable* FindVariable(const char* name, int exact) const override
    {
        m_Queries.push_back(std::string("variable ") + name + (exact == 1 ? "" : " (not exact)"));
        return m_Missing == name ? nullptr : CDK_Setup::FindVariable(name, exact);
    }

    int m_bController = 0;
    int m_nClosed = 1;
    std::string m_Missing;
    mutable std::vector<std::string> m_Queries;
};

TEST_F(ModuleTest, NamesItself)
{
    for (int call = 0; call < 3; ++call) {
        EXPECT_STREQ(Export<GetClassNameFn>(kGetClassName)(), "Motion");
        EXPECT_STREQ(Export<GetNameFn>(kGetName)(), "PVT");
        EXPECT_EQ(Export<GetOrderIDFn>(kGetOrderID)(), 4160);
    }
}

TEST_F(ModuleTest, AvailabilityStopsAtTheFirstFailingTest)
{
    const std::vector<std::string> all = {
        "IsMotionController",   "option IsClosedPosition", "variable PVTBUFBEGIN", "variable PVTBUFLEN",
        "variable TPOS",        "variable TSPD",           "variable ATIME",
    };
    struct SCase {
        const char* name;
        int controller, closed;
        const char* missing;
        int enabled;
        std::size_t queries;  // how many of `all` were asked, in order
    };
    const SCase cases[] = {
        {"drive with everything", 0, 1, "", 1, 7},
        {"motion controller asks nothing else", 1, 1, "", 0, 1},
        {"open-loop drive, all variables present", 0, 0, "", 0, 2},
        {"no PVT buffer start", 0, 1, "PVTBUFBEGIN", 0, 3},
        {"no PVT buffer length", 0, 1, "PVTBUFLEN", 0, 4},
        {"no TPOS", 0, 1, "TPOS", 0, 5},
        {"no TSPD", 0, 1, "TSPD", 0, 6},
        {"no ATIME", 0, 1, "ATIME", 0, 7},
    };
    const auto isEnabled = Export<IsEnabledFn>(kIsEnabled);
    for (const SCase& c : cases) {
        CRecordingSetup setup;
        setup.m_bController = c.controller;
        setup.m_nClosed = c.closed;
        setup.m_Missing = c.missing;
        EXPECT_EQ(isEnabled(setup), c.enabled) << c.name;
        EXPECT_EQ(setup.m_Queries, std::vector<std::string>(all.begin(), all.begin() + static_cast<long>(c.queries)))
            << c.name;
    }
}

TEST_F(ModuleTest, DefaultParametersOfTheEmbeddedDrive)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CString out = "left over";
    Export<GetDefaultParametersFn>(kGetDefaultParameters)(setup, motion, out);
    EXPECT_EQ(std::string(out), "ClearBuffer = 1\n"
                                "ATIME.unit = s\nATIME = 0\n"
                                "TPOS.unit = rot\nTPOS = 0\n"
                                "TSPD.unit = rpm\nTSPD = 0\n"
                                "Execute = 0\nWaitForCompletion = 1\n");
}

TEST_F(ModuleTest, TranslationReturnsTheProgramOrOnlyTheErrors)
{
    struct SCase {
        const char* name;
        const char* text;
        int result;
        const char* out;
    };
    const SCase cases[] = {
        {"defaults fail validation",
         "ClearBuffer = 1\nATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\nWaitForCompletion = 1\n", 0,
         "Invalid number of points. You should have at least 2 points."},
        {"read errors are returned as collected, without a header",
         "ATIME = 0, 10\nTPOS = 0, 5\nTSPD = 0, 0\n", 0, "Parameter \"Execute\" is missing.\n"},
        {"a valid two-point move",
         "ATIME.unit = IU\nATIME = 0, 10\nTPOS.unit = IU\nTPOS = 0, 5\nTSPD.unit = IU\nTSPD = 0, 0\nExecute = 0\n", 1,
         "  SETPVT 0x4F00; //Leave PVT buffer intact\r\n"
         "  MODE PVT; // Set PVT Mode\r\n"
         "  TUM1;//Start from actual value of position reference\r\n"
         "  CPR;\r\n"
         "  PVTP 5L, 0, 10U, 0;//PVT(5[IU], 0[IU], 10[IU])\r\n"
         "  UPD; //Execute immediate\r\n"},
    };
    for (const SCase& c : cases) {
        CString out = "left over from an earlier call";
        EXPECT_EQ(Translate(c.text, out), c.result) << c.name;
        EXPECT_EQ(std::string(out), c.out) << c.name;
    }
}

TEST_F(ModuleTest, ExportsItsFunctionsAndNothingElse)
{
    FILE* nm = popen(("nm -D --defined-only " + std::string(kModulePath)).c_str(), "r");
    ASSERT_NE(nm, nullptr);
    std::set<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        std::string s(line);
        s = s.substr(s.find_last_of(' ') + 1);
        s.erase(s.find_last_not_of("\r\n") + 1);
        symbols.insert(s);
    }
    ASSERT_EQ(pclose(nm), 0);
    const std::set<std::string> expected = {kGetClassName,         kGetName,           kGetOrderID,
                                            kIsEnabled,            kGetDefaultParameters, kEditMotionSequence,
                                            kTranslateMotionSequence};
    EXPECT_EQ(symbols, expected);
}

TEST_F(ModuleTest, ResourcesAreReadFromTheLoadedModule)
{
    const HMODULE handle = CResourceRegistry::ModuleOf(dlsym(m_pModule, kGetName));
    const CModuleResources* resources = CResourceRegistry::Instance().FindModule(handle);
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(CVersionInfo::VersionText(resources->m_Version.m_FileVersion), "1.0.0.1");
    EXPECT_EQ(CVersionInfo::VersionText(resources->m_Version.m_ProductVersion), "1.0.0.1");
    EXPECT_EQ(resources->m_Version.GetString("FileDescription"), "Velkor DLL");

    const std::vector<BYTE>* icon = resources->FindBitmap("MODULEICON");
    ASSERT_NE(icon, nullptr);
    int width = 0, height = 0, bits = 0;
    ASSERT_TRUE(CDib::GetSize(*icon, width, height, bits));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    EXPECT_EQ(bits, 4);
    const char* const rows[16] = {
        "7722777777777777", "7277277777777777", "72772cc777777777", "277c727c77772777",
        "277c727c77727277", "27c77277c7727277", "27c77277c7277727", "27c77277c7277727",
        "77777277c72777c7", "77777277c72777c7", "77777277c72777c7", "777772777c277c77",
        "777772777c277c77", "7777772772ccc777", "7777772772777777", "7777777227777777",
    };
    for (int y = 0; y < 16; ++y) {
        std::string row;
        for (int x = 0; x < 16; ++x)
            row += "0123456789abcdef"[CDib::GetPixelIndex(*icon, x, y) & 15];
        EXPECT_EQ(row, rows[y]) << "row " << y;
    }
    // The standard palette's dark green, light grey and blue.
    const struct {
        int index;
        BYTE r, g, b;
    } colours[] = {{2, 0, 128, 0}, {7, 192, 192, 192}, {12, 0, 0, 255}};
    for (const auto& c : colours) {
        const CDib::SColor got = CDib::GetPaletteColor(*icon, c.index);
        EXPECT_EQ(std::vector<int>({got.r, got.g, got.b}), std::vector<int>({c.r, c.g, c.b})) << c.index;
    }

    // Unloading the module withdraws its resources.
    ASSERT_EQ(dlclose(m_pModule), 0);
    m_pModule = nullptr;
    EXPECT_EQ(CResourceRegistry::Instance().FindModule(handle), nullptr);
}

}  // namespace
