// The editor as a whole: what it shows when it opens, the Enter chain, OK
// with its validation and writing, Cancel, the host address, the enable
// rules of the execution options, Help, and where every control sits.
#include "EditorTestUtil.h"

#include "kernel/Curve.h"
#include "kernel/GraphLayout.h"
#include "kernel/MotionEvent.h"
#include "platform/DialogTemplate.h"
#include "platform/ResourceRegistry.h"
#include "platform/Runtime.h"

#include <QFrame>
#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdlib>

namespace {

using namespace edtest;


// The text a record read from `text` writes: what OK writes when nothing
// was changed.
std::string Rewritten(CDK_Setup& setup, CDK_Motion& motion, const std::string& text)
{
    CInternalData data(setup, motion);
    CString params(text.c_str()), errors;
    data.ReadParameters(params, errors);
    data.NormalizePoints();
    CString out;
    data.WriteParameters(out);
    return out.Std();
}

class EditorDialogTest : public EditorTest {};

TEST_F(EditorDialogTest, OpensOnTheTextWithTheStartPointSelected)
{
    const std::string text = ReadFile(kMultiPoint);
    ASSERT_FALSE(text.empty());
    const INT_PTR result = Run(text, [&](CEditorDlg& d) {
        EXPECT_EQ(E::IDC_HOST_ADDRESS_CHECK, FocusId());  // the first tab stop
        EXPECT_TRUE(Checked(d, E::IDC_HOST_ADDRESS_CHECK));
        EXPECT_TRUE(Enabled(d, E::IDC_HOST_ADDRESS));
        EXPECT_EQ("5", TextOf(d, E::IDC_HOST_ADDRESS));
        EXPECT_TRUE(Checked(d, E::IDC_CLEAR_BUFFER));
        for (const int id : {E::IDC_POSITION, E::IDC_VELOCITY, E::IDC_TIME})
            EXPECT_EQ("0", TextOf(d, id)) << id;
        EXPECT_EQ((std::vector<std::string>{"IU", "rot", "deg", "rad"}), ComboItems(d, E::IDC_POSITION_UNIT));
        EXPECT_EQ((std::vector<std::string>{"IU", "rpm", "rot/s", "rad/s"}), ComboItems(d, E::IDC_VELOCITY_UNIT));
        EXPECT_EQ((std::vector<std::string>{"IU", "s", "ms"}), ComboItems(d, E::IDC_TIME_UNIT));
        EXPECT_EQ("rot", SelectedUnit(d, E::IDC_POSITION_UNIT));
        EXPECT_EQ("rpm", SelectedUnit(d, E::IDC_VELOCITY_UNIT));
        EXPECT_EQ("ms", SelectedUnit(d, E::IDC_TIME_UNIT));
        // The start point: no step back, no removal.
        EXPECT_FALSE(Enabled(d, E::IDC_PREVIOUS));
        EXPECT_TRUE(Enabled(d, E::IDC_NEXT));
        EXPECT_FALSE(Enabled(d, E::IDC_REMOVE));
        for (const int id : {E::IDC_UPDATE, E::IDC_INSERT, E::IDC_IMPORT})
            EXPECT_TRUE(Enabled(d, id)) << id;
        EXPECT_TRUE(Checked(d, E::IDC_START_REFERENCE));
        EXPECT_FALSE(Checked(d, E::IDC_START_MEASURED));
        EXPECT_TRUE(Checked(d, E::IDC_IMMEDIATE));
        EXPECT_FALSE(Checked(d, E::IDC_ON_EVENT));
        EXPECT_TRUE(Enabled(d, E::IDC_WAIT));
        EXPECT_TRUE(Checked(d, E::IDC_WAIT));
        EXPECT_FALSE(Enabled(d, E::IDC_CHANGE_EVENT));
        EXPECT_FALSE(Enabled(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("", TextOf(d, E::IDC_EVENT_DESCRIPTION));

        // The graph took the static's place and draws the table.
        EXPECT_EQ(static_cast<const CWnd*>(&d.GetGraph()), d.GetDlgItem(E::IDC_GRAPH));
        ASSERT_NE(nullptr, d.GetGraph().GetCanvas());
        EXPECT_TRUE(d.GetGraph().GetCanvas()->isVisible());
        EXPECT_EQ(0, d.GetGraph().GetSelectedPoint());
        const CCurveArray& curves = d.GetCurves();
        EXPECT_EQ("Time[ms]", curves.GetAt(0)->m_strLabel.Std());
        EXPECT_EQ("Position[rot]", curves.GetAt(1)->m_strLabel.Std());
        EXPECT_EQ("Velocity[rpm]", curves.GetAt(2)->m_strLabel.Std());
        EXPECT_EQ(501, curves.GetAt(0)->GetSize());
        std::vector<DWORD> pointToSample;
        for (int i = 0; i < d.GetPointToSample().GetSize(); ++i)
            pointToSample.push_back(d.GetPointToSample()[i]);
        EXPECT_EQ((std::vector<DWORD>{0, 100, 250, 400, 500}), pointToSample);
        EXPECT_EQ(4.0, curves.GetAt(1)->GetAt(250));  // point 2 at its own value, in rot

        const std::string png = std::string(VELKOR_BUILD_DIR) + "/editor-multi-point.png";
        EXPECT_TRUE(d.SaveImage(png.c_str()));
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(text, m_Params.Std());
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
}

TEST_F(EditorDialogTest, ColumnsOfDifferentLengthsOpenCutToTheShortest)
{
    struct SCase {
        const char* name;
        const char *times, *positions, *velocities;
        std::vector<SPoint> table;
    };
    const SCase cases[] = {
        {"short position column", "0, 10, 20", "0, 5", "0, 1, 0", {{0, 0, 0}, {10, 5, 1}}},
        {"short velocity column", "0, 10, 20", "0, 5, 7", "0", {{0, 0, 0}}},
        {"short time column", "0, 10", "0, 5, 7", "0, 1, 0", {{0, 0, 0}, {10, 5, 1}}},
        {"start point not at rest", "3, 10", "4, 5", "2, 0", {{0, 0, 0}, {10, 5, 0}}},
    };
    for (const SCase& c : cases) {
        const std::string text = MotionText(c.times, c.positions, c.velocities);
        Run(text, [&](CEditorDlg& d) {
            EXPECT_EQ(static_cast<int>(c.table.size()) > 1, Enabled(d, E::IDC_NEXT)) << c.name;
        });
        EXPECT_EQ(c.table, m_LastTable) << c.name;
        EXPECT_EQ(text, m_Params.Std()) << c.name;  // nothing written without OK
    }
}

TEST_F(EditorDialogTest, EnterWalksThePointFieldsAndInsertsThePoint)
{
    const INT_PTR result = Run(MotionText("0", "0", "0", "s", "rot", "rpm"), [&](CEditorDlg& d) {
        // From the initial focus with the keyboard alone: Tab to the
        // position field (past the disabled host address).
        Key(Qt::Key_Tab);
        Key(Qt::Key_Tab);
        ASSERT_EQ(E::IDC_POSITION, FocusId());
        EXPECT_EQ(std::make_pair(0, 1), Selection(Item(d, E::IDC_POSITION)));
        Type("1.5");
        Key(Qt::Key_Return);
        EXPECT_EQ(E::IDC_VELOCITY, FocusId());
        EXPECT_EQ(std::make_pair(0, 1), Selection(Item(d, E::IDC_VELOCITY)));  // "0" selected
        Type("60");
        Key(Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_EQ(E::IDC_TIME, FocusId());
        EXPECT_EQ(std::make_pair(0, 1), Selection(Item(d, E::IDC_TIME)));
        Type("0.2");
        EXPECT_EQ(1, d.GetData().m_Time.GetValuesCount());  // nothing applied yet
        Key(Qt::Key_Return);
        // Inserted and selected; the focus back on the position field with
        // the stored value selected.
        EXPECT_EQ(1, d.GetCurrentPoint());
        EXPECT_EQ(E::IDC_POSITION, FocusId());
        EXPECT_EQ("1.5", TextOf(d, E::IDC_POSITION));
        EXPECT_EQ(std::make_pair(0, 3), Selection(Item(d, E::IDC_POSITION)));
        EXPECT_EQ("60", TextOf(d, E::IDC_VELOCITY));
        EXPECT_EQ("0.2", TextOf(d, E::IDC_TIME));
        EXPECT_TRUE(Enabled(d, E::IDC_PREVIOUS));
        EXPECT_TRUE(Enabled(d, E::IDC_REMOVE));
        EXPECT_FALSE(Enabled(d, E::IDC_NEXT));
    });
    EXPECT_EQ(kStillOpen, result);
    EXPECT_EQ((std::vector<SPoint>{{0, 0, 0}, {200, 3000, 2}}), m_LastTable);
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
}

TEST_F(EditorDialogTest, OkFromAnyOtherControlValidatesAndWritesTheRecord)
{
    // A click on OK puts the focus on it; Enter on a check box or on the
    // combo box presses the default button with the focus left there. Text
    // typed into the point fields and never applied is not written.
    const std::string text = MotionText("0, 100", "0, 40", "0, 0");
    const std::string expected = Rewritten(m_Setup, m_Motion, text);
    struct SCase {
        const char* name;
        std::function<void(CEditorDlg&)> press;
    };
    const SCase cases[] = {
        {"click on OK", [](CEditorDlg& d) { Click(Item(d, IDOK)); }},
        {"Enter on the host address check box", [](CEditorDlg&) { Key(Qt::Key_Return); }},
        {"Enter on a unit box",
         [](CEditorDlg& d) {
             Item(d, E::IDC_TIME_UNIT)->SetFocus();
             Key(Qt::Key_Return);
         }},
    };
    for (const SCase& c : cases) {
        const INT_PTR result = Run(text, [&](CEditorDlg& d) {
            TypePoint(d, "99", "5", "50");  // typed, not applied
            Click(Item(d, E::IDC_HOST_ADDRESS_CHECK));
            Click(Item(d, E::IDC_HOST_ADDRESS_CHECK));  // back to unchecked
            Item(d, E::IDC_HOST_ADDRESS_CHECK)->SetFocus();
            c.press(d);
        });
        EXPECT_EQ(IDOK, result) << c.name;
        EXPECT_EQ(expected, m_Params.Std()) << c.name;
        EXPECT_EQ((std::vector<SPoint>{{0, 0, 0}, {100, 40, 0}}), m_LastTable) << c.name;
    }
    EXPECT_TRUE(m_Prompt.m_Messages.empty());
}

TEST_F(EditorDialogTest, OkShowsTheValidationMessageAndSelectsTheFailingPoint)
{
    struct SCase {
        const char* name;
        std::string text;
        int steps;  // ">>" clicks before OK
        const char* message;
        int point;
        const char* time;  // what the time field then shows
    };
    const SCase cases[] = {
        {"one point", MotionText("0", "0", "0"), 0,
         "Invalid number of points. You should have at least 2 points.", 0, "0"},
        {"last velocity not 0, with the last point selected", MotionText("0, 100, 200", "0, 5, 9", "0, 1, 2"), 2,
         "Invalid values for last point. Last velocity point should be 0.", 0, "0"},
        {"a step too long", MotionText("0, 100, 700", "0, 5, 9", "0, 1, 0"), 0,
         "Value out of range!\nTime value of point 2 is too distant from the previous point.", 2, "700"},
        {"a position step too far", MotionText("0, 100, 200", "0, 5, 9000000", "0, 1, 0"), 0,
         "Value out of range!\nPosition value of point 2 is too far away from the previous point.", 2, "200"},
    };
    for (const SCase& c : cases) {
        m_Prompt.m_Messages.clear();
        const INT_PTR result = Run(c.text, [&](CEditorDlg& d) {
            for (int i = 0; i < c.steps; ++i)
                Click(Item(d, E::IDC_NEXT));
            Click(Item(d, IDOK));
            EXPECT_TRUE(d.GetWidget()->isVisible()) << c.name;  // stays open
            EXPECT_EQ(c.point, d.GetCurrentPoint()) << c.name;
            EXPECT_EQ(c.point, d.GetGraph().GetSelectedPoint()) << c.name;
            EXPECT_EQ(c.time, TextOf(d, E::IDC_TIME)) << c.name;
            Click(Item(d, IDCANCEL));
        });
        EXPECT_EQ(IDCANCEL, result) << c.name;
        EXPECT_EQ(c.text, m_Params.Std()) << c.name;
        ASSERT_EQ(1u, m_Prompt.m_Messages.size()) << c.name;
        EXPECT_EQ(c.message, m_Prompt.m_Messages[0].text) << c.name;
        EXPECT_EQ(MB_OK, m_Prompt.m_Messages[0].type) << c.name;
        EXPECT_EQ(0u, m_Prompt.m_Messages[0].helpId) << c.name;
    }
}

TEST_F(EditorDialogTest, HostAddressOutsideItsRangeFailsTheExchangeAndWritesNothing)
{
    const std::string text = ReadFile(kMultiPoint);
    for (const char* typed : {"0", "256", "abc", "", "-3", "99999999999", " 1000"}) {
        m_Prompt.m_Messages.clear();
        const INT_PTR result = Run(text, [&](CEditorDlg& d) {
            TypeInto(d, E::IDC_HOST_ADDRESS, typed);
            Click(Item(d, E::IDC_CLEAR_BUFFER));  // another change that must not be written
            Click(Item(d, IDOK));
            EXPECT_TRUE(d.GetWidget()->isVisible()) << typed;
            EXPECT_EQ(E::IDC_HOST_ADDRESS, FocusId()) << typed;
            const int length = static_cast<int>(TextOf(d, E::IDC_HOST_ADDRESS).size());
            EXPECT_EQ(std::make_pair(0, length), Selection(Item(d, E::IDC_HOST_ADDRESS))) << typed;
            EXPECT_FALSE(d.IsValidating());
            Key(Qt::Key_Escape);
        });
        EXPECT_EQ(IDCANCEL, result) << typed;
        EXPECT_EQ(text, m_Params.Std()) << typed;
        EXPECT_EQ(std::vector<std::string>{"Please enter an integer between 1 and 255."}, Messages()) << typed;
        ASSERT_FALSE(m_Prompt.m_Messages.empty());
        EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, m_Prompt.m_Messages[0].type);
    }

    // Corrected, it is written.
    m_Prompt.m_Messages.clear();
    EXPECT_EQ(IDOK, Run(text, [&](CEditorDlg& d) {
                  TypeInto(d, E::IDC_HOST_ADDRESS, "300");
                  Click(Item(d, IDOK));
                  TypeInto(d, E::IDC_HOST_ADDRESS, "17");
                  Click(Item(d, IDOK));
              }));
    EXPECT_EQ(1u, m_Prompt.m_Messages.size());
    EXPECT_NE(std::string::npos, m_Params.Std().find("MASTERID = 17\n")) << m_Params.Std();
}

// A prompt that notes, for every message box, whether the editor that
// shows it is validating.
class CValidatingProbe : public CScriptedPrompt {
public:
    int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type, UINT helpId) override
    {
        const auto* dlg = dynamic_cast<const CDK_EditMotionDlg*>(CDialog::GetModalDialog());
        m_Validating.push_back(dlg && dlg->IsValidating());
        return CScriptedPrompt::MessageBox(owner, text, caption, type, helpId);
    }
    std::vector<bool> m_Validating;
};

TEST_F(EditorDialogTest, TheHostAddressIsRangeCheckedOnlyWhileOkValidates)
{
    CValidatingProbe probe;  // installed over the fixture's prompt while it lives
    CString params(ReadFile(kMultiPoint).c_str());
    const CString before = params;
    CEditorDlg dlg(m_Setup, m_Motion, params, nullptr);
    probe.OnNextModal([&](CDialog*) {
        TypeInto(dlg, E::IDC_HOST_ADDRESS, "0");
        Click(Item(dlg, E::IDC_CLEAR_BUFFER));  // an exchange without the check: no message
        EXPECT_TRUE(probe.m_Messages.empty());
        EXPECT_EQ(0, dlg.GetData().m_nHostAddress);  // stored unchecked
        Click(Item(dlg, IDOK));
        EXPECT_FALSE(dlg.IsValidating());
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(std::vector<bool>{true}, probe.m_Validating);
    EXPECT_EQ(before, params);
}

TEST_F(EditorDialogTest, HostAddressUncheckedWritesNoMasterIdAndReopensEmpty)
{
    ASSERT_EQ(IDOK, Run(ReadFile(kMultiPoint), [&](CEditorDlg& d) {
                  Click(Item(d, E::IDC_HOST_ADDRESS_CHECK));
                  // At once: the field is disabled and empty.
                  EXPECT_FALSE(Enabled(d, E::IDC_HOST_ADDRESS));
                  EXPECT_EQ("", TextOf(d, E::IDC_HOST_ADDRESS));
                  Click(Item(d, IDOK));
              }));
    const std::string written = m_Params.Std();
    EXPECT_EQ(std::string::npos, written.find("MASTERID")) << written;
    Run(written, [&](CEditorDlg& d) {
        EXPECT_FALSE(Checked(d, E::IDC_HOST_ADDRESS_CHECK));
        EXPECT_FALSE(Enabled(d, E::IDC_HOST_ADDRESS));
        EXPECT_EQ("", TextOf(d, E::IDC_HOST_ADDRESS));
    });
}

TEST_F(EditorDialogTest, ClicksOfCheckBoxesTakeEffectAtOnceAndKeepTypedText)
{
    Run(MotionText("0, 100", "0, 40", "0, 0"), [&](CEditorDlg& d) {
        EXPECT_FALSE(Enabled(d, E::IDC_HOST_ADDRESS));
        TypeInto(d, E::IDC_POSITION, "12.5");  // typed, not applied
        Click(Item(d, E::IDC_HOST_ADDRESS_CHECK));
        EXPECT_TRUE(Enabled(d, E::IDC_HOST_ADDRESS));
        EXPECT_EQ("255", TextOf(d, E::IDC_HOST_ADDRESS));  // the record's address
        EXPECT_EQ("12.5", TextOf(d, E::IDC_POSITION));
        TypeInto(d, E::IDC_HOST_ADDRESS, "4x");
        Key(Qt::Key_Tab);  // typing and leaving an edit change nothing in the record
        EXPECT_EQ(255, d.GetData().m_nHostAddress);
        EXPECT_EQ("4x", TextOf(d, E::IDC_HOST_ADDRESS));
        Click(Item(d, E::IDC_CLEAR_BUFFER));
        EXPECT_FALSE(Checked(d, E::IDC_CLEAR_BUFFER));
        EXPECT_EQ("4x", TextOf(d, E::IDC_HOST_ADDRESS));  // not replaced by what the record read
        EXPECT_EQ("12.5", TextOf(d, E::IDC_POSITION));
        EXPECT_EQ(1, d.GetData().m_bHostAddress);
        EXPECT_EQ(4, d.GetData().m_nHostAddress);
        EXPECT_EQ(0, d.GetData().m_nClearBuffer);
        // Unticked, the field shows nothing; ticked again, the address.
        Click(Item(d, E::IDC_HOST_ADDRESS_CHECK));
        EXPECT_EQ("", TextOf(d, E::IDC_HOST_ADDRESS));
        Click(Item(d, E::IDC_HOST_ADDRESS_CHECK));
        EXPECT_EQ("4", TextOf(d, E::IDC_HOST_ADDRESS));
        // The start reference radio buttons and the wait check box.
        Click(Item(d, E::IDC_START_MEASURED));
        EXPECT_EQ(1, d.GetData().m_nStartPoint);
        EXPECT_FALSE(Checked(d, E::IDC_START_REFERENCE));
        Click(Item(d, E::IDC_WAIT));
        EXPECT_EQ(0, d.GetData().m_nWaitForCompletion);
        EXPECT_EQ("12.5", TextOf(d, E::IDC_POSITION));
        // The typed position still is not in the table.
        EXPECT_EQ((std::vector<SPoint>{{0, 0, 0}, {100, 40, 0}}), Table(d.GetData()));
        // A command refreshes the fields from the record.
        Click(Item(d, E::IDC_NEXT));
        EXPECT_EQ("40", TextOf(d, E::IDC_POSITION));
    });
}

TEST_F(EditorDialogTest, ExecutionOnAnEventEnablesTheEventControls)
{
    CMotionEvent defaultEvent(m_Setup, m_Motion);
    ASSERT_FALSE(defaultEvent.IsEditable());
    const INT_PTR result = Run(MotionText("0, 100", "0, 40", "0, 0"), [&](CEditorDlg& d) {
        TypeInto(d, E::IDC_VELOCITY, "3");  // typed, not applied
        Click(Item(d, E::IDC_ON_EVENT));
        EXPECT_TRUE(Checked(d, E::IDC_ON_EVENT));
        EXPECT_FALSE(Checked(d, E::IDC_IMMEDIATE));
        EXPECT_FALSE(Enabled(d, E::IDC_WAIT));
        EXPECT_FALSE(Checked(d, E::IDC_WAIT));
        EXPECT_TRUE(Enabled(d, E::IDC_CHANGE_EVENT));
        EXPECT_FALSE(Enabled(d, E::IDC_EDIT_EVENT));  // nothing to edit in this event
        EXPECT_EQ(defaultEvent.GetDescription(0).Std(), TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_FALSE(TextOf(d, E::IDC_EVENT_DESCRIPTION).empty());
        EXPECT_EQ("3", TextOf(d, E::IDC_VELOCITY));
        Click(Item(d, E::IDC_IMMEDIATE));
        EXPECT_TRUE(Checked(d, E::IDC_IMMEDIATE));
        EXPECT_TRUE(Enabled(d, E::IDC_WAIT));
        EXPECT_TRUE(Checked(d, E::IDC_WAIT));  // the box was disabled: wait
        EXPECT_FALSE(Enabled(d, E::IDC_CHANGE_EVENT));
        EXPECT_FALSE(Enabled(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        Alt('o');  // "&On event" with the keyboard
        EXPECT_TRUE(Checked(d, E::IDC_ON_EVENT));
        EXPECT_TRUE(Enabled(d, E::IDC_CHANGE_EVENT));
        Click(Item(d, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_NE(std::string::npos, m_Params.Std().find("Execute = 1\n"));
    EXPECT_EQ(std::string::npos, m_Params.Std().find("WaitForCompletion"));

    // An editable event.
    Run(ReadFile(kOnEvent), [&](CEditorDlg& d) {
        EXPECT_TRUE(Checked(d, E::IDC_ON_EVENT));
        EXPECT_TRUE(Enabled(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ(d.GetData().m_Event.GetDescription(0).Std(), TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_FALSE(Enabled(d, E::IDC_WAIT));
    });
}

TEST_F(EditorDialogTest, CancelAfterEditingLeavesTheTextAsItWas)
{
    const std::string text = ReadFile(kMultiPoint);
    struct SCase {
        const char* name;
        std::function<void(CEditorDlg&)> cancel;
    };
    const SCase cases[] = {
        {"Cancel button", [](CEditorDlg& d) { Click(Item(d, IDCANCEL)); }},
        {"Escape", [](CEditorDlg&) { Key(Qt::Key_Escape); }},
        {"close box", [](CEditorDlg& d) { d.GetWidget()->close(); }},
    };
    for (const SCase& c : cases) {
        const INT_PTR result = Run(text, [&](CEditorDlg& d) {
            Click(Item(d, E::IDC_NEXT));
            Click(Item(d, E::IDC_REMOVE));
            TypePoint(d, "2", "0", "450");
            Click(Item(d, E::IDC_INSERT));
            ChooseUnit(d, E::IDC_TIME_UNIT, "s");
            Click(Item(d, E::IDC_CLEAR_BUFFER));
            Click(Item(d, E::IDC_ON_EVENT));
            c.cancel(d);
        });
        EXPECT_EQ(IDCANCEL, result) << c.name;
        EXPECT_EQ(text, m_Params.Std()) << c.name;
        EXPECT_EQ(5u, m_LastTable.size()) << c.name;  // the edits were made
    }
}

TEST_F(EditorDialogTest, HelpShowsTheDialogsHelpText)
{
    CString help;
    ASSERT_TRUE(help.LoadString(HID_BASE_RESOURCE + CEditorDlg::IDD));
    Run(ReadFile(kMultiPoint), [&](CEditorDlg& d) {
        Click(Item(d, ID_HELP));
        EXPECT_TRUE(d.GetWidget()->isVisible());
    });
    ASSERT_EQ(1u, m_Prompt.m_Messages.size());
    EXPECT_EQ(help.Std(), m_Prompt.m_Messages[0].text);
    EXPECT_EQ(0u, m_Prompt.m_Messages[0].text.find("Motion - PVT"));
    EXPECT_EQ(MB_OK | MB_ICONINFORMATION, m_Prompt.m_Messages[0].type);
    EXPECT_EQ(HID_BASE_RESOURCE + 214, m_Prompt.m_Messages[0].helpId);
}

TEST_F(EditorDialogTest, EveryControlSitsWhereItsDialogUnitsPutIt)
{
    const CDialogTemplate* tmpl = CResourceRegistry::Instance().FindDialog(CEditorDlg::IDD);
    ASSERT_NE(nullptr, tmpl);
    Run(ReadFile(kMultiPoint), [&](CEditorDlg& d) {
        int checked = 0;
        for (const CDialogItem& item : tmpl->m_Items) {
            if (item.m_nID == -1)
                continue;
            // Position and size each from their dialog units.
            const int bx = d.GetBaseUnitX(), by = d.GetBaseUnitY();
            const CWnd* control = d.GetDlgItem(item.m_nID);
            ASSERT_NE(nullptr, control) << item.m_nID;
            const QRect g = control->GetWidget()->geometry();
            EXPECT_EQ(MulDiv(item.m_x, bx, 4), g.x()) << item.m_nID;
            EXPECT_EQ(MulDiv(item.m_y, by, 8), g.y()) << item.m_nID;
            EXPECT_EQ(MulDiv(item.m_cx, bx, 4), g.width()) << item.m_nID;
            if (item.GetKind() != CDialogItem::ComboList) {  // closed, a combo box is one line high
                EXPECT_EQ(MulDiv(item.m_cy, by, 8), g.height()) << item.m_nID;
            }
            ++checked;
        }
        EXPECT_EQ(28, checked);
        // The graph keeps the static's sunken edge and draws inside it.
        const auto* frame = qobject_cast<const QFrame*>(d.GetGraph().GetCanvas());
        ASSERT_NE(nullptr, frame);
        EXPECT_EQ(QFrame::Sunken, frame->frameShadow());
        EXPECT_EQ(frame->contentsRect().width(), d.GetGraph().GetReducedWidth());
    });
}

}  // namespace

namespace {

// A mouse event sent to the graph's canvas as the window system would.
void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST_F(EditorDialogTest, GraphZoomsPansAndReadsOutUnderTheMouseAndEscapeStillCancels)
{
    const std::string text = ReadFile(kMultiPoint);
    const INT_PTR result = Run(text, [&](CEditorDlg& d) {
        const CGraphWindow& graph = d.GetGraph();
        QWidget* canvas = graph.GetCanvas();
        ASSERT_NE(nullptr, canvas);
        canvas->repaint();  // the axes the mouse is read against
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(nullptr, focus);
        const QPoint centre = canvas->contentsRect().center();

        // Two notches in, around the cursor.
        QWheelEvent wheel(QPointF(centre), canvas->mapToGlobal(QPointF(centre)), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        ASSERT_TRUE(graph.IsZoomed());
        const double lo = graph.GetViewLo(), hi = graph.GetViewHi();
        EXPECT_NEAR(0.64 * 500, hi - lo, 1.0);  // of 0 ... 500 ms
        EXPECT_TRUE(lo > 0 && hi < 500);
        canvas->repaint();

        // Dragged 40 pixels to the right: the earlier samples come into view.
        QTest::mousePress(canvas, Qt::LeftButton, {}, centre);
        SendMouse(canvas, QEvent::MouseMove, centre + QPoint(40, 0), Qt::NoButton, Qt::LeftButton);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, centre + QPoint(40, 0));
        EXPECT_LT(graph.GetViewLo(), lo);
        EXPECT_NEAR(hi - lo, graph.GetViewHi() - graph.GetViewLo(), 1e-9);
        canvas->repaint();

        // The readout follows the mouse; the keyboard stays where it was.
        SendMouse(canvas, QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton);
        EXPECT_GE(graph.GetHoverSample(), 0);
        EXPECT_EQ(focus, QApplication::focusWidget());
        EXPECT_EQ(Qt::NoFocus, canvas->focusPolicy());

        // A double click shows the whole trajectory again; zoomed once more,
        // Escape still cancels the dialog.
        QTest::mouseDClick(canvas, Qt::LeftButton, {}, centre);
        EXPECT_FALSE(graph.IsZoomed());

        // The pictures of docs/preview.md: point 2 selected with the readout
        // beside it, then zoomed in around it.
        Click(Item(d, E::IDC_NEXT));
        Click(Item(d, E::IDC_NEXT));
        EXPECT_EQ(2, graph.GetSelectedPoint());
        canvas->repaint();
        const SGraphLayout L = graph.Layout(canvas->contentsRect());
        const QPoint point2(int(L.xAxis.map(250)), centre.y()), nearPoint2 = point2 + QPoint(30, 0);
        SendMouse(canvas, QEvent::MouseMove, nearPoint2, Qt::NoButton, Qt::NoButton);
        EXPECT_TRUE(d.SaveImage((std::string(VELKOR_BUILD_DIR) + "/editor-readout.png").c_str()));
        QWheelEvent in(QPointF(point2), canvas->mapToGlobal(QPointF(point2)), QPoint(), QPoint(0, 1080),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &in);
        EXPECT_TRUE(graph.IsZoomed());
        canvas->repaint();
        SendMouse(canvas, QEvent::MouseMove, nearPoint2, Qt::NoButton, Qt::NoButton);
        EXPECT_TRUE(d.SaveImage((std::string(VELKOR_BUILD_DIR) + "/editor-zoomed.png").c_str()));
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(text, m_Params.Std());
}

}  // namespace
