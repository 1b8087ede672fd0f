#include "platform/DataExchange.h"

#include "platform/MessageBox.h"
#include "platform/String.h"
#include "platform/UserException.h"
#include "platform/WindowMessages.h"
#include "platform/Wnd.h"

#include <cinttypes>
#include <climits>

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

namespace {

[[noreturn]] void FailWith(CDataExchange* pDX, const char* message)
{
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

[[noreturn]] void FailRange(CDataExchange* pDX, LONGLONG minVal, LONGLONG maxVal)
{
    CString message;
    message.Format("Please enter an integer between %" PRId64 " and %" PRId64 ".", minVal, maxVal);
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

enum class EParse { Ok, NotInteger, TooBig };

// A whole number with blanks around it; the digits are accumulated as an
// unsigned magnitude, so no value of the text overflows a signed type.
EParse ParseInteger(const CString& text, LONGLONG& value)
{
    const char* p = text.GetString();
    const char* end = p + text.GetLength();
    while (p < end && IsBlank(*p))
        ++p;
    while (end > p && IsBlank(end[-1]))
        --end;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end)
        return EParse::NotInteger;
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(INT64_MAX) + 1u;  // |INT64_MIN|
    std::uint64_t magnitude = 0;
    bool tooBig = false;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return EParse::NotInteger;
        const auto digit = static_cast<std::uint64_t>(*p - '0');
        if (magnitude > (kLimit - digit) / 10u)
            tooBig = true;  // keep looking: a later non-digit makes it no number at all
        else
            magnitude = magnitude * 10u + digit;
    }
    if (tooBig || (!negative && magnitude == kLimit))
        return EParse::TooBig;
    value = negative ? (magnitude == kLimit ? INT64_MIN : -static_cast<LONGLONG>(magnitude))
                     : static_cast<LONGLONG>(magnitude);
    return EParse::Ok;
}

// The save direction of DDX_Text: the parsed value, or the exchange fails.
LONGLONG SaveInteger(CDataExchange* pDX, int nIDC, LONGLONG minVal, LONGLONG maxVal, bool sayRange)
{
    CString text;
    if (pDX->m_pDlgWnd)
        pDX->m_pDlgWnd->GetDlgItemText(nIDC, text);
    LONGLONG value = 0;
    const EParse parsed = ParseInteger(text, value);
    if (parsed == EParse::NotInteger || (parsed == EParse::TooBig && !sayRange))
        FailWith(pDX, "Please enter an integer.");
    if (parsed == EParse::TooBig || value < minVal || value > maxVal)
        FailRange(pDX, minVal, maxVal);
    return value;
}

void LoadInteger(CDataExchange* pDX, int nIDC, LONGLONG value)
{
    CString text;
    text.Format("%" PRId64, value);
    if (pDX->m_pDlgWnd)
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, text);
}

}  // namespace

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX || !pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    FailRange(pDX, minVal, maxVal);
}

void DDV_MinMaxLongLong(CDataExchange* pDX, LONGLONG value, LONGLONG minVal, LONGLONG maxVal)
{
    if (!pDX || !pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    FailRange(pDX, minVal, maxVal);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    if (!pDX)
        return;
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(SaveInteger(pDX, nIDC, INT_MIN, INT_MAX, true));
    else
        LoadInteger(pDX, nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, LONGLONG& value)
{
    if (!pDX)
        return;
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = SaveInteger(pDX, nIDC, INT64_MIN, INT64_MAX, false);
    else
        LoadInteger(pDX, nIDC, value);
}
