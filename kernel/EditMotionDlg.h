// CDK_EditMotionDlg: base of a motion module's modal editor dialog. It keeps
// the host's setup, motion and parameter text for the dialog's whole life,
// shows array parameters with their units, reaches the dialog's controls by
// id, keeps the dialog's record in step with the check boxes and radio
// buttons the user clicks, and answers the Help button.
//
// Check boxes and radio buttons without a handler of their own: a click
// (BN_CLICKED) that no message map takes runs the dialog's exchange in both
// directions, so that the record holds the user's choice at once and the
// enable rules of the load direction take effect at once (ticking a check
// box enables the edit that belongs to it). The exchange runs without the
// range checks (m_bValidating stays 0). What the user typed into an edit and
// no command has applied yet is not thrown away by it: an edit whose text the
// user changed since the program last set it, and that is still enabled after
// the exchange, keeps the user's text (and stays marked as changed).
//
// Help (the button with id ID_HELP, 57671): shows the dialog's help text, the
// string resource HID_BASE_RESOURCE + the template id of any loaded module
// (a module registers it with its template), in a message box with an OK
// button and the information icon; the help id of the box is that number.
// Without such a string the box says that no help is available.
#pragma once

#include "platform/Dialog.h"
#include "platform/String.h"
#include "platform/Types.h"

class CDK_ArrayParameter;
class CDK_EditMotionInternalData;
class CDK_Motion;
class CDK_Setup;

// The command id of a dialog's Help button.
constexpr int ID_HELP = 57671;
// Help ids of dialogs: this base plus the dialog's template id. The help
// text of a dialog is the string resource with that number.
constexpr UINT HID_BASE_RESOURCE = 0x20000u;

class CDK_EditMotionDlg : public CDialog {
public:
    // `params` is the host's parameter text; the dialog keeps the reference
    // (OK writes through it) and never copies it.
    CDK_EditMotionDlg(CDK_Setup& setup, CDK_Motion& motion, CString& params, UINT nIDTemplate, CWnd* pParent);
    ~CDK_EditMotionDlg() override;

    // The dialog's record; this base has none (null).
    virtual CDK_EditMotionInternalData* GetInternalData();

    // Shows value `index` of `array` in edit `editId` with `PrintValue`, in
    // the array's selected unit, and selects that unit in combo box
    // `comboId`.
    //   bFillUnits: nonzero fills the combo box with the array's units first
    //     (GetUnitsCount / GetUnitName, in the array's order), so that the
    //     list always offers exactly the units of the array; 0 keeps the
    //     list the box has and only selects the unit in it.
    //   bEnable: nonzero enables the edit and the combo box, 0 disables both
    //     (a value that is shown but may not be changed).
    // An index outside the array shows an empty edit. A missing control is
    // left out.
    void ShowParameter(const CDK_ArrayParameter& array, int index, int editId, int comboId, BOOL bFillUnits,
                       BOOL bEnable);
    // Makes the unit chosen in combo box `comboId` the array's selected unit
    // (SelectUnit) and shows value `index` in it in edit `editId`. The
    // stored values do not change, only the unit they are shown and read
    // in. Nothing changes when the box has no item chosen or names no unit
    // of the array.
    void ChangeParameterUnit(CDK_ArrayParameter& array, int index, int editId, int comboId);

    // The controls of the dialog, by id. A missing control reads as empty,
    // unchecked and disabled; setting it does nothing.
    CString GetChildText(int id) const;
    void SetChildText(int id, const char* text);
    BOOL GetChildCheck(int id) const;
    void SetChildCheck(int id, BOOL bCheck);
    void EnableChild(int id, BOOL bEnable);
    BOOL IsChildEnabled(int id) const;

    // Nonzero while OK validates (the range checks of the exchange are on).
    BOOL IsValidating() const { return m_bValidating; }
    CDK_Setup& GetSetup() const { return m_Setup; }
    CDK_Motion& GetMotion() const { return m_Motion; }

protected:
    // The commands that no message map takes: see the class comment. Only
    // BN_CLICKED is acted on; every other notification (EN_SETFOCUS,
    // EN_KILLFOCUS, EN_CHANGE, ...) goes to CDialog.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The Help button: the help text in a message box.
    virtual void OnHelp();
    // The exchange in both directions after a click of a check box or radio
    // button (without range checks), keeping the texts the user typed into
    // enabled edits.
    void SyncControlsWithRecord();
    // UpdateData(FALSE), after which every edit whose text the user changed
    // since the program last set it, and that is still enabled, shows the
    // user's text again (with its selection, still marked as changed).
    void LoadControlsKeepingTypedText();

    CDK_Setup& m_Setup;
    CDK_Motion& m_Motion;
    CString& m_Params;   // the host's parameter text
    BOOL m_bValidating;  // 1 only while OK validates
};
