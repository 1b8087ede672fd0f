#include "platform/ControlWidget.h"

#include "platform/MessageBox.h"
#include "platform/WindowMessages.h"
#include "platform/WindowStyles.h"
#include "platform/Wnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcutEvent>
#include <QStyle>
#include <qdrawutil.h>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Message arguments as the signed values they carry (C++20 conversions wrap).
int ArgInt(std::uintptr_t value) { return static_cast<int>(value); }
int ArgInt(std::intptr_t value) { return static_cast<int>(value); }

// Text positions: messages count bytes of the UTF-8 text, Qt counts UTF-16
// code units. Both agree for ASCII.
int CharIndexOfByte(const QString& text, int byteIndex)
{
    const QByteArray bytes = text.toUtf8();
    const int b = std::clamp(byteIndex, 0, static_cast<int>(bytes.size()));
    return static_cast<int>(QString::fromUtf8(bytes.constData(), b).size());
}

int ByteIndexOfChar(const QString& text, int charIndex)
{
    const int c = std::clamp(charIndex, 0, static_cast<int>(text.size()));
    return static_cast<int>(text.left(c).toUtf8().size());
}

// EM_SETSEL's arguments as an anchor and a caret in characters of `text`;
// false when the selection is to be removed (start -1).
bool SelectionFromArgs(const QString& text, WPARAM wParam, LPARAM lParam, int& anchor, int& caret)
{
    const int start = ArgInt(wParam);
    int end = ArgInt(lParam);
    if (start == -1)
        return false;
    const int length = static_cast<int>(text.toUtf8().size());
    if (end < 0)
        end = length;
    anchor = CharIndexOfByte(text, std::max(start, 0));
    caret = CharIndexOfByte(text, end);
    return true;
}

LRESULT SelectionResult(const QString& text, int anchor, int caret, WPARAM wParam, LPARAM lParam)
{
    const DWORD start = static_cast<DWORD>(ByteIndexOfChar(text, std::min(anchor, caret)));
    const DWORD end = static_cast<DWORD>(ByteIndexOfChar(text, std::max(anchor, caret)));
    if (wParam)
        *reinterpret_cast<DWORD*>(wParam) = start;
    if (lParam)
        *reinterpret_cast<DWORD*>(lParam) = end;
    return MAKELRESULT(start, end);
}

