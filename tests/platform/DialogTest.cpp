// Dialogs driven as a user drives them: real key presses and clicks sent to
// the widgets while the modal run waits, answers through the prompt.
#include "DialogTestUtil.h"
#include "ScriptedPrompt.h"
#include "TestDialogs.h"

#include "platform/ComboBox.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceRegistry.h"
#include "platform/UserException.h"
#include "platform/Runtime.h"
#include "platform/WinApp.h"
#include "platform/WindowStyles.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace dlgtest;

constexpr INT_PTR kStillOpen = -2;  // the scripted action left the dialog open

class DialogTest : public ::testing::Test {
protected:
    // Runs `dlg` modally; `action` drives it once it is shown. A dialog the
    // action leaves open is ended with kStillOpen.
    INT_PTR Run(CDialog& dlg, std::function<void(CDialog*)> action)
    {
        m_Prompt.OnNextModal([action = std::move(action)](CDialog* d) {
            action(d);
            if (d->GetWidget() && d->GetWidget()->isVisible())
                d->EndDialog(kStillOpen);
        });
        return dlg.DoModal();
    }

    CTestDialogResources m_Resources;
    CScriptedPrompt m_Prompt;
};

std::vector<int> CommandIds(const CTestDlg& dlg, UINT code)
{
    std::vector<int> ids;
    for (const CCommand& c : dlg.m_Commands)
        if (c.code == code)
            ids.push_back(c.id);
    return ids;
}

