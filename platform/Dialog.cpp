#include "platform/Dialog.h"

#include "platform/ComboBox.h"
#include "platform/ControlWidget.h"
#include "platform/DialogTemplate.h"
#include "platform/Exception.h"
#include "platform/MessageBox.h"
#include "platform/ModuleResources.h"
#include "platform/Prompt.h"
#include "platform/ResourceRegistry.h"
#include "platform/Runtime.h"
#include "platform/WindowStyles.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <exception>

namespace {

// The dialogs whose modal run is in progress, innermost last.
std::vector<CDialog*>& ModalDialogs()
{
    static auto* dialogs = new std::vector<CDialog*>();  // outlives every dialog
    return *dialogs;
}

int Pixels(int units, int baseUnit, int perBase) { return std::max(0, MulDiv(units, baseUnit, perBase)); }

// The text whose width gives a font's average character width.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

// The dialog's window: keys and the close box become the dialog's commands.
class CDialog::CDialogWindow final : public QDialog {
public:
    CDialogWindow(CDialog* owner, QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags), m_pOwner(owner)
    {
        // The default button's look follows the focus, as on the platform: a
        // focused push button is the one Enter presses.
        m_FocusChanged = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (m_pOwner && now && now->window() == this)
                m_pOwner->ShowDefaultButton(CWnd::FromHandle(CWnd::HandleOf(now)));
        });
    }
    // QDialog's destructor hides the window, which moves the focus: this
    // part is gone by then and must hear nothing of it.
    ~CDialogWindow() override
    {
        disconnect(m_FocusChanged);
        m_pOwner = nullptr;
    }

    void reject() override
    {
        if (m_pOwner)
            m_pOwner->PressCommand(IDCANCEL);
    }
    void accept() override
    {
        if (m_pOwner)
            m_pOwner->PressCommand(IDOK);
    }

    CDialog* m_pOwner;
    bool m_bWasActive = false;  // the window has been the active window

private:
    QMetaObject::Connection m_FocusChanged;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const bool plain = (e->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (m_pOwner && plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
            e->accept();
            m_pOwner->PressEnter();
            return;
        }
        if (m_pOwner && plain && e->key() == Qt::Key_Escape) {
            e->accept();
            m_pOwner->PressCommand(IDCANCEL);
            return;
        }
        QWidget::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override
    {
        // The close box asks; the dialog decides (OnCancel) whether it ends.
        e->ignore();
        if (m_pOwner)
            m_pOwner->PressCommand(IDCANCEL);
    }
    void changeEvent(QEvent* e) override
    {
        if (e->type() == QEvent::ActivationChange && isActiveWindow())
            m_bWasActive = true;
        QDialog::changeEvent(e);
    }
};

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    std::vector<CDialog*>& modal = ModalDialogs();
    modal.erase(std::remove(modal.begin(), modal.end(), this), modal.end());
    CDialog::DestroyWindow();
}

CDialog* CDialog::GetModalDialog()
{
    const std::vector<CDialog*>& modal = ModalDialogs();
    return modal.empty() ? nullptr : modal.back();
}

const CDialogTemplate* CDialog::FindTemplate() const
{
    const CResourceRegistry& registry = CResourceRegistry::Instance();
    if (!m_hTemplateModule)
        return registry.FindDialog(m_nIDTemplate);
    const CModuleResources* module = registry.FindModule(m_hTemplateModule);
    return module ? module->FindDialog(m_nIDTemplate) : nullptr;
}

