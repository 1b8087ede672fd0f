#include "platform/DialogTemplate.h"

#include "platform/WindowStyles.h"

CDialogTemplate::CDialogTemplate(DWORD style, int cx, int cy, const char* caption, const char* fontFace,
                                 int pointSize, DWORD exStyle)
    : m_dwStyle(style), m_dwExStyle(exStyle), m_cx(cx), m_cy(cy), m_strCaption(caption),
      m_strFontFace((style & DS_SETFONT) && fontFace ? fontFace : "MS Shell Dlg"),
      m_nPointSize((style & DS_SETFONT) && fontFace ? pointSize : 8)
{
}

CDialogTemplate& CDialogTemplate::Add(const CDialogItem& item)
{
    m_Items.push_back(item);
    return *this;
}

const CDialogItem* CDialogTemplate::FindItem(int id) const
{
    for (const CDialogItem& item : m_Items)
        if (item.m_nID == id)
            return &item;
    return nullptr;
}
