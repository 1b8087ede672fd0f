#include "kernel/EventTypeDlg.h"

#include "kernel/KernelResources.h"
#include "platform/DataExchange.h"
#include "platform/WindowMessages.h"

using namespace dk_res;

namespace {

int ButtonOf(CMotionEvent::tagTrigger trigger) { return IDC_TYPE_MOTION_COMPLETE + static_cast<int>(trigger); }

}  // namespace

CEventTypeDlg::CEventTypeDlg(CMotionEvent::tagTrigger trigger, BOOL bInputsAvailable, CWnd* pParentWnd)
    : CDialog(IDD_EVENT_TYPE, pParentWnd), m_Trigger(trigger), m_bInputsAvailable(bInputsAvailable)
{
    SetTemplateModule(KernelResourceModule());
    if (m_Trigger == CMotionEvent::EVT_INPUT && !m_bInputsAvailable)
        m_Trigger = CMotionEvent::EVT_MOTION_COMPLETE;
}

BOOL CEventTypeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (!m_bInputsAvailable) {
        if (CWnd* input = GetDlgItem(IDC_TYPE_INPUT))
            input->EnableWindow(FALSE);
        if (CWnd* reason = GetDlgItem(IDC_TYPE_NO_INPUTS))
            reason->ShowWindow(SW_SHOW);
    }
    // The keyboard starts on the type that is checked, as in a radio group
    // the user tabs into.
    if (CWnd* checked = GetDlgItem(ButtonOf(m_Trigger))) {
        GotoDlgCtrl(checked);
        return FALSE;
    }
    return TRUE;
}

void CEventTypeDlg::DoDataExchange(CDataExchange* pDX)
{
    if (!pDX->m_bSaveAndValidate) {
        CheckRadioButton(IDC_TYPE_MOTION_COMPLETE, IDC_TYPE_DELAY, ButtonOf(m_Trigger));
        return;
    }
    for (int trigger = CMotionEvent::EVT_MOTION_COMPLETE; trigger <= CMotionEvent::EVT_TIME; ++trigger) {
        const auto t = static_cast<CMotionEvent::tagTrigger>(trigger);
        if (IsDlgButtonChecked(ButtonOf(t)) == BST_CHECKED && (t != CMotionEvent::EVT_INPUT || m_bInputsAvailable)) {
            m_Trigger = t;
            return;
        }
    }
}
