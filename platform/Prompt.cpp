#include "platform/Prompt.h"

#include "platform/ControlWidget.h"
#include "platform/MessageBox.h"
#include "platform/WindowSystem.h"
#include "platform/Wnd.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <cstdio>
#include <vector>

namespace {

CPrompt* s_pInstalled = nullptr;

QWidget* OwnerWidget(CWnd* owner)
{
    QWidget* widget = owner ? owner->GetWidget() : nullptr;
    return widget ? widget->window() : nullptr;
}

QMessageBox::Icon IconFor(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        // No icon asked for: a warning for a message, a question for a choice.
        switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return QMessageBox::Question;
        default:
            return QMessageBox::Warning;
        }
    }
}

struct CButtonChoice {
    QMessageBox::StandardButton button;
    int id;
};

std::vector<CButtonChoice> ButtonsFor(UINT type)
{
    using B = QMessageBox;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{B::Ok, IDOK}, {B::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{B::Abort, IDABORT}, {B::Retry, IDRETRY}, {B::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{B::Yes, IDYES}, {B::No, IDNO}, {B::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{B::Yes, IDYES}, {B::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{B::Retry, IDRETRY}, {B::Cancel, IDCANCEL}};
    default:
        return {{B::Ok, IDOK}};
    }
}

}  // namespace

CPrompt::~CPrompt()
{
    if (s_pInstalled == this)
        s_pInstalled = nullptr;
}

namespace {

// The window and control that have the keyboard while a message box or a
// file dialog is open get it back when it closes: without a window manager
// nobody else activates the window below, and its shortcuts, Enter chain
// and GetFocus would find no focus at all. (The platform does the same for
// nested dialogs.)
class CFocusKeeper {
public:
    CFocusKeeper() : m_Window(QApplication::activeWindow()), m_Focus(QApplication::focusWidget()) {}
    ~CFocusKeeper()
    {
        if (!m_Window || !m_Window->isVisible())
            return;
        m_Window->activateWindow();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (m_Focus && m_Focus->isVisible() && m_Focus->window() == m_Window)
            m_Focus->setFocus(Qt::OtherFocusReason);
    }
    CFocusKeeper(const CFocusKeeper&) = delete;
    CFocusKeeper& operator=(const CFocusKeeper&) = delete;

private:
    QPointer<QWidget> m_Window;
    QPointer<QWidget> m_Focus;
};

}  // namespace

CPrompt& CPrompt::Get()
{
    static CPrompt windowSystem;
    return s_pInstalled ? *s_pInstalled : windowSystem;
}

CPrompt* CPrompt::Install(CPrompt* prompt)
{
    CPrompt* previous = s_pInstalled;
    s_pInstalled = prompt;
    return previous;
}

int CPrompt::MessageBox(CWnd* owner, const char* text, const char* caption, UINT type, UINT)
{
    if (!CWindowSystem::EnsureApplication()) {
        std::fprintf(stderr, "%s\n", text ? text : "");
        return 0;
    }
    const std::vector<CButtonChoice> choices = ButtonsFor(type);
    QMessageBox box(IconFor(type), CControlWidget::ToQt(caption), CControlWidget::ToQt(text), QMessageBox::NoButton,
                    OwnerWidget(owner));
    QMessageBox::StandardButtons buttons;
    for (const CButtonChoice& c : choices)
        buttons |= c.button;
    box.setStandardButtons(buttons);
    const std::size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    box.setDefaultButton(choices[defaultIndex < choices.size() ? defaultIndex : 0].button);
    {
        const CFocusKeeper focus;
        box.exec();
    }
    const auto chosen = box.standardButton(box.clickedButton());
    for (const CButtonChoice& c : choices)
        if (c.button == chosen)
            return c.id;
    // Closed without a button: the box's cancel, or its only button.
    for (const CButtonChoice& c : choices)
        if (c.id == IDCANCEL)
            return IDCANCEL;
    return choices.size() == 1 ? choices.front().id : IDCANCEL;
}

BOOL CPrompt::ChooseFileToOpen(CWnd* owner, const CFileRequest& request, CString& path)
{
    if (!CWindowSystem::EnsureApplication())
        return FALSE;
    QFileDialog dialog(OwnerWidget(owner),
                       CControlWidget::ToQt(request.m_strTitle.IsEmpty() ? "Open" : request.m_strTitle.GetString()),
                       CControlWidget::ToQt(request.m_strInitialPath));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.m_dwFlags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = CControlWidget::ToQt(ToQtFilter(request.m_strFilter)).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.m_nFilterIndex - 1;
        dialog.selectNameFilter(filters.at(index >= 0 && index < filters.size() ? index : 0));
    }
    if (!request.m_strDefExt.IsEmpty())
        dialog.setDefaultSuffix(CControlWidget::ToQt(request.m_strDefExt));
    int result;
    {
        const CFocusKeeper focus;
        result = dialog.exec();
    }
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return FALSE;
    path = CControlWidget::FromQt(dialog.selectedFiles().constFirst());
    return TRUE;
}

void CPrompt::OnModalStart(CDialog*) {}

CString CPrompt::ToQtFilter(const char* filter)
{
    const QStringList parts = CControlWidget::ToQt(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patternText = parts[i + 1].trimmed();
        if (description.isEmpty() && patternText.isEmpty())
            break;  // the "||" that ends the list
        QStringList patterns;
        for (const QString& p : patternText.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << (p.trimmed() == QStringLiteral("*.*") ? QStringLiteral("*") : p.trimmed());
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // Qt reads the patterns from the last parentheses of a filter.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        if (description.isEmpty())
            description = patterns.join(QLatin1Char(' '));
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return CControlWidget::FromQt(filters.join(QStringLiteral(";;")));
}
