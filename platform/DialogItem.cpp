#include "platform/DialogItem.h"

#include "platform/WindowStyles.h"

CDialogItem::CDialogItem(EClass windowClass, int id, const char* text, int x, int y, int cx, int cy, DWORD style,
                         DWORD exStyle)
    : m_Class(windowClass), m_nID(id), m_strText(text), m_x(x), m_y(y), m_cx(cx), m_cy(cy), m_dwStyle(style),
      m_dwExStyle(exStyle)
{
}

CDialogItem::EKind CDialogItem::GetKind() const
{
    switch (m_Class) {
    case Button:
        switch (m_dwStyle & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return RadioButton;
        case BS_GROUPBOX:
            return GroupBox;
        default:
            return PushButton;
        }
    case Edit:
        return EditBox;
    case Static:
        return StaticText;
    case ComboBox:
        return ComboList;
    }
    return StaticText;
}

BOOL CDialogItem::IsDefaultButton() const
{
    return m_Class == Button && (m_dwStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? TRUE : FALSE;
}

BOOL CDialogItem::IsAutoButton() const
{
    if (m_Class != Button)
        return FALSE;
    const DWORD type = m_dwStyle & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON ? TRUE : FALSE;
}
