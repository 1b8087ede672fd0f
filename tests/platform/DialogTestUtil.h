// Real key and mouse events for the framework's windows, sent with Qt's test
// library, as a user makes them.
#pragma once

#include "platform/Wnd.h"
#include "platform/WindowMessages.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <string>
#include <utility>

namespace dlgtest {

inline QWidget* Widget(const CWnd* wnd) { return wnd ? wnd->GetWidget() : nullptr; }

// A left click in the middle of the control.
inline void Click(const CWnd* wnd)
{
    if (QWidget* w = Widget(wnd))
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

// Where a key goes: an open popup (a combo box's list), else the focus.
inline QWidget* KeyTarget()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    if (QWidget* focus = QApplication::focusWidget())
        return focus;
    return QApplication::activeWindow();
}

// A key pressed and released where the keyboard focus is.
inline void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(KeyTarget(), key, modifiers);
}

// Text typed where the keyboard focus is.
inline void Type(const char* text) { QTest::keyClicks(KeyTarget(), QString::fromUtf8(text)); }

// Alt with a mnemonic letter, through the dialog's shortcuts.
inline void Alt(char letter) { QTest::keyClick(KeyTarget(), letter, Qt::AltModifier); }

// The control id of the window with the keyboard focus (0 when none).
inline int FocusId()
{
    const CWnd* focus = CWnd::FromHandle(GetFocus());
    return focus ? focus->GetDlgCtrlID() : 0;
}

// An edit's selection as (start, end) in bytes.
inline std::pair<int, int> Selection(const CWnd* wnd)
{
    DWORD start = 99, end = 99;
    SendMessageA(wnd ? wnd->GetSafeHwnd() : nullptr, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

inline std::string Text(const CWnd* wnd)
{
    CString text;
    if (wnd)
        wnd->GetWindowText(text);
    return text.Std();
}

}  // namespace dlgtest
