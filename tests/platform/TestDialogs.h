// Dialogs of the platform tests: their templates (registered with the
// resources of the test program) and a dialog class that records what its
// handlers saw.
#pragma once

#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "platform/MessageMap.h"
#include "platform/ModuleResources.h"
#include "platform/Runtime.h"
#include "platform/WindowMessages.h"

#include <functional>
#include <string>
#include <vector>

namespace dlgtest {

// Template 900: edits, check boxes, two radio groups, a label with a
// mnemonic, a combo box, push buttons, a multi-line read-only edit, OK and
// Cancel. Template 901: a small dialog with one edit, opened from 900.
constexpr UINT kTestDialog = 900;
constexpr UINT kNestedDialog = 901;
constexpr UINT kNoDefaultDialog = 902;  // no BS_DEFPUSHBUTTON, no IDOK button

enum : int {
    IDC_NAME = 100,       // edit, tab stop
    IDC_NUMBER = 101,     // edit, tab stop: an integer 1..255 under validation
    IDC_CHECK = 102,      // auto check box "&Check", tab stop
    IDC_CHECK2 = 103,     // auto check box, no tab stop
    IDC_ALPHA = 110,      // auto radio "&Alpha", group start, tab stop
    IDC_BETA = 111,       // auto radio
    IDC_GAMMA = 112,      // auto radio
    IDC_DELTA = 120,      // auto radio, group start
    IDC_EPSILON = 121,    // auto radio
    IDC_LABEL = 130,      // static "&Label", group start
    IDC_LABELLED = 131,   // edit after the label, tab stop
    IDC_COMBO = 140,      // drop-down list, tab stop
    IDC_APPLY = 150,      // push "A&pply", in the message map
    IDC_OTHER = 151,      // push "Other", not in the map
    IDC_NESTED = 152,     // push "Nested", opens dialog 901
    IDC_NOTES = 160,      // multi-line read-only edit, want return, no tab stop
    IDC_NESTED_EDIT = 200,
};

// The templates above, registered while an object of this class lives.
class CTestDialogResources : public CModuleResources {
public:
    CTestDialogResources();
};

struct CCommand {
    int id;
    UINT code;
    HWND hCtrl;
};

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(UINT id = kTestDialog, CWnd* parent = nullptr) : CDialog(id, parent) {}

    BOOL OnInitDialog() override
    {
        const BOOL result = CDialog::OnInitDialog();
        if (m_InitAction)
            m_InitAction(this);
        return m_bInitResult ? result : FALSE;
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        ++m_nExchanges;
        if (!GetDlgItem(IDC_NUMBER))
            return;
        if (pDX->m_bSaveAndValidate) {
            const HWND hEdit = pDX->PrepareEditCtrl(IDC_NUMBER);
            m_hPrepared = hEdit;
            CString text;
            GetDlgItemText(IDC_NUMBER, text);
            int value = 0;
            if (sscanf_s(text, "%d", &value) != 1)
                value = 0;
            if (m_bValidate)
                DDV_MinMaxInt(pDX, value, 1, 255);
            m_nNumber = value;
        } else {
            CString text;
            text.Format("%d", m_nNumber);
            SetDlgItemText(IDC_NUMBER, text);
        }
    }
    void OnOK() override
    {
        m_OkFocus.push_back(FocusIdNow());
        if (m_bOkEnds)
            CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++m_nCancels;
        CDialog::OnCancel();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_Commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return CDialog::OnCommand(wParam, lParam);
    }

    void OnApply() { m_Handled.push_back("apply"); }
    void OnNameKillFocus() { m_Handled.push_back("name-killfocus"); }
    void OnComboChange() { m_Handled.push_back("combo-selchange"); }
    void OnNested();

    static int FocusIdNow()
    {
        const CWnd* focus = CWnd::FromHandle(GetFocus());
        return focus ? focus->GetDlgCtrlID() : 0;
    }

    std::function<void(CTestDlg*)> m_InitAction;
    bool m_bInitResult = true;
    bool m_bOkEnds = true;
    bool m_bValidate = true;
    int m_nNumber = 7;
    int m_nExchanges = 0;
    int m_nCancels = 0;
    HWND m_hPrepared = nullptr;
    std::vector<int> m_OkFocus;  // the focused control's id at each OnOK
    std::vector<CCommand> m_Commands;
    std::vector<std::string> m_Handled;
    INT_PTR m_nNestedResult = 0;
    std::string m_strNestedText;

    DECLARE_MESSAGE_MAP()
};

// A dialog derived from CTestDlg with a map of its own that takes IDC_OTHER.
class CDerivedDlg : public CTestDlg {
public:
    void OnOther() { m_Handled.push_back("derived-other"); }
    DECLARE_MESSAGE_MAP()
};

// Dialog 901: one edit whose text the exchange reads.
class CNestedDlg : public CDialog {
public:
    explicit CNestedDlg(CWnd* parent) : CDialog(kNestedDialog, parent) {}
    void DoDataExchange(CDataExchange* pDX) override
    {
        if (pDX->m_bSaveAndValidate)
            GetDlgItemText(IDC_NESTED_EDIT, m_strText);
        else
            SetDlgItemText(IDC_NESTED_EDIT, m_strText);
    }
    CString m_strText = "start";
};

}  // namespace dlgtest
