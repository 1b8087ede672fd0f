// CDialogItem: one control of a dialog template, in dialog units.
//
// The control's kind follows from its window class and the type bits of its
// style, as the dialog manager reads them: class Button with BS_PUSHBUTTON or
// BS_DEFPUSHBUTTON is a push button, BS_CHECKBOX / BS_AUTOCHECKBOX /
// BS_3STATE / BS_AUTO3STATE a check box, BS_RADIOBUTTON / BS_AUTORADIOBUTTON
// a radio button, BS_GROUPBOX a group box (any other button type is made a
// push button); class Edit an edit (ES_MULTILINE: several lines); class
// Static a static text (SS_LEFT, SS_CENTER, SS_RIGHT, SS_LEFTNOWORDWRAP; any
// other static type shows nothing but its frame); class ComboBox a combo box
// (CBS_DROPDOWNLIST: a list only; otherwise with an edit field).
//
// A control is created visible only with WS_VISIBLE and enabled unless
// WS_DISABLED; templates write WS_CHILD | WS_VISIBLE for every control.
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

class CDialogItem {
public:
    enum EClass { Button, Edit, Static, ComboBox };
    enum EKind { PushButton, CheckBox, RadioButton, GroupBox, EditBox, StaticText, ComboList };

    // The id -1 names a control the code never addresses.
    CDialogItem(EClass windowClass, int id, const char* text, int x, int y, int cx, int cy, DWORD style,
                DWORD exStyle = 0);

    EKind GetKind() const;
    // A push button that Enter presses when no other push button has the focus.
    BOOL IsDefaultButton() const;
    // A check box or radio button that changes its own state when clicked.
    BOOL IsAutoButton() const;

    EClass m_Class;
    int m_nID;
    CString m_strText;  // the caption; "&" marks the mnemonic, "&&" is a plain "&"
    int m_x, m_y, m_cx, m_cy;
    DWORD m_dwStyle;
    DWORD m_dwExStyle;
};