// Greedy word wrap of a caption into lines no wider than `width` (a word
// wider than that keeps a line of its own); mnemonic markers take no room.
QString WrapCaption(const QString& caption, const QFontMetrics& metrics, int width)
{
    const QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(CControlWidget::StripMnemonic(candidate)) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

Qt::FocusPolicy PolicyFor(const CDialogItem& item)
{
    return (item.m_dwStyle & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
}

// Focus reasons that are not a real change of the keyboard focus: a popup of
// the control itself (a combo box's list, a context menu) opened or closed.
bool IsPopupReason(const QFocusEvent* e) { return e->reason() == Qt::PopupFocusReason; }

bool IsKeyboardReason(const QFocusEvent* e)
{
    return e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason ||
           e->reason() == Qt::ShortcutFocusReason;
}

// ---------------------------------------------------------------- buttons

class CPushButtonCtl final : public QPushButton, public CControlWidget {
public:
    CPushButtonCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : QPushButton(parent), CControlWidget(item, group, std::move(notify))
    {
        // Enter is the dialog's: it presses the focused push button or the
        // default one, so Qt's own default-button logic stays out.
        setAutoDefault(false);
        setDefault(item.IsDefaultButton() != FALSE);
        connect(this, &QAbstractButton::clicked, this, [this] { Notify(BN_CLICKED); });
    }
    CString GetText() const override { return m_strCaption; }
    void SetText(const CString& text) override
    {
        m_strCaption = text;
        const QString caption = ToQt(text);
        if (Item().m_dwStyle & BS_MULTILINE) {
            const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this);
            setText(WrapCaption(caption, fontMetrics(), width() - 2 * margin));
        } else {
            setText(caption);
        }
    }
    LRESULT Message(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        if (message == BM_CLICK) {
            click();
            return 0;
        }
        handled = message == BM_GETCHECK || message == BM_SETCHECK;
        return 0;
    }

protected:
    bool event(QEvent* e) override
    {
        // A push button's mnemonic presses it at once and leaves the focus
        // where it is.
        if (e->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(e)->isAmbiguous()) {
            click();
            return true;
        }
        return QPushButton::event(e);
    }

private:
    CString m_strCaption;
};

// Check boxes and radio buttons: captions (wrapped with BS_MULTILINE), the
// mnemonic focuses and clicks, the check state messages.
template <typename Base>
class CCheckableCtl : public Base, public CControlWidget {
public:
    CCheckableCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : Base(parent), CControlWidget(item, group, std::move(notify))
    {
        QObject::connect(this, &QAbstractButton::clicked, this, [this] { Notify(BN_CLICKED); });
    }
    CString GetText() const override { return m_strCaption; }
    void SetText(const CString& text) override
    {
        m_strCaption = text;
        const QString caption = ToQt(text);
        if (Item().m_dwStyle & BS_MULTILINE) {
            const bool radio = Kind() == CDialogItem::RadioButton;
            QStyle* s = this->style();
            const int indicator =
                s->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, this);
            const int spacing =
                s->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
            this->setText(WrapCaption(caption, this->fontMetrics(), this->width() - indicator - spacing - 1));
        } else {
            this->setText(caption);
        }
    }
    LRESULT Message(UINT message, WPARAM wParam, LPARAM, bool& handled) override
    {
        switch (message) {
        case BM_GETCHECK:
            return GetCheck();
        case BM_SETCHECK:
            SetCheck(ArgInt(wParam));
            return 0;
        case BM_CLICK:
            this->click();
            return 0;
        default:
            handled = false;
            return 0;
        }
    }

protected:
    // The whole control takes the click, not only its indicator and text.
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
    virtual int GetCheck() const { return this->isChecked() ? BST_CHECKED : BST_UNCHECKED; }
    virtual void SetCheck(int check) { this->setChecked(check == BST_CHECKED); }

    bool event(QEvent* e) override
    {
        // A check box's or radio button's mnemonic focuses and clicks it.
        if (e->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(e)->isAmbiguous()) {
            if (this->focusPolicy() != Qt::NoFocus)
                this->setFocus(Qt::ShortcutFocusReason);
            this->click();
            return true;
        }
        return Base::event(e);
    }

private:
    CString m_strCaption;
};

