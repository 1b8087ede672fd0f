#include "platform/WindowMessages.h"

#include "platform/ControlWidget.h"
#include "platform/Wnd.h"

#include <QWidget>

#include <algorithm>
#include <cstring>

namespace {

// The combo-box messages whose result is an index or a count.
bool ReportsIndex(UINT message)
{
    switch (message) {
    case CB_ADDSTRING:
    case CB_DELETESTRING:
    case CB_GETCOUNT:
    case CB_GETCURSEL:
    case CB_INSERTSTRING:
    case CB_SETCURSEL:
    case CB_FINDSTRINGEXACT:
        return true;
    default:
        return false;
    }
}

CString TextOf(QWidget* widget)
{
    if (CControlWidget* control = CControlWidget::Of(widget))
        return control->GetText();
    return CControlWidget::FromQt(widget->windowTitle());
}

}  // namespace

BOOL IsWindow(HWND hwnd) { return CWnd::FromHandle(hwnd) ? TRUE : FALSE; }

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const CWnd* wnd = CWnd::FromHandle(hwnd);
    QWidget* widget = wnd ? wnd->GetWidget() : nullptr;
    if (!widget)
        return ReportsIndex(message) ? CB_ERR : 0;
    CControlWidget* control = CControlWidget::Of(widget);
    switch (message) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        if (control)
            control->SetText(text ? text : "");
        else
            widget->setWindowTitle(CControlWidget::ToQt(text));
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        const CString text = TextOf(widget);
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(text.GetLength()), wParam - 1);
        std::memcpy(buffer, text.GetString(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return TextOf(widget).GetLength();
    default:
        break;
    }
    if (!control)
        return ReportsIndex(message) ? CB_ERR : 0;
    bool handled = true;
    const LRESULT result = control->Message(message, wParam, lParam, handled);
    if (!handled)
        return ReportsIndex(message) ? CB_ERR : 0;
    return result;
}
