#include "kernel/EditMotionInternalData.h"

#include "kernel/ArrayParameter.h"
#include "kernel/Motion.h"
#include "kernel/ParamText.h"
#include "kernel/Setup.h"
#include "kernel/Value.h"

#include <string>

CDK_EditMotionInternalData::CDK_EditMotionInternalData(CDK_Setup& setup, CDK_Motion& motion)
    : m_Setup(setup), m_Motion(motion)
{
}

CDK_EditMotionInternalData::~CDK_EditMotionInternalData() = default;

CString CDK_EditMotionInternalData::ReadRadioParam(const CString& params, const char* key, int& value, int low,
                                                   int high)
{
    return CDK_ParamText::ReadInt(params, key, value, low, high);
}

void CDK_EditMotionInternalData::ReadOptionalRadioParam(const CString& params, const char* key, int& value, int low,
                                                        int high)
{
    if (!CDK_ParamText::ReadOptionalInt(params, key, value, low, high))
        value = low;
}

void CDK_EditMotionInternalData::WriteRadioParam(CString& params, const char* key, int value)
{
    CDK_ParamText::AppendInt(params, key, value);
}

CString CDK_EditMotionInternalData::ReadArrayDataParam(const CString& params, const char* key, const char* prefix,
                                                       const char* suffix, CDK_ArrayParameter& array)
{
    const CString name = GetDataParamName(key, prefix, suffix);
    array.Bind(name, key);

    std::vector<double> values;
    CString message = CDK_ParamText::ReadDoubles(params, name, values);
    array.SetValuesInInternalUnit(std::move(values));

    // The display unit is optional: without it the variable's default stays.
    const CString unitKey = name + ".unit";
    std::string_view unit;
    int line = 0;
    const CDK_ParamText::tagFind found = CDK_ParamText::Find(params.View(), unitKey.View(), unit, line);
    if (found == CDK_ParamText::PT_FOUND) {
        // A unit name never holds a NUL byte: "rot\0x" is not "rot".
        if (unit.find('\0') != std::string_view::npos || !array.SelectUnit(CString(unit))) {
            const CDK_Units& units = m_Setup.GetUnits();
            message += "Parameter \"" + unitKey + "\": unknown unit " + CDK_ParamText::Quote(unit) + " for " +
                       (array.GetQuantity() == DK_QTY_NONE ? CString("this value")
                                                           : "a " + CString(CDK_Units::GetQuantityName(array.GetQuantity()))) +
                       " (use " + units.ListNames(array.GetQuantity()) + ").\n";
        }
    } else if (found != CDK_ParamText::PT_ABSENT) {
        message += CDK_ParamText::LookupMessage(found, unitKey, line);
    }
    return message;
}

CString CDK_EditMotionInternalData::CheckArrayDataRange(const CDK_ArrayParameter& array) const
{
    const std::vector<double>& values = array.GetValuesInInternalUnit();
    const tagVarType type = array.GetType();
    std::size_t bad = 0;
    CString message;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (CDK_Value::Holds(type, values[i]) || bad++ > 0)
            continue;
        message = "Parameter \"" + array.GetName() + "\": value " + CString(std::to_string(i + 1)) + " (" +
                  CDK_ParamText::FormatDouble(values[i]) + ") is outside the range of its drive type " +
                  CDK_Value::GetTypeName(type) + " (" + CDK_ParamText::FormatDouble(CDK_Value::GetTypeMin(type)) +
                  " ... " + CDK_ParamText::FormatDouble(CDK_Value::GetTypeMax(type)) + " IU)";
    }
    if (bad == 0)
        return CString();
    if (bad > 1)
        message += " (and " + CString(std::to_string(bad - 1)) + " more value" + (bad > 2 ? "s" : "") + ")";
    return message + ".\n";
}

void CDK_EditMotionInternalData::WriteArrayDataParam(CString& params, const CDK_ArrayParameter& array)
{
    const std::vector<double>& values = array.GetValuesInInternalUnit();
    CDK_ParamText::AppendText(params, array.GetName() + ".unit", array.GetSelectedUnit().View());
    CDK_ParamText::AppendDoubles(params, array.GetName(), values.data(), values.size());
}

CString CDK_EditMotionInternalData::GetDataParamName(const char* key, const char* prefix, const char* suffix)
{
    CString name(prefix);
    name += key;
    name += suffix;
    return name;
}

CString CDK_EditMotionInternalData::GetDefaultUnit(const char* key, const char*, const char*) const
{
    const CDK_Variable* variable = m_Setup.FindVariable(key, 1);
    return variable ? variable->m_strDefaultUnit : CString("IU");
}