class CCheckBoxCtl final : public CCheckableCtl<QCheckBox> {
public:
    CCheckBoxCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : CCheckableCtl(item, group, std::move(notify), parent)
    {
        const DWORD type = item.m_dwStyle & BS_TYPEMASK;
        setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
    }

protected:
    int GetCheck() const override
    {
        switch (checkState()) {
        case Qt::Checked:
            return BST_CHECKED;
        case Qt::PartiallyChecked:
            return BST_INDETERMINATE;
        default:
            return BST_UNCHECKED;
        }
    }
    void SetCheck(int check) override
    {
        if (check == BST_INDETERMINATE && isTristate())
            setCheckState(Qt::PartiallyChecked);
        else
            setCheckState(check == BST_CHECKED ? Qt::Checked : Qt::Unchecked);
    }
    // An auto check box toggles itself when clicked (a three-state one goes
    // unchecked, checked, indeterminate); any other only reports the click.
    void nextCheckState() override
    {
        if (!Item().IsAutoButton())
            return;
        if (isTristate())
            setCheckState(checkState() == Qt::Unchecked ? Qt::Checked
                          : checkState() == Qt::Checked ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
        else
            setChecked(!isChecked());
    }
};

class CRadioButtonCtl final : public CCheckableCtl<QRadioButton> {
public:
    CRadioButtonCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : CCheckableCtl(item, group, std::move(notify), parent)
    {
        // Exclusivity follows the template's groups, not the parent widget.
        setAutoExclusive(false);
    }

protected:
    // The arrow keys move the focus to the previous (Up, Left) or next (Down,
    // Right) enabled, visible radio button of the group, wrapping around, and
    // click it, as the platform's dialog manager does: in an auto group the
    // button that takes the focus is the one checked.
    void keyPressEvent(QKeyEvent* e) override
    {
        const int key = e->key();
        const bool arrow = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
        if (!arrow || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || !parentWidget()) {
            CCheckableCtl::keyPressEvent(e);
            return;
        }
        e->accept();
        std::vector<CRadioButtonCtl*> group;  // in template order
        for (QObject* child : parentWidget()->children()) {
            auto* peer = dynamic_cast<CRadioButtonCtl*>(child);
            if (peer && peer->Group() == Group() && (peer == this || (peer->isEnabled() && peer->isVisible())))
                group.push_back(peer);
        }
        const auto self = std::find(group.begin(), group.end(), this);
        if (group.size() < 2 || self == group.end())
            return;
        const std::size_t at = static_cast<std::size_t>(self - group.begin());
        const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
        CRadioButtonCtl* next = group[(at + (forward ? 1 : group.size() - 1)) % group.size()];
        next->setFocus(Qt::OtherFocusReason);
        next->click();
    }
    // An auto radio button checks itself when clicked and unchecks every
    // other radio button of its group; any other only reports the click.
    void nextCheckState() override
    {
        if (!Item().IsAutoButton())
            return;
        setChecked(true);
        if (!parentWidget())
            return;
        for (QObject* child : parentWidget()->children()) {
            auto* peer = dynamic_cast<CRadioButtonCtl*>(child);
            if (peer && peer != this && peer->Group() == Group())
                peer->setChecked(false);
        }
    }
};

class CGroupBoxCtl final : public QGroupBox, public CControlWidget {
public:
    CGroupBoxCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : QGroupBox(parent), CControlWidget(item, group, std::move(notify))
    {
    }
    CString GetText() const override { return FromQt(title()); }
    void SetText(const CString& text) override
    {
        setTitle(ToQt(text));
        update();
    }

protected:
    // Drawn as the platform draws it: the frame's top edge runs through the
    // middle of the caption, which sits a character in from the left.
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics = fontMetrics();
        // An etched line, as the platform's group boxes have.
        qDrawShadeRect(&painter, rect().adjusted(0, metrics.height() / 2, 0, 0), palette(), true, 1, 0);
        const QString caption = title();
        if (caption.isEmpty())
            return;
        const int indent = metrics.averageCharWidth();
        const QRect textRect(indent, 0, metrics.horizontalAdvance(StripMnemonic(caption)) + 4, metrics.height());
        painter.fillRect(textRect, palette().brush(QPalette::Window));
        style()->drawItemText(&painter, textRect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                              palette(), isEnabled(), caption, QPalette::WindowText);
    }
    bool event(QEvent* e) override
    {
        // The mnemonic of a group box goes to the control after it.
        if (e->type() == QEvent::Shortcut) {
            FocusNextControl(this);
            return true;
        }
        return QGroupBox::event(e);
    }
};

// ---------------------------------------------------------------- edits

