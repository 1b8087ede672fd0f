// CVelocityGenerator: the velocity of every point of a table computed from
// its times and positions, for users who have positions over time (a cam
// profile, a planner's path, a spreadsheet) and no velocities that fit them.
//
// Two methods, both in time linear in the points:
//   spline    the clamped cubic spline through the points, with velocity 0
//             at the first and the last point. The velocities are the
//             spline's first derivatives at the points, so velocity and
//             acceleration are continuous at every interior point. The
//             tridiagonal system of the spline's continuity conditions is
//             solved by elimination without pivoting, which is stable here:
//             the system is strictly diagonally dominant.
//   monotone  velocities that never make a segment overshoot the positions
//             at its ends. At an interior point: 0 where the slopes of the
//             two neighbouring segments differ in sign or one is 0;
//             otherwise the weighted harmonic mean of the two slopes with
//             the weights w1 = 2 h1 + h0 (on the slope before) and
//             w2 = h1 + 2 h0 (on the slope after), h0 and h1 the durations
//             of the segments before and after. That keeps each velocity
//             below three times either slope, inside the region where a
//             cubic segment stays monotone. First and last point 0.
//
// Times and positions are read in internal units: a segment lasts the
// difference of its whole times (the times truncated, as the drive takes
// them), positions are increments. Every point must pass the previous one
// by at least one whole sampling period; otherwise nothing is computed and
// the message is the table check's for that point.
//
// The velocities are stored as the drive holds them: through the velocity
// column's clamp and quantisation (CPointInput::ClampInternalValues), so
// each is exactly a 16.16 value within the column's limits.
//
// A generator keeps its working memory from one run to the next; the table
// is never changed: the result goes to a separate vector.
#pragma once

#include "platform/String.h"

#include <span>
#include <string_view>
#include <vector>

class CDK_ArrayParameter;

class CVelocityGenerator {
public:
    enum tagMethod { METHOD_SPLINE, METHOD_MONOTONE };

    // "spline", "monotone".
    static const char* GetMethodName(tagMethod method);
    static bool FindMethod(std::string_view name, tagMethod& method);

    // Empty when every point's whole time passes the previous point's;
    // otherwise the table check's message for the first point that does not
    // ("... Time value of point 3 is identical with previous point."), with
    // that point in `badPoint`.
    static CString CheckTimes(std::span<const double> time, int& badPoint);

    // The velocities in increments per sampling period, not quantised, one
    // per point: `velocity` has as many elements as `time` and `position`
    // (the times must pass CheckTimes).
    void Compute(tagMethod method, std::span<const double> time, std::span<const double> position,
                 std::span<double> velocity);

    // CheckTimes, then Compute over the points all three columns have, each
    // velocity clamped and quantised as `velocityColumn` stores it. `out`
    // receives one velocity per point in internal units, ready for the
    // column's SetValuesInInternalUnit; it is left alone when the times do
    // not pass (the message is returned then).
    CString Generate(tagMethod method, const CDK_ArrayParameter& time, const CDK_ArrayParameter& position,
                     const CDK_ArrayParameter& velocityColumn, std::vector<double>& out, int& badPoint);

private:
    std::vector<double> m_Work;  // the elimination's factors
};