BOOL CDialog::Build(const CDialogTemplate& dialog, CWnd* parent)
{
    QWidget* parentWidget = parent && parent->GetWidget() ? parent->GetWidget()->window() : nullptr;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (dialog.m_dwStyle & WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    else
        flags |= Qt::FramelessWindowHint;
    if (dialog.m_dwStyle & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialog.m_dwStyle & DS_CONTEXTHELP)
        flags |= Qt::WindowContextHelpButtonHint;
    auto* window = new CDialogWindow(this, parentWidget, flags);

    m_strFontFamily = CWindowSystem::ResolveFontFamily(dialog.m_strFontFace);
    QFont font(CControlWidget::ToQt(m_strFontFamily), std::max(1, dialog.m_nPointSize));
    window->setFont(font);
    const QFontMetrics metrics(font);
    m_nBaseUnitX = std::max(1, (metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) / 26 + 1) / 2);
    m_nBaseUnitY = std::max(1, metrics.height());
    window->setFixedSize(Pixels(dialog.m_cx, m_nBaseUnitX, 4), Pixels(dialog.m_cy, m_nBaseUnitY, 8));
    window->setWindowTitle(CControlWidget::ToQt(dialog.m_strCaption));
    Attach(window, 0, true);
    m_pWindow = window;

    // Enter presses the template's default push button, else IDOK.
    m_nDefID = IDOK;
    bool haveDefault = false;
    int group = 0;
    std::vector<QWidget*> order;
    for (const CDialogItem& item : dialog.m_Items) {
        if (item.m_dwStyle & WS_GROUP)
            ++group;
        if (item.IsDefaultButton() && !haveDefault) {
            m_nDefID = item.m_nID;
            haveDefault = true;
        }
        const QRect rect(MulDiv(item.m_x, m_nBaseUnitX, 4), MulDiv(item.m_y, m_nBaseUnitY, 8),
                         Pixels(item.m_cx, m_nBaseUnitX, 4), Pixels(item.m_cy, m_nBaseUnitY, 8));
        auto cell = std::make_shared<QPointer<QWidget>>();
        const int id = item.m_nID;
        QWidget* widget = CControlWidget::Create(item, window, rect, metrics.height(), group,
                                                 [this, id, cell](UINT code) {
                                                     OnChildNotify(id, code, CWnd::HandleOf(cell->data()));
                                                 });
        *cell = widget;
        std::unique_ptr<CWnd> wrapper =
            item.GetKind() == CDialogItem::ComboList ? std::make_unique<CComboBox>() : std::make_unique<CWnd>();
        wrapper->Attach(widget, id, false);
        m_Controls.push_back(std::move(wrapper));
        order.push_back(widget);
    }
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return TRUE;
}

void CDialog::Initialise()
{
    BOOL focusFirst = TRUE;
    try {
        focusFirst = OnInitDialog();
    } catch (CException* e) {
        const CString text = e->GetMessage();
        e->Delete();
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        EndDialog(-1);
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_OK | MB_ICONEXCLAMATION);
        EndDialog(-1);
    }
    if (!focusFirst || m_bEnded || !m_pWindow)
        return;
    // The first visible, enabled tab stop in template (focus chain) order.
    for (QWidget* w = m_pWindow->nextInFocusChain(); w && w != m_pWindow; w = w->nextInFocusChain()) {
        CWnd* control = FromHandle(HandleOf(w));
        if (control && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(m_pWindow)) {
            GotoDlgCtrl(control);
            return;
        }
    }
}

