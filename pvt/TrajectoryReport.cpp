#include "pvt/TrajectoryReport.h"

#include "pvt/InternalData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using SResult = CTrajectoryReport::SResult;
using SSegment = CTrajectoryReport::SSegment;

// The samples taken at a time: enough for many segments of the longest valid
// duration, small enough to stay in the processor's caches between the
// sampling and the scan. A longer segment (only an invalid table has one)
// gets a larger piece of its own.
constexpr std::int64_t kPieceSamples = std::int64_t{1} << 13;

void FindProblems(const STrajectoryTable& table, const CPointTableRules& rules, SResult& result)
{
    const auto add = [&result](int point, const CString& message) { result.problems.push_back({point, message}); };
    const int n = table.GetPointCount();
    if (!CPointTableRules::HasValidCount(table.time.size(), table.position.size(), table.velocity.size()))
        add(0, CPointTableRules::kTooFewPoints);
    if (n >= 1 && !CPointTableRules::IsAtOrigin(table.time[0], table.position[0], table.velocity[0]))
        add(0, CPointTableRules::kBadFirstPoint);
    if (n >= 1 && !CPointTableRules::IsAtRest(table.velocity[static_cast<std::size_t>(n - 1)]))
        add(0, CPointTableRules::kBadLastPoint);
    for (int i = 1; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const CString message =
            rules.CheckStep(i, table.time[at - 1], table.position[at - 1], table.time[at], table.position[at]);
        if (!message.IsEmpty())
            add(i, message);
    }
}

// The extremes of one segment's samples first ... last (internal units): of
// the velocities, of their changes (from first + 1 on) and of the positions
// (from first + 1 on). A value that is not a number takes no part; with none
// at all the largest stays below the smallest.
struct SExtremes {
    double maxVelocity = -HUGE_VAL, minVelocity = HUGE_VAL;
    double maxChange = -HUGE_VAL, minChange = HUGE_VAL;
    double maxPosition = -HUGE_VAL, minPosition = HUGE_VAL;
};

void Take(SExtremes& x, double previous, double velocity, double position)
{
    // Written as `a > b ? a : b`: a NaN `a` loses.
    const auto max = [](double a, double b) { return a > b ? a : b; };
    const auto min = [](double a, double b) { return a < b ? a : b; };
    x.maxVelocity = max(velocity, x.maxVelocity);
    x.minVelocity = min(velocity, x.minVelocity);
    const double change = velocity - previous;
    x.maxChange = max(change, x.maxChange);
    x.minChange = min(change, x.minChange);
    x.maxPosition = max(position, x.maxPosition);
    x.minPosition = min(position, x.minPosition);
}

