#include "pvt/SegmentSplitter.h"

#include "kernel/ArrayParameter.h"
#include "pvt/PointInput.h"
#include "pvt/PreviewSampler.h"

#include <algorithm>
#include <cmath>

namespace {

using u64 = std::uint64_t;
using i64 = std::int64_t;

// Parts tried one by one above the least count before the search doubles.
constexpr i64 kLinearTries = 8;

// A segment's cubic: the cubic through the end positions with the end
// velocities over the segment's duration, from the end values as the drive
// takes them (whole increments, 16.16 velocities), evaluated exactly (in
// doubles: errors near 1e-6 increments) at k periods from its start.
class CSegmentCubic {
public:
    CSegmentCubic(double p0, double v0, double p1, double v1, i64 dt)
        : m_p0(CPreviewSampler::PositionOf(p0)), m_v0(CPreviewSampler::VelocityOf(v0) / 65536.0),
          m_dt(static_cast<double>(dt))
    {
        const double v1Held = CPreviewSampler::VelocityOf(v1) / 65536.0;
        const double step = static_cast<double>(CPreviewSampler::PositionOf(p1)) - m_p0;
        m_c2 = 3.0 * step - (2.0 * m_v0 + v1Held) * m_dt;  // times s^2, s = k / dt
        m_c3 = (m_v0 + v1Held) * m_dt - 2.0 * step;       // times s^3
    }

    double PositionAt(i64 k) const
    {
        const double s = static_cast<double>(k) / m_dt;
        return m_p0 + m_v0 * static_cast<double>(k) + s * s * (m_c2 + s * m_c3);
    }

    double VelocityAt(i64 k) const
    {
        const double s = static_cast<double>(k) / m_dt;
        return m_v0 + s * (2.0 * m_c2 + 3.0 * s * m_c3) / m_dt;
    }

private:
    double m_p0, m_v0, m_dt, m_c2, m_c3;
};

struct SColumns {
    const CDK_ArrayParameter& time;
    const CDK_ArrayParameter& position;
    const CDK_ArrayParameter& velocity;
};

bool StepFits(double step)
{
    return step >= static_cast<double>(CSegmentSplitter::kMinStep) &&
           step <= static_cast<double>(CSegmentSplitter::kMaxStep);
}

// The split table back to its first `mark` points.
void Truncate(CSegmentSplitter::SResult& out, std::size_t mark)
{
    out.time.resize(mark);
    out.position.resize(mark);
    out.velocity.resize(mark);
}

// The n - 1 inner points of a segment from (t0, p0) to p1 divided into n
// parts, appended to `out`; false (with `out` as it was) when a part's
// position step does not fit.
bool TryParts(const CSegmentCubic& cubic, const SColumns& columns, i64 t0, i64 dt, double p0, double p1, i64 n,
              CSegmentSplitter::SResult& out)
{
    const std::size_t mark = out.time.size();
    double previous = p0;
    for (i64 k = 1; k < n; ++k) {
        // k dt < 2^64, since dt < 2^32 and k < n <= dt; the quotient is
        // below dt.
        const u64 offset = static_cast<u64>(k) * static_cast<u64>(dt) / static_cast<u64>(n);
        const double position = CPointInput::ClampInternalValue(columns.position, cubic.PositionAt(static_cast<i64>(offset)));
        if (!StepFits(position - previous))
            break;
        previous = position;
        const double time = static_cast<double>(t0 + static_cast<i64>(offset));
        out.time.push_back(CPointInput::ClampInternalValue(columns.time, time));
        out.position.push_back(position);
        out.velocity.push_back(CPointInput::ClampInternalValue(columns.velocity, cubic.VelocityAt(static_cast<i64>(offset))));
    }
    if (out.time.size() - mark == static_cast<std::size_t>(n - 1) && StepFits(p1 - previous))
        return true;
    Truncate(out, mark);
    return false;
}

// Appends the inner points of the fewest parts that fit: false when even
// parts of one period do not.
bool DivideSegment(const CSegmentCubic& cubic, const SColumns& columns, i64 t0, i64 dt, double p0, double p1,
                   CSegmentSplitter::SResult& out)
{
    const double step = std::fabs(p1 - p0);
    const i64 byTime = (dt + CSegmentSplitter::kMaxPeriods - 1) / CSegmentSplitter::kMaxPeriods;
    const double byStep = std::ceil(step / -static_cast<double>(CSegmentSplitter::kMinStep));
    i64 n = std::max<i64>({2, byTime, byStep < static_cast<double>(dt) ? static_cast<i64>(byStep) : dt});
    n = std::min(n, dt);
    const auto fits = [&](i64 parts) { return TryParts(cubic, columns, t0, dt, p0, p1, parts, out); };
    // Whether a count fits, with `out` left as it was either way.
    const auto fitsAlone = [&](i64 parts) {
        const std::size_t mark = out.time.size();
        if (!fits(parts))
            return false;
        Truncate(out, mark);
        return true;
    };
    // The first few counts one by one: the average almost always fits.
    const i64 linearEnd = std::min(dt, n + kLinearTries);
    for (; n <= linearEnd; ++n)
        if (fits(n))
            return true;
    // Then doubling to a count that fits, and halving the interval between
    // the last that did not and the first that did.
    i64 failed = n - 1;
    i64 found = 0;
    for (i64 next = 2 * failed; found == 0 && failed < dt; next = 2 * failed) {
        const i64 parts = std::min(next, dt);
        if (fitsAlone(parts)) {
            found = parts;
        } else {
            failed = parts;
        }
    }
    if (found == 0)
        return false;
    while (found - failed > 1) {
        const i64 middle = failed + (found - failed) / 2;
        if (fitsAlone(middle)) {
            found = middle;
        } else {
            failed = middle;
        }
    }
    return fits(found);
}

}  // namespace

