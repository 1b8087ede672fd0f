#include "kernel/EventEditDlg.h"

#include "kernel/KernelResources.h"
#include "platform/DataExchange.h"
#include "platform/WindowMessages.h"

#include <climits>

using namespace dk_res;

namespace {

constexpr int kLastInput = 15;  // inputs IN0 ... IN15

// One whole-number field: the framework's exchange and range check, in 64
// bits so that the message always names the field's own range.
void ExchangeInt(CDataExchange* pDX, int id, int& value, int minVal, int maxVal)
{
    LONGLONG wide = value;
    DDX_Text(pDX, id, wide);
    DDV_MinMaxLongLong(pDX, wide, minVal, maxVal);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(wide);  // in [minVal, maxVal] by now
}

// A pair of radio buttons for a 0/1 field.
void ExchangeChoice(CDataExchange* pDX, CWnd* dlg, int firstId, int secondId, int& value)
{
    if (pDX->m_bSaveAndValidate)
        value = dlg->IsDlgButtonChecked(secondId) == BST_CHECKED ? 1 : 0;
    else
        dlg->CheckRadioButton(firstId, secondId, value != 0 ? secondId : firstId);
}

// "1 ms", "0.5 ms", "50 µs", "2 s": the length of a sampling period for
// people, in milliseconds down to a tenth of one.
CString PeriodText(double seconds)
{
    CString text;
    if (!(seconds > 0.0) || seconds > 1e6)
        text = "";
    else if (seconds >= 1.0)
        text.Format("%g s", seconds);
    else if (seconds >= 1e-4)
        text.Format("%g ms", seconds * 1e3);
    else
        text.Format("%g \xC2\xB5s", seconds * 1e6);  // µs
    return text;
}

}  // namespace

CEventEditDlg::CEventEditDlg(CMotionEvent::tagTrigger trigger, double samplingPeriod, CWnd* pParentWnd)
    : CDialog(TemplateFor(trigger), pParentWnd), m_Trigger(trigger), m_dSamplingPeriod(samplingPeriod)
{
    SetTemplateModule(KernelResourceModule());
}

UINT CEventEditDlg::TemplateFor(CMotionEvent::tagTrigger trigger)
{
    switch (trigger) {
    case CMotionEvent::EVT_INPUT:
        return IDD_EVENT_INPUT;
    case CMotionEvent::EVT_POSITION:
        return IDD_EVENT_POSITION;
    case CMotionEvent::EVT_TIME:
        return IDD_EVENT_DELAY;
    case CMotionEvent::EVT_MOTION_COMPLETE:
        break;
    }
    return 0;
}

BOOL CEventEditDlg::OnInitDialog()
{
    if (m_Trigger == CMotionEvent::EVT_TIME) {
        CString note = "0 to 2147483647";
        const CString period = PeriodText(m_dSamplingPeriod);
        if (!period.IsEmpty())
            note += "; one sampling period is " + period;
        note += ".";
        SetDlgItemText(IDC_DELAY_PERIOD, note);
    }
    // The first tab stop, the number field, takes the focus with its text selected.
    return CDialog::OnInitDialog();
}

void CEventEditDlg::DoDataExchange(CDataExchange* pDX)
{
    switch (m_Trigger) {
    case CMotionEvent::EVT_INPUT:
        ExchangeInt(pDX, IDC_INPUT_NUMBER, m_nInput, 0, kLastInput);
        ExchangeChoice(pDX, this, IDC_INPUT_LOW, IDC_INPUT_HIGH, m_nLevel);
        break;
    case CMotionEvent::EVT_POSITION:
        ExchangeInt(pDX, IDC_POSITION_VALUE, m_nPosition, INT_MIN, INT_MAX);
        ExchangeChoice(pDX, this, IDC_POSITION_ABOVE, IDC_POSITION_BELOW, m_nPositionMode);
        break;
    case CMotionEvent::EVT_TIME:
        ExchangeInt(pDX, IDC_DELAY_VALUE, m_nDelay, 0, INT_MAX);
        break;
    case CMotionEvent::EVT_MOTION_COMPLETE:
        break;
    }
}
