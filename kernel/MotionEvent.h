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
    CDK_Setup& m_Setup;
    CDK_Motion& m_Motion;
    tagTrigger m_Trigger = EVT_MOTION_COMPLETE;
};
