// The functions the module exports to the host, under their plain names.
#include "editor/EditorDlg.h"
#include "kernel/ModuleExports.h"
#include "kernel/Setup.h"
#include "platform/Exception.h"
#include "platform/MessageBox.h"
#include "platform/WindowSystem.h"
#include "pvt/InternalData.h"

#include <exception>
#include <utility>
#include <type_traits>

#define VELKOR_EXPORT extern "C" __attribute__((visibility("default")))

VELKOR_EXPORT const char* GetClassName() { return "Motion"; }

VELKOR_EXPORT const char* GetName() { return "PVT"; }

VELKOR_EXPORT int GetOrderID() { return 4160; }

// The PVT type needs a drive (not a motion controller) with closed-loop
// position control, the PVT buffer and the three variables that carry the
// point columns. The tests stop at the first that fails.
VELKOR_EXPORT int IsEnabled(CDK_Setup& setup)
{
    if (setup.IsMotionController() != 0)
        return 0;
    if (setup.GetIntOption("IsClosedPosition") == 0)
        return 0;
    if (!setup.FindVariable("PVTBUFBEGIN", 1))
        return 0;
    if (!setup.FindVariable("PVTBUFLEN", 1))
        return 0;
    for (const int key : {CInternalData::KEY_TPOS, CInternalData::KEY_TSPD, CInternalData::KEY_ATIME})
        if (!setup.FindVariable(CInternalData::s_Keys[key], 1))
            return 0;
    return 1;
}

VELKOR_EXPORT void GetDefaultParameters(CDK_Setup& setup, CDK_Motion& motion, CString& out)
{
    CInternalData data(setup, motion);
    out = data.BuildDefaultParameters();
}

namespace {

// Tells the user that the editor failed; never throws.
void ReportEditFailure(const char* reason) noexcept
{
    try {
        AfxMessageBox(CString("The motion could not be edited: ") + reason, MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

}  // namespace

// The editor, run modally on the host's text: 1 when the user confirmed it
// with OK (then `params` holds the edited text), else 0 with `params` as it
// was. Without a display nothing is shown and `params` is not touched. A
// failure inside the editor is reported in a message box (on the standard
// error stream without a display) and never unwinds into the host.
VELKOR_EXPORT int EditMotionSequence(CDK_Setup& setup, CDK_Motion& motion, CString& params)
{
    if (!CWindowSystem::IsDisplayAvailable())
        return 0;
    CString before;
    bool saved = false;
    try {
        before = params;
        saved = true;
        CEditorDlg dlg(setup, motion, params, nullptr);
        return dlg.DoModal() == IDOK ? 1 : 0;
    } catch (const std::exception& e) {
        if (saved)
            params = std::move(before);
        ReportEditFailure(e.what());
    } catch (CException* e) {
        if (saved)
            params = std::move(before);
        CString reason;
        try {
            reason = e->GetMessage();
        } catch (...) {
        }
        e->Delete();
        ReportEditFailure(reason);
    }
    return 0;
}

VELKOR_EXPORT int TranslateMotionSequence(CDK_Setup& setup, CDK_Motion& motion, CString& params, CString& out)
{
    // `out` receives either the whole program or the error text, never a
    // part of a program: the program is built aside and assigned at the end.
    // Nothing may unwind into the host: running out of memory on a huge
    // table is reported like any other failure.
    try {
        CInternalData data(setup, motion);
        CString errors;
        out.Empty();
        if (!data.ReadParameters(params, errors)) {
            out = errors;
            return 0;
        }
        int badPoint = 0;
        errors = data.CheckPoints(badPoint);
        if (!errors.IsEmpty()) {
            out = errors;
            return 0;
        }
        out = data.GenerateCode();
        return 1;
    } catch (const std::exception& e) {
        out = CString("The motion could not be translated: ") + e.what();
    } catch (CException* e) {
        out = "The motion could not be translated: " + e->GetMessage();
        e->Delete();
    }
    return 0;
}

// The exports have exactly the types a host looks them up with.
static_assert(std::is_same_v<decltype(&GetClassName), module_exports::GetClassNameFn>);
static_assert(std::is_same_v<decltype(&GetName), module_exports::GetNameFn>);
static_assert(std::is_same_v<decltype(&GetOrderID), module_exports::GetOrderIDFn>);
static_assert(std::is_same_v<decltype(&IsEnabled), module_exports::IsEnabledFn>);
static_assert(std::is_same_v<decltype(&GetDefaultParameters), module_exports::GetDefaultParametersFn>);
static_assert(std::is_same_v<decltype(&EditMotionSequence), module_exports::EditMotionSequenceFn>);
static_assert(std::is_same_v<decltype(&TranslateMotionSequence), module_exports::TranslateMotionSequenceFn>);
