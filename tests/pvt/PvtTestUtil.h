// Helpers shared by the PVT record tests.
#pragma once

#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pvt_test {

// The validation messages, as the record's callers show them.
inline const std::string kTooFewPoints = "Invalid number of points. You should have at least 2 points.";
inline const std::string kBadFirstPoint = "Invalid values for first point. It should be (P, V, t)(0) = (0, 0, 0).";
inline const std::string kBadLastPoint = "Invalid values for last point. Last velocity point should be 0.";
inline const std::string kTimeOutOfBounds = "Time value is out of bounds.";

inline std::string TimeNotIncreasing(int point)
{
    return "Value out of range!\nTime value of point " + std::to_string(point) + " is identical with previous point.";
}
inline std::string TimeTooDistant(int point)
{
    return "Value out of range!\nTime value of point " + std::to_string(point) +
           " is too distant from the previous point.";
}
inline std::string PositionTooFar(int point)
{
    return "Value out of range!\nPosition value of point " + std::to_string(point) +
           " is too far away from the previous point.";
}

// The kernel's message for a point column that does not fit the table.
inline std::string BadColumn(const char* key)
{
    return std::string("Parameter \"") + key +
           "\": invalid point data (each column needs one value per point; the first point is 0 and the last "
           "velocity is 0).\n";
}

inline std::string Str(const CString& text) { return std::string(text.View()); }

// A record on the embedded default drive (2000 increments/rev, 1 ms).
struct Record {
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data{setup, motion};

    // Reads `text`; the collected errors, or "" on success.
    std::string Read(const std::string& text)
    {
        CString params(text.c_str());
        CString errors;
        const BOOL ok = data.ReadParameters(params, errors);
        // Success is exactly an empty error text.
        EXPECT_EQ(ok != 0, errors.IsEmpty()) << Str(errors);
        return Str(errors);
    }
    std::string Write()
    {
        CString params;
        data.WriteParameters(params);
        return Str(params);
    }
    // Replaces the three columns (internal units) of a record that was read,
    // so that the columns are bound and the time limits set.
    void SetColumns(std::vector<double> t, std::vector<double> p, std::vector<double> v)
    {
        data.m_Time.SetValuesInInternalUnit(std::move(t));
        data.m_Position.SetValuesInInternalUnit(std::move(p));
        data.m_Velocity.SetValuesInInternalUnit(std::move(v));
    }
};

}  // namespace pvt_test
