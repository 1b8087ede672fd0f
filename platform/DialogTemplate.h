// CDialogTemplate: a dialog as a module's resources describe it: its style,
// its client size in dialog units, its caption and font, and its controls
// in template order. Template order is also the order of the Tab key and
// decides the radio groups: a group runs from a control with WS_GROUP to the
// next control with WS_GROUP.
//
// Dialog units: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its height (see CDialog).
#pragma once

#include "platform/DialogItem.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <vector>

class CDialogTemplate {
public:
    // Without DS_SETFONT in `style` the dialog uses the framework's dialog
    // font, "MS Shell Dlg" 8 point; `fontFace` and `pointSize` are ignored.
    CDialogTemplate(DWORD style, int cx, int cy, const char* caption, const char* fontFace = nullptr,
                    int pointSize = 8, DWORD exStyle = 0);

    CDialogTemplate& Add(const CDialogItem& item);
    // The first control with the id, or null.
    const CDialogItem* FindItem(int id) const;

    DWORD m_dwStyle;
    DWORD m_dwExStyle;
    int m_cx, m_cy;
    CString m_strCaption;
    CString m_strFontFace;
    int m_nPointSize;
    std::vector<CDialogItem> m_Items;
};
