// CDK_ArrayParameter: an array of values of one drive variable, such as a
// column of a point table.
//
// The values are kept in internal units: that is the stored truth. The
// selected display unit changes only how values are shown and how typed
// values are read (GetValue, SetValue, InsertValueAt, GetMin, GetMax,
// PrintValue). Limits are kept in internal units; a newly bound array has
// the range of its variable's data type.
//
// An index outside the array throws CInvalidArgException.
#pragma once

#include "kernel/Quantity.h"
#include "kernel/VarType.h"
#include "platform/String.h"

#include <vector>

class CDK_Setup;

class CDK_ArrayParameter {
public:
    explicit CDK_ArrayParameter(CDK_Setup& setup);

    // Binds the array to the name it is read from and written under and to
    // the drive variable `key`, which gives its data type, quantity, default
    // unit and limits. Selects the default unit and resets the limits to the
    // type's range; the values are kept. A key the setup does not declare
    // gives a 32-bit integer without units ("IU").
    void Bind(const char* name, const char* key);
    BOOL IsBound() const { return m_strName.IsEmpty() ? FALSE : TRUE; }
    const CString& GetName() const { return m_strName; }
    const CString& GetKey() const { return m_strKey; }
    tagVarType GetType() const { return m_Type; }
    tagQuantity GetQuantity() const { return m_Quantity; }

    int GetValuesCount() const { return static_cast<int>(m_Values.size()); }
    // New values are 0; a negative count throws CInvalidArgException.
    void SetValuesCount(int count);
    double GetValue(int index) const;                 // selected unit
    void SetValue(int index, double value);           // selected unit
    double GetValueInInternalUnit(int index) const
    {
        CheckIndex(index);
        return m_Values[static_cast<std::size_t>(index)];
    }
    void SetValueInInternalUnit(int index, double value);
    // Inserts before `index` (0 ... count); the value is in the selected unit.
    void InsertValueAt(int index, double value);
    // Removes `count` values from `index`; the later values move down.
    void RemoveValueAt(int index, int count = 1);
    const std::vector<double>& GetValuesInInternalUnit() const { return m_Values; }
    void SetValuesInInternalUnit(std::vector<double> values) { m_Values = std::move(values); }

    double GetMin() const;  // selected unit
    double GetMax() const;  // selected unit
    double GetMinInInternalUnit() const { return m_dMin; }
    void SetMinInInternalUnit(double value) { m_dMin = value; }
    double GetMaxInInternalUnit() const { return m_dMax; }
    void SetMaxInInternalUnit(double value) { m_dMax = value; }

    // In-place conversions between the selected unit and internal units.
    // A display value that stands for a value the drive type holds converts
    // to exactly that value: when the quotient lies within a few units in
    // the last place of a multiple of the type's resolution (a whole
    // increment, or 1/65536 for the 16.16 type), it becomes that multiple.
    // Binary conversions of decimal display values are otherwise off by an
    // ulp (0.5005 rot / 0.0005 = 1000.9999999999999), which code generation
    // would truncate to 1000. So UnitToIU(IUToUnit(q)) gives q back bit for
    // bit for every value q of the type, and a value that is not that near a
    // multiple is converted as it is. The internal unit itself is exact.
    void UnitToIU(double& value) const;
    void IUToUnit(double& value) const { value = value * m_dFactor; }

    CString GetSelectedUnit() const;
    int GetSelectedUnitIndex() const { return m_nUnit; }
    // Selects a unit of the array's quantity; FALSE (and no change) when
    // there is no such unit.
    BOOL SelectUnit(const char* name);
    BOOL SelectUnit(int index);
    int GetUnitsCount() const;
    CString GetUnitName(int index) const;

    // The value in the selected unit for people: at most 12 significant
    // digits, C locale ("2.5", "-0.001", "1e+15").
    CString PrintValue(int index) const;
    // The value as a motion-language literal: the internal-unit value as the
    // variable's data type holds it ("5000", "30.5", "0.100006103515625").
    CString PrintValueForDRL(int index) const;
    // The same two, written at `first` (room for kMaxPrintLength
    // characters); they return the end. For code generation of big tables.
    static constexpr int kMaxPrintLength = 40;
    char* PrintValue(int index, char* first) const;
    char* PrintValueForDRL(int index, char* first) const;

private:
    void CheckIndex(int index) const
    {
        if (index < 0 || static_cast<std::size_t>(index) >= m_Values.size())
            ThrowBadIndex();
    }
    [[noreturn]] static void ThrowBadIndex();

    CDK_Setup* m_pSetup;
    CString m_strName;
    CString m_strKey;
    tagVarType m_Type = DK_INT32;
    tagQuantity m_Quantity = DK_QTY_NONE;
    int m_nUnit = 0;
    double m_dFactor = 1.0;  // display value = internal value * m_dFactor
    double m_dMin;
    double m_dMax;
    std::vector<double> m_Values;  // internal units
};
