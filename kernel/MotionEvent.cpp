#include "kernel/MotionEvent.h"

#include "kernel/EventEditDlg.h"
#include "kernel/EventTypeDlg.h"
#include "kernel/ParamText.h"
#include "kernel/Setup.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"

#include <climits>
#include <string>

// Parameter keys of the event (docs/parameter-text.md).
namespace {

const char kType[] = "EventType";
const char kInput[] = "EventInput";
const char kLevel[] = "EventLevel";
const char kPosition[] = "EventPosition";
const char kPositionMode[] = "EventPositionMode";
const char kDelay[] = "EventDelay";

constexpr int kLastInput = 15;  // inputs IN0 ... IN15

// The event in the motion language: the instruction that sets it and the
// comment written after it. One place for both, so that the description and
// the generated lines always tell the same thing.
//
//   motion complete   !MC              the motion in progress is complete
//   input             !IN#n l          input INn reaches level l (0 low, 1 high)
//   position          !PGT pL / !PLT pL  the position rises above / falls below p
//   time              !RT dU           d sampling periods after the event is set
struct CMLForm {
    std::string instruction;  // "!IN#3 1"
    std::string comment;      // "input IN3 high"
};

// A trigger value outside the enumeration (possible only through a cast)
// stands for the motion-complete event everywhere, as the constructor sets.
CMotionEvent::tagTrigger Known(CMotionEvent::tagTrigger trigger)
{
    switch (trigger) {
    case CMotionEvent::EVT_MOTION_COMPLETE:
    case CMotionEvent::EVT_INPUT:
    case CMotionEvent::EVT_POSITION:
    case CMotionEvent::EVT_TIME:
        return trigger;
    }
    return CMotionEvent::EVT_MOTION_COMPLETE;
}

const char* LevelName(int level) { return level != 0 ? "high" : "low"; }

CMLForm MLForm(const CMotionEvent& event)
{
    CMLForm form;
    switch (Known(event.GetTrigger())) {
    case CMotionEvent::EVT_MOTION_COMPLETE:
        form.instruction = "!MC";
        form.comment = "motion complete";
        break;
    case CMotionEvent::EVT_INPUT:
        form.instruction = "!IN#" + std::to_string(event.m_nInput) + (event.m_nLevel != 0 ? " 1" : " 0");
        form.comment = "input IN" + std::to_string(event.m_nInput) + " " + LevelName(event.m_nLevel);
        break;
    case CMotionEvent::EVT_POSITION: {
        const bool below = event.m_nPositionMode != 0;
        const std::string value = std::to_string(event.m_nPosition);
        form.instruction = (below ? "!PLT " : "!PGT ") + value + "L";
        form.comment = (below ? "position below " : "position above ") + value;
        break;
    }
    case CMotionEvent::EVT_TIME:
        form.instruction = "!RT " + std::to_string(event.m_nDelay) + "U";
        form.comment = "after " + std::to_string(event.m_nDelay) + " sampling period" + (event.m_nDelay == 1 ? "" : "s");
        break;
    }
    return form;
}

}  // namespace

CMotionEvent::CMotionEvent(CDK_Setup& setup, CDK_Motion& motion) : m_Setup(setup), m_Motion(motion) {}

CMotionEvent::~CMotionEvent() = default;

BOOL CMotionEvent::IsEditable() const
{
    return Known(m_Trigger) == EVT_MOTION_COMPLETE ? FALSE : TRUE;
}

