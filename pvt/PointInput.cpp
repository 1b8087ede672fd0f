#include "pvt/PointInput.h"

#include "kernel/Value.h"
#include "platform/Runtime.h"

#include <cmath>

void CPointInput::ClampToParameter(const CDK_ArrayParameter& param, double& value)
{
    if (param.GetMin() > value)
        value = param.GetMin();
    else if (value > param.GetMax())
        value = param.GetMax();
    param.UnitToIU(value);
    CDK_Value held;
    held.SetValue(param.GetType(), value);
    value = held.GetValue(param.GetType());
    param.IUToUnit(value);
}

BOOL CPointInput::ReadNumber(const char* text, double& value)
{
    double read = 0;
    if (sscanf_s(text, "%lf", &read) != 1 || !std::isfinite(read))
        return FALSE;
    value = read;
    return TRUE;
}

BOOL CPointInput::ReadField(const CDK_ArrayParameter& param, const char* text, double& value)
{
    double read = 0;
    if (!ReadNumber(text, read))
        return FALSE;
    ClampToParameter(param, read);
    value = read;
    return TRUE;
}

BOOL CPointInput::ReadTimeField(const CDK_ArrayParameter& time, const char* text, double& value)
{
    double read = 0;
    if (!ReadField(time, text, read) || read < 0)
        return FALSE;
    value = read;
    return TRUE;
}