// A single-line edit. Its selection survives the loss of the focus, unseen,
// as the platform's edits keep theirs: Qt's line edit drops it, so it is
// kept here while the edit has no focus and put back when the focus returns
// other than by Tab or a mnemonic (which select the whole text) or a click
// (which places the caret).
class CLineEditCtl final : public QLineEdit, public CControlWidget {
public:
    CLineEditCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : QLineEdit(parent), CControlWidget(item, group, std::move(notify))
    {
        setFrame((item.m_dwStyle & WS_BORDER) || (item.m_dwExStyle & WS_EX_CLIENTEDGE));
        const DWORD align = item.m_dwStyle & (ES_CENTER | ES_RIGHT);
        setAlignment(align == ES_CENTER  ? Qt::AlignHCenter
                     : align == ES_RIGHT ? Qt::AlignRight
                                         : Qt::AlignLeft);
        setReadOnly(item.m_dwStyle & ES_READONLY);
        connect(this, &QLineEdit::textEdited, this, [this] { Notify(EN_CHANGE); });
    }
    CString GetText() const override { return FromQt(text()); }
    void SetText(const CString& text) override
    {
        setText(ToQt(text));
        setCursorPosition(0);
        m_nAnchor = m_nCaret = 0;
    }
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        switch (message) {
        case EM_GETSEL: {
            int anchor = m_nAnchor, caret = m_nCaret;
            if (hasFocus())
                LiveSelection(anchor, caret);
            return SelectionResult(text(), anchor, caret, wParam, lParam);
        }
        case EM_SETSEL: {
            int anchor = 0, caret = 0;
            if (!SelectionFromArgs(text(), wParam, lParam, anchor, caret)) {
                LiveSelection(anchor, caret);
                if (!hasFocus())
                    caret = m_nCaret;
                anchor = caret;
            }
            SetSelection(anchor, caret);
            return 0;
        }
        case EM_SCROLLCARET:
            if (!hasFocus())
                setCursorPosition(m_nCaret);
            return 0;
        case EM_GETMODIFY:
            // Qt's flag: set by the user's edits, cleared by setText.
            return isModified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            setModified(wParam != 0);
            return 0;
        default:
            handled = false;
            return 0;
        }
    }
    void TakeDialogFocus() override
    {
        setFocus(Qt::OtherFocusReason);
        SetSelection(0, static_cast<int>(text().size()));
    }

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        QLineEdit::focusInEvent(e);
        if (IsKeyboardReason(e))
            selectAll();
        else if (e->reason() != Qt::MouseFocusReason)
            Apply(m_nAnchor, m_nCaret);
        if (!IsPopupReason(e))
            Notify(EN_SETFOCUS);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        if (!IsPopupReason(e))
            LiveSelection(m_nAnchor, m_nCaret);
        QLineEdit::focusOutEvent(e);
        if (!IsPopupReason(e))
            Notify(EN_KILLFOCUS);
    }

private:
    void LiveSelection(int& anchor, int& caret) const
    {
        caret = cursorPosition();
        anchor = caret;
        if (hasSelectedText()) {
            const int start = selectionStart();
            const int end = start + static_cast<int>(selectedText().size());
            anchor = caret == start ? end : start;
        }
    }
    void Apply(int anchor, int caret)
    {
        const int length = static_cast<int>(text().size());
        anchor = std::clamp(anchor, 0, length);
        caret = std::clamp(caret, 0, length);
        if (anchor == caret)
            setCursorPosition(caret);
        else
            setSelection(anchor, caret - anchor);
    }
    void SetSelection(int anchor, int caret)
    {
        if (hasFocus()) {
            Apply(anchor, caret);
        } else {
            const int length = static_cast<int>(text().size());
            m_nAnchor = std::clamp(anchor, 0, length);
            m_nCaret = std::clamp(caret, 0, length);
        }
    }

    int m_nAnchor = 0;  // the selection while the edit has no focus
    int m_nCaret = 0;
};