BOOL CMotionEvent::Edit()
{
    const tagTrigger trigger = Known(m_Trigger);
    if (trigger == EVT_MOTION_COMPLETE)
        return FALSE;
    if (trigger == EVT_INPUT && (m_wOptions & OPT_DRIVE_INPUTS) == 0) {
        AfxMessageBox("An input event is not available on this product: it has no drive inputs. Choose another "
                      "type of event.",
                      MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    KeepFieldsInRange();
    CEventEditDlg dlg(trigger, m_Setup.GetUnits().GetSamplingPeriod(), CDialog::GetModalDialog());
    dlg.m_nInput = m_nInput;
    dlg.m_nLevel = m_nLevel;
    dlg.m_nPosition = m_nPosition;
    dlg.m_nPositionMode = m_nPositionMode;
    dlg.m_nDelay = m_nDelay;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    const bool changed = dlg.m_nInput != m_nInput || dlg.m_nLevel != m_nLevel || dlg.m_nPosition != m_nPosition ||
                         dlg.m_nPositionMode != m_nPositionMode || dlg.m_nDelay != m_nDelay;
    m_nInput = dlg.m_nInput;
    m_nLevel = dlg.m_nLevel;
    m_nPosition = dlg.m_nPosition;
    m_nPositionMode = dlg.m_nPositionMode;
    m_nDelay = dlg.m_nDelay;
    return changed ? TRUE : FALSE;
}

BOOL CMotionEvent::ChangeType(int bEditNewType)
{
    const BOOL inputs = (m_wOptions & OPT_DRIVE_INPUTS) != 0 ? TRUE : FALSE;
    CEventTypeDlg dlg(Known(m_Trigger), inputs, CDialog::GetModalDialog());
    if (dlg.DoModal() != IDOK || dlg.m_Trigger == m_Trigger)
        return FALSE;
    m_Trigger = dlg.m_Trigger;
    KeepFieldsInRange();
    if (bEditNewType && IsEditable())
        Edit();
    return TRUE;
}

void CMotionEvent::KeepFieldsInRange()
{
    // The fields are public; a value no dialog or reader could have given
    // becomes a new event's.
    if (m_nInput < 0 || m_nInput > kLastInput)
        m_nInput = 0;
    if (m_nLevel != 0 && m_nLevel != 1)
        m_nLevel = 1;
    if (m_nPositionMode != 0 && m_nPositionMode != 1)
        m_nPositionMode = 0;
    if (m_nDelay < 0)
        m_nDelay = 0;
}

CString CMotionEvent::GetDescription(int nForm) const
{
    std::string text;
    switch (Known(m_Trigger)) {
    case EVT_MOTION_COMPLETE:
        text = "When the motion in progress is complete";
        break;
    case EVT_INPUT:
        text = "When input IN" + std::to_string(m_nInput) + " is " + LevelName(m_nLevel);
        break;
    case EVT_POSITION:
        text = std::string(m_nPositionMode != 0 ? "When the position falls below " : "When the position rises above ") +
               std::to_string(m_nPosition) + " IU";
        break;
    case EVT_TIME:
        text = "After " + std::to_string(m_nDelay) + " sampling period" + (m_nDelay == 1 ? "" : "s");
        break;
    }
    if (nForm == 1)
        text += " (motion language: " + MLForm(*this).instruction + ")";
    return CString(text);
}

CString CMotionEvent::GenerateMLCode() const
{
    const CMLForm form = MLForm(*this);
    return CString("  " + form.instruction + "; //Event: " + form.comment + "\r\n");
}

BOOL CMotionEvent::ReadParameters(const CString& params, CString& error)
{
    // Collected apart and assigned at the end: `error` is replaced, never
    // appended to, and may even be the same text as `params`.
    CString messages;
    int type = static_cast<int>(Known(m_Trigger));
    messages = CDK_ParamText::ReadInt(params, kType, type, EVT_MOTION_COMPLETE, EVT_TIME);
    if (messages.IsEmpty() && type == EVT_INPUT && (m_wOptions & OPT_DRIVE_INPUTS) == 0) {
        messages = "Parameter \"EventType\": an input event (1) is not available on this product; choose 0 (motion "
                   "complete), 2 (position) or 3 (time).\n";
    }
    if (messages.IsEmpty()) {
        m_Trigger = static_cast<tagTrigger>(type);
        switch (m_Trigger) {
        case EVT_MOTION_COMPLETE:
            break;
        case EVT_INPUT:
            messages += CDK_ParamText::ReadInt(params, kInput, m_nInput, 0, kLastInput);
            messages += CDK_ParamText::ReadInt(params, kLevel, m_nLevel, 0, 1);
            break;
        case EVT_POSITION:
            messages += CDK_ParamText::ReadInt(params, kPosition, m_nPosition, INT_MIN, INT_MAX);
            messages += CDK_ParamText::ReadInt(params, kPositionMode, m_nPositionMode, 0, 1);
            break;
        case EVT_TIME:
            messages += CDK_ParamText::ReadInt(params, kDelay, m_nDelay, 0, INT_MAX);
            break;
        }
    }
    error = messages;
    return messages.IsEmpty() ? TRUE : FALSE;
}

void CMotionEvent::WriteParameters(CString& params) const
{
    const tagTrigger trigger = Known(m_Trigger);
    CDK_ParamText::AppendInt(params, kType, static_cast<int>(trigger));
    switch (trigger) {
    case EVT_MOTION_COMPLETE:
        break;
    case EVT_INPUT:
        CDK_ParamText::AppendInt(params, kInput, m_nInput);
        CDK_ParamText::AppendInt(params, kLevel, m_nLevel);
        break;
    case EVT_POSITION:
        CDK_ParamText::AppendInt(params, kPosition, m_nPosition);
        CDK_ParamText::AppendInt(params, kPositionMode, m_nPositionMode);
        break;
    case EVT_TIME:
        CDK_ParamText::AppendInt(params, kDelay, m_nDelay);
        break;
    }
}
