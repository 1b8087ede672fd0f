// CMotionEvent: the event that starts a motion that is to execute on an
// event. Its trigger is one of a small set of types, each with its own
// parameter keys, description and motion-language lines:
//
//   0 motion complete  the motion in progress has ended       (no parameters)
//   1 input            a digital input reaches a level         EventInput, EventLevel
//   2 position         the position passes a value             EventPosition, EventPositionMode
//   3 time             a delay after the event is set           EventDelay
//
// The type itself is stored under "EventType". docs/parameter-text.md lists
// the keys, their ranges and the lines each type generates.
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

class CDK_Motion;
class CDK_Setup;

class CMotionEvent {
public:
    enum tagTrigger {
        EVT_MOTION_COMPLETE = 0,
        EVT_INPUT = 1,
        EVT_POSITION = 2,
        EVT_TIME = 3,
    };
    // Bit 0 of m_wOptions: the drive's own digital inputs may trigger the
    // event. A motion controller's record clears it; an input event is then
    // refused when read.
    static constexpr WORD OPT_DRIVE_INPUTS = 0x0001;

    CMotionEvent(CDK_Setup& setup, CDK_Motion& motion);
    CMotionEvent(const CMotionEvent&) = delete;
    CMotionEvent& operator=(const CMotionEvent&) = delete;
    virtual ~CMotionEvent();

    // Nonzero when the trigger has parameters a user can edit.
    BOOL IsEditable() const;

    // The event's dialogs, modal, owned by the innermost modal dialog
    // (CDialog::GetModalDialog()); docs/event-dialogs.md.
    //
    // Edit: the fields of the trigger ("Input Event", "Position Event",
    // "Delay Event"). Nonzero when the user confirmed with OK and a field
    // changed; 0 after Cancel (nothing changes), after OK with every field as
    // it was, and at once, with no dialog, for the motion-complete trigger
    // (nothing to edit). An input event on a product without drive inputs is
    // not edited: the user is told so and 0 is returned.
    virtual BOOL Edit();
    // ChangeType: "Choose Event", the trigger type. Nonzero when the user
    // confirmed with OK a type other than the current one; the event then
    // has that type, whose fields keep what the event holds for them (a new
    // event's values, IN0 high, position 0 rising above, no delay, unless the
    // user set others before), a field outside its range being reset to the
    // new event's value. 0 after Cancel or OK on the current type: nothing
    // changes. Without drive inputs the input type cannot be chosen.
    // `bEditNewType` nonzero: after a change to a type with fields, Edit
    // runs at once (its answer does not change the result).
    virtual BOOL ChangeType(int bEditNewType);
    // One line for people, without line end; nForm 0 is the short form
    // shown in dialogs and comments, 1 adds the motion-language meaning.
    CString GetDescription(int nForm) const;
    // The motion-language lines that define the event, each ending "\r\n".
    CString GenerateMLCode() const;

    // Reads the event from a parameter text. `error` is replaced: empty on
    // success, else every message (one line each). Nonzero on success. On a
    // failure the fields that were read correctly keep their new values.
    virtual BOOL ReadParameters(const CString& params, CString& error);
    // Appends the event's keys to a parameter text.
    virtual void WriteParameters(CString& params) const;

    tagTrigger GetTrigger() const { return m_Trigger; }
    void SetTrigger(tagTrigger trigger) { m_Trigger = trigger; }

    WORD m_wOptions = OPT_DRIVE_INPUTS;
    int m_nInput = 0;             // EventInput: 0 ... 15
    int m_nLevel = 1;             // EventLevel: 0 low, 1 high
    int m_nPosition = 0;          // EventPosition: internal units, 32-bit
    int m_nPositionMode = 0;      // EventPositionMode: 0 rises above, 1 falls below
    int m_nDelay = 0;             // EventDelay: sampling periods, 0 ... 2147483647

private:
    // Puts every field that lies outside its range back to a new event's value.
    void KeepFieldsInRange();

    CDK_Setup& m_Setup;
    // The motion the event belongs to: kept for the motion types whose
    // events depend on it; PVT's events do not read it yet.
    [[maybe_unused]] CDK_Motion& m_Motion;
    tagTrigger m_Trigger = EVT_MOTION_COMPLETE;
};
