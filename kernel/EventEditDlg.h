// CEventEditDlg: the modal dialog in which a user edits the fields of an
// event's trigger: "Input Event" (the input number 0 ... 15 and the level),
// "Position Event" (a position in increments, 32-bit, and whether it is
// passed rising above or falling below it) and "Delay Event" (a delay of
// 0 ... 2147483647 sampling periods). CMotionEvent::Edit runs it; the
// motion-complete trigger has nothing to edit and no dialog.
//
// OK checks every number (the framework's message for a text that is no
// whole number or lies outside its range; the focus goes back to the field
// with its text selected and the dialog stays open) and keeps the values in
// the members below; Cancel keeps nothing.
#pragma once

#include "kernel/MotionEvent.h"
#include "platform/Dialog.h"

class CEventEditDlg : public CDialog {
public:
    // The template of `trigger`'s fields; `samplingPeriod` (seconds) is told
    // beside the delay. The members start as a new event's.
    CEventEditDlg(CMotionEvent::tagTrigger trigger, double samplingPeriod, CWnd* pParentWnd = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The template that shows `trigger`'s fields; 0 for the motion-complete
    // trigger, which has none.
    static UINT TemplateFor(CMotionEvent::tagTrigger trigger);

    CMotionEvent::tagTrigger GetTrigger() const { return m_Trigger; }

    // The fields, as CMotionEvent holds them.
    int m_nInput = 0;         // 0 ... 15
    int m_nLevel = 1;         // 0 low, 1 high
    int m_nPosition = 0;      // increments
    int m_nPositionMode = 0;  // 0 rises above, 1 falls below
    int m_nDelay = 0;         // sampling periods, 0 ... 2147483647

private:
    CMotionEvent::tagTrigger m_Trigger;
    double m_dSamplingPeriod;
};
