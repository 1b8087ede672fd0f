#include "pvt/TrajectoryReport.h"

#include "pvt/InternalData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

using SResult = CTrajectoryReport::SResult;
using SSegment = CTrajectoryReport::SSegment;

// The samples taken at a time: enough for many segments of the longest valid
// duration, small enough to stay in the processor's caches between the
// sampling and the scan. A longer segment (only an invalid table has one)
// gets a larger piece of its own.
constexpr std::int64_t kPieceSamples = std::int64_t{1} << 15;

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

// What one segment's samples give, in internal units and sample indices of
// the piece.
struct SScan {
    std::int64_t velocityAt = 0;
    double accelerationMagnitude = 0;  // |v[k] - v[k - 1]|
    std::int64_t accelerationAt = 0;
    double excess = 0;  // beyond [lo, hi], increments
    std::int64_t excessAt = 0;
};

// One pass over the samples first ... last of a segment whose end positions
// span lo ... hi. Comparisons are strict, so the earliest sample of a peak
// wins; a value that is not a number never does.
SScan Scan(const double* p, const double* v, std::int64_t first, std::int64_t last, double lo, double hi)
{
    SScan scan;
    scan.velocityAt = first;
    scan.accelerationAt = first;
    scan.excessAt = first;
    double bestVelocity = std::fabs(v[first]);
    if (std::isnan(bestVelocity))
        bestVelocity = -1.0;  // any later number is larger
    double previous = v[first];
    for (std::int64_t k = first + 1; k <= last; ++k) {
        const double velocity = v[k];
        const double magnitude = std::fabs(velocity);
        if (magnitude > bestVelocity) {
            bestVelocity = magnitude;
            scan.velocityAt = k;
        }
        const double change = std::fabs(velocity - previous);
        previous = velocity;
        if (change > scan.accelerationMagnitude) {
            scan.accelerationMagnitude = change;
            scan.accelerationAt = k;
        }
        const double excess = std::max(p[k] - hi, lo - p[k]);
        if (excess > scan.excess) {
            scan.excess = excess;
            scan.excessAt = k;
        }
    }
    return scan;
}

// The analysis of the samples: the table is sampled in internal units, a
// piece of whole segments at a time, and every segment scanned right after.
class CSampleAnalysis {
public:
    CSampleAnalysis(const STrajectoryTable& table, const CPreviewSampler::SSamples& whole, int length, SResult& result)
        : m_Table(table), m_Whole(whole), m_nLength(length), m_Result(result)
    {
        m_Internal = table;
        m_Internal.timeFactor = m_Internal.positionFactor = m_Internal.velocityFactor = 1.0;
    }

    void Run();

private:
    void SamplePiece(std::size_t first, std::size_t last, std::int64_t samples);
    void ScanSegment(std::size_t segment, std::int64_t pieceStart);
    void TakePeaks(const SSegment& segment);

    const STrajectoryTable& m_Table;
    const CPreviewSampler::SSamples& m_Whole;  // which points are kept, and their samples
    int m_nLength;
    SResult& m_Result;
    STrajectoryTable m_Internal;
    std::vector<double> m_Time, m_Position, m_Velocity;
    CPreviewSampler::SSamples m_Piece;
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
        m_Piece.time = m_Time;
        m_Piece.position = m_Position;
        m_Piece.velocity = m_Velocity;
    }
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
    const double p0 = m_Table.position[static_cast<std::size_t>(segment.start)];
    const double p1 = m_Table.position[static_cast<std::size_t>(segment.end)];
    const SScan scan = Scan(m_Position.data(), m_Velocity.data(), first, last, std::min(p0, p1), std::max(p0, p1));

    const double tf = m_Table.timeFactor, vf = m_Table.velocityFactor;
    const double* t = m_Time.data();
    const double* v = m_Velocity.data();
    segment.sampled = true;
    segment.velocity = {v[scan.velocityAt] * vf, t[scan.velocityAt] * tf};
    const std::int64_t a = scan.accelerationAt;
    segment.acceleration = {a > first ? CTrajectoryReport::Acceleration(v[a - 1] * vf, v[a] * vf, tf) : 0.0,
                            t[a] * tf};
    if (scan.excess >= 1.0) {
        segment.overshoot = scan.excess * m_Table.positionFactor;
        segment.overshootTime = t[scan.excessAt] * tf;
        m_Result.overshoots.push_back({segment.end, segment.overshoot, segment.overshootTime});
    }
    TakePeaks(segment);
}

void CSampleAnalysis::TakePeaks(const SSegment& segment)
{
    if (std::fabs(segment.velocity.value) > std::fabs(m_Result.peakVelocity->value))
        m_Result.peakVelocity = segment.velocity;
    if (std::fabs(segment.acceleration.value) > std::fabs(m_Result.peakAcceleration->value))
        m_Result.peakAcceleration = segment.acceleration;
}

// The segments between the kept points, with their durations and steps.
void ListSegments(const STrajectoryTable& table, const CPreviewSampler::SSamples& whole, SResult& result)
{
    const int n = table.GetPointCount();
    auto dropped = whole.dropped.begin();
    int previous = 0;
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

void FindLimitExcesses(const CTrajectoryReport::SLimits& limits, SResult& result)
{
    for (const SSegment& segment : result.segments) {
        if (!segment.sampled)
            continue;
        if (limits.velocity && std::fabs(segment.velocity.value) > *limits.velocity)
            result.limits.push_back(
                {segment.end, CTrajectoryReport::LIMIT_VELOCITY, segment.velocity.value, *limits.velocity});
        if (limits.acceleration && std::fabs(segment.acceleration.value) > *limits.acceleration)
            result.limits.push_back({segment.end, CTrajectoryReport::LIMIT_ACCELERATION, segment.acceleration.value,
                                     *limits.acceleration});
    }
}

}  // namespace

CTrajectoryReport::SResult CTrajectoryReport::Analyse(const STrajectoryTable& table, const CPointTableRules& rules,
                                                      const SLimits& limits)
{
    SResult result;
    result.points = table.GetPointCount();
    FindProblems(table, rules, result);

    // Which points the sampling keeps, and their samples, without drawing.
    const int length = CPreviewSampler::GetSeriesLength(table);
    CPreviewSampler::SSamples whole;
    CPreviewSampler::Sample(table, length, whole);
    result.extent = CPreviewSampler::GetExtent(length);
    ListSegments(table, whole, result);
    if (result.extent != CPreviewSampler::EXTENT_DRAWN || result.points == 0) {
        result.samples = std::max(length, 0);
        return result;
    }
    // The samples written: up to the last kept point's, and never beyond the
    // series' length.
    result.samples = static_cast<int>(std::min<std::int64_t>(whole.pointToSample.back() + std::int64_t{1}, length));
    CSampleAnalysis(table, whole, length, result).Run();
    FindLimitExcesses(limits, result);
    return result;
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
