#include "platform/Wnd.h"

#include "platform/ControlWidget.h"
#include "platform/DataExchange.h"
#include "platform/Exception.h"
#include "platform/MessageBox.h"
#include "platform/UserException.h"
#include "platform/WindowStyles.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <exception>
#include <unordered_map>

// The table of window handles. A handle is a number given to a widget the
// first time a CWnd takes it; it stays with the widget (through subclassing)
// until the widget is destroyed, and is never given again, so that a stale
// handle names nothing.
class CWndRegistry {
public:
    struct Entry {
        QWidget* widget = nullptr;
        CWnd* wnd = nullptr;       // the permanent CWnd
        CWnd* previous = nullptr;  // the CWnd a subclass took the window from
        int id = 0;
    };

    static CWndRegistry& Instance()
    {
        // Never destroyed: CWnd objects of any module may outlive the
        // statics of this library at the end of the process.
        static CWndRegistry* registry = new CWndRegistry();
        return *registry;
    }

    Entry* Find(HWND hWnd)
    {
        const auto it = m_Entries.find(reinterpret_cast<std::uintptr_t>(hWnd));
        return it == m_Entries.end() ? nullptr : &it->second;
    }
    HWND HandleOf(const QWidget* widget) const
    {
        const auto it = m_Handles.find(widget);
        return it == m_Handles.end() ? nullptr : reinterpret_cast<HWND>(it->second);
    }

    // The handle of `widget`, made on first use.
    HWND Register(QWidget* widget, int id)
    {
        if (HWND existing = HandleOf(widget))
            return existing;
        const std::uintptr_t value = m_nNext++;
        m_Entries[value] = Entry{widget, nullptr, nullptr, id};
        m_Handles[widget] = value;
        QObject::connect(widget, &QObject::destroyed, qApp, [value] { Instance().Destroyed(value); });
        return reinterpret_cast<HWND>(value);
    }

    // A CWnd goes away or lets go of its window: entries that name it forget it.
    void Forget(const CWnd* wnd)
    {
        for (auto& [value, entry] : m_Entries) {
            if (entry.wnd == wnd) {
                entry.wnd = entry.previous;
                entry.previous = nullptr;
            }
            if (entry.previous == wnd)
                entry.previous = nullptr;
        }
    }

private:
    void Destroyed(std::uintptr_t value)
    {
        const auto it = m_Entries.find(value);
        if (it == m_Entries.end())
            return;
        for (CWnd* wnd : {it->second.wnd, it->second.previous}) {
            if (wnd && wnd->m_hWnd == reinterpret_cast<HWND>(value)) {
                wnd->m_hWnd = nullptr;
                wnd->m_pWidget = nullptr;
                wnd->m_bOwnsWidget = false;
            }
        }
        m_Handles.erase(it->second.widget);
        m_Entries.erase(it);
    }

    // Handles start high enough never to look like a small integer id.
    std::uintptr_t m_nNext = 0x10000;
    std::unordered_map<std::uintptr_t, Entry> m_Entries;
    std::unordered_map<const QWidget*, std::uintptr_t> m_Handles;
};

namespace {

CRect ToRect(const QRect& r) { return CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()); }

}  // namespace

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_bOwnsWidget && m_pWidget) {
        QWidget* widget = m_pWidget;
        ReleaseWindow();
        delete widget;
    } else {
        ReleaseWindow();
    }
    CWndRegistry::Instance().Forget(this);
}

void CWnd::ReleaseWindow()
{
    if (CWndRegistry::Entry* entry = CWndRegistry::Instance().Find(m_hWnd)) {
        if (entry->wnd == this) {
            entry->wnd = entry->previous;
            entry->previous = nullptr;
        }
    }
    m_hWnd = nullptr;
    m_pWidget = nullptr;
    m_bOwnsWidget = false;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    const CWndRegistry::Entry* entry = CWndRegistry::Instance().Find(hWnd);
    return entry ? entry->wnd : nullptr;
}

HWND CWnd::HandleOf(const QWidget* widget) { return widget ? CWndRegistry::Instance().HandleOf(widget) : nullptr; }

