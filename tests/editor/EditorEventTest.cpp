// The event buttons: "Change Event" and "Edit Event" open the event's own
// dialogs (answered here with clicks and keys, as a user answers them); the
// description 1505 and the enabling of "Edit Event" follow the event.
#include "EditorTestUtil.h"

#include "kernel/KernelResources.h"
#include "kernel/MotionEvent.h"

namespace {

using namespace edtest;

std::string OnEventText(const char* event)
{
    return MotionText("0, 100", "0, 40", "0, 0", "IU", "IU", "IU", (std::string("Execute = 1\n") + event).c_str());
}

// Clicks radio button `id` of the nested dialog and OK.
std::function<void(CDialog*)> ChooseType(int id)
{
    return [id](CDialog* d) {
        Click(d->GetDlgItem(id));
        Click(d->GetDlgItem(IDOK));
    };
}

// Types `text` over the focused field of the nested dialog, then OK.
std::function<void(CDialog*)> TypeAndOk(const char* text)
{
    return [text](CDialog* d) {
        Key(Qt::Key_A, Qt::ControlModifier);
        Type(text);
        Click(d->GetDlgItem(IDOK));
    };
}

class EditorEventTest : public EditorTest {};

TEST_F(EditorEventTest, ChangeAndEditEventUpdateTheDescriptionAndTheEditButton)
{
    const INT_PTR result = Run(OnEventText("EventType = 0\n"), [&](CEditorDlg& d) {
        EXPECT_EQ("When the motion in progress is complete", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_TRUE(Enabled(d, E::IDC_CHANGE_EVENT));
        EXPECT_FALSE(Enabled(d, E::IDC_EDIT_EVENT));
        TypeInto(d, E::IDC_POSITION, "12");  // typed, not applied

        m_Prompt.OnNextModal(ChooseType(dk_res::IDC_TYPE_DELAY));
        Click(Item(d, E::IDC_CHANGE_EVENT));
        EXPECT_EQ("After 0 sampling periods", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_TRUE(Enabled(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("12", TextOf(d, E::IDC_POSITION));

        m_Prompt.OnNextModal(TypeAndOk("250"));
        Click(Item(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("After 250 sampling periods", TextOf(d, E::IDC_EVENT_DESCRIPTION));

        m_Prompt.OnNextModal(ChooseType(dk_res::IDC_TYPE_INPUT));
        Click(Item(d, E::IDC_CHANGE_EVENT));
        EXPECT_EQ("When input IN0 is high", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        m_Prompt.OnNextModal([](CDialog* e) {
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("7");
            Click(e->GetDlgItem(dk_res::IDC_INPUT_LOW));
            Click(e->GetDlgItem(IDOK));
        });
        Click(Item(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("When input IN7 is low", TextOf(d, E::IDC_EVENT_DESCRIPTION));

        // Back to a type without fields: nothing to edit.
        m_Prompt.OnNextModal(ChooseType(dk_res::IDC_TYPE_MOTION_COMPLETE));
        Click(Item(d, E::IDC_CHANGE_EVENT));
        EXPECT_FALSE(Enabled(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("When the motion in progress is complete", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_EQ("12", TextOf(d, E::IDC_POSITION));

        m_Prompt.OnNextModal(ChooseType(dk_res::IDC_TYPE_POSITION));
        Click(Item(d, E::IDC_CHANGE_EVENT));
        m_Prompt.OnNextModal(TypeAndOk("-5000"));
        Click(Item(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("When the position rises above -5000 IU", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        Click(Item(d, IDOK));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<UINT>({CEditorDlg::IDD, dk_res::IDD_EVENT_TYPE, dk_res::IDD_EVENT_DELAY,
                                 dk_res::IDD_EVENT_TYPE, dk_res::IDD_EVENT_INPUT, dk_res::IDD_EVENT_TYPE,
                                 dk_res::IDD_EVENT_TYPE, dk_res::IDD_EVENT_POSITION}),
              m_Prompt.m_ModalTemplates);
    EXPECT_EQ(0, m_Prompt.m_nUnscriptedModals);
    // The event is written with the record; the typed position is not.
    const std::string& written = m_Params.Std();
    EXPECT_NE(std::string::npos, written.find("EventType = 2\n")) << written;
    EXPECT_NE(std::string::npos, written.find("EventPosition = -5000\n")) << written;
    EXPECT_NE(std::string::npos, written.find("TPOS = 0, 40\n")) << written;
}

TEST_F(EditorEventTest, CancelledEventDialogsChangeNothing)
{
    const std::string text = OnEventText("EventType = 1\nEventInput = 2\nEventLevel = 1\n");
    Run(text, [&](CEditorDlg& d) {
        EXPECT_EQ("When input IN2 is high", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_TRUE(Enabled(d, E::IDC_EDIT_EVENT));
        m_Prompt.OnNextModal([](CDialog* e) {
            Click(e->GetDlgItem(dk_res::IDC_TYPE_DELAY));
            Key(Qt::Key_Escape);
        });
        Click(Item(d, E::IDC_CHANGE_EVENT));
        m_Prompt.OnNextModal([](CDialog* e) {
            Type("9");
            Click(e->GetDlgItem(IDCANCEL));
        });
        Click(Item(d, E::IDC_EDIT_EVENT));
        EXPECT_EQ("When input IN2 is high", TextOf(d, E::IDC_EVENT_DESCRIPTION));
        EXPECT_EQ(CMotionEvent::EVT_INPUT, d.GetData().m_Event.GetTrigger());
        EXPECT_EQ(2, d.GetData().m_Event.m_nInput);
        Click(Item(d, IDCANCEL));
    });
    EXPECT_EQ(text, m_Params.Std());
    EXPECT_EQ(0, m_Prompt.m_nUnscriptedModals);
}

TEST_F(EditorEventTest, TheEventButtonsTakeTheOptionsIntoTheRecordFirst)
{
    // Clear PVT Buffer unticked, then an event change: the refresh after it
    // shows the user's choice, not the record's old one.
    Run(OnEventText("EventType = 0\n"), [&](CEditorDlg& d) {
        EXPECT_TRUE(Checked(d, E::IDC_CLEAR_BUFFER));
        d.CheckDlgButton(E::IDC_CLEAR_BUFFER, BST_UNCHECKED);  // as a program would, without a click
        m_Prompt.OnNextModal(ChooseType(dk_res::IDC_TYPE_DELAY));
        Click(Item(d, E::IDC_CHANGE_EVENT));
        EXPECT_FALSE(Checked(d, E::IDC_CLEAR_BUFFER));
        EXPECT_EQ(0, d.GetData().m_nClearBuffer);
    });
}

}  // namespace
