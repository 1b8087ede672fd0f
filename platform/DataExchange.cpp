#include "platform/DataExchange.h"

#include "platform/MessageBox.h"
#include "platform/String.h"
#include "platform/UserException.h"
#include "platform/WindowMessages.h"
#include "platform/Wnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    const CWnd* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
    m_idLastControl = control ? control->GetSafeHwnd() : nullptr;
    m_bEditLastControl = FALSE;
    return m_idLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    const HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail()
{
    if (CWnd* control = CWnd::FromHandle(m_idLastControl)) {
        control->SetFocus();
        if (m_bEditLastControl)
            control->SendMessage(EM_SETSEL, 0, -1);
    }
    throw new CUserException();
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX || !pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    CString message;
    message.Format("Please enter an integer between %d and %d.", minVal, maxVal);
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}