// One pass over the segment, four samples at a time where the processor
// can: maxima and minima only, no branch per sample; where a figure lies is
// looked up afterwards, in the few places it is needed.
//
// The points' own samples (first and last) hold the table's values, which
// may be anything, NaN included: they are taken one by one. The samples
// between them are the drive's integers and 16.16 values, never NaN, so
// there each maximum keeps its accumulator in place.
SExtremes Reduce(const double* p, const double* v, std::int64_t first, std::int64_t last)
{
    SExtremes x;
    if (!std::isnan(v[first]))
        x.maxVelocity = x.minVelocity = v[first];
    if (last == first)
        return x;
    Take(x, v[first], v[first + 1], p[first + 1]);
    std::int64_t k = first + 2;
#if defined(__SSE2__)
    // Two sets of accumulators: a maximum waits for the one before it, and
    // two chains keep the processor busy while it waits.
    struct SLanes {
        __m128d maxV, minV, maxC, minC, maxP, minP;
    };
    SLanes lanes[2];
    for (SLanes& l : lanes) {
        l.maxV = l.maxC = l.maxP = _mm_set1_pd(-HUGE_VAL);
        l.minV = l.minC = l.minP = _mm_set1_pd(HUGE_VAL);
    }
    const auto take = [&](SLanes& l, std::int64_t at) {
        const __m128d velocity = _mm_loadu_pd(v + at);
        const __m128d change = _mm_sub_pd(velocity, _mm_loadu_pd(v + at - 1));
        const __m128d position = _mm_loadu_pd(p + at);
        l.maxV = _mm_max_pd(l.maxV, velocity);
        l.minV = _mm_min_pd(l.minV, velocity);
        l.maxC = _mm_max_pd(l.maxC, change);
        l.minC = _mm_min_pd(l.minC, change);
        l.maxP = _mm_max_pd(l.maxP, position);
        l.minP = _mm_min_pd(l.minP, position);
    };
    for (; k + 4 <= last; k += 4) {  // samples k ... k + 3, all before `last`
        take(lanes[0], k);
        take(lanes[1], k + 2);
    }
    // (No NaN on either side here: the accumulators start at infinities.)
    const auto high = [](__m128d x2) { return _mm_cvtsd_f64(_mm_unpackhi_pd(x2, x2)); };
    const auto low = [](__m128d x2) { return _mm_cvtsd_f64(x2); };
    const auto max = [&](__m128d SLanes::*field, double& into) {
        const __m128d both = _mm_max_pd(lanes[0].*field, lanes[1].*field);
        into = std::max({low(both), high(both), into});
    };
    const auto min = [&](__m128d SLanes::*field, double& into) {
        const __m128d both = _mm_min_pd(lanes[0].*field, lanes[1].*field);
        into = std::min({low(both), high(both), into});
    };
    max(&SLanes::maxV, x.maxVelocity);
    min(&SLanes::minV, x.minVelocity);
    max(&SLanes::maxC, x.maxChange);
    min(&SLanes::minC, x.minChange);
    max(&SLanes::maxP, x.maxPosition);
    min(&SLanes::minP, x.minPosition);
#endif
    for (; k <= last; ++k)
        Take(x, v[k - 1], v[k], p[k]);
    return x;
}

// Where a figure lies: the first sample k of first ... last - 1 whose value
// (or change from the sample before, for ChangeAt) is `value`, or `last`
// (where the figure then is). Two samples at a time where the processor can.
std::int64_t ValueAt(const double* x, std::int64_t first, std::int64_t last, double value)
{
    std::int64_t k = first;
#if defined(__SSE2__)
    const __m128d wanted = _mm_set1_pd(value);
    for (; k + 1 < last; k += 2)
        if (const int mask = _mm_movemask_pd(_mm_cmpeq_pd(_mm_loadu_pd(x + k), wanted)))
            return k + ((mask & 1) ? 0 : 1);
#endif
    for (; k < last; ++k)
        if (x[k] == value)
            return k;
    return last;
}

std::int64_t ChangeAt(const double* v, std::int64_t first, std::int64_t last, double value)
{
    std::int64_t k = first;
#if defined(__SSE2__)
    const __m128d wanted = _mm_set1_pd(value);
    for (; k + 1 < last; k += 2) {
        const __m128d change = _mm_sub_pd(_mm_loadu_pd(v + k), _mm_loadu_pd(v + k - 1));
        if (const int mask = _mm_movemask_pd(_mm_cmpeq_pd(change, wanted)))
            return k + ((mask & 1) ? 0 : 1);
    }
#endif
    for (; k < last; ++k)
        if (v[k] - v[k - 1] == value)
            return k;
    return last;
}

// The signed extreme of the larger magnitude; on a tie, the one that comes
// first (`at(value)` finds where a value is).
template <class F>
double Peak(double largest, double smallest, F at)
{
    if (!(largest >= smallest))
        return 0.0;  // no number at all
    if (largest > -smallest)
        return largest;
    if (-smallest > largest)
        return smallest;
    return at(largest) <= at(smallest) ? largest : smallest;
}

// The analysis of the samples: the table is sampled in internal units, a
// piece of whole segments at a time, and every segment scanned right after.
class CSampleAnalysis {
public:
    CSampleAnalysis(const STrajectoryTable& table, const CTrajectoryReport::SLimits& limits, int length,
                    SResult& result)
        : m_Table(table), m_Limits(limits), m_Whole(result.workspace.whole), m_nLength(length), m_Result(result),
          m_Time(result.workspace.time), m_Position(result.workspace.position), m_Velocity(result.workspace.velocity),
          m_Piece(result.workspace.piece)
    {
        m_Internal = table;
        m_Internal.timeFactor = m_Internal.positionFactor = m_Internal.velocityFactor = 1.0;
    }

