// CDK_Value: a value as a drive variable of a given type holds it.
//
// SetValue rounds to the nearest value the type can hold, saturates at the
// type's range, and stores 0 for NaN. Halves round away from zero for the
// integer types and upward for the 16.16 fixed-point type (floor(v * 65536 +
// 0.5), as the drive and the preview take a velocity: -2.5/65536 becomes
// -2/65536). GetValue gives the stored value, converted the same way when
// read as another type.
#pragma once

#include "kernel/VarType.h"

class CDK_Value {
public:
    CDK_Value() = default;

    void SetValue(tagVarType type, double value);
    double GetValue(tagVarType type) const;

    // The value of `value` as type `type` holds it (what SetValue then
    // GetValue give).
    static double Quantize(tagVarType type, double value);
    // True when the type holds `value` up to its resolution: the value
    // rounds to one within the type's range, so storing it does not
    // saturate. False for NaN and infinities.
    static bool Holds(tagVarType type, double value);
    // Range and resolution of a type, in internal units.
    static double GetTypeMin(tagVarType type);
    static double GetTypeMax(tagVarType type);
    static double GetTypeResolution(tagVarType type);  // 1, or 1/65536 for DK_FIXED
    // Names used in setup files: "int16", "uint16", "int32", "uint32", "fixed".
    static const char* GetTypeName(tagVarType type);
    static bool FindType(const char* name, tagVarType& type);

private:
    double m_dValue = 0.0;  // already quantised to m_Type
    tagVarType m_Type = DK_INT32;
};
