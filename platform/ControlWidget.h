// CControlWidget: the framework's side of a dialog control's widget (inside
// the framework only; module code sees controls as CWnd).
//
// The widget of each control kind derives from its Qt widget and from this
// class; SendMessageA and the CWnd functions reach the control's behaviour
// through it. A control tells its dialog what the user did through the
// notify function given at creation (BN_CLICKED, EN_KILLFOCUS, ...).
#pragma once

#include "platform/DialogItem.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <QRect>
#include <QString>

#include <functional>

class QWidget;

class CControlWidget {
public:
    using NotifyFn = std::function<void(UINT code)>;

    virtual ~CControlWidget() = default;

    // Builds the widget of `item` as a child of `parent`, at `rect` (pixels).
    // `fontHeight` is the dialog font's height in pixels (a combo box's
    // closed height follows from it); `group` the index of the control's
    // group in the template.
    static QWidget* Create(const CDialogItem& item, QWidget* parent, const QRect& rect, int fontHeight, int group,
                           NotifyFn notify);
    // The control part of a widget, or null when it is not a control.
    static CControlWidget* Of(QWidget* widget);

    const CDialogItem& Item() const { return m_Item; }
    int Group() const { return m_nGroup; }
    CDialogItem::EKind Kind() const { return m_Item.GetKind(); }

    virtual CString GetText() const = 0;
    virtual void SetText(const CString& text) = 0;
    // The control's own messages (EM_*, BM_*, CB_*); `handled` is set to
    // false for a message the control does not know.
    virtual LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // A combo box's item text; FALSE for an index outside the list or
    // another kind of control.
    virtual BOOL GetItemText(int index, CString& text) const;
    // Gives the control the focus as the dialog manager does (initial
    // focus, Tab, mnemonics): an edit's whole text is selected.
    virtual void TakeDialogFocus();

    // 8-bit (UTF-8) texts to and from Qt.
    static QString ToQt(const char* text);
    static CString FromQt(const QString& text);
    // A caption as shown: "&x" is x (the mnemonic), "&&" is "&".
    static QString StripMnemonic(const QString& caption);

protected:
    CControlWidget(const CDialogItem& item, int group, NotifyFn notify);
    void Notify(UINT code) const;
    // Gives the focus to the first control after `self` in template order
    // that takes it by Tab (a label's or group box's mnemonic).
    static void FocusNextControl(QWidget* self);

private:
    CDialogItem m_Item;
    int m_nGroup;
    NotifyFn m_Notify;
};
