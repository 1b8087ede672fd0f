// The module's resources: the editor's dialog template 214, the bitmap
// "MODULEICON" (the icon of the PVT motion type) and the version information.
// They are registered with the framework when the module loads and withdrawn
// when it unloads, so that a host reads them from the loaded module.
#include "platform/DialogTemplate.h"
#include "platform/Dib.h"
#include "platform/MessageBox.h"
#include "platform/ModuleResources.h"
#include "platform/WindowStyles.h"

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

constexpr UINT IDD_EDIT_PVT = 214;
constexpr int IDC_STATIC = -1;  // a control the code never addresses
constexpr int ID_HELP_BUTTON = 57671;
// The help text of a dialog is the string with its help id: this base plus
// the template id. The Help button of the editor shows it.
constexpr UINT HID_BASE_RESOURCE = 0x20000u;

// What the editor's Help button shows.
constexpr const char kEditorHelp[] =
    "Motion - PVT: a trajectory given as a table of points (position, velocity, time) between which the "
    "drive interpolates a cubic.\n"
    "\n"
    "Points: type a position, a velocity and a time in the units chosen beside them. Enter moves from "
    "position to velocity to time; Enter in the time field inserts the point (a point at an existing time "
    "gets the new position and velocity). Update changes the selected point to the values typed, Remove "
    "deletes it, << and >> step through the table. Point 0 is the start (0, 0, 0) and cannot be changed. "
    "Values are clamped to what the drive holds; a point must come at least one sampling period after the "
    "one before it, at most 511 sampling periods later, and the last velocity must be 0.\n"
    "\n"
    "Import From File reads one point per line, \"position velocity time\", in the units chosen, and "
    "replaces the table.\n"
    "\n"
    "Execute: immediately (optionally waiting until the motion is completed), or when an event occurs "
    "(Change Event chooses it, Edit Event sets its values). Host address: sets the drive's host address "
    "(1 to 255) before the points are loaded.\n"
    "\n"
    "OK checks the table and saves the motion; Cancel leaves it as it was.";

// Every control is a visible child window.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPointEdit = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kUnitCombo = kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;

// The editor "Motion - PVT", in dialog units, controls in template (and tab)
// order. The font is "MS Sans Serif" 8 point; where it is not installed (it
// is not on Linux) the framework shows the dialog in DejaVu Sans 8 point
// (CWindowSystem::ResolveFontFamily): base units 7 x 13 pixels at 96 dots per
// inch instead of the classic face's 6 x 13, so the dialog is somewhat wider
// in pixels (567 x 471) with every control where its dialog units put it
// (docs/dialogs.md).
CDialogTemplate EditorDialog()
{
    using I = CDialogItem;
    CDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CONTEXTHELP, 324, 290,
                      "Motion - PVT", "MS Sans Serif", 8);
    t.Add(I(I::Button, 1507, "Host address =", 20, 4, 63, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP))
        .Add(I(I::Edit, 1508, "", 85, 2, 25, 14, kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP))
        .Add(I(I::Button, 1509, "Clear PVT Buffer", 126, 4, 69, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP))
        .Add(I(I::Static, IDC_STATIC, "Position", 32, 20, 26, 8, kChild | SS_RIGHT | WS_GROUP))
        .Add(I(I::Edit, 1010, "", 61, 17, 60, 14, kPointEdit))
        .Add(I(I::ComboBox, 1018, "", 126, 18, 55, 66, kUnitCombo))
        .Add(I(I::Static, IDC_STATIC, "Velocity", 32, 35, 26, 8, kChild | SS_RIGHT | WS_GROUP))
        .Add(I(I::Edit, 1022, "", 61, 32, 60, 14, kPointEdit))
        .Add(I(I::ComboBox, 1021, "", 126, 33, 55, 66, kUnitCombo))
        .Add(I(I::Static, IDC_STATIC, "Time", 42, 50, 16, 8, kChild | SS_RIGHT | WS_GROUP))
        .Add(I(I::Edit, 1009, "", 61, 47, 60, 14, kPointEdit))
        .Add(I(I::ComboBox, 1017, "", 126, 48, 55, 66, kUnitCombo))
        .Add(I(I::Button, 1013, "&<<", 62, 64, 50, 14, kButton))
        .Add(I(I::Button, 1014, ">&>", 117, 64, 50, 14, kButton))
        .Add(I(I::Button, 1000, "&Remove", 37, 81, 50, 14, kButton))
        .Add(I(I::Button, 1001, "&Update", 93, 81, 50, 14, kButton))
        .Add(I(I::Button, 1002, "&Insert", 149, 81, 50, 14, kButton))
        .Add(I(I::Static, 1015, "Values relative to starting point of PVT", 43, 96, 121, 8,
               kChild | SS_LEFT | WS_GROUP))
        .Add(I(I::Button, IDC_STATIC, "Execute", 207, 3, 115, 104, kChild | BS_GROUPBOX))
        .Add(I(I::Button, 1011, "&Immediate", 211, 16, 46, 10, kChild | BS_AUTORADIOBUTTON | WS_GROUP))
        .Add(I(I::Button, 1012, "&On event", 211, 44, 45, 10, kChild | BS_AUTORADIOBUTTON))
        .Add(I(I::Button, 1023, "Then wait until motion is completed", 259, 10, 60, 23,
               kChild | BS_AUTOCHECKBOX | BS_MULTILINE | WS_TABSTOP))
        .Add(I(I::Button, 1503, "Change Event", 257, 36, 60, 12, kButton))
        .Add(I(I::Button, 1504, "Edit Event", 257, 50, 60, 12, kButton))
        .Add(I(I::Edit, 1505, "", 211, 67, 106, 38,
               kChild | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_WANTRETURN))
        // The preview graph takes this static over.
        .Add(I(I::Static, 1016, "Static", 7, 108, 238, 129, kChild | SS_CENTER | SS_CENTERIMAGE | WS_GROUP,
               WS_EX_CLIENTEDGE))
        .Add(I(I::Button, 1003, "I&mport From File", 251, 165, 66, 14, kButton))
        .Add(I(I::Button, 1019, "Generate new trajectory starting from actual values of position and speed reference",
               16, 240, 290, 10, kChild | BS_AUTORADIOBUTTON | WS_GROUP))
        .Add(I(I::Button, 1020, "Generate new trajectory starting from actual values of load/motor position and speed",
               16, 254, 290, 10, kChild | BS_AUTORADIOBUTTON))
        .Add(I(I::Button, IDOK, "OK", 78, 270, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP))
        .Add(I(I::Button, IDCANCEL, "Cancel", 144, 270, 50, 14, kButton))
        .Add(I(I::Button, ID_HELP_BUTTON, "Help", 210, 270, 50, 14, kButton));
    return t;
}

struct CVelkorResources : CModuleResources {
    CVelkorResources() : CModuleResources("Velkor", &kModuleIcon)
    {
        AddDialog(IDD_EDIT_PVT, EditorDialog());
        AddString(HID_BASE_RESOURCE + IDD_EDIT_PVT, kEditorHelp);
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
