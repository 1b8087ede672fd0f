// The event's dialogs, driven as a user drives them: "Choose Event" behind
// CMotionEvent::ChangeType and the field dialogs behind CMotionEvent::Edit,
// with real clicks and keys through the scripted prompt. Pictures of every
// dialog go into the build folder (event-*.png), to be looked at.
#include "tests/TestUtil.h"
#include "kernel/EventEditDlg.h"
#include "kernel/EventTypeDlg.h"
#include "kernel/KernelResources.h"
#include "kernel/Motion.h"
#include "kernel/MotionEvent.h"
#include "kernel/Setup.h"
#include "platform/DialogTemplate.h"
#include "platform/ModuleResources.h"
#include "platform/WinApp.h"
#include "platform/WindowStyles.h"
#include "../platform/DialogTestUtil.h"
#include "../platform/ScriptedPrompt.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace dlgtest;
using namespace dk_res;
using Trigger = CMotionEvent::tagTrigger;
constexpr auto MC = CMotionEvent::EVT_MOTION_COMPLETE;
constexpr auto IN = CMotionEvent::EVT_INPUT;
constexpr auto POS = CMotionEvent::EVT_POSITION;
constexpr auto TIME = CMotionEvent::EVT_TIME;

constexpr INT_PTR kStillOpen = -2;  // the scripted action left the dialog open

const bool s_bOffscreen = testutil::UseOffscreenPlatform();

std::string Picture(const char* name) { return std::string(VELKOR_BUILD_DIR) + "/" + name; }

