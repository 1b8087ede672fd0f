#include "kernel/Value.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct TypeInfo {
    const char* name;
    double min;    // in steps of the resolution
    double max;
    double steps;  // steps per internal unit
    bool halvesUp; // halves round upward (else away from zero)
};

// Indexed by tagVarType.
constexpr TypeInfo kTypes[] = {
    {"int16", -32768.0, 32767.0, 1.0, false},
    {"uint16", 0.0, 65535.0, 1.0, false},
    {"int32", -2147483648.0, 2147483647.0, 1.0, false},
    {"uint32", 0.0, 4294967295.0, 1.0, false},
    // 16.16: -32768 ... 32767.9999847412109375. The drive takes a velocity
    // into its arithmetic as floor(v * 65536 + 0.5), and so does the preview:
    // the value written for the drive must be that same one.
    {"fixed", -2147483648.0, 2147483647.0, 65536.0, true},
};
constexpr int kTypeCount = static_cast<int>(sizeof(kTypes) / sizeof(kTypes[0]));

// An unknown type value is treated as a 32-bit integer.
const TypeInfo& Info(tagVarType type)
{
    const int index = static_cast<int>(type);
    return kTypes[index >= 0 && index < kTypeCount ? index : DK_INT32];
}

// The value in steps of the type's resolution, rounded as the type rounds,
// not yet limited to its range. Scaling by a power of two is exact;
// std::round (halves away from zero) and std::floor are defined for any
// double; no integer conversion is involved. floor(x + 0.5) is computed
// exactly as the drive's arithmetic writes it, addition rounding included.
double RoundToSteps(const TypeInfo& info, double value)
{
    const double scaled = value * info.steps;
    return info.halvesUp ? std::floor(scaled + 0.5) : std::round(scaled);
}

}  // namespace

void CDK_Value::SetValue(tagVarType type, double value)
{
    m_Type = type;
    m_dValue = Quantize(type, value);
}

double CDK_Value::GetValue(tagVarType type) const
{
    return type == m_Type ? m_dValue : Quantize(type, m_dValue);
}

double CDK_Value::Quantize(tagVarType type, double value)
{
    if (std::isnan(value))
        return 0.0;
    const TypeInfo& info = Info(type);
    const double steps = std::clamp(RoundToSteps(info, value), info.min, info.max);
    return steps / info.steps + 0.0;  // + 0.0 turns -0 into 0
}

bool CDK_Value::Holds(tagVarType type, double value)
{
    const TypeInfo& info = Info(type);
    const double steps = RoundToSteps(info, value);  // NaN fails both comparisons
    return steps >= info.min && steps <= info.max;
}

double CDK_Value::GetTypeMin(tagVarType type)
{
    const TypeInfo& info = Info(type);
    return info.min / info.steps;
}

double CDK_Value::GetTypeMax(tagVarType type)
{
    const TypeInfo& info = Info(type);
    return info.max / info.steps;
}

double CDK_Value::GetTypeResolution(tagVarType type)
{
    return 1.0 / Info(type).steps;
}

const char* CDK_Value::GetTypeName(tagVarType type)
{
    return Info(type).name;
}

bool CDK_Value::FindType(const char* name, tagVarType& type)
{
    for (int i = 0; name && i < kTypeCount; ++i) {
        if (std::strcmp(name, kTypes[i].name) == 0) {
            type = static_cast<tagVarType>(i);
            return true;
        }
    }
    return false;
}
