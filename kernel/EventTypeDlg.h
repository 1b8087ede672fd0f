// CEventTypeDlg: "Choose Event", the modal dialog in which a user chooses
// what starts a motion that executes on an event: the motion in progress
// completing, a digital input reaching a level, the position passing a
// value, or a delay (CMotionEvent::tagTrigger). CMotionEvent::ChangeType
// runs it.
//
// Without drive inputs the input type is not offered: its button is
// disabled and a line under it tells why.
#pragma once

#include "kernel/MotionEvent.h"
#include "platform/Dialog.h"

class CEventTypeDlg : public CDialog {
public:
    // `trigger`: the type shown checked at first; when it is the input type
    // and inputs are not available, the motion-complete type is checked
    // instead. `pParentWnd`: the owner.
    CEventTypeDlg(CMotionEvent::tagTrigger trigger, BOOL bInputsAvailable, CWnd* pParentWnd = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // The chosen type after OK.
    CMotionEvent::tagTrigger m_Trigger;

private:
    BOOL m_bInputsAvailable;
};
