// Validation of the point table against the limits of one PVT segment.
#include "pvt/InternalData.h"

#include <cmath>

namespace {

// A segment may last at most 511 sampling periods.
constexpr double kMaxTimeStep = 511.0;
// A segment's position step must fit a signed 24-bit number.
constexpr double kMinPositionStep = -8388608.0;
constexpr double kMaxPositionStep = 8388607.0;

}  // namespace

CString CInternalData::CheckPoints(int& badPoint)
{
    const int n = m_Time.GetValuesCount();
    if (n <= 1 || m_Position.GetValuesCount() != n || m_Velocity.GetValuesCount() != n) {
        badPoint = 0;
        return "Invalid number of points. You should have at least 2 points.";
    }
    // Exact comparisons: a value that is not a number is not 0.
    if (!(m_Time.GetValueInInternalUnit(0) == 0.0) || !(m_Position.GetValueInInternalUnit(0) == 0.0) ||
        !(m_Velocity.GetValueInInternalUnit(0) == 0.0)) {
        badPoint = 0;
        return "Invalid values for first point. It should be (P, V, t)(0) = (0, 0, 0).";
    }
    if (!(m_Velocity.GetValueInInternalUnit(n - 1) == 0.0)) {
        badPoint = 0;
        return "Invalid values for last point. Last velocity point should be 0.";
    }

    const double lo = m_Time.GetMinInInternalUnit();
    const double hi = m_Time.GetMaxInInternalUnit();
    double prevT = 0;
    double prevP = 0;
    CString message;
    for (int i = 1; i < n; ++i) {
        const double t = m_Time.GetValueInInternalUnit(i);
        const double p = m_Position.GetValueInInternalUnit(i);
        // A time or position that is not a number would pass every
        // comparison below and reach the drive as garbage: it is refused as
        // out of bounds or too far away.
        if (t < lo || t > hi || std::isnan(t)) {
            message = "Time value is out of bounds.";
        } else if (std::trunc(t) <= std::trunc(prevT)) {
            // Equal or smaller times, and also a time that does not reach the
            // next whole sampling period: segments are sent as differences of
            // the truncated times, so 0.5 after 0 would be a segment of no
            // duration, which the drive cannot interpolate. (The step limit
            // below still compares the times as they are: 511.5 fails.)
            message.Format("Value out of range!\nTime value of point %d is identical with previous point.", i);
        } else if (t - prevT > kMaxTimeStep) {
            message.Format("Value out of range!\nTime value of point %d is too distant from the previous point.", i);
        } else if (p - prevP < kMinPositionStep || p - prevP > kMaxPositionStep || std::isnan(p)) {
            message.Format("Value out of range!\nPosition value of point %d is too far away from the previous point.",
                           i);
        } else {
            prevT = t;
            prevP = p;
            continue;
        }
        badPoint = i;
        return message;
    }
    return CString();
}
