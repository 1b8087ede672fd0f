#include "pvt/VelocityGenerator.h"

#include "kernel/ArrayParameter.h"
#include "pvt/PointInput.h"

#include <algorithm>
#include <cmath>

namespace {

// The whole time of a point, as the drive takes it.
double Whole(double time) { return std::trunc(time); }

// The reciprocal of segment k's duration (from point k to k + 1) and its
// slope divided by its duration.
struct SSegment {
    double reciprocal, slope;
};

inline SSegment SegmentOf(const double* t, const double* p, std::size_t k)
{
    const double r = 1.0 / (Whole(t[k + 1]) - Whole(t[k]));
    return {r, (p[k + 1] - p[k]) * r * r};
}

// The clamped spline's velocities. With v[0] = v[n-1] = 0 the interior
// velocities solve, for i = 1 ... n-2 (h0, h1 the durations before and after
// point i, s0, s1 the slopes of those segments), the continuity of the
// acceleration:
//   v[i-1] / h0 + 2 (1/h0 + 1/h1) v[i] + v[i+1] / h1 = 3 (s0 / h0 + s1 / h1)
// (the usual form divided by h0 h1: one reciprocal per point, no division
// of positions).
//
// Elimination runs from both ends at once toward the middle, two
// independent chains of divisions that the processor overlaps (each step
// waits for the previous one's division). The rows above the middle keep
// v[i] + up[i] v[i+1] = right[i], those below v[i] + down[i] v[i-1] =
// right[i]; at the middle the two rows meeting there give its velocity, and
// substitution runs outward in both directions. `factor` holds up[] and
// down[], `v` the right sides until they are replaced by the velocities.
void Spline(const double* t, const double* p, double* v, double* factor, std::size_t n)
{
    v[0] = 0.0;
    v[n - 1] = 0.0;
    if (n < 3)
        return;
    // Rows 1 ... top from above, rows top + 1 ... last from below. Row i
    // joins segment i - 1 (before it) and segment i (after it); each pass
    // carries the segment its next row shares.
    const std::size_t last = n - 2;
    const std::size_t top = (last + 1) / 2;
    double up = 0.0, upRight = 0.0, down = 0.0, downRight = 0.0;
    SSegment before = SegmentOf(t, p, 0);     // for row i: segment i - 1
    SSegment after = SegmentOf(t, p, last);   // for row j: segment j
    for (std::size_t i = 1, j = last; i <= top; ++i, --j) {
        const SSegment next = SegmentOf(t, p, i);
        const double pivot = 1.0 / (2.0 * (before.reciprocal + next.reciprocal) - before.reciprocal * up);
        upRight = (3.0 * (before.slope + next.slope) - before.reciprocal * upRight) * pivot;
        up = next.reciprocal * pivot;
        factor[i] = up;
        v[i] = upRight;
        before = next;
        if (j > top) {
            const SSegment previous = SegmentOf(t, p, j - 1);
            const double pivotBelow =
                1.0 / (2.0 * (previous.reciprocal + after.reciprocal) - after.reciprocal * down);
            downRight = (3.0 * (previous.slope + after.slope) - after.reciprocal * downRight) * pivotBelow;
            down = previous.reciprocal * pivotBelow;
            factor[j] = down;
            v[j] = downRight;
            after = previous;
        }
    }
    // The middle: v[top] + up v[top+1] = upRight and, when there is a row
    // below it, v[top+1] + down v[top] = downRight.
    if (top < last) {
        v[top] = (upRight - up * downRight) / (1.0 - up * down);
        v[top + 1] = downRight - down * v[top];
    }
    // Rows top - 1 ... 1 upward, rows top + 2 ... last downward.
    std::size_t i = top, j = top + 1;
    for (; i > 1 && j < last; --i, ++j) {
        v[i - 1] -= factor[i - 1] * v[i];
        v[j + 1] -= factor[j + 1] * v[j];
    }
    for (; i > 1; --i)
        v[i - 1] -= factor[i - 1] * v[i];
    for (; j < last; ++j)
        v[j + 1] -= factor[j + 1] * v[j];
}

// The monotone velocities: 0 at the ends and where the neighbouring slopes
// do not share a sign, else their weighted harmonic mean.
void Monotone(const double* t, const double* p, double* v, std::size_t n)
{
    v[0] = 0.0;
    v[n - 1] = 0.0;
    if (n < 3)
        return;
    double h0 = Whole(t[1]) - Whole(t[0]);
    double s0 = (p[1] - p[0]) / h0;
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double h1 = Whole(t[i + 1]) - Whole(t[i]);
        const double s1 = (p[i + 1] - p[i]) / h1;
        if ((s0 > 0.0 && s1 > 0.0) || (s0 < 0.0 && s1 < 0.0)) {
            const double w0 = 2.0 * h1 + h0;
            const double w1 = h1 + 2.0 * h0;
            v[i] = (w0 + w1) / (w0 / s0 + w1 / s1);
        } else {
            v[i] = 0.0;
        }
        h0 = h1;
        s0 = s1;
    }
}

}  // namespace