    void Run();

private:
    void SamplePiece(std::size_t first, std::size_t last, std::int64_t samples);
    void ScanSegment(std::size_t segment, std::int64_t pieceStart);
    void TakeVelocity(SSegment& segment, const SExtremes& x, std::int64_t first, std::int64_t last);
    void TakeAcceleration(SSegment& segment, const SExtremes& x, std::int64_t first, std::int64_t last);
    void TakeOvershoot(SSegment& segment, const SExtremes& x, std::int64_t first, std::int64_t last);

    const STrajectoryTable& m_Table;
    const CTrajectoryReport::SLimits& m_Limits;
    const CPreviewSampler::SSamples& m_Whole;  // which points are kept, and their samples
    int m_nLength;
    SResult& m_Result;
    STrajectoryTable m_Internal;
    std::vector<double>& m_Time;
    std::vector<double>& m_Position;
    std::vector<double>& m_Velocity;
    CPreviewSampler::SSamples& m_Piece;
};

void CSampleAnalysis::Run()
{
    const std::vector<std::uint32_t>& at = m_Whole.pointToSample;
    const std::int64_t lastSample = m_nLength - 1;
    // Sample 0 on its own: the peaks start there (a trajectory of one sample
    // has a velocity and no acceleration: 0, as in the preview's CSV).
    const double tf = m_Table.timeFactor;
    const double v0 = m_Table.velocity[0] * m_Table.velocityFactor;
    m_Result.peakVelocity = CTrajectoryReport::SPeak{std::isnan(v0) ? 0.0 : v0, m_Table.time[0] * tf};
    m_Result.peakAcceleration = CTrajectoryReport::SPeak{0.0, m_Table.time[0] * tf};
    std::size_t first = 0;  // the first segment of the piece, and its start point's place in `at`
    while (first < m_Result.segments.size() && at[first] < lastSample) {
        // Whole segments up to kPieceSamples samples, at least one.
        std::size_t last = first;
        while (last + 1 < m_Result.segments.size() && at[last + 2] - at[first] < kPieceSamples &&
               at[last + 1] < lastSample)
            ++last;
        const std::int64_t end = std::min<std::int64_t>(at[last + 1], lastSample);
        SamplePiece(first, last, end - at[first] + 1);
        for (std::size_t s = first; s <= last; ++s)
            ScanSegment(s, at[first]);
        first = last + 1;
    }
}

// Samples segments first ... last (their points first ... last + 1 in
// `at`): the table from the piece's start point, which the sampling keeps
// as the whole table's sampling does, so the samples are the same.
void CSampleAnalysis::SamplePiece(std::size_t first, std::size_t last, std::int64_t samples)
{
    const auto size = static_cast<std::size_t>(samples);
    if (m_Time.size() < size) {
        m_Time.resize(std::max<std::size_t>(size, kPieceSamples));
        m_Position.resize(m_Time.size());
        m_Velocity.resize(m_Time.size());
    }
    m_Piece.time = m_Time;
    m_Piece.position = m_Position;
    m_Piece.velocity = m_Velocity;
    const auto from = static_cast<std::size_t>(m_Result.segments[first].start);
    const auto to = static_cast<std::size_t>(m_Result.segments[last].end) + 1;
    STrajectoryTable piece = m_Internal;
    piece.time = m_Internal.time.subspan(from, to - from);
    piece.position = m_Internal.position.subspan(from, to - from);
    piece.velocity = m_Internal.velocity.subspan(from, to - from);
    CPreviewSampler::Sample(piece, static_cast<int>(samples), m_Piece);
}

