// A motion module for testing the host's edit command without a window: its
// EditMotionSequence answers as a person would, by what the environment says.
//
//   EDIT_TEST_ACTION  "ok": appends "Edited = 1\n" to the text and returns 1;
//                     anything else: spoils the text and returns 0 (Cancel),
//                     so that a host writing it after a Cancel is caught.
//   EDIT_TEST_RECORD  a file that receives the text the editor was given.
//   EDIT_TEST_MEANWHILE  a file to which "Changed = 1\n" is appended while
//                     the editor is open, as another editor saving it would.
// Its default text is "Default = 1\n".
#include "kernel/ModuleExports.h"
#include "platform/String.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#define TEST_EXPORT extern "C" __attribute__((visibility("default")))

TEST_EXPORT const char* GetClassName() { return "Motion"; }
TEST_EXPORT const char* GetName() { return "EditTest"; }
TEST_EXPORT int GetOrderID() { return 1; }
TEST_EXPORT int IsEnabled(CDK_Setup&) { return 1; }

TEST_EXPORT void GetDefaultParameters(CDK_Setup&, CDK_Motion&, CString& out) { out = "Default = 1\n"; }

TEST_EXPORT int EditMotionSequence(CDK_Setup&, CDK_Motion&, CString& params)
{
    if (const char* record = std::getenv("EDIT_TEST_RECORD")) {
        if (std::FILE* file = std::fopen(record, "wb")) {
            std::fwrite(params.GetString(), 1, static_cast<std::size_t>(params.GetLength()), file);
            std::fclose(file);
        }
    }
    if (const char* meanwhile = std::getenv("EDIT_TEST_MEANWHILE")) {
        if (std::FILE* file = std::fopen(meanwhile, "ab")) {
            std::fputs("Changed = 1\n", file);
            std::fclose(file);
        }
    }
    const char* action = std::getenv("EDIT_TEST_ACTION");
    if (action && std::strcmp(action, "ok") == 0) {
        params += "Edited = 1\n";
        return 1;
    }
    params = "spoilt by a cancelled editor\n";
    return 0;
}

TEST_EXPORT int TranslateMotionSequence(CDK_Setup&, CDK_Motion&, CString&, CString& out)
{
    out = "the edit test module translates nothing";
    return 0;
}

static_assert(std::is_same_v<decltype(&EditMotionSequence), module_exports::EditMotionSequenceFn>);
static_assert(std::is_same_v<decltype(&GetDefaultParameters), module_exports::GetDefaultParametersFn>);