// A multi-line edit: Tab leaves it; Enter starts a new line only with
// ES_WANTRETURN (a read-only edit then ignores it), otherwise it presses the
// dialog's default button. Line breaks are "\n" ("\r\n" is accepted).
class CTextEditCtl final : public QPlainTextEdit, public CControlWidget {
public:
    CTextEditCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : QPlainTextEdit(parent), CControlWidget(item, group, std::move(notify))
    {
        const DWORD style = item.m_dwStyle;
        setTabChangesFocus(true);
        setReadOnly(style & ES_READONLY);
        setLineWrapMode((style & ES_AUTOHSCROLL) ? NoWrap : WidgetWidth);
        setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        if (!(style & WS_BORDER) && !(item.m_dwExStyle & WS_EX_CLIENTEDGE))
            setFrameStyle(QFrame::NoFrame);
        if (style & ES_READONLY) {
            // A read-only edit shows the dialog's background, as the platform's do.
            QPalette p = palette();
            p.setColor(QPalette::Base, p.color(QPalette::Window));
            setPalette(p);
        }
        connect(this, &QPlainTextEdit::textChanged, this, [this] {
            if (!m_bSetting)
                Notify(EN_CHANGE);
        });
    }
    CString GetText() const override { return FromQt(toPlainText()); }
    void SetText(const CString& text) override
    {
        m_bSetting = true;
        setPlainText(ToQt(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        m_bSetting = false;
        document()->setModified(false);  // a text from the program is not the user's change
    }
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        const QString text = toPlainText();
        switch (message) {
        case EM_GETSEL: {
            const QTextCursor c = textCursor();
            return SelectionResult(text, c.anchor(), c.position(), wParam, lParam);
        }
        case EM_SETSEL: {
            int anchor = 0, caret = 0;
            QTextCursor c = textCursor();
            if (SelectionFromArgs(text, wParam, lParam, anchor, caret)) {
                c.setPosition(anchor);
                c.setPosition(caret, QTextCursor::KeepAnchor);
            } else {
                c.clearSelection();
            }
            setTextCursor(c);
            return 0;
        }
        case EM_SCROLLCARET:
            ensureCursorVisible();
            return 0;
        case EM_GETMODIFY:
            return document()->isModified() ? TRUE : FALSE;
        case EM_SETMODIFY:
            document()->setModified(wParam != 0);
            return 0;
        default:
            handled = false;
            return 0;
        }
    }
    void TakeDialogFocus() override
    {
        setFocus(Qt::OtherFocusReason);
        selectAll();
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            if (!(Item().m_dwStyle & ES_WANTRETURN)) {
                e->ignore();
                return;
            }
            if (isReadOnly()) {
                e->accept();
                return;
            }
        }
        QPlainTextEdit::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QPlainTextEdit::focusInEvent(e);
        if (IsKeyboardReason(e))
            selectAll();
        if (!IsPopupReason(e))
            Notify(EN_SETFOCUS);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QPlainTextEdit::focusOutEvent(e);
        if (!IsPopupReason(e))
            Notify(EN_KILLFOCUS);
    }

private:
    bool m_bSetting = false;
};

// ---------------------------------------------------------------- statics

