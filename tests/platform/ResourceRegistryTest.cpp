#include "platform/ResourceRegistry.h"

#include "platform/ModuleResources.h"
#include "platform/VersionInfo.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int g_object = 0;
void FunctionInTest() {}

TEST(CResourceRegistryTest, ModuleOf)
{
    const HMODULE test = CResourceRegistry::ModuleOf(&g_object);
    ASSERT_NE(nullptr, test);
    EXPECT_EQ(test, CResourceRegistry::ModuleOf(reinterpret_cast<const void*>(&FunctionInTest)));
    const HMODULE library = CResourceRegistry::ModuleOf(&CResourceRegistry::Instance());
    EXPECT_NE(nullptr, library);
    EXPECT_NE(test, library);
    EXPECT_EQ(nullptr, CResourceRegistry::ModuleOf(nullptr));
    const auto heap = std::make_unique<int>(0);
    EXPECT_EQ(nullptr, CResourceRegistry::ModuleOf(heap.get()));
}

TEST(CResourceRegistryTest, FindModule)
{
    CResourceRegistry& registry = CResourceRegistry::Instance();
    {
        CModuleResources module("platform-test-module", &g_object);
        EXPECT_EQ(CResourceRegistry::ModuleOf(&g_object), module.GetHandle());
        EXPECT_EQ(&module, registry.FindModule("platform-test-module"));
        EXPECT_EQ(&module, registry.FindModule(module.GetHandle()));
        EXPECT_EQ(nullptr, registry.FindModule("platform-test"));
        EXPECT_EQ(nullptr, registry.FindModule(static_cast<const char*>(nullptr)));
        EXPECT_EQ(nullptr, registry.FindModule(static_cast<HMODULE>(nullptr)));
    }
    EXPECT_EQ(nullptr, registry.FindModule("platform-test-module"));
    EXPECT_EQ(nullptr, registry.FindModule(CResourceRegistry::ModuleOf(&g_object)));
}

TEST(CVersionInfoTest, VersionTextAndStrings)
{
    struct Row { std::array<WORD, 4> version; const char* text; };
    const Row rows[] = {
        {{1, 0, 0, 1}, "1.0.0.1"},
        {{0, 0, 0, 0}, "0.0.0.0"},
        {{10, 2, 300, 4000}, "10.2.300.4000"},
        {{65535, 65535, 65535, 65535}, "65535.65535.65535.65535"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.text, CVersionInfo::VersionText(r.version).Std());

    CVersionInfo info;
    info.m_Strings["FileDescription"] = "Motion module";
    EXPECT_EQ("Motion module", info.GetString("FileDescription").Std());
    EXPECT_TRUE(info.GetString("ProductName").IsEmpty());
    EXPECT_TRUE(info.GetString(nullptr).IsEmpty());
}

}  // namespace
