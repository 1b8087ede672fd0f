// CComboBox: a combo box control. The permanent CWnd that a dialog makes for
// a combo box of its template is a CComboBox, so the CWnd that GetDlgItem
// returns for one may be used as this class (static_cast). Each operation is
// the matching CB_* message (WindowMessages.h); indexes count from 0 and
// CB_ERR reports a failure.
#pragma once

#include "platform/String.h"
#include "platform/Wnd.h"

class CComboBox : public CWnd {
public:
    void ResetContent();
    // The new item's index.
    int AddString(const char* text);
    // Inserts at `index` (-1: at the end); the new item's index or CB_ERR.
    int InsertString(int index, const char* text);
    // The number of items left, or CB_ERR.
    int DeleteString(int index);
    int GetCount() const;
    // The selected item's index, or CB_ERR when none is selected.
    int GetCurSel() const;
    // Selects item `index` without a notification; -1 or an index outside
    // the list selects nothing and returns CB_ERR.
    int SetCurSel(int index);
    // The index of the first item after `startAfter` (-1: from the start,
    // wrapping around) whose text equals `text` ignoring case, or CB_ERR.
    int FindStringExact(int startAfter, const char* text) const;
    // Item `index`'s text; CB_ERR (text emptied) for an index outside the list.
    int GetLBText(int index, CString& text) const;
};