class CStaticCtl final : public QLabel, public CControlWidget {
public:
    CStaticCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : QLabel(parent), CControlWidget(item, group, std::move(notify))
    {
        const DWORD style = item.m_dwStyle;
        const DWORD type = style & SS_TYPEMASK;
        m_bText = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP;
        const Qt::Alignment horizontal = type == SS_CENTER  ? Qt::AlignHCenter
                                         : type == SS_RIGHT ? Qt::AlignRight
                                                            : Qt::AlignLeft;
        const bool oneLine = (style & SS_CENTERIMAGE) || type == SS_LEFTNOWORDWRAP;
        setAlignment(horizontal | ((style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop));
        setWordWrap(!oneLine);
        setTextFormat(Qt::PlainText);
        if (item.m_dwExStyle & WS_EX_CLIENTEDGE) {
            setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        } else if (style & WS_BORDER) {
            setFrameStyle(QFrame::Box | QFrame::Plain);
            setLineWidth(1);
        }
    }
    CString GetText() const override { return m_strCaption; }
    void SetText(const CString& text) override
    {
        m_strCaption = text;
        if (m_nShortcut) {
            releaseShortcut(m_nShortcut);
            m_nShortcut = 0;
        }
        if (!m_bText) {
            setText(QString());
            return;
        }
        const QString caption = ToQt(text);
        if (Item().m_dwStyle & SS_NOPREFIX) {
            setText(caption);
            return;
        }
        setText(StripMnemonic(caption));
        const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
        if (!mnemonic.isEmpty())
            m_nShortcut = grabShortcut(mnemonic);
    }

protected:
    bool event(QEvent* e) override
    {
        // The mnemonic of a static text goes to the control after it.
        if (e->type() == QEvent::Shortcut && m_nShortcut &&
            static_cast<QShortcutEvent*>(e)->shortcutId() == m_nShortcut) {
            FocusNextControl(this);
            return true;
        }
        return QLabel::event(e);
    }

private:
    CString m_strCaption;
    bool m_bText = true;
    int m_nShortcut = 0;
};

// ---------------------------------------------------------------- combo boxes

class CComboBoxCtl final : public QComboBox, public CControlWidget {
public:
    CComboBoxCtl(const CDialogItem& item, int group, NotifyFn notify, QWidget* parent)
        : QComboBox(parent), CControlWidget(item, group, std::move(notify))
    {
        setEditable((item.m_dwStyle & CBS_TYPEMASK) != CBS_DROPDOWNLIST);
        setInsertPolicy(QComboBox::NoInsert);
        connect(this, &QComboBox::activated, this, [this] { Notify(CBN_SELCHANGE); });
    }
    CString GetText() const override { return FromQt(currentText()); }
    void SetText(const CString& text) override
    {
        if (isEditable())
            setEditText(ToQt(text));
        else
            setCurrentIndex(findText(ToQt(text), Qt::MatchFixedString | Qt::MatchCaseSensitive));
    }
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override
    {
        const char* text = reinterpret_cast<const char*>(lParam);
        switch (message) {
        case CB_RESETCONTENT:
            clear();
            return 0;
        case CB_ADDSTRING:
            addItem(ToQt(text));
            return count() - 1;
        case CB_INSERTSTRING: {
            const int index = ArgInt(wParam);
            if (index > count())
                return CB_ERR;
            const int at = index < 0 ? count() : index;
            insertItem(at, ToQt(text));
            return at;
        }
        case CB_DELETESTRING: {
            const int index = ArgInt(wParam);
            if (index < 0 || index >= count())
                return CB_ERR;
            removeItem(index);
            return count();
        }
        case CB_GETCOUNT:
            return count();
        case CB_GETCURSEL:
            return currentIndex() < 0 ? CB_ERR : currentIndex();
        case CB_SETCURSEL: {
            const int index = ArgInt(wParam);
            const bool inList = index >= 0 && index < count();
            setCurrentIndex(inList ? index : -1);
            return inList ? index : CB_ERR;
        }
        case CB_FINDSTRINGEXACT: {
            const QString wanted = ToQt(text);
            const int n = count();
            const int after = ArgInt(wParam);
            const int first = after >= 0 && after < n ? after + 1 : 0;
            for (int k = 0; k < n; ++k) {
                const int i = (first + k) % n;
                if (itemText(i).compare(wanted, Qt::CaseInsensitive) == 0)
                    return i;
            }
            return CB_ERR;
        }
        default:
            handled = false;
            return 0;
        }
    }
    BOOL GetItemText(int index, CString& text) const override
    {
        if (index < 0 || index >= count())
            return FALSE;
        text = FromQt(itemText(index));
        return TRUE;
    }

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        QComboBox::focusInEvent(e);
        if (!IsPopupReason(e))
            Notify(CBN_SETFOCUS);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QComboBox::focusOutEvent(e);
        if (!IsPopupReason(e))
            Notify(CBN_KILLFOCUS);
    }
};

}  // namespace

CControlWidget::CControlWidget(const CDialogItem& item, int group, NotifyFn notify)
    : m_Item(item), m_nGroup(group), m_Notify(std::move(notify))
{
}

