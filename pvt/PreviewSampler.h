// CPreviewSampler: the trajectory of a point table, sample for sample as the
// drive interpolates it, for the editor's preview graph and for
// `motionhost preview`. No window system: the caller owns the series and
// draws them.
//
// One sample per sampling period from point 0 to the last point. Between two
// points the segment's cubic (end positions and end velocities over the
// segment's duration) is evaluated by forward differences in 64-bit integer
// arithmetic with 32 fractional bits, exactly as the drive does; at the
// sample of each point the series hold the point's own values in the
// selected display units.
//
// Fixed-point forms of a point, from its internal-unit values:
//   t  whole sampling periods, 32-bit signed (truncated toward zero);
//   p  whole increments, the low 32 bits of the value truncated toward zero
//      to 64 bits;
//   f  the velocity in 16.16 fixed point, floor(v * 65536.0 + 0.5): rounded
//      to the nearest 1/65536 increment per period, halves upward.
// A value that does not fit its integer (a time or velocity outside the
// 32-bit range, a position outside the 64-bit range, or not a number) gives
// the most negative integer, as the processor's own conversion does; for a
// position only its low 32 bits are used, which are then 0.
//
// Sample takes a read-only view of the table (STrajectoryTable) and fills a
// separate output; it never changes the table. Removing the points that do
// not advance from the columns is a step of its own (RemovePoints), which a
// rebuild makes right after sampling (CPreviewBuilder runs the whole
// sequence for the editor and `motionhost`).
#pragma once

#include "pvt/TrajectoryTable.h"

#include <cstdint>
#include <span>
#include <vector>

class CDK_ArrayParameter;

class CPreviewSampler {
public:
    // The longest series drawn: 5 * 10^7 samples, a motion of almost 14
    // hours at 1 ms. Three series of doubles take 1.2 GB then, twice that
    // for a moment while a longer table replaces a shorter one; sampling
    // them takes about 0.2 s, but first touching that much new memory takes
    // seconds, and a rebuild follows every edit. Longer motions are not
    // drawn ("too long to draw"); their table stays editable.
    static constexpr int kSampleBudget = 50000000;

    enum tagExtent {
        EXTENT_EMPTY,     // length <= 0: no sample, and no point is dropped
        EXTENT_DRAWN,     // 1 ... kSampleBudget samples
        EXTENT_TOO_LONG,  // beyond the budget: the points that do not advance are still found
    };

    // A sample index that does not fit 32 bits.
    static constexpr std::uint32_t kNoSample = 0xFFFFFFFF;

    // What Sample gives. The caller sizes the series and reuses the
    // structure from one run to the next (the vectors keep their room).
    struct SSamples {
        // Where the samples go: three series of at least `length` elements,
        // or none (empty spans) when they are not drawn.
        std::span<double> time, position, velocity;

        // Filled by Sample:
        tagExtent extent = EXTENT_EMPTY;  // GetExtent(length)
        int written = 0;                  // samples written: 0 ... written - 1
        // One element per point kept: the index of its sample, or kNoSample
        // where that does not fit 32 bits.
        std::vector<std::uint32_t> pointToSample;
        // The points that do not advance, ascending: each one's whole time is
        // not greater than that of the point kept before it.
        std::vector<int> dropped;
    };

    // t of the last point of the time column: its internal time truncated
    // toward zero; -2147483648 outside the 32-bit range, -1 for an empty
    // column.
    static int GetLastTime(const STrajectoryTable& table);
    // The number of samples of the series: GetLastTime + 1 in 32-bit
    // wrap-around arithmetic, so a last time of 2147483647 gives
    // -2147483648 and an empty column 0.
    static int GetSeriesLength(const STrajectoryTable& table);
    static tagExtent GetExtent(int length);

    // Computes the preview of `table` over `length` samples (a rebuild takes
    // GetSeriesLength of the table, before anything is removed).
    //
    // The series are written only when GetExtent(length) is EXTENT_DRAWN and
    // each of the three holds `length` elements, and never beyond `length`:
    // when the last time of the table lies below an earlier time, the
    // samples past the end are dropped (the elements not written keep what
    // they held). With length <= 0 nothing is written, found or dropped.
    //
    // Columns of different lengths: the points are those all three columns
    // have.
    static void Sample(const STrajectoryTable& table, int length, SSamples& out);

    // Removes the points at `dropped` (ascending indices, inside every
    // column) from all three columns, in one pass each: the table ends
    // exactly as removing them one by one leaves it. Indices out of order or
    // outside a column throw CInvalidArgException before anything changes.
    static void RemovePoints(CDK_ArrayParameter& time, CDK_ArrayParameter& position, CDK_ArrayParameter& velocity,
                             std::span<const int> dropped);

    // The fixed-point forms of one point, from internal-unit values.
    static std::int32_t TimeOf(double time);
    static std::int32_t PositionOf(double position);
    static std::int32_t VelocityOf(double velocity);
};