void CSampleAnalysis::ScanSegment(std::size_t index, std::int64_t pieceStart)
{
    SSegment& segment = m_Result.segments[index];
    const std::vector<std::uint32_t>& at = m_Whole.pointToSample;
    const std::int64_t first = at[index] - pieceStart;
    const std::int64_t last = std::min<std::int64_t>(at[index + 1], m_nLength - 1) - pieceStart;
    const SExtremes x = Reduce(m_Position.data(), m_Velocity.data(), first, last);
    segment.sampled = true;
    TakeVelocity(segment, x, first, last);
    if (last > first)
        TakeAcceleration(segment, x, first, last);
    TakeOvershoot(segment, x, first, last);
}

void CSampleAnalysis::TakeVelocity(SSegment& segment, const SExtremes& x, std::int64_t first, std::int64_t last)
{
    const double* const v = m_Velocity.data();
    const auto at = [&](double value) { return ValueAt(v, first, last, value); };
    const double peak = Peak(x.maxVelocity, x.minVelocity, at);
    segment.peakVelocity = peak * m_Table.velocityFactor;
    const double magnitude = std::fabs(segment.peakVelocity);
    if (magnitude > std::fabs(m_Result.peakVelocity->value))
        m_Result.peakVelocity = CTrajectoryReport::SPeak{segment.peakVelocity, m_Time[at(peak)] * m_Table.timeFactor};
    if (m_Limits.velocity && magnitude > *m_Limits.velocity)
        m_Result.limits.push_back(
            {segment.end, CTrajectoryReport::LIMIT_VELOCITY, segment.peakVelocity, *m_Limits.velocity});
}

// The segment's peak acceleration is the largest change of velocity from one
// sample to the next. Its display value is the change times the velocity
// factor over the time factor; where it matters (the peak so far, a limit
// near or exceeded) it is computed exactly as the preview's CSV computes it,
// from the display velocities of the two samples, which differs only in the
// last bits.
void CSampleAnalysis::TakeAcceleration(SSegment& segment, const SExtremes& x, std::int64_t first, std::int64_t last)
{
    const double* const v = m_Velocity.data();
    const double tf = m_Table.timeFactor, vf = m_Table.velocityFactor;
    const auto at = [&](double value) { return ChangeAt(v, first + 1, last, value); };
    const double change = Peak(x.maxChange, x.minChange, at);
    segment.peakAcceleration = change * vf / tf;
    const double nearly = std::fabs(segment.peakAcceleration) * (1 + 1e-9);
    const std::optional<double>& limit = m_Limits.acceleration;
    if (!(nearly >= std::fabs(m_Result.peakAcceleration->value) || (limit && nearly > *limit)))
        return;
    const std::int64_t k = at(change);
    segment.peakAcceleration = CTrajectoryReport::Acceleration(v[k - 1] * vf, v[k] * vf, tf);
    const double magnitude = std::fabs(segment.peakAcceleration);
    if (magnitude > std::fabs(m_Result.peakAcceleration->value))
        m_Result.peakAcceleration = CTrajectoryReport::SPeak{segment.peakAcceleration, m_Time[k] * tf};
    if (limit && magnitude > *limit)
        m_Result.limits.push_back({segment.end, CTrajectoryReport::LIMIT_ACCELERATION, segment.peakAcceleration, *limit});
}

// How far the samples go beyond the range of the end positions, and the
// first sample where they go farthest.
void CSampleAnalysis::TakeOvershoot(SSegment& segment, const SExtremes& x, std::int64_t first, std::int64_t last)
{
    const double p0 = m_Table.position[static_cast<std::size_t>(segment.start)];
    const double p1 = m_Table.position[static_cast<std::size_t>(segment.end)];
    // p - hi and lo - p grow and shrink with p, rounding included: the
    // largest of them over the samples comes from the extreme positions.
    const double above = x.maxPosition - std::max(p0, p1), below = std::min(p0, p1) - x.minPosition;
    const double excess = std::max(above, below);
    if (!(excess >= 1.0))
        return;
    const double* const p = m_Position.data();
    const std::int64_t high = above == excess ? ValueAt(p, first + 1, last, x.maxPosition) : last;
    const std::int64_t low = below == excess ? ValueAt(p, first + 1, last, x.minPosition) : last;
    segment.overshoot = excess * m_Table.positionFactor;
    segment.overshootTime = m_Time[std::min(high, low)] * m_Table.timeFactor;
    m_Result.overshoots.push_back({segment.end, segment.overshoot, segment.overshootTime});
}