void CControlWidget::Notify(UINT code) const
{
    if (m_Notify)
        m_Notify(code);
}

CControlWidget* CControlWidget::Of(QWidget* widget) { return dynamic_cast<CControlWidget*>(widget); }

LRESULT CControlWidget::Message(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = false;
    return 0;
}

BOOL CControlWidget::GetItemText(int, CString&) const { return FALSE; }

void CControlWidget::TakeDialogFocus()
{
    if (auto* widget = dynamic_cast<QWidget*>(this))
        widget->setFocus(Qt::OtherFocusReason);
}

QString CControlWidget::ToQt(const char* text) { return QString::fromUtf8(text ? text : ""); }

CString CControlWidget::FromQt(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return CString(bytes.constData(), static_cast<int>(bytes.size()));
}

QString CControlWidget::StripMnemonic(const QString& caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;  // "&x" shows x, "&&" shows "&"
        else if (caption[i] == QLatin1Char('&'))
            continue;  // a trailing "&" marks nothing
        shown += caption[i];
    }
    return shown;
}

void CControlWidget::FocusNextControl(QWidget* self)
{
    QWidget* window = self->window();
    for (QWidget* w = self->nextInFocusChain(); w && w != self; w = w->nextInFocusChain()) {
        if (w == window || !CWnd::HandleOf(w))
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(window)) {
            if (CControlWidget* control = Of(w))
                control->TakeDialogFocus();
            else
                w->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

QWidget* CControlWidget::Create(const CDialogItem& item, QWidget* parent, const QRect& rect, int fontHeight,
                                int group, NotifyFn notify)
{
    QWidget* widget = nullptr;
    CControlWidget* control = nullptr;
    QRect geometry = rect;
    const auto make = [&](auto* w) {
        widget = w;
        control = w;
    };
    switch (item.GetKind()) {
    case CDialogItem::PushButton:
        make(new CPushButtonCtl(item, group, std::move(notify), parent));
        break;
    case CDialogItem::CheckBox:
        make(new CCheckBoxCtl(item, group, std::move(notify), parent));
        break;
    case CDialogItem::RadioButton:
        make(new CRadioButtonCtl(item, group, std::move(notify), parent));
        break;
    case CDialogItem::GroupBox:
        make(new CGroupBoxCtl(item, group, std::move(notify), parent));
        break;
    case CDialogItem::EditBox:
        if (item.m_dwStyle & ES_MULTILINE)
            make(new CTextEditCtl(item, group, std::move(notify), parent));
        else
            make(new CLineEditCtl(item, group, std::move(notify), parent));
        break;
    case CDialogItem::StaticText:
        make(new CStaticCtl(item, group, std::move(notify), parent));
        break;
    case CDialogItem::ComboList: {
        auto* combo = new CComboBoxCtl(item, group, std::move(notify), parent);
        make(combo);
        // The template's height is the height with the list dropped down;
        // closed, the box is as high as one line of the font and its frame.
        const int closed = fontHeight + 8;
        const int itemHeight = std::max(1, fontHeight + 2);
        combo->setMaxVisibleItems(std::max(1, (rect.height() - closed) / itemHeight));
        geometry.setHeight(std::min(rect.height(), closed));
        break;
    }
    }
    switch (item.GetKind()) {
    case CDialogItem::GroupBox:
    case CDialogItem::StaticText:
        widget->setFocusPolicy(Qt::NoFocus);
        break;
    default:
        widget->setFocusPolicy(PolicyFor(item));
        break;
    }
    widget->setGeometry(geometry.x(), geometry.y(), std::max(0, geometry.width()), std::max(0, geometry.height()));
    control->SetText(item.m_strText);
    widget->setEnabled(!(item.m_dwStyle & WS_DISABLED));
    if (!(item.m_dwStyle & WS_VISIBLE))
        widget->hide();
    return widget;
}
