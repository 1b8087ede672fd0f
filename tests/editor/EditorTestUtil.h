// The editor "Motion - PVT" driven as a user drives it: the dialog runs
// modally, the scripted prompt drives it with real key presses and clicks
// once it is shown, and answers its message boxes and file choices.
#pragma once

#include "tests/TestUtil.h"
#include "tests/platform/DialogTestUtil.h"
#include "tests/platform/ScriptedPrompt.h"

#include "editor/EditorDlg.h"
#include "kernel/ArrayParameter.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/ComboBox.h"
#include "platform/String.h"
#include "pvt/InternalData.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace edtest {

using namespace dlgtest;

// The dialogs run on Qt's offscreen platform, also when a test program is
// started by hand.
inline const bool s_bOffscreen = testutil::UseOffscreenPlatform();

inline const std::string kMultiPoint = std::string(VELKOR_SOURCE_DIR) + "/examples/multi-point.pvt";
inline const std::string kOnEvent = std::string(VELKOR_SOURCE_DIR) + "/examples/on-event.pvt";

constexpr INT_PTR kStillOpen = -2;  // the scripted action left the dialog open

// The ids of the dialog's controls.
using E = CEditorDlg;

// A point in internal units: time, position, velocity.
struct SPoint {
    double t, p, v;
    bool operator==(const SPoint& o) const { return t == o.t && p == o.p && v == o.v; }
};

inline std::ostream& operator<<(std::ostream& os, const SPoint& p)
{
    return os << "(t " << p.t << ", p " << p.p << ", v " << p.v << ")";
}

inline std::vector<SPoint> Table(const CInternalData& d)
{
    std::vector<SPoint> points;
    const int n = d.m_Time.GetValuesCount();
    for (int i = 0; i < n; ++i) {
        const double p = i < d.m_Position.GetValuesCount() ? d.m_Position.GetValueInInternalUnit(i) : -1e300;
        const double v = i < d.m_Velocity.GetValuesCount() ? d.m_Velocity.GetValueInInternalUnit(i) : -1e300;
        points.push_back({d.m_Time.GetValueInInternalUnit(i), p, v});
    }
    return points;
}

using testutil::ReadFile;

inline std::string WriteTempFile(const std::string& name, const std::string& content)
{
    const std::string path = std::string(VELKOR_BUILD_DIR) + "/editor-test-" + name;
    testutil::WriteFile(path, content);
    return path;
}

// The text of a PVT motion with the given columns (internal units) and units.
inline std::string MotionText(const char* times, const char* positions, const char* velocities,
                              const char* timeUnit = "IU", const char* positionUnit = "IU",
                              const char* velocityUnit = "IU", const char* rest = "Execute = 0\nWaitForCompletion = 1\n")
{
    std::string text = "ClearBuffer = 1\n";
    text += std::string("ATIME.unit = ") + timeUnit + "\nATIME = " + times + "\n";
    text += std::string("TPOS.unit = ") + positionUnit + "\nTPOS = " + positions + "\n";
    text += std::string("TSPD.unit = ") + velocityUnit + "\nTSPD = " + velocities + "\n";
    return text + rest;
}

inline CWnd* Item(CEditorDlg& d, int id) { return d.GetDlgItem(id); }

inline std::string TextOf(CEditorDlg& d, int id) { return Text(d.GetDlgItem(id)); }

inline bool Enabled(CEditorDlg& d, int id) { return d.IsChildEnabled(id) != FALSE; }

inline bool Checked(CEditorDlg& d, int id) { return d.GetChildCheck(id) != FALSE; }

// Clicks into an edit, selects its whole text with the keyboard and types
// `text` over it.
inline void TypeInto(CEditorDlg& d, int id, const char* text)
{
    Click(Item(d, id));
    Key(Qt::Key_A, Qt::ControlModifier);
    if (*text)
        Type(text);
    else
        Key(Qt::Key_Delete);
}

// Types a point into the three fields with the keyboard alone: the position
// field must have the focus with its text selected (the Enter chain leaves
// it so); Enter after each value, the last one inserts.
inline void EnterPoint(const char* position, const char* velocity, const char* time)
{
    Type(position);
    Key(Qt::Key_Return);
    Type(velocity);
    Key(Qt::Key_Return);
    Type(time);
    Key(Qt::Key_Return);
}

// Types the three fields and clicks a command button.
inline void TypePoint(CEditorDlg& d, const char* position, const char* velocity, const char* time)
{
    TypeInto(d, E::IDC_POSITION, position);
    TypeInto(d, E::IDC_VELOCITY, velocity);
    TypeInto(d, E::IDC_TIME, time);
}

// Chooses `unit` in a unit combo box with the arrow keys, as a user does
// with the box focused (each step is a choice the dialog hears).
inline void ChooseUnit(CEditorDlg& d, int comboId, const char* unit)
{
    auto* combo = static_cast<CComboBox*>(Item(d, comboId));
    const int target = combo->FindStringExact(-1, unit);
    ASSERT_NE(CB_ERR, target) << unit;
    combo->SetFocus();
    for (int guard = 0; combo->GetCurSel() != target && guard < 16; ++guard)
        Key(combo->GetCurSel() < target ? Qt::Key_Down : Qt::Key_Up);
    ASSERT_EQ(target, combo->GetCurSel()) << unit;
}

inline std::vector<std::string> ComboItems(CEditorDlg& d, int comboId)
{
    auto* combo = static_cast<CComboBox*>(Item(d, comboId));
    std::vector<std::string> items;
    for (int i = 0; i < combo->GetCount(); ++i) {
        CString text;
        combo->GetLBText(i, text);
        items.push_back(text.Std());
    }
    return items;
}

inline std::string SelectedUnit(CEditorDlg& d, int comboId)
{
    auto* combo = static_cast<CComboBox*>(Item(d, comboId));
    CString text;
    combo->GetLBText(combo->GetCurSel(), text);
    return text.Std();
}

class EditorTest : public ::testing::Test {
protected:
    // Opens the editor on `params` and runs `action` once it is shown; a
    // dialog the action leaves open is ended with kStillOpen.
    INT_PTR Run(CString& params, const std::function<void(CEditorDlg&)>& action)
    {
        CEditorDlg dlg(m_Setup, m_Motion, params, nullptr);
        EXPECT_FALSE(dlg.IsValidating());  // 0 from construction on
        m_Prompt.OnNextModal([&](CDialog* d) {
            EXPECT_EQ(d, &dlg);
            action(dlg);
            if (d->GetWidget() && d->GetWidget()->isVisible())
                d->EndDialog(kStillOpen);
        });
        const INT_PTR result = dlg.DoModal();
        EXPECT_FALSE(dlg.IsValidating());  // and outside OK
        m_LastTable = Table(dlg.GetData());
        return result;
    }
    INT_PTR Run(const std::string& text, const std::function<void(CEditorDlg&)>& action)
    {
        m_Params = text.c_str();
        return Run(m_Params, action);
    }

    // The messages shown so far, their texts only.
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& m : m_Prompt.m_Messages)
            texts.push_back(m.text);
        return texts;
    }

    CDK_Setup m_Setup;
    CDK_Motion m_Motion;
    CScriptedPrompt m_Prompt;
    CString m_Params;
    std::vector<SPoint> m_LastTable;  // the record's table when the last run ended
};

}  // namespace edtest
