// CWnd: a window of the framework (a dialog or one of its controls) over a
// Qt widget.
//
// Every window has an opaque handle (HWND) and one permanent CWnd: a dialog
// is its own CWnd, and the dialog makes one CWnd per control when it builds
// its template (a CComboBox for a combo box). GetDlgItem finds a control's
// CWnd by id; FromHandle finds the CWnd of a handle. A CWnd handed out this
// way lives as long as the window; after the window is destroyed its handle
// names nothing (FromHandle gives null, SendMessageA does nothing).
//
// Texts are 8-bit (UTF-8). All windows belong to the program's user-interface
// thread; nothing here may be called from another thread.
//
// Code that paints (the kernel's graph) reaches the widget with GetWidget(),
// and takes over a control of a dialog in place with SubclassDlgItem (this
// CWnd becomes the control's CWnd) or ReplaceDlgItem (a widget of its own
// takes the control's place: id, rectangle, stacking and tab position).
#pragma once

#include "platform/MessageMap.h"
#include "platform/Object.h"
#include "platform/Rect.h"
#include "platform/String.h"
#include "platform/Types.h"
#include "platform/WindowMessages.h"

class CDataExchange;
class QWidget;

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOW = 5;

class CWnd : public CObject {
public:
    CWnd();
    ~CWnd() override;

    // The CWnd of a window, or null for a null or stale handle.
    static CWnd* FromHandle(HWND hWnd);
    // The handle of the window this CWnd stands for; null when none.
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }  // NOLINT: as the framework's
    // The underlying widget, for code that paints; null when no window.
    QWidget* GetWidget() const { return m_pWidget; }
    // The handle of a widget that is a framework window, or null.
    static HWND HandleOf(const QWidget* widget);

    // Controls and ids.
    // The control with `id` among this window's children (the first in
    // template order when several share it), or null.
    CWnd* GetDlgItem(int id) const;
    // The control id of this window (0 for a dialog or no window).
    int GetDlgCtrlID() const;
    // The CWnd of the window this one is a child of, or null.
    CWnd* GetParent() const;

    // State.
    // Gives this window the keyboard focus; returns the CWnd that had it.
    CWnd* SetFocus();
    // Enables or disables the window; returns nonzero when it was disabled.
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    // SW_HIDE or SW_SHOW; returns nonzero when it was visible.
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;

    // Texts: a control's caption or an edit's text; a dialog's title.
    void SetWindowText(const char* text);
    void GetWindowText(CString& text) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int id, const char* text);
    int GetDlgItemText(int id, CString& text) const;

    // Check boxes and radio buttons (no notification is sent).
    // `check` is BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    // Checks `checkId` and unchecks every other button whose id lies in
    // [firstId, lastId].
    void CheckRadioButton(int firstId, int lastId, int checkId);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // Geometry in pixels. GetWindowRect: screen coordinates; GetClientRect:
    // the client area at (0, 0); ScreenToClient/ClientToScreen convert
    // between screen coordinates and this window's client coordinates.
    void GetWindowRect(CRect* rect) const;
    void GetClientRect(CRect* rect) const;
    void ScreenToClient(CRect* rect) const;
    void ClientToScreen(CRect* rect) const;
    // Moves the window within its parent's client area.
    void MoveWindow(int x, int y, int width, int height, BOOL bRepaint = TRUE);
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();

    // Saves what the window shows (its client area) as a PNG picture;
    // FALSE when there is no window or the file cannot be written.
    BOOL SaveImage(const char* pngPath) const;

    // Data exchange between the window's controls and its data:
    // DoDataExchange in the given direction. FALSE when the exchange failed
    // (CDataExchange::Fail). Notifications of the controls are not
    // delivered while it runs.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    // Receives the notifications of the window's controls that no message
    // map handles: wParam is MAKEWPARAM(control id, notification code),
    // lParam the control's HWND. Returns nonzero when it handled the command;
    // this one handles nothing. Besides the user's actions (BN_CLICKED,
    // EN_CHANGE, CBN_SELCHANGE) these include the focus notifications
    // (EN_SETFOCUS, EN_KILLFOCUS, CBN_SETFOCUS, CBN_KILLFOCUS), also those
    // of the dialog closing: an override looks at the code.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // Taking over a window.
    // This CWnd becomes the permanent CWnd of `hWnd` (FromHandle and
    // GetDlgItem give it) until UnsubclassWindow or its destruction, which
    // give the window back to its previous CWnd. FALSE when `hWnd` names no
    // window or this CWnd already has one.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* pParent);
    HWND UnsubclassWindow();
    // `replacement` takes the place of control `id` of `pParent`: it becomes
    // a child of the same window with the control's id, rectangle, enabled
    // and visible state, focus policy, stacking and tab position, and this
    // CWnd becomes its permanent CWnd; the control is destroyed. The
    // replacement belongs to the parent window from then on (it is destroyed
    // with it; this CWnd then has no window). FALSE, changing nothing (and
    // deleting `replacement`), when there is no such control or this CWnd
    // already has a window.
    BOOL ReplaceDlgItem(UINT id, CWnd* pParent, QWidget* replacement);

    // Makes `widget` this CWnd's window, for windows of one's own (a
    // painted control) and for the framework. A widget that already is a
    // window keeps its handle and id (`id` names a new one's control id);
    // `owned`: this CWnd destroys the widget with itself or DestroyWindow.
    // Returns the handle; null (changing nothing) for a null widget or when
    // this CWnd already has a window.
    HWND Attach(QWidget* widget, int id = 0, bool owned = false);

    // Destroys the window when this CWnd made it; otherwise lets go of it.
    virtual BOOL DestroyWindow();

    virtual const AFX_MSGMAP* GetMessageMap() const;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();

    // Routes a control's notification: message maps first, then OnCommand.
    // Exceptions of the framework thrown by a handler are reported in a
    // message box and deleted, as are standard exceptions.
    void OnControlNotify(int id, UINT code, HWND hCtrl);
    // Searches the message maps; TRUE when a handler ran.
    BOOL OnCmdMsg(int id, UINT code);

    // While set, notifications are dropped (UpdateData, destruction).
    bool m_bLockNotify = false;

private:
    friend class CWndRegistry;
    void ReleaseWindow();

    HWND m_hWnd = nullptr;
    QWidget* m_pWidget = nullptr;
    bool m_bOwnsWidget = false;
};