class EventDialogTest : public ::testing::Test {
protected:
    // The next modal run is driven by `action`; a dialog it leaves open is
    // ended with kStillOpen, which the kernel takes as not confirmed.
    void Next(std::function<void(CDialog*)> action)
    {
        prompt.OnNextModal([this, action = std::move(action)](CDialog* d) {
            action(d);
            if (d->GetWidget() && d->GetWidget()->isVisible()) {
                ++m_nLeftOpen;
                d->EndDialog(kStillOpen);
            }
        });
    }
    static bool Checked(CDialog* d, int id) { return d->IsDlgButtonChecked(id) == BST_CHECKED; }
    static bool Enabled(CDialog* d, int id) { return d->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    static bool Visible(CDialog* d, int id) { return d->GetDlgItem(id)->IsWindowVisible() != FALSE; }

    CDK_Setup setup;
    CDK_Motion motion;
    CMotionEvent event{setup, motion};
    CScriptedPrompt prompt;
    int m_nLeftOpen = 0;
};

std::string Description(const CMotionEvent& e) { return e.GetDescription(0).Std(); }

// ---------------------------------------------------------------- ChangeType

TEST_F(EventDialogTest, ChangeTypeChoosesEachTypeByClickOrMnemonic)
{
    struct Row {
        const char* name;
        Trigger from;
        std::function<void(CDialog*)> choose;  // ends with OK
        BOOL result;
        Trigger to;
        const char* description;
    };
    const auto click = [](int id) {
        return [id](CDialog* d) {
            Click(d->GetDlgItem(id));
            Click(d->GetDlgItem(IDOK));
        };
    };
    const auto alt = [](char letter) {
        return [letter](CDialog*) {
            Alt(letter);
            Key(Qt::Key_Return);
        };
    };
    const Row rows[] = {
        {"click input", MC, click(IDC_TYPE_INPUT), TRUE, IN, "When input IN0 is high"},
        {"Alt+P position", MC, alt('p'), TRUE, POS, "When the position rises above 0 IU"},
        {"Alt+D delay", IN, alt('d'), TRUE, TIME, "After 0 sampling periods"},
        {"Alt+C motion complete", TIME, alt('c'), TRUE, MC, "When the motion in progress is complete"},
        {"click delay", POS, click(IDC_TYPE_DELAY), TRUE, TIME, "After 0 sampling periods"},
        {"arrow keys", MC, [](CDialog*) {
             Key(Qt::Key_Down);
             Key(Qt::Key_Down);
             Key(Qt::Key_Return);
         }, TRUE, POS, "When the position rises above 0 IU"},
        {"OK on the current type", POS, [](CDialog*) { Key(Qt::Key_Return); }, FALSE, POS,
         "When the position rises above 0 IU"},
        {"chosen and chosen back", IN, [](CDialog* d) {
             Click(d->GetDlgItem(IDC_TYPE_POSITION));
             Alt('i');
             Click(d->GetDlgItem(IDOK));
         }, FALSE, IN, "When input IN0 is high"},
    };
    for (const Row& r : rows) {
        CMotionEvent e(setup, motion);
        e.SetTrigger(r.from);
        Next([&](CDialog* d) {
            // The current type is checked and has the keyboard.
            for (int id = IDC_TYPE_MOTION_COMPLETE; id <= IDC_TYPE_DELAY; ++id)
                EXPECT_EQ(id == IDC_TYPE_MOTION_COMPLETE + r.from, Checked(d, id)) << r.name << " " << id;
            EXPECT_EQ(IDC_TYPE_MOTION_COMPLETE + r.from, FocusId()) << r.name;
            EXPECT_FALSE(Visible(d, IDC_TYPE_NO_INPUTS)) << r.name;
            r.choose(d);
        });
        EXPECT_EQ(r.result, e.ChangeType(0)) << r.name;
        EXPECT_EQ(r.to, e.GetTrigger()) << r.name;
        EXPECT_EQ(r.description, Description(e)) << r.name;
    }
    EXPECT_EQ(0, m_nLeftOpen);
    EXPECT_EQ(std::vector<UINT>(std::size(rows), IDD_EVENT_TYPE), prompt.m_ModalTemplates);
    EXPECT_TRUE(prompt.m_Messages.empty());
}

TEST_F(EventDialogTest, ChangeTypeCancelledChangesNothing)
{
    event.SetTrigger(POS);
    event.m_nPosition = -500;
    event.m_nPositionMode = 1;
    const std::vector<std::function<void(CDialog*)>> cancels = {
        [](CDialog*) { Key(Qt::Key_Escape); },
        [](CDialog* d) { Click(d->GetDlgItem(IDCANCEL)); },
        [](CDialog* d) { d->GetWidget()->close(); },  // the close box
    };
    for (const auto& cancel : cancels) {
        Next([&](CDialog* d) {
            Click(d->GetDlgItem(IDC_TYPE_DELAY));
            EXPECT_TRUE(Checked(d, IDC_TYPE_DELAY));
            cancel(d);
        });
        EXPECT_EQ(FALSE, event.ChangeType(0));
        EXPECT_EQ(POS, event.GetTrigger());
        EXPECT_EQ("When the position falls below -500 IU", Description(event));
    }
    EXPECT_EQ(0, m_nLeftOpen);
}

TEST_F(EventDialogTest, WithoutDriveInputsTheInputTypeIsNotOfferedAndSaysWhy)
{
    event.m_wOptions = 0;
    event.SetTrigger(TIME);
    Next([&](CDialog* d) {
        d->SaveImage(Picture("event-type-no-inputs.png").c_str());
        EXPECT_FALSE(Enabled(d, IDC_TYPE_INPUT));
        EXPECT_TRUE(Visible(d, IDC_TYPE_NO_INPUTS));
        EXPECT_EQ("Not available: this product has no drive inputs.", Text(d->GetDlgItem(IDC_TYPE_NO_INPUTS)));
        Click(d->GetDlgItem(IDC_TYPE_INPUT));
        Alt('i');
        EXPECT_FALSE(Checked(d, IDC_TYPE_INPUT));
        EXPECT_TRUE(Checked(d, IDC_TYPE_DELAY));
        // The arrow keys pass over it.
        Click(d->GetDlgItem(IDC_TYPE_DELAY));
        Key(Qt::Key_Up);
        EXPECT_EQ(IDC_TYPE_POSITION, FocusId());
        Key(Qt::Key_Up);
        EXPECT_EQ(IDC_TYPE_MOTION_COMPLETE, FocusId());
        EXPECT_TRUE(Checked(d, IDC_TYPE_MOTION_COMPLETE));
        Key(Qt::Key_Down);
        EXPECT_EQ(IDC_TYPE_POSITION, FocusId());
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(TRUE, event.ChangeType(0));
    EXPECT_EQ(POS, event.GetTrigger());

    // An input event that such a product cannot have (set by a program)
    // offers the motion-complete type: OK makes the event valid again.
    event.SetTrigger(IN);
    Next([&](CDialog* d) {
        EXPECT_TRUE(Checked(d, IDC_TYPE_MOTION_COMPLETE));
        EXPECT_FALSE(Checked(d, IDC_TYPE_INPUT));
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(TRUE, event.ChangeType(0));
    EXPECT_EQ(MC, event.GetTrigger());
    // Nor is such an event edited: the user is told.
    event.SetTrigger(IN);
    EXPECT_EQ(FALSE, event.Edit());
    ASSERT_EQ(1u, prompt.m_Messages.size());
    EXPECT_EQ("An input event is not available on this product: it has no drive inputs. Choose another type of "
              "event.",
              prompt.m_Messages[0].text);
    EXPECT_EQ((std::vector<UINT>{IDD_EVENT_TYPE, IDD_EVENT_TYPE}), prompt.m_ModalTemplates);
}

TEST_F(EventDialogTest, ANewTypeKeepsTheValuesTheUserGaveItAndOtherwiseANewEventsValues)
{
    event.SetTrigger(TIME);
    event.m_nDelay = 500;
    event.m_nInput = 99;  // no reader or dialog gives this
    event.m_nLevel = 7;
    const auto choose = [this](int id) {
        Next([id](CDialog* d) {
            Click(d->GetDlgItem(id));
            Click(d->GetDlgItem(IDOK));
        });
        return event.ChangeType(0);
    };
    EXPECT_EQ(TRUE, choose(IDC_TYPE_POSITION));
    EXPECT_EQ("When the position rises above 0 IU", Description(event));
    EXPECT_EQ(TRUE, choose(IDC_TYPE_DELAY));
    EXPECT_EQ("After 500 sampling periods", Description(event));
    EXPECT_EQ(TRUE, choose(IDC_TYPE_INPUT));
    EXPECT_EQ("When input IN0 is high", Description(event));
    EXPECT_EQ("EventType = 1\nEventInput = 0\nEventLevel = 1\n", [this] {
        CString text;
        event.WriteParameters(text);
        return text.Std();
    }());
}

TEST_F(EventDialogTest, ChangeTypeCanGoOnToTheNewTypesFields)
{
    Next([](CDialog*) {
        Alt('i');
        Key(Qt::Key_Return);
    });
    Next([](CDialog* d) {
        EXPECT_EQ(IDD_EVENT_INPUT, d->GetTemplateID());
        Type("3");
        Click(d->GetDlgItem(IDC_INPUT_LOW));
        Click(d->GetDlgItem(IDOK));
    });
    EXPECT_EQ(TRUE, event.ChangeType(1));
    EXPECT_EQ("When input IN3 is low", Description(event));
    // Cancelling the fields keeps the new type with its values.
    Next([](CDialog*) {
        Alt('d');
        Key(Qt::Key_Return);
    });
    Next([](CDialog*) {
        Type("40");
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(TRUE, event.ChangeType(1));
    EXPECT_EQ("After 0 sampling periods", Description(event));
    // Motion complete has no fields: no second dialog.
    Next([](CDialog*) {
        Alt('c');
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(TRUE, event.ChangeType(1));
    EXPECT_EQ((std::vector<UINT>{IDD_EVENT_TYPE, IDD_EVENT_INPUT, IDD_EVENT_TYPE, IDD_EVENT_DELAY, IDD_EVENT_TYPE}),
              prompt.m_ModalTemplates);
    EXPECT_EQ(0, m_nLeftOpen);
}

// ---------------------------------------------------------------- Edit

TEST_F(EventDialogTest, MotionCompleteHasNothingToEditAndShowsNoDialog)
{
    EXPECT_FALSE(event.IsEditable());
    EXPECT_EQ(FALSE, event.Edit());
    EXPECT_TRUE(prompt.m_ModalTemplates.empty());
    EXPECT_TRUE(prompt.m_Messages.empty());
}

TEST_F(EventDialogTest, EditShowsAndChangesEachTypesFields)
{
    struct Row {
        const char* name;
        Trigger trigger;
        int input, level, position, mode, delay;  // before
        const char* shown;                         // the number field at first
        int checked;                               // the radio button checked at first, 0 for none
        const char* typed;                         // replaces the selected text; null: nothing typed
        int click;                                 // a radio button clicked, 0 for none
        bool enter;                                // Enter, else a click on OK
        BOOL result;
        const char* description;
    };
    const Row rows[] = {
        {"input number and level", IN, 0, 1, 0, 0, 0, "0", IDC_INPUT_HIGH, "7", IDC_INPUT_LOW, false, TRUE,
         "When input IN7 is low"},
        {"highest input", IN, 3, 0, 0, 0, 0, "3", IDC_INPUT_LOW, "15", IDC_INPUT_HIGH, true, TRUE,
         "When input IN15 is high"},
        {"level only", IN, 4, 1, 0, 0, 0, "4", IDC_INPUT_HIGH, nullptr, IDC_INPUT_LOW, true, TRUE,
         "When input IN4 is low"},
        {"input unchanged", IN, 4, 1, 0, 0, 0, "4", IDC_INPUT_HIGH, nullptr, 0, true, FALSE, "When input IN4 is high"},
        {"same number typed again", IN, 4, 1, 0, 0, 0, "4", IDC_INPUT_HIGH, " 4 ", 0, true, FALSE,
         "When input IN4 is high"},
        {"position below", POS, 0, 1, 1000, 0, 0, "1000", IDC_POSITION_ABOVE, "-500", IDC_POSITION_BELOW, true, TRUE,
         "When the position falls below -500 IU"},
        {"lowest position", POS, 0, 1, 0, 1, 0, "0", IDC_POSITION_BELOW, "-2147483648", 0, false, TRUE,
         "When the position falls below -2147483648 IU"},
        {"highest position", POS, 0, 1, 5, 1, 0, "5", IDC_POSITION_BELOW, "+2147483647", IDC_POSITION_ABOVE, true,
         TRUE, "When the position rises above 2147483647 IU"},
        {"longest delay", TIME, 0, 1, 0, 0, 100, "100", 0, "2147483647", 0, true, TRUE,
         "After 2147483647 sampling periods"},
        {"one period", TIME, 0, 1, 0, 0, 100, "100", 0, "1", 0, false, TRUE, "After 1 sampling period"},
        {"no delay", TIME, 0, 1, 0, 0, 100, "100", 0, "0", 0, true, TRUE, "After 0 sampling periods"},
    };
    for (const Row& r : rows) {
        CMotionEvent e(setup, motion);
        e.SetTrigger(r.trigger);
        e.m_nInput = r.input;
        e.m_nLevel = r.level;
        e.m_nPosition = r.position;
        e.m_nPositionMode = r.mode;
        e.m_nDelay = r.delay;
        Next([&](CDialog* d) {
            EXPECT_EQ(CEventEditDlg::TemplateFor(r.trigger), d->GetTemplateID()) << r.name;
            // The number field has the keyboard with its whole text selected.
            CWnd* field = CWnd::FromHandle(GetFocus());
            ASSERT_NE(nullptr, field) << r.name;
            EXPECT_EQ(r.shown, Text(field)) << r.name;
            EXPECT_EQ(std::make_pair(0, static_cast<int>(std::string(r.shown).size())), Selection(field)) << r.name;
            if (r.checked) {
                EXPECT_TRUE(Checked(d, r.checked)) << r.name;
            }
            if (r.typed)
                Type(r.typed);
            if (r.click)
                Click(d->GetDlgItem(r.click));
            if (r.enter) {
                field->SetFocus();  // Enter from the number field
                Key(Qt::Key_Return);
            } else {
                Click(d->GetDlgItem(IDOK));
            }
        });
        EXPECT_EQ(r.result, e.Edit()) << r.name;
        EXPECT_EQ(r.trigger, e.GetTrigger()) << r.name;
        EXPECT_EQ(r.description, Description(e)) << r.name;
    }
    EXPECT_EQ(0, m_nLeftOpen);
    EXPECT_TRUE(prompt.m_Messages.empty());
}

TEST_F(EventDialogTest, ABadNumberIsToldTheFocusGoesBackAndTheDialogStaysOpen)
{
    struct Row {
        Trigger trigger;
        const char* bad;
        const char* message;
        const char* good;
        const char* description;  // after the good value
    };
    const char* const notInteger = "Please enter an integer.";
    const Row rows[] = {
        {IN, "16", "Please enter an integer between 0 and 15.", "15", "When input IN15 is high"},
        {IN, "-1", "Please enter an integer between 0 and 15.", "4", "When input IN4 is high"},
        {IN, "abc", notInteger, "2", "When input IN2 is high"},
        {IN, "", notInteger, "2", "When input IN2 is high"},
        {IN, "1.5", notInteger, "1", "When input IN1 is high"},
        {POS, "2147483648", "Please enter an integer between -2147483648 and 2147483647.", "-1",
         "When the position rises above -1 IU"},
        {POS, "-2147483649", "Please enter an integer between -2147483648 and 2147483647.", "7",
         "When the position rises above 7 IU"},
        {POS, "1e3", notInteger, "1000", "When the position rises above 1000 IU"},
        {TIME, "-1", "Please enter an integer between 0 and 2147483647.", "10", "After 10 sampling periods"},
        {TIME, "3000000000", "Please enter an integer between 0 and 2147483647.", "10", "After 10 sampling periods"},
        {TIME, "99999999999999999999", notInteger, "10", "After 10 sampling periods"},
    };
    for (const Row& r : rows) {
        CScriptedPrompt messages;  // this row's messages only
        CMotionEvent e(setup, motion);
        e.SetTrigger(r.trigger);
        CDialog* shown = nullptr;
        messages.OnNextModal([&](CDialog* d) {
            shown = d;
            CWnd* field = CWnd::FromHandle(GetFocus());
            ASSERT_NE(nullptr, field);
            const int id = field->GetDlgCtrlID();
            Type(r.bad);
            if (!*r.bad)
                Key(Qt::Key_Delete);  // the selected text removed
            Click(d->GetDlgItem(IDOK));  // the focus leaves the field for OK
            EXPECT_TRUE(d->GetWidget()->isVisible()) << r.bad;
            EXPECT_EQ(id, FocusId()) << r.bad;
            EXPECT_EQ(std::make_pair(0, static_cast<int>(std::string(r.bad).size())), Selection(field)) << r.bad;
            if (d->GetWidget()->isVisible() && d == CDialog::GetModalDialog() && FocusId() == id) {
                Type(r.good);  // replaces the selected text
                Key(Qt::Key_Return);
            }
        });
        EXPECT_EQ(TRUE, e.Edit()) << r.bad;
        EXPECT_EQ(r.description, Description(e)) << r.bad;
        ASSERT_EQ(1u, messages.m_Messages.size()) << r.bad;
        EXPECT_EQ(r.message, messages.m_Messages[0].text) << r.bad;
        EXPECT_EQ(MB_OK | MB_ICONEXCLAMATION, messages.m_Messages[0].type);
        EXPECT_EQ(shown, messages.m_Messages[0].owner) << r.bad;  // the box belongs to the event's dialog
        EXPECT_EQ(AfxGetAppName(), messages.m_Messages[0].caption);
    }
}

TEST_F(EventDialogTest, EditCancelledChangesNothing)
{
    event.SetTrigger(IN);
    event.m_nInput = 5;
    event.m_nLevel = 0;
    Next([](CDialog* d) {
        Type("9");
        Click(d->GetDlgItem(IDC_INPUT_HIGH));
        Key(Qt::Key_Escape);
    });
    Next([](CDialog* d) {
        Type("16");  // not even checked
        Click(d->GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(FALSE, event.Edit());
    EXPECT_EQ(FALSE, event.Edit());
    EXPECT_EQ("When input IN5 is low", Description(event));
    EXPECT_TRUE(prompt.m_Messages.empty());
}

TEST_F(EventDialogTest, TheDelayTellsHowLongASamplingPeriodIs)
{
    struct Row {
        double period;
        const char* note;
    };
    const Row rows[] = {
        {0.001, "0 to 2147483647; one sampling period is 1 ms."},
        {0.0005, "0 to 2147483647; one sampling period is 0.5 ms."},
        {0.00005, "0 to 2147483647; one sampling period is 50 \xC2\xB5s."},
        {2.0, "0 to 2147483647; one sampling period is 2 s."},
    };
    for (const Row& r : rows) {
        CDK_Setup drive;
        const std::string json = R"({"countsPerRevolution": 2000, "samplingPeriod": )" + std::to_string(r.period) + "}";
        ASSERT_EQ("", drive.LoadFromText(json.c_str(), "drive.json").Std()) << json;
        CMotionEvent e(drive, motion);
        e.SetTrigger(TIME);
        Next([&](CDialog* d) {
            EXPECT_EQ(r.note, Text(d->GetDlgItem(IDC_DELAY_PERIOD))) << r.period;
            Key(Qt::Key_Escape);
        });
        e.Edit();
    }
}

// ---------------------------------------------------------------- owner, templates, pictures

TEST_F(EventDialogTest, TheOwnerIsTheInnermostModalDialog)
{
    // A dialog of this program's own, as the editor is, opens both.
    constexpr UINT kOuter = 20100;  // even with the kernel's id, the kernel's dialogs keep their own
    CModuleResources resources("kernel-test-owner", &s_bOffscreen);
    CDialogTemplate outerTemplate(WS_POPUP | WS_CAPTION | DS_SETFONT, 200, 100, "Outer", "MS Shell Dlg", 8);
    outerTemplate.Add(CDialogItem(CDialogItem::Button, IDOK, "OK", 10, 10, 50, 14, WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    resources.AddDialog(kOuter, outerTemplate);
    CDialog outer(kOuter);
    std::vector<QWidget*> parents;
    std::vector<std::string> captions;
    event.SetTrigger(POS);
    Next([&](CDialog* d) {
        Next([&](CDialog* inner) {
            parents.push_back(inner->GetWidget()->parentWidget());
            captions.push_back(inner->GetWidget()->windowTitle().toStdString());
            Key(Qt::Key_Escape);
        });
        Next([&](CDialog* inner) {
            parents.push_back(inner->GetWidget()->parentWidget());
            captions.push_back(inner->GetWidget()->windowTitle().toStdString());
            Key(Qt::Key_Escape);
        });
        EXPECT_EQ(FALSE, event.ChangeType(0));
        EXPECT_EQ(FALSE, event.Edit());
        captions.push_back(d->GetWidget()->windowTitle().toStdString());
        parents.push_back(d->GetWidget());
        d->EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, outer.DoModal());
    ASSERT_EQ(3u, parents.size());
    EXPECT_EQ(parents[2], parents[0]);
    EXPECT_EQ(parents[2], parents[1]);
    EXPECT_EQ((std::vector<std::string>{"Choose Event", "Position Event", "Outer"}), captions);
}

// Every caption fits its control and no two controls overlap (a group box
// holds the controls inside it), in the font the dialogs are shown in.
TEST_F(EventDialogTest, CaptionsFitAndControlsDoNotOverlap)
{
    struct Case {
        const char* picture;
        std::function<CDialog*()> make;
    };
    std::vector<std::unique_ptr<CDialog>> keep;
    const Case cases[] = {
        {"event-type.png", [&] { keep.push_back(std::make_unique<CEventTypeDlg>(POS, TRUE)); return keep.back().get(); }},
        {nullptr, [&] { keep.push_back(std::make_unique<CEventTypeDlg>(POS, FALSE)); return keep.back().get(); }},
        {"event-input.png",
         [&] { keep.push_back(std::make_unique<CEventEditDlg>(IN, 0.001)); return keep.back().get(); }},
        {"event-position.png",
         [&] { keep.push_back(std::make_unique<CEventEditDlg>(POS, 0.001)); return keep.back().get(); }},
        {"event-delay.png",
         [&] { keep.push_back(std::make_unique<CEventEditDlg>(TIME, 0.001)); return keep.back().get(); }},
    };
    for (const Case& c : cases) {
        CDialog* dlg = c.make();
        if (auto* edit = dynamic_cast<CEventEditDlg*>(dlg)) {
            edit->m_nPosition = -2147483647;  // the widest numbers
            edit->m_nDelay = 2147483647;
            edit->m_nInput = 15;
        }
        ASSERT_TRUE(dlg->Create()) << dlg->GetTemplateID();
        if (c.picture) {
            EXPECT_TRUE(dlg->SaveImage(Picture(c.picture).c_str()));
        }
        QWidget* window = dlg->GetWidget();
        std::vector<QWidget*> controls;
        for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w->isVisibleTo(window))
                controls.push_back(w);
        for (QWidget* w : controls) {
            const CWnd* control = CWnd::FromHandle(CWnd::HandleOf(w));
            const std::string name = std::to_string(control ? control->GetDlgCtrlID() : 0);
            EXPECT_TRUE(window->rect().contains(w->geometry())) << dlg->GetTemplateID() << " " << name;
            if (auto* label = qobject_cast<QLabel*>(w)) {
                const int width = label->fontMetrics().horizontalAdvance(label->text().remove(QLatin1Char('&')));
                EXPECT_LE(width, label->width()) << dlg->GetTemplateID() << ": " << label->text().toStdString();
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                EXPECT_LE(button->sizeHint().width(), button->width())
                    << dlg->GetTemplateID() << ": " << button->text().toStdString();
            } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                const int width = edit->fontMetrics().horizontalAdvance(edit->text()) + 8;  // frame and margins
                EXPECT_LE(width, edit->width()) << dlg->GetTemplateID() << ": " << edit->text().toStdString();
            }
        }
        for (std::size_t i = 0; i < controls.size(); ++i)
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                const QRect a = controls[i]->geometry(), b = controls[j]->geometry();
                if (a.contains(b) || b.contains(a))
                    continue;  // a group box and what it holds
                EXPECT_FALSE(a.intersects(b)) << dlg->GetTemplateID() << ": " << i << " and " << j;
            }
        dlg->DestroyWindow();
    }
}

}  // namespace
