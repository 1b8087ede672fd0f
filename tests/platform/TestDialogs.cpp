#include "TestDialogs.h"

#include "tests/TestUtil.h"
#include "platform/DialogTemplate.h"
#include "platform/MessageBox.h"
#include "platform/ModuleResources.h"
#include "platform/WindowStyles.h"

#include <cstdlib>

namespace dlgtest {

namespace {

// Every test of this program runs its windows offscreen, also when it is
// started by hand rather than by CTest.
const bool s_bOffscreen = testutil::UseOffscreenPlatform();

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEdit = kChild | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
using I = CDialogItem;

CDialogTemplate TestTemplate()
{
    CDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 220, 200, "Test dialog",
                      "MS Sans Serif", 8);
    t.Add(I(I::Edit, IDC_NAME, "", 10, 5, 80, 14, kEdit))
        .Add(I(I::Edit, IDC_NUMBER, "", 100, 5, 40, 14, kEdit))
        .Add(I(I::Button, IDC_CHECK, "&Check", 10, 24, 60, 10, kChild | BS_AUTOCHECKBOX | WS_TABSTOP))
        .Add(I(I::Button, IDC_CHECK2, "Second", 80, 24, 60, 10, kChild | BS_AUTOCHECKBOX))
        .Add(I(I::Button, IDC_ALPHA, "&Alpha", 10, 38, 50, 10, kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP))
        .Add(I(I::Button, IDC_BETA, "Beta", 10, 50, 50, 10, kChild | BS_AUTORADIOBUTTON))
        .Add(I(I::Button, IDC_GAMMA, "Gamma", 10, 62, 50, 10, kChild | BS_AUTORADIOBUTTON))
        .Add(I(I::Button, IDC_DELTA, "Delta", 80, 38, 50, 10, kChild | BS_AUTORADIOBUTTON | WS_GROUP))
        .Add(I(I::Button, IDC_EPSILON, "Epsilon", 80, 50, 50, 10, kChild | BS_AUTORADIOBUTTON))
        .Add(I(I::Static, IDC_LABEL, "&Label", 10, 80, 30, 8, kChild | SS_RIGHT | WS_GROUP))
        .Add(I(I::Edit, IDC_LABELLED, "", 45, 78, 60, 14, kEdit))
        .Add(I(I::ComboBox, IDC_COMBO, "", 110, 78, 60, 60, kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP))
        .Add(I(I::Button, IDC_APPLY, "A&pply", 10, 100, 50, 14, kChild | WS_TABSTOP))
        .Add(I(I::Button, IDC_OTHER, "Other", 65, 100, 50, 14, kChild | WS_TABSTOP))
        .Add(I(I::Button, IDC_NESTED, "Nested", 120, 100, 50, 14, kChild | WS_TABSTOP))
        .Add(I(I::Edit, IDC_NOTES, "", 10, 120, 160, 40,
               kChild | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL))
        .Add(I(I::Button, IDOK, "OK", 40, 175, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP))
        .Add(I(I::Button, IDCANCEL, "Cancel", 100, 175, 50, 14, kChild | WS_TABSTOP));
    return t;
}

CDialogTemplate NestedTemplate()
{
    CDialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 150, 60, "Nested",
                      "MS Sans Serif", 8);
    t.Add(I(I::Edit, IDC_NESTED_EDIT, "", 10, 10, 120, 14, kEdit))
        .Add(I(I::Button, IDOK, "OK", 20, 35, 50, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP))
        .Add(I(I::Button, IDCANCEL, "Cancel", 80, 35, 50, 14, kChild | WS_TABSTOP));
    return t;
}

CDialogTemplate NoDefaultTemplate()
{
    CDialogTemplate t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 150, 40, "No default");
    t.Add(I(I::Edit, IDC_NAME, "", 10, 10, 120, 14, kEdit))
        .Add(I(I::Button, IDC_APPLY, "Apply", 20, 25, 50, 12, kChild | WS_TABSTOP | WS_DISABLED));
    return t;
}

}  // namespace

CTestDialogResources::CTestDialogResources() : CModuleResources("platform-test-dialogs", &s_bOffscreen)
{
    AddDialog(kTestDialog, TestTemplate());
    AddDialog(kNestedDialog, NestedTemplate());
    AddDialog(kNoDefaultDialog, NoDefaultTemplate());
}

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_BN_CLICKED(IDC_APPLY, OnApply)
ON_EN_KILLFOCUS(IDC_NAME, OnNameKillFocus)
ON_CBN_SELCHANGE(IDC_COMBO, OnComboChange)
ON_BN_CLICKED(IDC_NESTED, OnNested)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CDerivedDlg, CTestDlg)
ON_BN_CLICKED(IDC_OTHER, OnOther)
END_MESSAGE_MAP()

void CTestDlg::OnNested()
{
    CNestedDlg nested(this);
    m_nNestedResult = nested.DoModal();
    m_strNestedText = nested.m_strText.Std();
}

}  // namespace dlgtest