TEST_F(DialogTest, ModalRunShowsTheDialogWithTheInitialFocusAndEndsWithTheResult)
{
    CTestDlg dlg;
    bool shown = false;
    const INT_PTR result = Run(dlg, [&](CDialog* d) {
        shown = d == &dlg && d->GetWidget()->isVisible() && d->IsWindowVisible();
        EXPECT_EQ(IDC_NAME, FocusId());  // the first tab stop
        EXPECT_EQ("7", Text(d->GetDlgItem(IDC_NUMBER)));  // OnInitDialog's UpdateData(FALSE)
        EXPECT_EQ(d, CDialog::GetModalDialog());
        d->EndDialog(42);
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(42, result);
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());  // destroyed when the run ended
    EXPECT_EQ(nullptr, CDialog::GetModalDialog());
    EXPECT_EQ(std::vector<UINT>{kTestDialog}, m_Prompt.m_ModalTemplates);
}

TEST_F(DialogTest, MissingTemplateFailsWithoutShowingAnything)
{
    CDialog dlg(12345);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_TRUE(m_Prompt.m_ModalTemplates.empty());
    EXPECT_FALSE(dlg.Create());
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
    ASSERT_TRUE(dlg.Create(kNestedDialog, nullptr));  // another template
    EXPECT_NE(nullptr, dlg.GetDlgItem(IDC_NESTED_EDIT));
    EXPECT_FALSE(dlg.Create(kTestDialog, nullptr));  // already has a window
}

// A library's dialog names its own module: a module loaded later with a
// template of the same id does not take its place.
TEST_F(DialogTest, TemplateFromANamedModuleOnly)
{
    constexpr UINT kShared = 990;
    const auto one = [](const char* caption) {
        CDialogTemplate t(WS_POPUP | WS_CAPTION, 80, 30, caption);
        t.Add(CDialogItem(CDialogItem::Button, IDOK, "OK", 10, 10, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP));
        return t;
    };
    // Resources of the framework library itself, then of this program.
    CModuleResources library("platform-library", reinterpret_cast<const void*>(&AfxMessageBox));
    library.AddDialog(kShared, one("library's"));
    CModuleResources program("platform-program", reinterpret_cast<const void*>(&CommandIds));
    program.AddDialog(kShared, one("program's"));
    ASSERT_NE(nullptr, program.GetHandle());
    ASSERT_NE(library.GetHandle(), program.GetHandle());
    const auto caption = [](CDialog& dlg) {
        CString text;
        if (dlg.Create())
            dlg.GetWindowText(text);
        dlg.DestroyWindow();
        return text.Std();
    };
    CDialog anyModule(kShared);
    EXPECT_EQ("program's", caption(anyModule));  // the most recently loaded
    CDialog own(kShared);
    own.SetTemplateModule(library.GetHandle());
    EXPECT_EQ("library's", caption(own));
    own.SetTemplateModule(&own);  // no module there
    EXPECT_EQ(-1, own.DoModal());
    CDialog elsewhere(kTestDialog);
    elsewhere.SetTemplateModule(library.GetHandle());  // the library has no template 900
    EXPECT_FALSE(elsewhere.Create());
    EXPECT_TRUE(m_Prompt.m_ModalTemplates.empty());
}

TEST_F(DialogTest, EndDialogInOnInitDialogNeverShowsTheDialog)
{
    CTestDlg dlg;
    dlg.m_InitAction = [](CTestDlg* d) { d->EndDialog(IDCANCEL); };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_TRUE(m_Prompt.m_ModalTemplates.empty());
}

TEST_F(DialogTest, EnterPressesOkAndLeavesTheFocusWhereItWas)
{
    // Enter on an edit, a check box and a radio button: OnOK runs with the
    // focus still on that control.
    for (const int id : {IDC_NAME, IDC_LABELLED, IDC_CHECK, IDC_ALPHA}) {
        CTestDlg dlg;
        dlg.m_bOkEnds = false;
        const INT_PTR result = Run(dlg, [&](CDialog* d) {
            Click(d->GetDlgItem(id));
            ASSERT_EQ(id, FocusId());
            Key(Qt::Key_Return);
            EXPECT_EQ(id, FocusId());
            Key(Qt::Key_Enter, Qt::KeypadModifier);
            Key(Qt::Key_Escape);
        });
        EXPECT_EQ(IDCANCEL, result) << id;
        EXPECT_EQ((std::vector<int>{id, id}), dlg.m_OkFocus) << id;
        EXPECT_TRUE(CommandIds(dlg, BN_CLICKED).size() <= 1) << "no second click of " << id;
    }
}

TEST_F(DialogTest, EnterOrSpaceOnAFocusedPushButtonPressesThatButton)
{
    CTestDlg dlg;
    const INT_PTR result = Run(dlg, [&](CDialog* d) {
        Click(d->GetDlgItem(IDC_APPLY));
        EXPECT_EQ(IDC_APPLY, FocusId());
        Key(Qt::Key_Return);
        Key(Qt::Key_Space);
        Click(d->GetDlgItem(IDC_OTHER));
        Key(Qt::Key_Return);
        EXPECT_EQ(IDC_OTHER, FocusId());
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(dlg.m_OkFocus.empty());
    EXPECT_EQ((std::vector<std::string>{"name-killfocus", "apply", "apply", "apply"}), dlg.m_Handled);
    EXPECT_EQ((std::vector<int>{IDC_OTHER, IDC_OTHER}), CommandIds(dlg, BN_CLICKED));
}

TEST_F(DialogTest, OkButtonExchangesAndEndsWithIdok)
{
    CTestDlg dlg;
    const INT_PTR result = Run(dlg, [&](CDialog* d) {
        Click(d->GetDlgItem(IDC_NUMBER));
        SendMessageA(d->GetDlgItem(IDC_NUMBER)->GetSafeHwnd(), EM_SETSEL, 0, -1);
        Type("42");
        Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(42, dlg.m_nNumber);
    EXPECT_EQ(std::vector<int>{IDOK}, dlg.m_OkFocus);  // the click put the focus on OK
}

TEST_F(DialogTest, CancelButtonEscapeAndCloseBoxCancel)
{
    const std::vector<std::function<void(CDialog*)>> ways = {
        [](CDialog* d) { Click(d->GetDlgItem(IDCANCEL)); },
        [](CDialog*) { Key(Qt::Key_Escape); },
        [](CDialog* d) {
            Click(d->GetDlgItem(IDC_NAME));
            Key(Qt::Key_Escape);
        },
        [](CDialog* d) { d->GetWidget()->close(); },
    };
    for (std::size_t i = 0; i < ways.size(); ++i) {
        CTestDlg dlg;
        EXPECT_EQ(IDCANCEL, Run(dlg, ways[i])) << "way " << i;
        EXPECT_EQ(1, dlg.m_nCancels) << "way " << i;
        EXPECT_EQ(7, dlg.m_nNumber) << "way " << i;  // nothing was exchanged back
    }
}

TEST_F(DialogTest, DisabledCancelButtonStopsEscapeAndTheCloseBox)
{
    CTestDlg dlg;
    const INT_PTR result = Run(dlg, [&](CDialog* d) {
        d->GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        Key(Qt::Key_Escape);
        d->GetWidget()->close();
        EXPECT_TRUE(d->GetWidget()->isVisible());
    });
    EXPECT_EQ(kStillOpen, result);
    EXPECT_EQ(0, dlg.m_nCancels);
}

TEST_F(DialogTest, EnterWithoutADefaultButtonSendsIdokAndADisabledDefaultDoesNothing)
{
    // Dialog 902 has no default push button and no OK button: Enter sends
    // IDOK, which CDialog's map routes to OnOK.
    CTestDlg dlg(kNoDefaultDialog);
    dlg.m_bOkEnds = false;
    EXPECT_EQ(kStillOpen, Run(dlg, [](CDialog*) { Key(Qt::Key_Return); }));
    EXPECT_EQ(std::vector<int>{IDC_NAME}, dlg.m_OkFocus);

    CTestDlg disabledOk;
    EXPECT_EQ(kStillOpen, Run(disabledOk, [](CDialog* d) {
                  d->GetDlgItem(IDOK)->EnableWindow(FALSE);
                  Key(Qt::Key_Return);
              }));
    EXPECT_TRUE(disabledOk.m_OkFocus.empty());
}

TEST_F(DialogTest, TabVisitsTheTabStopsInTemplateOrder)
{
    CTestDlg dlg;
    std::vector<int> forward, backward;
    Run(dlg, [&](CDialog* d) {
        for (int i = 0; i < 11; ++i) {
            forward.push_back(FocusId());
            Key(Qt::Key_Tab);
        }
        for (int i = 0; i < 3; ++i) {
            Key(Qt::Key_Backtab, Qt::ShiftModifier);
            backward.push_back(FocusId());
        }
        // Controls without WS_TABSTOP still take the focus by a click.
        Click(d->GetDlgItem(IDC_CHECK2));
        EXPECT_EQ(IDC_CHECK2, FocusId());
        Click(d->GetDlgItem(IDC_NOTES));
        EXPECT_EQ(IDC_NOTES, FocusId());
        Key(Qt::Key_Tab);
        EXPECT_EQ(IDOK, FocusId());  // on from where the click left it
    });
    EXPECT_EQ((std::vector<int>{IDC_NAME, IDC_NUMBER, IDC_CHECK, IDC_ALPHA, IDC_LABELLED, IDC_COMBO, IDC_APPLY,
                                IDC_OTHER, IDC_NESTED, IDOK, IDCANCEL}),
              forward);
    EXPECT_EQ((std::vector<int>{IDCANCEL, IDOK, IDC_NESTED}), backward);
}

TEST_F(DialogTest, TabIntoAnEditSelectsItsWholeText)
{
    CTestDlg dlg;
    Run(dlg, [&](CDialog* d) {
        CWnd* number = d->GetDlgItem(IDC_NUMBER);
        number->SetWindowText("12345");
        Click(number);  // a click places the caret: no selection
        const auto clicked = Selection(number);
        EXPECT_EQ(clicked.first, clicked.second);
        Key(Qt::Key_Backtab, Qt::ShiftModifier);
        Key(Qt::Key_Tab);
        EXPECT_EQ(IDC_NUMBER, FocusId());
        EXPECT_EQ(std::make_pair(0, 5), Selection(number));
    });
}

TEST_F(DialogTest, AutoRadioButtonsAreExclusiveWithinTheirGroup)
{
    CTestDlg dlg;
    std::vector<std::vector<UINT>> states;
    Run(dlg, [&](CDialog* d) {
        const auto snapshot = [&] {
            std::vector<UINT> s;
            for (const int id : {IDC_ALPHA, IDC_BETA, IDC_GAMMA, IDC_DELTA, IDC_EPSILON})
                s.push_back(d->IsDlgButtonChecked(id));
            states.push_back(s);
        };
        Click(d->GetDlgItem(IDC_BETA));
        snapshot();
        Click(d->GetDlgItem(IDC_DELTA));
        snapshot();
        Click(d->GetDlgItem(IDC_GAMMA));
        snapshot();
        Click(d->GetDlgItem(IDC_GAMMA));  // clicking the checked one keeps it checked
        snapshot();
        Click(d->GetDlgItem(IDC_EPSILON));
        snapshot();
        // Programmatic: the range given, nothing else; no notification.
        d->CheckRadioButton(IDC_ALPHA, IDC_GAMMA, IDC_ALPHA);
        snapshot();
        d->CheckRadioButton(IDC_ALPHA, IDC_EPSILON, 0);
        snapshot();
    });
    const std::vector<std::vector<UINT>> expected = {
        {0, 1, 0, 0, 0}, {0, 1, 0, 1, 0}, {0, 0, 1, 1, 0}, {0, 0, 1, 1, 0},
        {0, 0, 1, 0, 1}, {1, 0, 0, 0, 1}, {0, 0, 0, 0, 0},
    };
    EXPECT_EQ(expected, states);
    EXPECT_EQ((std::vector<int>{IDC_BETA, IDC_DELTA, IDC_GAMMA, IDC_GAMMA, IDC_EPSILON}),
              CommandIds(dlg, BN_CLICKED));
}

// The arrow keys go round the radio buttons of a group, skipping disabled
// ones, and check the one they reach; the other group stays as it was.
TEST_F(DialogTest, ArrowKeysMoveAndCheckWithinARadioGroup)
{
    CTestDlg dlg;
    std::vector<std::pair<int, int>> steps;  // (focus, checked) after each key
    Run(dlg, [&](CDialog* d) {
        d->CheckRadioButton(IDC_DELTA, IDC_EPSILON, IDC_EPSILON);
        Click(d->GetDlgItem(IDC_ALPHA));
        const auto step = [&](Qt::Key key) {
            Key(key);
            int checked = 0;
            for (const int id : {IDC_ALPHA, IDC_BETA, IDC_GAMMA})
                if (d->IsDlgButtonChecked(id) == BST_CHECKED)
                    checked = checked ? -1 : id;  // -1: more than one
            steps.emplace_back(FocusId(), checked);
        };
        step(Qt::Key_Down);
        step(Qt::Key_Right);
        step(Qt::Key_Down);  // wraps within the group, never into the next one
        step(Qt::Key_Up);
        step(Qt::Key_Left);
        d->GetDlgItem(IDC_ALPHA)->EnableWindow(FALSE);
        step(Qt::Key_Up);  // Alpha is skipped
        step(Qt::Key_Down);
        EXPECT_EQ(BST_CHECKED, d->IsDlgButtonChecked(IDC_EPSILON));
        EXPECT_EQ(BST_UNCHECKED, d->IsDlgButtonChecked(IDC_DELTA));
    });
    const std::vector<std::pair<int, int>> expected = {
        {IDC_BETA, IDC_BETA},   {IDC_GAMMA, IDC_GAMMA}, {IDC_ALPHA, IDC_ALPHA}, {IDC_GAMMA, IDC_GAMMA},
        {IDC_BETA, IDC_BETA},   {IDC_GAMMA, IDC_GAMMA}, {IDC_BETA, IDC_BETA},
    };
    EXPECT_EQ(expected, steps);
    EXPECT_EQ((std::vector<int>{IDC_ALPHA, IDC_BETA, IDC_GAMMA, IDC_ALPHA, IDC_GAMMA, IDC_BETA, IDC_GAMMA, IDC_BETA}),
              CommandIds(dlg, BN_CLICKED));
}

TEST_F(DialogTest, AutoCheckBoxesToggleThemselvesAndReportEveryClick)
{
    CTestDlg dlg;
    std::vector<UINT> states;
    HWND checkHandle = nullptr;
    Run(dlg, [&](CDialog* d) {
        CWnd* check = d->GetDlgItem(IDC_CHECK);
        checkHandle = check->GetSafeHwnd();
        Click(check);
        states.push_back(d->IsDlgButtonChecked(IDC_CHECK));
        Key(Qt::Key_Space);
        states.push_back(d->IsDlgButtonChecked(IDC_CHECK));
        Click(d->GetDlgItem(IDC_CHECK2));
        states.push_back(d->IsDlgButtonChecked(IDC_CHECK2));
        d->CheckDlgButton(IDC_CHECK, BST_CHECKED);  // programmatic: no notification
        states.push_back(d->IsDlgButtonChecked(IDC_CHECK));
        d->CheckDlgButton(IDC_CHECK, BST_UNCHECKED);
        states.push_back(d->IsDlgButtonChecked(IDC_CHECK));
    });
    EXPECT_EQ((std::vector<UINT>{1, 0, 1, 1, 0}), states);
    std::vector<CCommand> clicks;
    for (const CCommand& c : dlg.m_Commands)
        if (c.code == BN_CLICKED)
            clicks.push_back(c);
    ASSERT_EQ(3u, clicks.size());
    EXPECT_EQ(IDC_CHECK, clicks[0].id);
    EXPECT_EQ(checkHandle, clicks[0].hCtrl);
    EXPECT_EQ(IDC_CHECK, clicks[1].id);
    EXPECT_EQ(IDC_CHECK2, clicks[2].id);
}

TEST_F(DialogTest, MessageMapHandlesWhatItListsAndOnCommandGetsTheRest)
{
    CTestDlg dlg;
    Run(dlg, [&](CDialog* d) {
        Click(d->GetDlgItem(IDC_APPLY));  // mapped; name loses the focus (mapped)
        Click(d->GetDlgItem(IDC_OTHER));  // not mapped
        Click(d->GetDlgItem(IDC_NUMBER));
        Type("5");                         // EN_CHANGE, not mapped
        Click(d->GetDlgItem(IDC_LABELLED));  // number loses the focus: not mapped
        d->GetDlgItem(IDC_NUMBER)->SetWindowText("9");  // programmatic: no EN_CHANGE
    });
    EXPECT_EQ((std::vector<std::string>{"name-killfocus", "apply"}), dlg.m_Handled);
    EXPECT_EQ(std::vector<int>{IDC_OTHER}, CommandIds(dlg, BN_CLICKED));
    EXPECT_EQ(std::vector<int>{IDC_NUMBER}, CommandIds(dlg, EN_CHANGE));
    // The name's went to the map; the last edit loses the focus when the dialog closes.
    EXPECT_EQ((std::vector<int>{IDC_NUMBER, IDC_LABELLED}), CommandIds(dlg, EN_KILLFOCUS));
}

TEST_F(DialogTest, DerivedMapsComeFirstAndChainToTheBaseMaps)
{
    CDerivedDlg dlg;
    Run(dlg, [&](CDialog* d) {
        Click(d->GetDlgItem(IDC_OTHER));
        Click(d->GetDlgItem(IDC_APPLY));
    });
    EXPECT_EQ((std::vector<std::string>{"name-killfocus", "derived-other", "apply"}), dlg.m_Handled);
    EXPECT_TRUE(CommandIds(dlg, BN_CLICKED).empty());
}

TEST_F(DialogTest, ComboBoxReportsOnlyTheUsersChoice)
{
    CTestDlg dlg;
    std::vector<int> selections;
    Run(dlg, [&](CDialog* d) {
        auto* combo = static_cast<CComboBox*>(d->GetDlgItem(IDC_COMBO));
        ASSERT_NE(nullptr, dynamic_cast<CComboBox*>(d->GetDlgItem(IDC_COMBO)));
        const HWND h = combo->GetSafeHwnd();
        SendMessageA(h, CB_RESETCONTENT, 0, 0);
        EXPECT_EQ(0, SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("IU")));
        EXPECT_EQ(1, SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("rot")));
        EXPECT_EQ(2, combo->AddString("deg"));
        EXPECT_EQ(1, SendMessageA(h, CB_SETCURSEL, 1, 0));  // programmatic: no notification
        selections.push_back(static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0)));
        combo->SetFocus();
        Key(Qt::Key_Down);  // the user chooses the next unit
        selections.push_back(combo->GetCurSel());
        EXPECT_EQ(CB_ERR, combo->SetCurSel(7));
        selections.push_back(combo->GetCurSel());
    });
    EXPECT_EQ((std::vector<int>{1, 2, CB_ERR}), selections);
    EXPECT_EQ((std::vector<std::string>{"name-killfocus", "combo-selchange"}), dlg.m_Handled);
}

TEST_F(DialogTest, ComboBoxOperations)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    auto* combo = static_cast<CComboBox*>(dlg.GetDlgItem(IDC_COMBO));
    EXPECT_EQ(0, combo->GetCount());
    EXPECT_EQ(CB_ERR, combo->GetCurSel());
    for (const char* unit : {"IU", "s", "ms"})
        combo->AddString(unit);
    EXPECT_EQ(1, combo->InsertString(1, "min"));
    EXPECT_EQ(4, combo->InsertString(-1, "h"));
    EXPECT_EQ(CB_ERR, combo->InsertString(9, "x"));
    CString text;
    EXPECT_EQ(3, combo->GetLBText(1, text));
    EXPECT_EQ("min", text.Std());
    EXPECT_EQ(CB_ERR, combo->GetLBText(5, text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(3, combo->FindStringExact(-1, "MS"));
    EXPECT_EQ(CB_ERR, combo->FindStringExact(-1, "m"));
    EXPECT_EQ(2, combo->SetCurSel(2));
    combo->GetWindowText(text);
    EXPECT_EQ("s", text.Std());
    EXPECT_EQ(4, combo->DeleteString(0));
    EXPECT_EQ(CB_ERR, combo->DeleteString(4));
    combo->ResetContent();
    EXPECT_EQ(0, combo->GetCount());
    EXPECT_EQ(CB_ERR, SendMessageA(dlg.GetDlgItem(IDC_NAME)->GetSafeHwnd(), CB_GETCURSEL, 0, 0));
    const HWND h = combo->GetSafeHwnd();
    dlg.DestroyWindow();  // the control's CWnd goes with its window
    EXPECT_EQ(CB_ERR, SendMessageA(h, CB_GETCOUNT, 0, 0));
}

TEST_F(DialogTest, RangeFailureTellsTheUserAndPutsTheFocusBackWithTheTextSelected)
{
    CTestDlg dlg;
    std::vector<BOOL> exchanges;
    const INT_PTR result = Run(dlg, [&](CDialog* d) {
        CWnd* number = d->GetDlgItem(IDC_NUMBER);
        for (const char* typed : {"300", "0", "abc"}) {
            number->SetWindowText(typed);
            Click(d->GetDlgItem(IDOK));  // the focus leaves the edit for OK
            EXPECT_TRUE(d->GetWidget()->isVisible()) << typed;
            EXPECT_EQ(IDC_NUMBER, FocusId()) << typed;
            EXPECT_EQ(std::make_pair(0, static_cast<int>(std::string(typed).size())), Selection(number)) << typed;
        }
        number->SetWindowText("256");
        exchanges.push_back(d->UpdateData(TRUE));
        number->SetWindowText("255");
        exchanges.push_back(d->UpdateData(TRUE));
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ((std::vector<BOOL>{FALSE, TRUE}), exchanges);
    ASSERT_EQ(4u, m_Prompt.m_Messages.size());
    for (const auto& m : m_Prompt.m_Messages) {
        EXPECT_EQ("Please enter an integer between 1 and 255.", m.text);
        EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, m.type);
        EXPECT_EQ(AfxGetAppName(), m.caption);
        EXPECT_EQ(&dlg, m.owner);
    }
    EXPECT_EQ(255, dlg.m_nNumber);
}

TEST_F(DialogTest, LoadingDoesNotValidate)
{
    CTestDlg dlg;
    dlg.m_nNumber = 999;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ("999", Text(dlg.GetDlgItem(IDC_NUMBER)));
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
    dlg.m_bValidate = false;
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(999, dlg.m_nNumber);
    EXPECT_EQ(dlg.GetDlgItem(IDC_NUMBER)->GetSafeHwnd(), dlg.m_hPrepared);
}

TEST_F(DialogTest, HandlesNameTheirWindowOnlyWhileItExists)
{
    CTestDlg dlg;
    HWND name = nullptr, dialog = nullptr;
    Run(dlg, [&](CDialog* d) {
        dialog = d->GetSafeHwnd();
        CWnd* item = d->GetDlgItem(IDC_NAME);
        name = item->GetSafeHwnd();
        EXPECT_EQ(item, CWnd::FromHandle(name));
        EXPECT_EQ(item, d->GetDlgItem(IDC_NAME));  // permanent
        EXPECT_EQ(IDC_NAME, item->GetDlgCtrlID());
        EXPECT_EQ(0, d->GetDlgCtrlID());
        EXPECT_EQ(d, item->GetParent());
        EXPECT_EQ(d, CWnd::FromHandle(dialog));
        EXPECT_EQ(name, GetFocus());
        EXPECT_TRUE(IsWindow(name));
        EXPECT_EQ(nullptr, d->GetDlgItem(4711));
        d->GetDlgItem(IDC_NUMBER)->SetFocus();
        EXPECT_EQ(IDC_NUMBER, CWnd::FromHandle(GetFocus())->GetDlgCtrlID());
        EXPECT_EQ(d->GetDlgItem(IDC_NUMBER), item->SetFocus());
        Key(Qt::Key_Escape);
    });
    for (HWND stale : {name, dialog}) {
        EXPECT_EQ(nullptr, CWnd::FromHandle(stale));
        EXPECT_FALSE(IsWindow(stale));
        EXPECT_EQ(0, SendMessageA(stale, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")));
        EXPECT_EQ(CB_ERR, SendMessageA(stale, CB_GETCURSEL, 0, 0));
    }
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    EXPECT_EQ(nullptr, GetFocus());
}

TEST_F(DialogTest, EditSelectionMessages)
{
    CTestDlg dlg;
    Run(dlg, [&](CDialog* d) {
        CWnd* name = d->GetDlgItem(IDC_NAME);
        const HWND h = name->GetSafeHwnd();
        name->SetWindowText("position");
        struct Row { WPARAM start; LPARAM end; std::pair<int, int> selection; };
        const Row rows[] = {
            {0, -1, {0, 8}}, {2, 5, {2, 5}}, {5, 2, {2, 5}}, {3, 99, {3, 8}}, {4, 4, {4, 4}},
            {static_cast<WPARAM>(-1), 0, {4, 4}},  // -1 removes the selection, the caret stays
        };
        for (const Row& r : rows) {
            SendMessageA(h, EM_SETSEL, r.start, r.end);
            EXPECT_EQ(r.selection, Selection(name)) << r.start << "," << r.end;
        }
        SendMessageA(h, EM_SETSEL, 1, 3);
        EXPECT_EQ(MAKELRESULT(1, 3), SendMessageA(h, EM_GETSEL, 0, 0));
        EXPECT_EQ(0, SendMessageA(h, EM_SCROLLCARET, 0, 0));
        // The selection stays (unseen) while another control has the focus,
        // and comes back with the focus.
        d->GetDlgItem(IDC_NUMBER)->SetFocus();
        EXPECT_EQ(std::make_pair(1, 3), Selection(name));
        SendMessageA(h, EM_SETSEL, 0, -1);  // selected without the focus
        EXPECT_EQ(std::make_pair(0, 8), Selection(name));
        name->SetFocus();
        EXPECT_EQ(std::make_pair(0, 8), Selection(name));
        Type("z");
        EXPECT_EQ("z", Text(name));
        // Byte positions in a UTF-8 text.
        name->SetWindowText("\xC2\xB5m/s");  // "µm/s"
        SendMessageA(h, EM_SETSEL, 2, -1);
        EXPECT_EQ(std::make_pair(2, 5), Selection(name));
        Key(Qt::Key_Escape);
    });
}

// The modification flag of an edit: set by what the user types, deletes or
// pastes, cleared by a text the program sets, and settable with EM_SETMODIFY.
TEST_F(DialogTest, EditModificationFlagTellsTheUsersChangesFromTheProgramsTexts)
{
    CTestDlg dlg;
    Run(dlg, [&](CDialog* d) {
        CWnd* name = d->GetDlgItem(IDC_NAME);
        const HWND h = name->GetSafeHwnd();
        const auto modified = [h] { return SendMessageA(h, EM_GETMODIFY, 0, 0); };
        EXPECT_EQ(FALSE, modified());  // a new edit
        name->SetFocus();
        Type("12");
        EXPECT_EQ(TRUE, modified());
        name->SetWindowText("3.5");  // the program's text
        EXPECT_EQ(FALSE, modified());
        Key(Qt::Key_End);  // moving the caret changes nothing
        EXPECT_EQ(FALSE, modified());
        Key(Qt::Key_Backspace);
        EXPECT_EQ(TRUE, modified());
        EXPECT_EQ("3.", Text(name));
        SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("4"));
        EXPECT_EQ(FALSE, modified());
        SendMessageA(h, EM_SETMODIFY, TRUE, 0);
        EXPECT_EQ(TRUE, modified());
        SendMessageA(h, EM_SETMODIFY, FALSE, 0);
        EXPECT_EQ(FALSE, modified());
        // The flag belongs to its edit: typing into another leaves it alone.
        d->GetDlgItem(IDC_NUMBER)->SetFocus();
        Type("9");
        EXPECT_EQ(FALSE, modified());
        EXPECT_EQ(TRUE, SendMessageA(d->GetDlgItem(IDC_NUMBER)->GetSafeHwnd(), EM_GETMODIFY, 0, 0));
        // A multi-line edit keeps the same flag.
        const HWND notes = d->GetDlgItem(IDC_NOTES)->GetSafeHwnd();
        SendMessageA(notes, EM_SETMODIFY, TRUE, 0);
        EXPECT_EQ(TRUE, SendMessageA(notes, EM_GETMODIFY, 0, 0));
        d->GetDlgItem(IDC_NOTES)->SetWindowText("line 1\r\nline 2");
        EXPECT_EQ(FALSE, SendMessageA(notes, EM_GETMODIFY, 0, 0));
        Key(Qt::Key_Escape);
    });
}

TEST_F(DialogTest, InitialFocusGoesToTheFirstTabStopAfterOnInitDialogSelectedAnotherEdit)
{
    // OnInitDialog focuses 101 and selects its text, then returns TRUE: the
    // dialog gives the focus to the first tab stop, 101 keeps its selection.
    CTestDlg dlg;
    dlg.m_nNumber = 1234;
    dlg.m_InitAction = [](CTestDlg* d) {
        CWnd* number = d->GetDlgItem(IDC_NUMBER);
        number->SetFocus();
        SendMessageA(number->GetSafeHwnd(), EM_SETSEL, 0, -1);
        SendMessageA(number->GetSafeHwnd(), EM_SCROLLCARET, 0, 0);
        EXPECT_EQ(IDC_NUMBER, FocusId());  // the focus moves at once, even before the window shows
    };
    Run(dlg, [&](CDialog* d) {
        EXPECT_EQ(IDC_NAME, FocusId());
        EXPECT_EQ(std::make_pair(0, 4), Selection(d->GetDlgItem(IDC_NUMBER)));
        Key(Qt::Key_Escape);
    });

    // Returning FALSE keeps the focus where OnInitDialog put it.
    CTestDlg keeps;
    keeps.m_bInitResult = false;
    keeps.m_InitAction = dlg.m_InitAction;
    Run(keeps, [&](CDialog* d) {
        EXPECT_EQ(IDC_NUMBER, FocusId());
        EXPECT_EQ(std::make_pair(0, 1), Selection(d->GetDlgItem(IDC_NUMBER)));
        Key(Qt::Key_Escape);
    });
}

TEST_F(DialogTest, MnemonicsActAsTheirControlsDo)
{
    CTestDlg dlg;
    Run(dlg, [&](CDialog* d) {
        d->GetDlgItem(IDC_LABELLED)->SetWindowText("abc");
        Alt('p');  // "A&pply": pressed, the focus stays on the name
        EXPECT_EQ(IDC_NAME, FocusId());
        Alt('c');  // "&Check": focused and toggled
        EXPECT_EQ(IDC_CHECK, FocusId());
        EXPECT_EQ(BST_CHECKED, d->IsDlgButtonChecked(IDC_CHECK));
        Alt('a');  // "&Alpha": focused and checked
        EXPECT_EQ(IDC_ALPHA, FocusId());
        EXPECT_EQ(BST_CHECKED, d->IsDlgButtonChecked(IDC_ALPHA));
        Alt('l');  // "&Label": the edit after it, its text selected
        EXPECT_EQ(IDC_LABELLED, FocusId());
        EXPECT_EQ(std::make_pair(0, 3), Selection(d->GetDlgItem(IDC_LABELLED)));
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ((std::vector<std::string>{"apply", "name-killfocus"}), dlg.m_Handled);
    EXPECT_EQ((std::vector<int>{IDC_CHECK, IDC_ALPHA}), CommandIds(dlg, BN_CLICKED));
    // The label shows its caption without the marker.
    CTestDlg shown;
    ASSERT_TRUE(shown.Create());
    auto* label = qobject_cast<QLabel*>(shown.GetDlgItem(IDC_LABEL)->GetWidget());
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(QStringLiteral("Label"), label->text());
    EXPECT_EQ("&Label", Text(shown.GetDlgItem(IDC_LABEL)));
}

TEST_F(DialogTest, MultiLineEditWithWantReturnKeepsEnter)
{
    CTestDlg dlg;
    Run(dlg, [&](CDialog* d) {
        d->GetDlgItem(IDC_NOTES)->SetWindowText("one\r\ntwo");
        Click(d->GetDlgItem(IDC_NOTES));
        Key(Qt::Key_Return);
        Key(Qt::Key_Escape);
    });
    EXPECT_TRUE(dlg.m_OkFocus.empty());
    EXPECT_EQ(1, dlg.m_nCancels);
}

TEST_F(DialogTest, NestedModalDialogIsDrivenThroughThePrompt)
{
    CTestDlg dlg;
    m_Prompt.OnNextModal([](CDialog* outer) {
        Click(outer->GetDlgItem(IDC_NESTED));  // runs dialog 901 to its end
        EXPECT_EQ(outer, CDialog::GetModalDialog());
        Key(Qt::Key_Escape);
    });
    m_Prompt.OnNextModal([&](CDialog* nested) {
        EXPECT_EQ(kNestedDialog, nested->GetTemplateID());
        EXPECT_EQ(nested, CDialog::GetModalDialog());
        EXPECT_EQ(IDC_NESTED_EDIT, FocusId());
        EXPECT_EQ(std::make_pair(0, 5), Selection(nested->GetDlgItem(IDC_NESTED_EDIT)));
        Type("hello");
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(IDOK, dlg.m_nNestedResult);
    EXPECT_EQ("hello", dlg.m_strNestedText);
    EXPECT_EQ((std::vector<UINT>{kTestDialog, kNestedDialog}), m_Prompt.m_ModalTemplates);
    EXPECT_EQ(0, m_Prompt.m_nUnscriptedModals);
}

TEST_F(DialogTest, ExceptionsOfHandlersAreReportedNotPropagated)
{
    class CThrowingDlg : public CTestDlg {
    public:
        BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
        {
            if (LOWORD(wParam) == IDC_OTHER)
                throw new CUserException();
            return CTestDlg::OnCommand(wParam, lParam);
        }
    };
    CThrowingDlg dlg;
    EXPECT_EQ(IDCANCEL, Run(dlg, [](CDialog* d) {
                  Click(d->GetDlgItem(IDC_OTHER));
                  Key(Qt::Key_Escape);
              }));
    ASSERT_EQ(1u, m_Prompt.m_Messages.size());
    EXPECT_EQ("The operation was stopped.", m_Prompt.m_Messages[0].text);
}

TEST_F(DialogTest, ControlsSitWhereTheirDialogUnitsSay)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const CDialogTemplate* t = CResourceRegistry::Instance().FindDialog(kTestDialog);
    ASSERT_NE(nullptr, t);
    // Base units from the font the dialog uses.
    QFont font(QString::fromUtf8(dlg.GetFontFamily().GetString()), 8);
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ((width / 26 + 1) / 2, dlg.GetBaseUnitX());
    EXPECT_EQ(metrics.height(), dlg.GetBaseUnitY());
    const int bx = dlg.GetBaseUnitX(), by = dlg.GetBaseUnitY();
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(CRect(0, 0, MulDiv(220, bx, 4), MulDiv(200, by, 8)), client);
    for (const CDialogItem& item : t->m_Items) {
        CRect r;
        const CWnd* control = dlg.GetDlgItem(item.m_nID);
        ASSERT_NE(nullptr, control) << item.m_nID;
        control->GetWindowRect(&r);
        dlg.ScreenToClient(&r);
        const int height = item.GetKind() == CDialogItem::ComboList ? by + 8 : MulDiv(item.m_cy, by, 8);
        EXPECT_EQ(CRect(MulDiv(item.m_x, bx, 4), MulDiv(item.m_y, by, 8), MulDiv(item.m_x, bx, 4) + MulDiv(item.m_cx, bx, 4),
                        MulDiv(item.m_y, by, 8) + height),
                  r)
            << item.m_nID;
    }
    CRect units(10, 5, 90, 19);
    dlg.MapDialogRect(&units);
    EXPECT_EQ(CRect(MulDiv(10, bx, 4), MulDiv(5, by, 8), MulDiv(90, bx, 4), MulDiv(19, by, 8)), units);
    // The combo box's list shows what the template's height leaves below it.
    auto* combo = qobject_cast<QComboBox*>(dlg.GetDlgItem(IDC_COMBO)->GetWidget());
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ((MulDiv(60, by, 8) - (by + 8)) / (by + 2), combo->maxVisibleItems());
}

TEST_F(DialogTest, TakingOverAControlKeepsItsPlace)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    CWnd* old = dlg.GetDlgItem(IDC_LABELLED);
    const HWND oldHandle = old->GetSafeHwnd();
    const QRect geometry = old->GetWidget()->geometry();

    CWnd painter;
    auto* replacement = new QWidget();
    ASSERT_TRUE(painter.ReplaceDlgItem(IDC_LABELLED, &dlg, replacement));
    EXPECT_EQ(&painter, dlg.GetDlgItem(IDC_LABELLED));
    EXPECT_EQ(IDC_LABELLED, painter.GetDlgCtrlID());
    EXPECT_EQ(replacement, painter.GetWidget());
    EXPECT_EQ(geometry, replacement->geometry());
    EXPECT_EQ(dlg.GetWidget(), replacement->parentWidget());
    EXPECT_EQ(nullptr, CWnd::FromHandle(oldHandle));
    EXPECT_FALSE(painter.ReplaceDlgItem(IDC_NAME, &dlg, new QWidget()));  // already has a window
    CWnd other;
    EXPECT_FALSE(other.ReplaceDlgItem(4711, &dlg, new QWidget()));

    // It takes the control's place in the tab order.
    dlg.GetDlgItem(IDC_ALPHA)->SetFocus();
    Key(Qt::Key_Tab);
    EXPECT_EQ(IDC_LABELLED, FocusId());
    Key(Qt::Key_Tab);
    EXPECT_EQ(IDC_COMBO, FocusId());

    // Subclassing: another CWnd becomes the window's CWnd, and gives it back.
    CWnd subclass;
    CWnd* check = dlg.GetDlgItem(IDC_CHECK);
    const HWND checkHandle = check->GetSafeHwnd();
    ASSERT_TRUE(subclass.SubclassDlgItem(IDC_CHECK, &dlg));
    EXPECT_EQ(&subclass, CWnd::FromHandle(checkHandle));
    EXPECT_EQ(checkHandle, subclass.GetSafeHwnd());
    EXPECT_EQ(nullptr, check->GetSafeHwnd());
    EXPECT_FALSE(subclass.SubclassDlgItem(IDC_NAME, &dlg));
    EXPECT_EQ(checkHandle, subclass.UnsubclassWindow());
    EXPECT_EQ(check, CWnd::FromHandle(checkHandle));
    EXPECT_EQ(checkHandle, check->GetSafeHwnd());

    // The window goes with its dialog; the CWnds that took it over let go.
    ASSERT_TRUE(subclass.SubclassDlgItem(IDC_CHECK, &dlg));
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, painter.GetSafeHwnd());
    EXPECT_EQ(nullptr, painter.GetWidget());
    EXPECT_EQ(nullptr, subclass.GetSafeHwnd());
}

TEST_F(DialogTest, ScreenshotIsAPictureOfTheDialog)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create());
    const std::string path = std::string(VELKOR_BUILD_DIR) + "/platform-test-dialog.png";
    std::remove(path.c_str());
    ASSERT_TRUE(dlg.SaveImage(path.c_str()));
    const QImage image(QString::fromStdString(path));
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(client.Width(), image.width());
    EXPECT_EQ(client.Height(), image.height());
    EXPECT_FALSE(dlg.SaveImage("/nonexistent-folder/x.png"));
    CWnd none;
    EXPECT_FALSE(none.SaveImage(path.c_str()));
}

TEST_F(DialogTest, MessageBoxesGoThroughThePrompt)
{
    m_Prompt.m_MessageAnswers = {IDNO, IDCANCEL};
    EXPECT_EQ(IDNO, AfxMessageBox("Replace the table?", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDCANCEL, AfxMessageBox("Stop?", MB_OKCANCEL, 17));
    EXPECT_EQ(IDOK, AfxMessageBox("Done."));
    ASSERT_EQ(3u, m_Prompt.m_Messages.size());
    EXPECT_EQ("Replace the table?", m_Prompt.m_Messages[0].text);
    EXPECT_EQ(MB_YESNO | MB_ICONQUESTION, m_Prompt.m_Messages[0].type);
    EXPECT_EQ(17u, m_Prompt.m_Messages[1].helpId);
    EXPECT_EQ(MB_OK, m_Prompt.m_Messages[2].type);
    EXPECT_EQ(nullptr, m_Prompt.m_Messages[2].owner);
    {
        CWinApp app("Test application");
        AfxMessageBox("Named.");
        EXPECT_EQ("Test application", m_Prompt.m_Messages.back().caption);
    }
    EXPECT_STRNE("Test application", AfxGetAppName());
}

}  // namespace