HWND CWnd::Attach(QWidget* widget, int id, bool owned)
{
    if (!widget || m_hWnd)
        return nullptr;
    CWndRegistry& registry = CWndRegistry::Instance();
    const HWND hWnd = registry.Register(widget, id);
    CWndRegistry::Entry* entry = registry.Find(hWnd);
    if (entry->wnd && entry->wnd != this) {
        entry->wnd->m_hWnd = nullptr;
        entry->wnd->m_pWidget = nullptr;
        entry->wnd->m_bOwnsWidget = false;
    }
    entry->wnd = this;
    m_hWnd = hWnd;
    m_pWidget = widget;
    m_bOwnsWidget = owned;
    return hWnd;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    if (!m_pWidget)
        return nullptr;
    CWndRegistry& registry = CWndRegistry::Instance();
    for (QObject* child : m_pWidget->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        const CWndRegistry::Entry* entry = widget ? registry.Find(registry.HandleOf(widget)) : nullptr;
        if (entry && entry->id == id && entry->wnd)
            return entry->wnd;
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const
{
    const CWndRegistry::Entry* entry = CWndRegistry::Instance().Find(m_hWnd);
    return entry ? entry->id : 0;
}

CWnd* CWnd::GetParent() const
{
    for (QWidget* w = m_pWidget ? m_pWidget->parentWidget() : nullptr; w; w = w->parentWidget())
        if (HWND hWnd = HandleOf(w))
            return FromHandle(hWnd);
    return nullptr;
}

CWnd* CWnd::SetFocus()
{
    CWnd* previous = FromHandle(::GetFocus());
    if (m_pWidget)
        m_pWidget->setFocus(Qt::OtherFocusReason);
    return previous;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL wasDisabled = m_pWidget->isEnabled() ? FALSE : TRUE;
    m_pWidget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const { return m_pWidget && m_pWidget->isEnabled() ? TRUE : FALSE; }

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL wasVisible = m_pWidget->isHidden() ? FALSE : TRUE;
    m_pWidget->setVisible(nCmdShow != SW_HIDE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    // Visible when the window and every window it is in are shown: the
    // controls of a dialog being initialised are not visible yet.
    return m_pWidget && m_pWidget->isVisible() ? TRUE : FALSE;
}

void CWnd::SetWindowText(const char* text) { SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")); }

void CWnd::GetWindowText(CString& text) const
{
    text.Empty();
    if (!m_pWidget)
        return;
    if (CControlWidget* control = CControlWidget::Of(m_pWidget))
        text = control->GetText();
    else
        text = CControlWidget::FromQt(m_pWidget->windowTitle());
}

int CWnd::GetWindowTextLength() const
{
    CString text;
    GetWindowText(text);
    return text.GetLength();
}

void CWnd::SetDlgItemText(int id, const char* text)
{
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    if (const CWnd* item = GetDlgItem(id))
        item->GetWindowText(text);
    return text.GetLength();
}

void CWnd::CheckDlgButton(int id, UINT check) { SendDlgItemMessage(id, BM_SETCHECK, check, 0); }

UINT CWnd::IsDlgButtonChecked(int id) const
{
    return static_cast<UINT>(SendDlgItemMessage(id, BM_GETCHECK, 0, 0));
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId)
{
    if (!m_pWidget)
        return;
    CWndRegistry& registry = CWndRegistry::Instance();
    for (QObject* child : m_pWidget->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        const HWND hWnd = widget ? registry.HandleOf(widget) : nullptr;
        const CWndRegistry::Entry* entry = registry.Find(hWnd);
        if (entry && entry->id >= firstId && entry->id <= lastId)
            SendMessageA(hWnd, BM_SETCHECK, entry->id == checkId ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendMessageA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    const CWnd* item = GetDlgItem(id);
    return SendMessageA(item ? item->m_hWnd : nullptr, message, wParam, lParam);
}

void CWnd::GetWindowRect(CRect* rect) const
{
    if (!rect)
        return;
    *rect = CRect();
    if (!m_pWidget)
        return;
    if (m_pWidget->isWindow()) {
        *rect = ToRect(m_pWidget->frameGeometry());
        return;
    }
    const QPoint origin = m_pWidget->mapToGlobal(QPoint(0, 0));
    *rect = CRect(origin.x(), origin.y(), origin.x() + m_pWidget->width(), origin.y() + m_pWidget->height());
}

void CWnd::GetClientRect(CRect* rect) const
{
    if (!rect)
        return;
    *rect = m_pWidget ? CRect(0, 0, m_pWidget->width(), m_pWidget->height()) : CRect();
}

void CWnd::ScreenToClient(CRect* rect) const
{
    if (!rect || !m_pWidget)
        return;
    const QPoint origin = m_pWidget->mapToGlobal(QPoint(0, 0));
    rect->OffsetRect(-origin.x(), -origin.y());
}

void CWnd::ClientToScreen(CRect* rect) const
{
    if (!rect || !m_pWidget)
        return;
    const QPoint origin = m_pWidget->mapToGlobal(QPoint(0, 0));
    rect->OffsetRect(origin.x(), origin.y());
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL bRepaint)
{
    if (!m_pWidget)
        return;
    m_pWidget->setGeometry(x, y, width < 0 ? 0 : width, height < 0 ? 0 : height);
    if (bRepaint)
        m_pWidget->update();
}

void CWnd::Invalidate(BOOL) { if (m_pWidget) m_pWidget->update(); }

void CWnd::UpdateWindow() { if (m_pWidget) m_pWidget->repaint(); }

BOOL CWnd::SaveImage(const char* pngPath) const
{
    if (!m_pWidget || !pngPath)
        return FALSE;
    return m_pWidget->grab().save(QString::fromUtf8(pngPath), "PNG") ? TRUE : FALSE;
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    const bool wasLocked = m_bLockNotify;
    m_bLockNotify = true;
    BOOL ok = TRUE;
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        // The exchange was cancelled: whoever failed it has told the user.
        e->Delete();
        ok = FALSE;
    } catch (...) {
        m_bLockNotify = wasLocked;
        throw;
    }
    m_bLockNotify = wasLocked;
    return ok;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::OnCmdMsg(int id, UINT code)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry && entry->pfn; ++entry) {
            if (entry->nID == id && entry->nCode == code) {
                (this->*(entry->pfn))();
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CWnd::OnControlNotify(int id, UINT code, HWND hCtrl)
{
    if (m_bLockNotify)
        return;
    try {
        if (!OnCmdMsg(id, code))
            OnCommand(MAKEWPARAM(static_cast<std::uint32_t>(id), code), reinterpret_cast<LPARAM>(hCtrl));
    } catch (CException* e) {
        const CString text = e->GetMessage();
        e->Delete();
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_OK | MB_ICONEXCLAMATION);
    }
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    CWndRegistry::Entry* entry = CWndRegistry::Instance().Find(hWnd);
    if (!entry || m_hWnd || entry->wnd == this)
        return FALSE;
    CWnd* previous = entry->wnd;
    if (previous) {
        previous->m_hWnd = nullptr;
        previous->m_pWidget = nullptr;
    }
    entry->previous = previous;
    entry->wnd = this;
    m_hWnd = hWnd;
    m_pWidget = entry->widget;
    m_bOwnsWidget = false;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* pParent)
{
    CWnd* item = pParent ? pParent->GetDlgItem(static_cast<int>(id)) : nullptr;
    return item ? SubclassWindow(item->m_hWnd) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    const HWND hWnd = m_hWnd;
    CWndRegistry::Entry* entry = CWndRegistry::Instance().Find(hWnd);
    if (!entry || entry->wnd != this)
        return nullptr;
    CWnd* previous = entry->previous;
    entry->wnd = previous;
    entry->previous = nullptr;
    if (previous) {
        previous->m_hWnd = hWnd;
        previous->m_pWidget = entry->widget;
    }
    m_hWnd = nullptr;
    m_pWidget = nullptr;
    m_bOwnsWidget = false;
    return hWnd;
}

BOOL CWnd::ReplaceDlgItem(UINT id, CWnd* pParent, QWidget* replacement)
{
    CWnd* item = pParent ? pParent->GetDlgItem(static_cast<int>(id)) : nullptr;
    QWidget* old = item ? item->m_pWidget : nullptr;
    if (!replacement || !old || m_hWnd) {
        delete replacement;
        return FALSE;
    }
    QWidget* parent = old->parentWidget();
    replacement->setParent(parent);
    replacement->setGeometry(old->geometry());
    replacement->setFont(old->font());
    replacement->setFocusPolicy(old->focusPolicy());
    replacement->setEnabled(old->isEnabled());
    replacement->setVisible(!old->isHidden());
    replacement->stackUnder(old);
    // The replacement goes after the control in the tab order; the control
    // then leaves the chain, so the replacement takes its place.
    QWidget::setTabOrder(old, replacement);
    Attach(replacement, static_cast<int>(id), false);
    delete old;  // its CWnd (the dialog's) lets go through the registry
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_pWidget)
        return FALSE;
    QWidget* widget = m_pWidget;
    const bool owned = m_bOwnsWidget;
    ReleaseWindow();
    if (owned)
        delete widget;
    return TRUE;
}
