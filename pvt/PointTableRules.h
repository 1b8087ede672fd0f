// CPointTableRules: the rules a PVT point table must keep to be loaded into
// the drive's PVT buffer, with their exact messages: the shape of the table
// (at least two points, columns of one length, point 0 at rest at the
// origin, the last point at rest) and the limits of one segment (its end
// time within the time column's range, at least one whole sampling period
// and at most 511 periods after its start, a position step within the
// signed 24-bit range). All values in internal units.
//
// The one place that knows these limits: CInternalData::CheckPoints (which
// stops at the first problem) and CTrajectoryReport (which lists every
// one) both ask here.
#pragma once

#include "platform/String.h"

#include <cstddef>

class CDK_ArrayParameter;

class CPointTableRules {
public:
    // A segment may last at most 511 sampling periods.
    static constexpr double kMaxTimeStep = 511.0;
    // A segment's position step must fit a signed 24-bit number.
    static constexpr double kMinPositionStep = -8388608.0;
    static constexpr double kMaxPositionStep = 8388607.0;

    static constexpr const char* kTooFewPoints = "Invalid number of points. You should have at least 2 points.";
    static constexpr const char* kBadFirstPoint =
        "Invalid values for first point. It should be (P, V, t)(0) = (0, 0, 0).";
    static constexpr const char* kBadLastPoint = "Invalid values for last point. Last velocity point should be 0.";
    static constexpr const char* kTimeOutOfBounds = "Time value is out of bounds.";

    // The rules with the range of a point's time (the time column's range).
    CPointTableRules(double minTime, double maxTime) : m_dMinTime(minTime), m_dMaxTime(maxTime) {}
    // The rules of a table with this time column.
    static CPointTableRules ForTimeColumn(const CDK_ArrayParameter& time);

    // Whether the three columns, of these lengths, make a table: at least two
    // points, every column as long as the time column.
    static bool HasValidCount(std::size_t times, std::size_t positions, std::size_t velocities);
    // Whether point 0 is (0, 0, 0). Exact comparisons: -0 is 0, a value that
    // is not a number is not.
    static bool IsAtOrigin(double time, double position, double velocity);
    // Whether the last point is at rest.
    static bool IsAtRest(double velocity);
    // Whether a point's time lies in the time column's range (not a number
    // does not).
    bool IsTimeInRange(double t) const { return t >= m_dMinTime && t <= m_dMaxTime; }

    // The first rule point `index` (time t, position p) breaks against the
    // point before it (prevT, prevP), tested in this order: its time out of
    // the range (or not a number), not past the previous whole sampling
    // period, more than kMaxTimeStep after the previous time, its position
    // step beyond the 24-bit range (or not a number). Empty when it keeps
    // them all.
    CString CheckStep(int index, double prevT, double prevP, double t, double p) const;

private:
    double m_dMinTime;
    double m_dMaxTime;
};
