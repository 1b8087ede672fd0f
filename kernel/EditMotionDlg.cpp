#include "kernel/EditMotionDlg.h"

#include "kernel/ArrayParameter.h"
#include "platform/ComboBox.h"
#include "platform/MessageBox.h"
#include "platform/WindowMessages.h"

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace {

// What a dialog's single-line edit holds that the user typed: its text and
// selection, while its widget lives.
struct STypedText {
    QPointer<QLineEdit> edit;
    CString text;
    DWORD start = 0;
    DWORD end = 0;
};

}  // namespace

CDK_EditMotionDlg::CDK_EditMotionDlg(CDK_Setup& setup, CDK_Motion& motion, CString& params, UINT nIDTemplate,
                                     CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_Setup(setup), m_Motion(motion), m_Params(params), m_bValidating(0)
{
}

CDK_EditMotionDlg::~CDK_EditMotionDlg() = default;

CDK_EditMotionInternalData* CDK_EditMotionDlg::GetInternalData() { return nullptr; }

void CDK_EditMotionDlg::ShowParameter(const CDK_ArrayParameter& array, int index, int editId, int comboId,
                                      BOOL bFillUnits, BOOL bEnable)
{
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(comboId))) {
        if (bFillUnits) {
            combo->ResetContent();
            for (int i = 0; i < array.GetUnitsCount(); ++i)
                combo->AddString(array.GetUnitName(i));
        }
        combo->SetCurSel(combo->FindStringExact(-1, array.GetSelectedUnit()));
        combo->EnableWindow(bEnable ? TRUE : FALSE);
    }
    if (CWnd* edit = GetDlgItem(editId)) {
        edit->SetWindowText(index >= 0 && index < array.GetValuesCount() ? array.PrintValue(index) : CString());
        edit->EnableWindow(bEnable ? TRUE : FALSE);
    }
}

void CDK_EditMotionDlg::ChangeParameterUnit(CDK_ArrayParameter& array, int index, int editId, int comboId)
{
    auto* combo = static_cast<CComboBox*>(GetDlgItem(comboId));
    if (!combo)
        return;
    CString unit;
    if (combo->GetLBText(combo->GetCurSel(), unit) == CB_ERR || !array.SelectUnit(unit))
        return;
    if (CWnd* edit = GetDlgItem(editId))
        edit->SetWindowText(index >= 0 && index < array.GetValuesCount() ? array.PrintValue(index) : CString());
}

CString CDK_EditMotionDlg::GetChildText(int id) const
{
    CString text;
    GetDlgItemText(id, text);
    return text;
}

void CDK_EditMotionDlg::SetChildText(int id, const char* text) { SetDlgItemText(id, text); }

BOOL CDK_EditMotionDlg::GetChildCheck(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED ? TRUE : FALSE; }

void CDK_EditMotionDlg::SetChildCheck(int id, BOOL bCheck) { CheckDlgButton(id, bCheck ? BST_CHECKED : BST_UNCHECKED); }

void CDK_EditMotionDlg::EnableChild(int id, BOOL bEnable)
{
    if (CWnd* child = GetDlgItem(id))
        child->EnableWindow(bEnable ? TRUE : FALSE);
}

BOOL CDK_EditMotionDlg::IsChildEnabled(int id) const
{
    const CWnd* child = GetDlgItem(id);
    return child && child->IsWindowEnabled() ? TRUE : FALSE;
}

BOOL CDK_EditMotionDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED)
        return CDialog::OnCommand(wParam, lParam);
    if (LOWORD(wParam) == ID_HELP) {
        OnHelp();
        return TRUE;
    }
    // A check box or radio button (an unmapped push button changes nothing
    // either way).
    SyncControlsWithRecord();
    return TRUE;
}

void CDK_EditMotionDlg::SyncControlsWithRecord()
{
    // The click is the user's choice: into the record, then the record with
    // its enable rules back into the controls. No range check here; OK
    // checks.
    const BOOL validating = m_bValidating;
    m_bValidating = 0;
    const BOOL saved = UpdateData(TRUE);
    m_bValidating = validating;
    if (saved)
        LoadControlsKeepingTypedText();
}

void CDK_EditMotionDlg::LoadControlsKeepingTypedText()
{
    // The texts the user typed since the program last set them.
    std::vector<STypedText> typed;
    if (QWidget* dialog = GetWidget()) {
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            CWnd* wnd = FromHandle(HandleOf(edit));
            if (!wnd || !wnd->SendMessage(EM_GETMODIFY))
                continue;
            STypedText t;
            t.edit = edit;
            wnd->GetWindowText(t.text);
            wnd->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&t.start), reinterpret_cast<LPARAM>(&t.end));
            typed.push_back(std::move(t));
        }
    }
    UpdateData(FALSE);
    for (const STypedText& t : typed) {
        if (!t.edit || !t.edit->isEnabled())
            continue;  // an edit that is disabled now shows what the record holds
        CWnd* wnd = FromHandle(HandleOf(t.edit.data()));
        if (!wnd)
            continue;
        wnd->SetWindowText(t.text);
        wnd->SendMessage(EM_SETSEL, t.start, static_cast<LPARAM>(t.end));
        wnd->SendMessage(EM_SETMODIFY, TRUE);
    }
}

void CDK_EditMotionDlg::OnHelp()
{
    const UINT helpId = HID_BASE_RESOURCE + m_nIDTemplate;
    CString text;
    if (!text.LoadString(helpId))
        text = "No help is available for this dialog.";
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION, helpId);
}
