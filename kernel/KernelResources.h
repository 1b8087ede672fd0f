// The kernel's own resources: its dialog templates and their control ids.
//
// The kernel's dialogs take their templates from the kernel's resources only
// (CDialog::SetTemplateModule(KernelResourceModule())), so a module's
// template with the same id never replaces one of them. The ids are also
// kept in a block of their own, 20100 ... 20199, far above the ids dialog
// editors give a module's templates (the PVT editor is 214) and beside the
// kernel's string 20048, so that they read as the kernel's in any list of
// resources (docs/event-dialogs.md).
#pragma once

#include "platform/Types.h"

// The handle of the kernel library (the module that holds its resources).
HMODULE KernelResourceModule();

namespace dk_res {

// "Choose Event": the trigger type of a motion's event.
constexpr UINT IDD_EVENT_TYPE = 20100;
// The fields of one trigger type: "Input Event", "Position Event", "Delay Event".
constexpr UINT IDD_EVENT_INPUT = 20101;
constexpr UINT IDD_EVENT_POSITION = 20102;
constexpr UINT IDD_EVENT_DELAY = 20103;

// IDD_EVENT_TYPE: one radio button per trigger type, 1100 + the type, in
// the order of CMotionEvent::tagTrigger, and the reason why input events are
// not offered (shown only then).
constexpr int IDC_TYPE_MOTION_COMPLETE = 1100;
constexpr int IDC_TYPE_INPUT = 1101;
constexpr int IDC_TYPE_POSITION = 1102;
constexpr int IDC_TYPE_DELAY = 1103;
constexpr int IDC_TYPE_NO_INPUTS = 1104;

// IDD_EVENT_INPUT: the input number and its level.
constexpr int IDC_INPUT_NUMBER = 1110;
constexpr int IDC_INPUT_LOW = 1111;
constexpr int IDC_INPUT_HIGH = 1112;

// IDD_EVENT_POSITION: the position and the direction it passes it in.
constexpr int IDC_POSITION_VALUE = 1120;
constexpr int IDC_POSITION_ABOVE = 1121;
constexpr int IDC_POSITION_BELOW = 1122;

// IDD_EVENT_DELAY: the delay and how long one sampling period is.
constexpr int IDC_DELAY_VALUE = 1130;
constexpr int IDC_DELAY_PERIOD = 1131;

}  // namespace dk_res
