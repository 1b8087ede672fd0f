// CDK_Units: the display units of a drive and their factors to the drive's
// internal units.
//
// Every unit is linear: a value in a display unit is the internal-unit value
// times the unit's factor. The factors follow from the encoder resolution
// (position increments per motor revolution) and the sampling period.
//
//   position: "IU" (increments), "rot", "deg", "rad"
//   velocity: "IU" (increments per sampling period), "rpm", "rot/s", "rad/s"
//   time:     "IU" (sampling periods), "s", "ms"
//   none:     "IU"
#pragma once

#include "kernel/Quantity.h"
#include "platform/String.h"

class CDK_Units {
public:
    // Both arguments must be finite and positive (the setup checks them).
    CDK_Units(double countsPerRevolution = 2000.0, double samplingPeriod = 0.001);

    double GetCountsPerRevolution() const { return m_dCountsPerRevolution; }
    double GetSamplingPeriod() const { return m_dSamplingPeriod; }

    int GetCount(tagQuantity quantity) const;
    // nullptr when index is out of range.
    const char* GetName(tagQuantity quantity, int index) const;
    // Index of the unit called `name` (exact, case-sensitive), or -1.
    int Find(tagQuantity quantity, const char* name) const;
    // Display value = internal value * factor. 1 for an index out of range.
    double GetFactor(tagQuantity quantity, int index) const;
    // "IU, rot, deg or rad": the unit names for a message.
    CString ListNames(tagQuantity quantity) const;

    // "none", "position", "velocity", "time".
    static const char* GetQuantityName(tagQuantity quantity);
    static bool FindQuantity(const char* name, tagQuantity& quantity);

private:
    double m_dCountsPerRevolution;
    double m_dSamplingPeriod;
};
