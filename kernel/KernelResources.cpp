// The kernel's resources, registered with the platform when the library
// loads: its string table (modules format these messages by number through
// the platform's resource search) and the templates of its dialogs
// (KernelResources.h, docs/event-dialogs.md).
#include "kernel/KernelResources.h"

#include "platform/DialogTemplate.h"
#include "platform/MessageBox.h"
#include "platform/ModuleResources.h"
#include "platform/WindowStyles.h"

namespace {

using namespace dk_res;
using I = CDialogItem;

constexpr int IDC_STATIC = -1;  // a control the code never addresses
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kEdit = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;
constexpr DWORD kFirstRadio = kRadio | WS_GROUP | WS_TABSTOP;
// OK starts a group of its own, so that it ends the radio group before it.
constexpr DWORD kOk = kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP;
constexpr DWORD kCancel = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr const char* kFont = "MS Shell Dlg";

// The trigger types as a sentence that begins with the group box's caption
// ("Start the motion ..."). The reason under the input button is shown only
// when the product has no drive inputs.
CDialogTemplate EventTypeDialog()
{
    CDialogTemplate t(kDialog, 230, 113, "Choose Event", kFont, 8);
    t.Add(I(I::Button, IDC_STATIC, "Start the motion", 7, 4, 216, 82, kChild | BS_GROUPBOX))
        .Add(I(I::Button, IDC_TYPE_MOTION_COMPLETE, "When the motion in progress is &complete", 16, 17, 200, 10,
               kFirstRadio))
        .Add(I(I::Button, IDC_TYPE_INPUT, "When a digital &input reaches a level", 16, 31, 200, 10, kRadio))
        .Add(I(I::Static, IDC_TYPE_NO_INPUTS, "Not available: this product has no drive inputs.", 28, 42, 190, 8,
               WS_CHILD | SS_LEFT))
        .Add(I(I::Button, IDC_TYPE_POSITION, "When the &position passes a value", 16, 54, 200, 10, kRadio))
        .Add(I(I::Button, IDC_TYPE_DELAY, "After a &delay", 16, 68, 200, 10, kRadio))
        .Add(I(I::Button, IDOK, "OK", 116, 92, 50, 14, kOk))
        .Add(I(I::Button, IDCANCEL, "Cancel", 173, 92, 50, 14, kCancel));
    return t;
}

CDialogTemplate InputDialog()
{
    CDialogTemplate t(kDialog, 210, 85, "Input Event", kFont, 8);
    t.Add(I(I::Static, IDC_STATIC, "Start the motion when a digital input reaches a level.", 7, 7, 196, 8, kLabel))
        .Add(I(I::Static, IDC_STATIC, "&Input:", 7, 25, 38, 8, kLabel | WS_GROUP))
        .Add(I(I::Edit, IDC_INPUT_NUMBER, "", 48, 22, 28, 14, kEdit))
        .Add(I(I::Static, IDC_STATIC, "0 to 15 (IN0 ... IN15)", 82, 25, 121, 8, kLabel))
        .Add(I(I::Static, IDC_STATIC, "Level:", 7, 44, 38, 8, kLabel | WS_GROUP))
        .Add(I(I::Button, IDC_INPUT_LOW, "&Low", 48, 43, 40, 10, kFirstRadio))
        .Add(I(I::Button, IDC_INPUT_HIGH, "&High", 94, 43, 40, 10, kRadio))
        .Add(I(I::Button, IDOK, "OK", 96, 64, 50, 14, kOk))
        .Add(I(I::Button, IDCANCEL, "Cancel", 153, 64, 50, 14, kCancel));
    return t;
}

CDialogTemplate PositionDialog()
{
    CDialogTemplate t(kDialog, 210, 97, "Position Event", kFont, 8);
    t.Add(I(I::Static, IDC_STATIC, "Start the motion when the position passes a value.", 7, 7, 196, 8, kLabel))
        .Add(I(I::Static, IDC_STATIC, "&Position:", 7, 25, 38, 8, kLabel | WS_GROUP))
        .Add(I(I::Edit, IDC_POSITION_VALUE, "", 48, 22, 70, 14, kEdit))
        .Add(I(I::Static, IDC_STATIC, "IU (position increments)", 124, 25, 79, 8, kLabel))
        .Add(I(I::Button, IDC_POSITION_ABOVE, "Rises &above the value", 48, 42, 150, 10, kFirstRadio))
        .Add(I(I::Button, IDC_POSITION_BELOW, "Falls &below the value", 48, 55, 150, 10, kRadio))
        .Add(I(I::Button, IDOK, "OK", 96, 76, 50, 14, kOk))
        .Add(I(I::Button, IDCANCEL, "Cancel", 153, 76, 50, 14, kCancel));
    return t;
}

CDialogTemplate DelayDialog()
{
    CDialogTemplate t(kDialog, 210, 85, "Delay Event", kFont, 8);
    t.Add(I(I::Static, IDC_STATIC, "Start the motion a delay after the event is set.", 7, 7, 196, 8, kLabel))
        .Add(I(I::Static, IDC_STATIC, "&Delay:", 7, 25, 38, 8, kLabel | WS_GROUP))
        .Add(I(I::Edit, IDC_DELAY_VALUE, "", 48, 22, 60, 14, kEdit))
        .Add(I(I::Static, IDC_STATIC, "sampling periods", 114, 25, 89, 8, kLabel))
        // Filled in by the dialog: the range and the length of one period.
        .Add(I(I::Static, IDC_DELAY_PERIOD, "", 48, 41, 155, 8, kLabel))
        .Add(I(I::Button, IDOK, "OK", 96, 64, 50, 14, kOk))
        .Add(I(I::Button, IDCANCEL, "Cancel", 153, 64, 50, 14, kCancel));
    return t;
}

struct CKernelResources : CModuleResources {
    CKernelResources() : CModuleResources("dkcore", &s_bAnchor)
    {
        // A point column that the array reader accepted but that does not fit
        // the point table; %s is the column's key.
        AddString(20048,
                  "Parameter \"%s\": invalid point data (each column needs one value per point; the first "
                  "point is 0 and the last velocity is 0).\n");
        AddDialog(IDD_EVENT_TYPE, EventTypeDialog());
        AddDialog(IDD_EVENT_INPUT, InputDialog());
        AddDialog(IDD_EVENT_POSITION, PositionDialog());
        AddDialog(IDD_EVENT_DELAY, DelayDialog());
    }
    static const bool s_bAnchor;
};

const bool CKernelResources::s_bAnchor = true;
const CKernelResources s_Resources;

}  // namespace

HMODULE KernelResourceModule() { return s_Resources.GetHandle(); }
