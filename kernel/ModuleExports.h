// The functions a motion module exports, by name, and their types: what a
// host looks up after loading a module.
#pragma once

#include "platform/String.h"

class CDK_Motion;
class CDK_Setup;

namespace module_exports {

using GetClassNameFn = const char* (*)();
using GetNameFn = const char* (*)();
using GetOrderIDFn = int (*)();
using IsEnabledFn = int (*)(CDK_Setup& setup);
using GetDefaultParametersFn = void (*)(CDK_Setup& setup, CDK_Motion& motion, CString& out);
using EditMotionSequenceFn = int (*)(CDK_Setup& setup, CDK_Motion& motion, CString& params);
using TranslateMotionSequenceFn = int (*)(CDK_Setup& setup, CDK_Motion& motion, CString& params, CString& out);

inline constexpr const char* kGetClassName = "GetClassName";
inline constexpr const char* kGetName = "GetName";
inline constexpr const char* kGetOrderID = "GetOrderID";
inline constexpr const char* kIsEnabled = "IsEnabled";
inline constexpr const char* kGetDefaultParameters = "GetDefaultParameters";
inline constexpr const char* kEditMotionSequence = "EditMotionSequence";
inline constexpr const char* kTranslateMotionSequence = "TranslateMotionSequence";

}  // namespace module_exports
