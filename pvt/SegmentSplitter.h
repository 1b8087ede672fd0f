// CSegmentSplitter: a point table with its long segments divided so that
// every segment meets the drive's limits: at most 511 sampling periods, and
// a position step within the signed 24-bit range (-8388608 ... 8388607
// increments). A table sampled every second on a 1 ms drive has segments of
// 1000 periods, which the drive refuses; divided, it runs the same motion.
//
// A segment beyond either limit is divided into the fewest equal parts that
// meet both: n parts end at the whole times t0 + floor(k dt / n), k = 1 ...
// n-1, so their durations differ by at most one period. The search starts at
// the least n the two limits allow on average (dt / 511, the step / 8388608)
// and takes the next larger n while a part's step, which the cubic's shape
// makes uneven, is still too large; a segment so steep that even parts of
// one period step too far is refused with a message naming its end point.
//
// Each new point lies on the segment's own cubic: the cubic through the
// end positions with the end velocities over the segment's duration, which
// the drive would interpolate, taken from the end values as the drive holds
// them (whole increments, 16.16 velocities) and evaluated exactly, not with
// the drive's truncated fixed-point coefficients: over thousands of periods
// their truncation drifts by increments, and the drive never runs the long
// segment anyway. The new point's position is the cubic's value and its
// velocity the cubic's derivative there, each through its column's clamp
// and quantisation (CPointInput::ClampInternalValue): the position rounded
// to a whole increment, the velocity to the 16.16 step. Dividing a cubic at
// its own points with its own derivatives gives back the same cubic on
// every part, so the drive runs the motion the long segment describes, up
// to the rounding of the new points.
//
// The original points stay exactly as they were, and a table with nothing
// to split comes back unchanged. Segments that do not advance (a whole time
// not after the previous one), and segments with an end time out of the
// time column's range, are not split; the table check reports them.
#pragma once

#include "platform/String.h"
#include "pvt/PointTableRules.h"

#include <cstdint>
#include <vector>

class CDK_ArrayParameter;

class CSegmentSplitter {
public:
    // The segment limits, as the table check knows them.
    static constexpr std::int64_t kMaxPeriods = static_cast<std::int64_t>(CPointTableRules::kMaxTimeStep);
    static constexpr std::int64_t kMinStep = static_cast<std::int64_t>(CPointTableRules::kMinPositionStep);
    static constexpr std::int64_t kMaxStep = static_cast<std::int64_t>(CPointTableRules::kMaxPositionStep);

    // The split table, in internal units.
    struct SResult {
        std::vector<double> time, position, velocity;
        int added = 0;  // new points
    };

    // Splits the points all three columns have. Empty on success; otherwise
    // the message for a segment that cannot be divided, with its end point
    // in `badPoint` (`out` is then unspecified).
    static CString Split(const CDK_ArrayParameter& time, const CDK_ArrayParameter& position,
                         const CDK_ArrayParameter& velocity, SResult& out, int& badPoint);
};
