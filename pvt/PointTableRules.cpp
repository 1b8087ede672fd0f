#include "pvt/PointTableRules.h"

#include "kernel/ArrayParameter.h"

#include <cmath>

CPointTableRules CPointTableRules::ForTimeColumn(const CDK_ArrayParameter& time)
{
    return CPointTableRules(time.GetMinInInternalUnit(), time.GetMaxInInternalUnit());
}

bool CPointTableRules::HasValidCount(std::size_t times, std::size_t positions, std::size_t velocities)
{
    return times > 1 && positions == times && velocities == times;
}

bool CPointTableRules::IsAtOrigin(double time, double position, double velocity)
{
    return time == 0.0 && position == 0.0 && velocity == 0.0;
}

bool CPointTableRules::IsAtRest(double velocity)
{
    return velocity == 0.0;
}

CString CPointTableRules::CheckStep(int index, double prevT, double prevP, double t, double p) const
{
    CString message;
    // A time or position that is not a number would pass every comparison
    // below and reach the drive as garbage: it is refused as out of bounds
    // or too far away.
    if (!IsTimeInRange(t)) {
        message = kTimeOutOfBounds;
    } else if (std::trunc(t) <= std::trunc(prevT)) {
        // Equal or smaller times, and also a time that does not reach the
        // next whole sampling period: segments are sent as differences of
        // the truncated times, so 0.5 after 0 would be a segment of no
        // duration, which the drive cannot interpolate. (The step limit
        // below still compares the times as they are: 511.5 fails.)
        message.Format("Value out of range!\nTime value of point %d is identical with previous point.", index);
    } else if (t - prevT > kMaxTimeStep) {
        message.Format("Value out of range!\nTime value of point %d is too distant from the previous point.", index);
    } else if (p - prevP < kMinPositionStep || p - prevP > kMaxPositionStep || std::isnan(p)) {
        message.Format("Value out of range!\nPosition value of point %d is too far away from the previous point.",
                       index);
    }
    return message;
}
