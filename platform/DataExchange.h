// CDataExchange: one run of a window's DoDataExchange, towards the controls
// (load) or from them (save and validate), and the range check of an integer.
//
// A DoDataExchange that reads an edit prepares it first (PrepareEditCtrl);
// when a check of the value fails (DDV_MinMaxInt), the user is told, the
// prepared control gets the keyboard focus with its whole text selected, and
// the exchange stops: UpdateData returns FALSE.
#pragma once

#include "platform/Types.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control under exchange, by id: an edit (its text is selected when
    // the exchange fails) or another control. The control's handle, or null
    // when the window has no such control.
    HWND PrepareEditCtrl(int nIDC);
    HWND PrepareCtrl(int nIDC);

    // Stops the exchange: focus back on the prepared control (an edit with
    // its text selected), then throws CUserException, which UpdateData
    // catches. Called outside UpdateData, the exception reaches the caller.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;  // TRUE: from the controls into the data
    CWnd* m_pDlgWnd;          // the window whose controls are exchanged
    HWND m_idLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// When saving, a value outside [minVal, maxVal] tells the user the range in a
// message box ("Please enter an integer between 1 and 255.", style
// MB_OK | MB_ICONEXCLAMATION) and fails the exchange. Loading checks nothing.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// An edit's text as a whole number: loading writes the value in decimal;
// saving reads it (blanks around it allowed, an optional sign, digits and
// nothing else) after PrepareEditCtrl(nIDC). A text that is no whole number,
// or one beyond the range of `value`'s type, tells the user ("Please enter an
// integer.", or for an int "Please enter an integer between -2147483648 and
// 2147483647.", style MB_OK | MB_ICONEXCLAMATION) and fails the exchange;
// `value` is then unchanged.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, LONGLONG& value);
// DDV_MinMaxInt for 64-bit values: "Please enter an integer between MIN and MAX.".
void DDV_MinMaxLongLong(CDataExchange* pDX, LONGLONG value, LONGLONG minVal, LONGLONG maxVal);
