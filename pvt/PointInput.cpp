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

double CPointInput::ClampInternalValue(const CDK_ArrayParameter& param, double value)
{
    param.IUToUnit(value);
    ClampToParameter(param, value);
    param.UnitToIU(value);
    return value;
}

void CPointInput::ClampInternalValues(const CDK_ArrayParameter& param, std::span<double> values)
{
    if (param.GetType() != DK_FIXED) {
        for (double& value : values)
            value = ClampInternalValue(param, value);
        return;
    }
    // The same steps, written out for the 16.16 type so that a million
    // velocities take milliseconds:
    //  - the display value d = v * f, clamped to GetMin() ... GetMax() as
    //    ClampToParameter compares (NaN passes both comparisons);
    //  - back in internal units d / f. UnitToIU may snap that quotient to a
    //    multiple of 1/65536 when it lies within a few ulps of one; rounding
    //    to the type gives the same multiple either way, so the snap is left
    //    out;
    //  - the type's rounding, floor(x * 65536 + 0.5) limited to its range,
    //    NaN to 0 (CDK_Value::Quantize);
    //  - shown and stored again, IUToUnit then UnitToIU gives a value of the
    //    type back bit for bit.
    double factor = 1.0;
    param.IUToUnit(factor);
    const double lo = param.GetMin();
    const double hi = param.GetMax();
    constexpr double kSteps = 65536.0;
    const double minSteps = CDK_Value::GetTypeMin(DK_FIXED) * kSteps;
    const double maxSteps = CDK_Value::GetTypeMax(DK_FIXED) * kSteps;
    const bool unitIsInternal = factor == 1.0;
    for (double& value : values) {
        double d = value * factor;
        d = lo > d ? lo : d > hi ? hi : d;
        const double iu = unitIsInternal ? d : d / factor;
        double steps = std::floor(iu * kSteps + 0.5);
        steps = steps < minSteps ? minSteps : steps > maxSteps ? maxSteps : steps;
        value = steps == steps ? steps / kSteps + 0.0 : 0.0;
    }
}