CString CSegmentSplitter::Split(const CDK_ArrayParameter& time, const CDK_ArrayParameter& position,
                                const CDK_ArrayParameter& velocity, SResult& out, int& badPoint)
{
    const std::vector<double>& t = time.GetValuesInInternalUnit();
    const std::vector<double>& p = position.GetValuesInInternalUnit();
    const std::vector<double>& v = velocity.GetValuesInInternalUnit();
    const std::size_t n = std::min({t.size(), p.size(), v.size()});
    out = SResult();
    out.time.reserve(n);
    out.position.reserve(n);
    out.velocity.reserve(n);
    const SColumns columns{time, position, velocity};
    const CPointTableRules rules = CPointTableRules::ForTimeColumn(time);
    for (std::size_t i = 0; i < n; ++i) {
        // A segment with an end out of the time column's range is left as it
        // is (the table check reports it): new points would be clamped into
        // the range, away from the cubic.
        if (i > 0 && rules.IsTimeInRange(t[i - 1]) && rules.IsTimeInRange(t[i])) {
            const i64 t0 = CPreviewSampler::TimeOf(t[i - 1]);
            const i64 dt = static_cast<i64>(CPreviewSampler::TimeOf(t[i])) - t0;
            const double step = p[i] - p[i - 1];
            if (dt > 0 && (dt > kMaxPeriods || !StepFits(step))) {
                const std::size_t before = out.time.size();
                const CSegmentCubic cubic(p[i - 1], v[i - 1], p[i], v[i], dt);
                if (!DivideSegment(cubic, columns, t0, dt, p[i - 1], p[i], out)) {
                    badPoint = static_cast<int>(i);
                    CString message;
                    message.Format("the segment that ends at point %d moves by more than %lld increments within "
                                   "one sampling period, even divided into parts of one period",
                                   badPoint, static_cast<long long>(kMaxStep));
                    return message;
                }
                out.added += static_cast<int>(out.time.size() - before);
            }
        }
        out.time.push_back(t[i]);
        out.position.push_back(p[i]);
        out.velocity.push_back(v[i]);
    }
    return CString();
}
