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
// How a rebuild goes:
//   1. length = GetSeriesLength(m_Time), before anything is removed;
//   2. GetExtent(length) says whether the series are drawn; only then does
//      the caller give the series `length` elements;
//   3. Sample(...) with the three columns, the length, the three series (or
//      null when they are not drawn) and the point-to-sample table.
#pragma once

#include <cstdint>

class CDK_ArrayParameter;
class CDWordArray;

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
        EXTENT_EMPTY,     // length <= 0: no sample, and the table is left as it is
        EXTENT_DRAWN,     // 1 ... kSampleBudget samples
        EXTENT_TOO_LONG,  // beyond the budget: points that do not advance are still removed
    };

    // t of the last point of the time column: its internal time truncated
    // toward zero; -2147483648 outside the 32-bit range, -1 for an empty
    // column.
    static int GetLastTime(const CDK_ArrayParameter& time);
    // The number of samples of the series: GetLastTime + 1 in 32-bit
    // wrap-around arithmetic, so a last time of 2147483647 gives
    // -2147483648 and an empty column 0.
    static int GetSeriesLength(const CDK_ArrayParameter& time);
    static tagExtent GetExtent(int length);

    // Computes the preview of the table, changing it where points do not
    // advance: a point whose t is not greater than that of the previous kept
    // point is removed from all three columns (in one pass: the table ends
    // exactly as removing such points one by one leaves it).
    //
    // `pointToSample` gets one element per point of the time column as it
    // was; element i of a kept point i becomes the index of its sample, or
    // 0xFFFFFFFF where that index does not fit 32 bits; the elements from
    // the count left on keep what they held.
    //
    // The series are written only when GetExtent(length) is EXTENT_DRAWN
    // and all three are given, and never beyond `length` elements: when the
    // last time of the table lies below an earlier time, the samples past
    // the end are dropped (the elements not written keep what they held).
    // With length <= 0 nothing is written or removed, and `pointToSample`
    // is only sized.
    //
    // Columns of different lengths (not a table the editor makes): the
    // points are those all three columns have; the values of the longer
    // columns beyond them are kept.
    //
    // Returns the number of samples written: samples 0 ... result - 1.
    static int Sample(CDK_ArrayParameter& time, CDK_ArrayParameter& position, CDK_ArrayParameter& velocity,
                      int length, double* timeSeries, double* positionSeries, double* velocitySeries,
                      CDWordArray& pointToSample);

    // The fixed-point forms of one point, from internal-unit values.
    static std::int32_t TimeOf(double time);
    static std::int32_t PositionOf(double position);
    static std::int32_t VelocityOf(double velocity);
};
