// CPointInput: the rules for a point value a user types or a file holds,
// shared by the editor's point fields and the file import.
//
// A value is read with the runtime's "%lf" (leading blank space skipped,
// text after the number ignored, so "1,5" reads as 1 and "0x1p3" as 8),
// then clamped to its column's limits and reduced to what the column's
// drive data type holds.
//
// A number that is not finite ("nan", "inf", "-inf", or "1e999", which
// reads as an infinity) counts as no number: a field holding one makes its
// command do nothing, like a field holding text. The clamp alone would let a
// NaN through (it compares false with both limits, and the drive type would
// then silently store 0) and would turn an infinity into a limit the user
// never typed.
#pragma once

#include "kernel/ArrayParameter.h"
#include "platform/Types.h"

#include <span>

class CPointInput {
public:
    // Clamps a value in the column's display unit to the column's limits
    // (GetMin, GetMax), then reduces it, in internal units, to what the
    // column's drive data type holds, and gives it back in the display unit.
    static void ClampToParameter(const CDK_ArrayParameter& param, double& value);

    // For values computed in internal units (velocities from positions,
    // points on a segment's cubic): each value becomes, bit for bit, what
    // the column stores when the value is shown in its display unit, clamped
    // with ClampToParameter and set: IUToUnit, ClampToParameter, UnitToIU.
    // One value, and a whole span in place (the 16.16 type, a velocity
    // column, takes a fast path of the same arithmetic).
    static double ClampInternalValue(const CDK_ArrayParameter& param, double value);
    static void ClampInternalValues(const CDK_ArrayParameter& param, std::span<double> values);

    // Reads one number from the start of `text` ("%lf"). FALSE, `value`
    // untouched, when the text does not begin with a number or the number
    // is not finite.
    static BOOL ReadNumber(const char* text, double& value);

    // A point field: ReadNumber, then ClampToParameter with `param`.
    static BOOL ReadField(const CDK_ArrayParameter& param, const char* text, double& value);
    // The time field: ReadField, and TRUE only when the clamped time is not
    // negative.
    static BOOL ReadTimeField(const CDK_ArrayParameter& time, const char* text, double& value);
};
