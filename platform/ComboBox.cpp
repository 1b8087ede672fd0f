#include "platform/ComboBox.h"

#include "platform/ControlWidget.h"

namespace {

LPARAM TextArg(const char* text) { return reinterpret_cast<LPARAM>(text ? text : ""); }
WPARAM IndexArg(int index) { return static_cast<WPARAM>(static_cast<std::intptr_t>(index)); }

}  // namespace

void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }

int CComboBox::AddString(const char* text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, TextArg(text))); }

int CComboBox::InsertString(int index, const char* text)
{
    return static_cast<int>(SendMessage(CB_INSERTSTRING, IndexArg(index), TextArg(text)));
}

int CComboBox::DeleteString(int index) { return static_cast<int>(SendMessage(CB_DELETESTRING, IndexArg(index))); }

int CComboBox::GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }

int CComboBox::GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }

int CComboBox::SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, IndexArg(index))); }

int CComboBox::FindStringExact(int startAfter, const char* text) const
{
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, IndexArg(startAfter), TextArg(text)));
}

int CComboBox::GetLBText(int index, CString& text) const
{
    text.Empty();
    CControlWidget* control = CControlWidget::Of(GetWidget());
    if (!control || !control->GetItemText(index, text))
        return CB_ERR;
    return text.GetLength();
}