const char* CVelocityGenerator::GetMethodName(tagMethod method)
{
    return method == METHOD_MONOTONE ? "monotone" : "spline";
}

bool CVelocityGenerator::FindMethod(std::string_view name, tagMethod& method)
{
    for (const tagMethod candidate : {METHOD_SPLINE, METHOD_MONOTONE})
        if (name == GetMethodName(candidate)) {
            method = candidate;
            return true;
        }
    return false;
}

CString CVelocityGenerator::CheckTimes(std::span<const double> time, int& badPoint)
{
    // Blocks are checked without a branch per point; the first block with
    // a fault is then searched for it.
    constexpr std::size_t kBlock = 1024;
    const std::size_t n = time.size();
    for (std::size_t first = 1; first < n; first += kBlock) {
        const std::size_t end = std::min(n, first + kBlock);
        bool advances = true;
        for (std::size_t i = first; i < end; ++i)
            advances &= Whole(time[i]) > Whole(time[i - 1]);  // false also for a time that is not a number
        if (advances)
            continue;
        std::size_t i = first;
        while (Whole(time[i]) > Whole(time[i - 1]))
            ++i;
        CString message;
        message.Format("Value out of range!\nTime value of point %d is identical with previous point.",
                       static_cast<int>(i));
        badPoint = static_cast<int>(i);
        return message;
    }
    return CString();
}

void CVelocityGenerator::Compute(tagMethod method, std::span<const double> time, std::span<const double> position,
                                 std::span<double> velocity)
{
    const std::size_t n = std::min({time.size(), position.size(), velocity.size()});
    if (n == 0)
        return;
    if (method == METHOD_MONOTONE) {
        Monotone(time.data(), position.data(), velocity.data(), n);
        return;
    }
    if (m_Work.size() < n)
        m_Work.resize(n);
    Spline(time.data(), position.data(), velocity.data(), m_Work.data(), n);
}

CString CVelocityGenerator::Generate(tagMethod method, const CDK_ArrayParameter& time,
                                     const CDK_ArrayParameter& position, const CDK_ArrayParameter& velocityColumn,
                                     std::vector<double>& out, int& badPoint)
{
    const std::size_t n = std::min({time.GetValuesInInternalUnit().size(), position.GetValuesInInternalUnit().size(),
                                    velocityColumn.GetValuesInInternalUnit().size()});
    const std::span<const double> times(time.GetValuesInInternalUnit().data(), n);
    if (CString message = CheckTimes(times, badPoint); !message.IsEmpty())
        return message;
    // A position step no double holds (1.7e308 to -1.7e308) would make
    // every velocity not a number, which the column's rule then stores as 0.
    // Only positions beyond half the largest double (or not numbers) can
    // make one: a pass without branches looks for those first.
    const double* const p = position.GetValuesInInternalUnit().data();
    bool huge = false;
    for (std::size_t i = 0; i < n; ++i)
        huge |= !(std::fabs(p[i]) <= 0x1p1023);
    for (std::size_t i = 1; huge && i < n; ++i) {
        if (!std::isfinite(p[i] - p[i - 1])) {
            badPoint = static_cast<int>(i);
            CString message;
            message.Format("the position step to point %d is too large to compute velocities from", badPoint);
            return message;
        }
    }
    out.resize(n);
    Compute(method, times, std::span<const double>(position.GetValuesInInternalUnit().data(), n), out);
    CPointInput::ClampInternalValues(velocityColumn, out);
    return CString();
}
