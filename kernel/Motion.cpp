#include "kernel/Motion.h"

#include "kernel/ParamText.h"

#include <string>

void CDK_Motion::AddToElemParameters(CString& params, const char* name, const char* unit, const char* value)
{
    const std::string key(name ? name : "");
    CDK_ParamText::AppendText(params, (key + ".unit").c_str(), unit ? unit : "IU");
    CDK_ParamText::AppendText(params, key.c_str(), value ? value : "");
}
