#include "kernel/ArrayParameter.h"

#include "kernel/ParamText.h"
#include "kernel/Setup.h"
#include "kernel/Value.h"
#include "platform/ArrayOps.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Whole numbers up to this size are printed as integers.
constexpr double kPrintedIntegers = 1e15;

char* PrintInteger(char* first, double value)
{
    return std::to_chars(first, first + CDK_ArrayParameter::kMaxPrintLength, static_cast<std::int64_t>(value)).ptr;
}

bool IsPrintedAsInteger(double value)
{
    return std::fabs(value) < kPrintedIntegers && value == std::trunc(value);
}

}  // namespace

CDK_ArrayParameter::CDK_ArrayParameter(CDK_Setup& setup)
    : m_pSetup(&setup), m_dMin(CDK_Value::GetTypeMin(DK_INT32)), m_dMax(CDK_Value::GetTypeMax(DK_INT32))
{
}

void CDK_ArrayParameter::Bind(const char* name, const char* key)
{
    m_strName = name;
    m_strKey = key;
    const CDK_Variable* variable = m_pSetup->FindVariable(key, 1);
    m_Type = variable ? variable->m_Type : DK_INT32;
    m_Quantity = variable ? variable->m_Quantity : DK_QTY_NONE;
    m_dMin = CDK_Value::GetTypeMin(m_Type);
    m_dMax = CDK_Value::GetTypeMax(m_Type);
    const int unit = variable ? m_pSetup->GetUnits().Find(m_Quantity, variable->m_strDefaultUnit) : 0;
    SelectUnit(unit < 0 ? 0 : unit);
}

void CDK_ArrayParameter::CheckIndex(int index) const { array_ops::CheckIndex(index, m_Values.size()); }

void CDK_ArrayParameter::SetValuesCount(int count) { array_ops::Resize(m_Values, count); }

double CDK_ArrayParameter::GetValue(int index) const
{
    double value = GetValueInInternalUnit(index);
    IUToUnit(value);
    return value;
}

void CDK_ArrayParameter::SetValue(int index, double value)
{
    UnitToIU(value);
    SetValueInInternalUnit(index, value);
}

double CDK_ArrayParameter::GetValueInInternalUnit(int index) const
{
    CheckIndex(index);
    return m_Values[static_cast<std::size_t>(index)];
}

void CDK_ArrayParameter::SetValueInInternalUnit(int index, double value)
{
    CheckIndex(index);
    m_Values[static_cast<std::size_t>(index)] = value;
}

void CDK_ArrayParameter::InsertValueAt(int index, double value)
{
    UnitToIU(value);
    array_ops::Insert(m_Values, index, value, 1);
}

void CDK_ArrayParameter::RemoveValueAt(int index, int count) { array_ops::Remove(m_Values, index, count); }

double CDK_ArrayParameter::GetMin() const
{
    double value = m_dMin;
    IUToUnit(value);
    return value;
}

double CDK_ArrayParameter::GetMax() const
{
    double value = m_dMax;
    IUToUnit(value);
    return value;
}

CString CDK_ArrayParameter::GetSelectedUnit() const { return GetUnitName(m_nUnit); }

BOOL CDK_ArrayParameter::SelectUnit(const char* name)
{
    return SelectUnit(m_pSetup->GetUnits().Find(m_Quantity, name));
}

BOOL CDK_ArrayParameter::SelectUnit(int index)
{
    if (index < 0 || index >= GetUnitsCount())
        return FALSE;
    m_nUnit = index;
    m_dFactor = m_pSetup->GetUnits().GetFactor(m_Quantity, index);
    return TRUE;
}

int CDK_ArrayParameter::GetUnitsCount() const { return m_pSetup->GetUnits().GetCount(m_Quantity); }

CString CDK_ArrayParameter::GetUnitName(int index) const
{
    const char* name = m_pSetup->GetUnits().GetName(m_Quantity, index);
    return CString(name ? name : "");
}

char* CDK_ArrayParameter::PrintValue(int index, char* first) const
{
    const double value = GetValue(index);
    if (value == 0.0) {  // never "-0" for people
        *first = '0';
        return first + 1;
    }
    if (IsPrintedAsInteger(value))
        return PrintInteger(first, value);
    return std::to_chars(first, first + kMaxPrintLength, value, std::chars_format::general, 12).ptr;
}

char* CDK_ArrayParameter::PrintValueForDRL(int index, char* first) const
{
    const double value = CDK_Value::Quantize(m_Type, GetValueInInternalUnit(index));
    if (value == 0.0) {
        *first = '0';
        return first + 1;
    }
    if (IsPrintedAsInteger(value))
        return PrintInteger(first, value);
    // A fixed-point value: the shortest text that reads back as exactly this
    // multiple of 1/65536.
    return CDK_ParamText::FormatDouble(first, value);
}

CString CDK_ArrayParameter::PrintValue(int index) const
{
    char buffer[kMaxPrintLength];
    return CString(buffer, static_cast<int>(PrintValue(index, buffer) - buffer));
}

CString CDK_ArrayParameter::PrintValueForDRL(int index) const
{
    char buffer[kMaxPrintLength];
    return CString(buffer, static_cast<int>(PrintValueForDRL(index, buffer) - buffer));
}