INT_PTR CDialog::DoModal()
{
    if (GetSafeHwnd() || !CWindowSystem::EnsureApplication())
        return -1;
    const CDialogTemplate* dialog = FindTemplate();
    if (!dialog || !Build(*dialog, m_pParentWnd ? m_pParentWnd : GetModalDialog()))
        return -1;
    m_nModalResult = -1;
    m_bEnded = false;
    ModalDialogs().push_back(this);
    const auto finish = [this] {
        std::vector<CDialog*>& modal = ModalDialogs();
        modal.erase(std::remove(modal.begin(), modal.end(), this), modal.end());
        DestroyWindow();
        // The dialog this one was opened from takes the keyboard back.
        if (CDialog* outer = GetModalDialog(); outer && outer->m_pWindow) {
            outer->m_pWindow->activateWindow();
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    };
    try {
        Initialise();
        if (!m_bEnded && m_pWindow) {
            m_pWindow->setWindowModality(Qt::ApplicationModal);
            m_pWindow->show();
            m_pWindow->activateWindow();
            // Let the window system activate the dialog before anyone looks
            // at the focus (the prompt's OnModalStart).
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        if (!m_bEnded && m_pWindow)
            CPrompt::Get().OnModalStart(this);
        if (!m_bEnded && m_pWindow) {
            m_pWindow->exec();
            if (!m_bEnded)
                m_nModalResult = IDCANCEL;  // the window went away without EndDialog
        }
    } catch (...) {
        finish();
        throw;
    }
    const INT_PTR result = m_nModalResult;
    finish();
    return result;
}

BOOL CDialog::Create(CWnd* pParentWnd)
{
    if (GetSafeHwnd() || !CWindowSystem::EnsureApplication())
        return FALSE;
    const CDialogTemplate* dialog = FindTemplate();
    if (!dialog || !Build(*dialog, pParentWnd))
        return FALSE;
    m_nModalResult = -1;
    m_bEnded = false;
    Initialise();
    if (!m_bEnded && m_pWindow) {
        m_pWindow->show();
        m_pWindow->activateWindow();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (GetSafeHwnd())
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    return Create(pParentWnd);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_pWindow)
        m_pWindow->done(nResult);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::DestroyWindow()
{
    if (!m_pWindow && m_Controls.empty())
        return FALSE;
    m_bDestroying = true;
    if (m_pWindow) {
        m_pWindow->m_pOwner = nullptr;
        m_pWindow->hide();
    }
    m_pWindow = nullptr;
    const BOOL destroyed = CWnd::DestroyWindow();
    m_Controls.clear();
    m_bDestroying = false;
    return destroyed;
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    QWidget* widget = control ? control->GetWidget() : nullptr;
    if (!widget)
        return;
    if (CControlWidget* c = CControlWidget::Of(widget))
        c->TakeDialogFocus();
    else
        widget->setFocus(Qt::OtherFocusReason);
}

void CDialog::MapDialogRect(CRect* rect) const
{
    if (!rect)
        return;
    rect->left = MulDiv(rect->left, m_nBaseUnitX, 4);
    rect->right = MulDiv(rect->right, m_nBaseUnitX, 4);
    rect->top = MulDiv(rect->top, m_nBaseUnitY, 8);
    rect->bottom = MulDiv(rect->bottom, m_nBaseUnitY, 8);
}

void CDialog::OnChildNotify(int id, UINT code, HWND hCtrl)
{
    if (!m_bDestroying)
        OnControlNotify(id, code, hCtrl);
}

void CDialog::PressEnter()
{
    if (!m_pWindow)
        return;
    // A focused push button is pressed itself; otherwise the default button.
    auto* button = qobject_cast<QPushButton*>(m_pWindow->focusWidget());
    if (button && CControlWidget::Of(button) && button->isEnabled()) {
        button->click();
        return;
    }
    PressCommand(m_nDefID);
}

void CDialog::PressCommand(int id)
{
    CWnd* control = GetDlgItem(id);
    if (control && !control->IsWindowEnabled()) {
        QApplication::beep();
        return;
    }
    OnChildNotify(id, BN_CLICKED, control ? control->GetSafeHwnd() : nullptr);
}

void CDialog::ShowDefaultButton(CWnd* focused)
{
    QWidget* focusedWidget = focused ? focused->GetWidget() : nullptr;
    const bool focusOnButton = qobject_cast<QPushButton*>(focusedWidget) && CControlWidget::Of(focusedWidget);
    const CWnd* defaultButton = GetDlgItem(m_nDefID);
    for (const auto& control : m_Controls) {
        auto* button = qobject_cast<QPushButton*>(control->GetWidget());
        if (!button)
            continue;
        button->setDefault(focusOnButton ? button == focusedWidget
                                         : defaultButton && button == defaultButton->GetWidget());
    }
}

HWND GetFocus()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    QWidget* focus = QApplication::focusWidget();
    // Before the window system has activated a dialog that runs (during
    // OnInitDialog), the focus is the control the dialog gave it to.
    const CDialog* top = CDialog::GetModalDialog();
    if (top && top->m_pWindow && !top->m_pWindow->m_bWasActive)
        focus = top->m_pWindow->focusWidget();
    for (QWidget* w = focus; w; w = w->parentWidget())
        if (HWND hWnd = CWnd::HandleOf(w))
            return hWnd;
    return nullptr;
}