// The segments between the kept points, with their durations and steps.
void ListSegments(const STrajectoryTable& table, const CPreviewSampler::SSamples& whole, SResult& result)
{
    const int n = table.GetPointCount();
    auto dropped = whole.dropped.begin();
    int previous = 0;
    if (!whole.pointToSample.empty())
        result.segments.reserve(whole.pointToSample.size() - 1);
    for (int j = 1; j < n; ++j) {
        if (dropped != whole.dropped.end() && *dropped == j) {
            ++dropped;
            continue;
        }
        SSegment segment;
        segment.start = previous;
        segment.end = j;
        const auto a = static_cast<std::size_t>(previous), b = static_cast<std::size_t>(j);
        segment.duration = (table.time[b] - table.time[a]) * table.timeFactor;
        segment.positionStep = (table.position[b] - table.position[a]) * table.positionFactor;
        result.segments.push_back(segment);
        previous = j;
    }
}

}  // namespace

CTrajectoryReport::SResult CTrajectoryReport::Analyse(const STrajectoryTable& table, const CPointTableRules& rules,
                                                      const SLimits& limits)
{
    SResult result;
    Analyse(table, rules, limits, result);
    return result;
}

void CTrajectoryReport::Analyse(const STrajectoryTable& table, const CPointTableRules& rules, const SLimits& limits,
                                SResult& result)
{
    result.points = table.GetPointCount();
    result.problems.clear();
    result.peakVelocity.reset();
    result.peakAcceleration.reset();
    result.segments.clear();
    result.overshoots.clear();
    result.limits.clear();
    FindProblems(table, rules, result);

    // Which points the sampling keeps, and their samples, without drawing.
    const int length = CPreviewSampler::GetSeriesLength(table);
    CPreviewSampler::SSamples& whole = result.workspace.whole;
    whole.time = whole.position = whole.velocity = {};
    CPreviewSampler::Sample(table, length, whole);
    result.extent = CPreviewSampler::GetExtent(length);
    ListSegments(table, whole, result);
    if (result.extent != CPreviewSampler::EXTENT_DRAWN || result.points == 0) {
        result.samples = std::max(length, 0);
        return;
    }
    // The samples written: up to the last kept point's, and never beyond the
    // series' length.
    result.samples = static_cast<int>(std::min<std::int64_t>(whole.pointToSample.back() + std::int64_t{1}, length));
    CSampleAnalysis(table, limits, length, result).Run();
}

CString CTrajectoryReport::AccelerationUnit(const CString& velocityUnit, const CString& timeUnit)
{
    return velocityUnit + "/" + timeUnit;
}

CString CTrajectoryReport::SummaryOf(const CInternalData& data)
{
    const STrajectoryTable table = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    const SResult result = Analyse(table, CPointTableRules::ForTimeColumn(data.m_Time));
    const CString timeUnit = data.m_Time.GetSelectedUnit();
    const CString velocityUnit = data.m_Velocity.GetSelectedUnit();
    CString line;
    if (result.IsSampled()) {
        line.Format("peak velocity %.4g %s at %.6g %s, peak acceleration %.4g %s at %.6g %s",
                    result.peakVelocity->value, velocityUnit.GetString(), result.peakVelocity->time,
                    timeUnit.GetString(), result.peakAcceleration->value,
                    AccelerationUnit(velocityUnit, timeUnit).GetString(), result.peakAcceleration->time,
                    timeUnit.GetString());
    } else if (result.extent == CPreviewSampler::EXTENT_TOO_LONG) {
        line.Format("peaks not computed: %d samples, over the budget of %d", result.samples,
                    CPreviewSampler::kSampleBudget);
    } else {
        line = "peaks not computed: no samples";
    }
    line.AppendFormat(", %zu %s", result.overshoots.size(), result.overshoots.size() == 1 ? "overshoot" : "overshoots");
    if (!result.problems.empty())
        line.AppendFormat(", %zu %s", result.problems.size(), result.problems.size() == 1 ? "problem" : "problems");
    return line;
}
