// DDX_Text for whole numbers and the 64-bit range check: what a user may type
// into an edit, what is stored, what the user is told.
#include "DialogTestUtil.h"
#include "ScriptedPrompt.h"
#include "TestDialogs.h"

#include "platform/DataExchange.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

using namespace dlgtest;

// Template 900 with an exchange of its own: IDC_NAME as a 64-bit value,
// IDC_NUMBER as an int checked against [m_nMin, m_nMax].
class CNumbersDlg : public CDialog {
public:
    CNumbersDlg() : CDialog(kTestDialog) {}
    void DoDataExchange(CDataExchange* pDX) override
    {
        // Each check follows its own exchange: it names the control prepared last.
        DDX_Text(pDX, IDC_NAME, m_llBig);
        DDV_MinMaxLongLong(pDX, m_llBig, m_llMin, m_llMax);
        DDX_Text(pDX, IDC_NUMBER, m_nValue);
        DDV_MinMaxInt(pDX, m_nValue, m_nMin, m_nMax);
    }
    LONGLONG m_llBig = -9000000000LL;
    LONGLONG m_llMin = INT64_MIN, m_llMax = INT64_MAX;
    int m_nValue = 42;
    int m_nMin = INT_MIN, m_nMax = INT_MAX;
};

const char kNotInteger[] = "Please enter an integer.";
const char kIntRange[] = "Please enter an integer between -2147483648 and 2147483647.";

TEST(DataExchangeTest, LoadingWritesTheValuesInDecimal)
{
    CTestDialogResources resources;
    CScriptedPrompt prompt;
    CNumbersDlg dlg;
    dlg.m_llBig = INT64_MIN;
    dlg.m_nValue = INT_MIN;
    dlg.m_nMax = 0;  // loading checks nothing
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ("-9223372036854775808", Text(dlg.GetDlgItem(IDC_NAME)));
    EXPECT_EQ("-2147483648", Text(dlg.GetDlgItem(IDC_NUMBER)));
    EXPECT_TRUE(prompt.m_Messages.empty());
    dlg.DestroyWindow();
}

TEST(DataExchangeTest, WholeNumbersAreReadAndEverythingElseIsRefused)
{
    struct Row {
        const char* typed;  // into the int edit
        const char* message;  // "" when accepted
        int stored;
    };
    const Row rows[] = {
        {"15", "", 15},
        {"  -7\t", "", -7},
        {"+0", "", 0},
        {"-0", "", 0},
        {"000123", "", 123},
        {"2147483647", "", INT_MAX},
        {"-2147483648", "", INT_MIN},
        {"2147483648", kIntRange, 42},
        {"-2147483649", kIntRange, 42},
        {"99999999999999999999999", kIntRange, 42},
        {"", kNotInteger, 42},
        {"   ", kNotInteger, 42},
        {"-", kNotInteger, 42},
        {"1.5", kNotInteger, 42},
        {"1e3", kNotInteger, 42},
        {"12abc", kNotInteger, 42},
        {"1 2", kNotInteger, 42},
        {"0x10", kNotInteger, 42},
        {"99999999999999999999x", kNotInteger, 42},  // no number at all, however long
        {"--1", kNotInteger, 42},
    };
    CTestDialogResources resources;
    for (const Row& r : rows) {
        CScriptedPrompt prompt;
        CNumbersDlg dlg;
        ASSERT_TRUE(dlg.Create());
        CWnd* number = dlg.GetDlgItem(IDC_NUMBER);
        number->SetWindowText(r.typed);
        const BOOL ok = dlg.UpdateData(TRUE);
        EXPECT_EQ(*r.message ? FALSE : TRUE, ok) << r.typed;
        EXPECT_EQ(r.stored, dlg.m_nValue) << r.typed;
        if (*r.message) {
            ASSERT_EQ(1u, prompt.m_Messages.size()) << r.typed;
            EXPECT_EQ(r.message, prompt.m_Messages[0].text) << r.typed;
            EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, prompt.m_Messages[0].type);
            EXPECT_EQ(IDC_NUMBER, FocusId()) << r.typed;  // focus back, text selected
            EXPECT_EQ(std::make_pair(0, static_cast<int>(std::string(r.typed).size())), Selection(number));
        } else {
            EXPECT_TRUE(prompt.m_Messages.empty()) << r.typed;
        }
        dlg.DestroyWindow();
    }
}

TEST(DataExchangeTest, SixtyFourBitValuesAndTheirRangeCheck)
{
    struct Row {
        const char* typed;  // into the 64-bit edit
        LONGLONG min, max;
        const char* message;
        LONGLONG stored;
    };
    const Row rows[] = {
        {"9223372036854775807", INT64_MIN, INT64_MAX, "", INT64_MAX},
        {"-9223372036854775808", INT64_MIN, INT64_MAX, "", INT64_MIN},
        {"9223372036854775808", INT64_MIN, INT64_MAX, kNotInteger, -9000000000LL},
        {"-9223372036854775809", INT64_MIN, INT64_MAX, kNotInteger, -9000000000LL},
        {"3000000000", 0, INT_MAX, "Please enter an integer between 0 and 2147483647.", 3000000000LL},
        {"-1", 0, INT_MAX, "Please enter an integer between 0 and 2147483647.", -1},
        {"2147483647", 0, INT_MAX, "", INT_MAX},
    };
    CTestDialogResources resources;
    for (const Row& r : rows) {
        CScriptedPrompt prompt;
        CNumbersDlg dlg;
        dlg.m_llMin = r.min;
        dlg.m_llMax = r.max;
        ASSERT_TRUE(dlg.Create());
        dlg.GetDlgItem(IDC_NAME)->SetWindowText(r.typed);
        EXPECT_EQ(*r.message ? FALSE : TRUE, dlg.UpdateData(TRUE)) << r.typed;
        // The range check runs after the value is stored, as the framework's does.
        EXPECT_EQ(r.stored, dlg.m_llBig) << r.typed;
        ASSERT_EQ(*r.message ? 1u : 0u, prompt.m_Messages.size()) << r.typed;
        if (*r.message) {
            EXPECT_EQ(r.message, prompt.m_Messages[0].text) << r.typed;
            EXPECT_EQ(IDC_NAME, FocusId()) << r.typed;
        }
        dlg.DestroyWindow();
    }
}

}  // namespace
