// Any point table through the trajectory functions beside the preview: the
// report (CTrajectoryReport), the velocities (CVelocityGenerator, both
// methods) and the splitting (CSegmentSplitter), as `motionhost check`,
// `velocities` and `split` run them. The table is read as fuzz_preview reads
// it (FuzzTable.h): up to 64 points of any doubles, NaN, infinities and
// huge values included, columns of different lengths, any display units.
//
// Checks:
//   - the report's problems are in table order, inside the table, and the
//     first one is exactly what the table check (CheckPoints) says; a table
//     the check passes has none; the peaks of a finite table are finite;
//   - generated velocities are 0 at both ends and each is a 16.16 value, or
//     the generator refuses with a point inside the table;
//   - a split table holds every original point, bit for bit and in order,
//     and, where every point advances within the time column's range, so
//     does every point of the split table, by at most 511 sampling periods.
#include "FuzzCheck.h"
#include "FuzzTable.h"
#include "pvt/PointTableRules.h"
#include "pvt/PreviewSampler.h"
#include "pvt/SegmentSplitter.h"
#include "pvt/TrajectoryReport.h"
#include "pvt/VelocityGenerator.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

// Trajectories longer than this are not sampled here, and tables whose
// times reach further are not split (a split of a segment of 2^31 periods
// makes millions of points), so that a run stays fast.
constexpr int kMaxSamples = 1 << 17;

bool Same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

void CheckReport(CInternalData& record, const STable& table)
{
    const STrajectoryTable view = STrajectoryTable::FromColumns(record.m_Time, record.m_Position, record.m_Velocity);
    const int length = CPreviewSampler::GetSeriesLength(view);
    if (CPreviewSampler::GetExtent(length) == CPreviewSampler::EXTENT_DRAWN && length > kMaxSamples)
        return;
    const CTrajectoryReport::SResult report =
        CTrajectoryReport::Analyse(view, CPointTableRules::ForTimeColumn(record.m_Time));

    int badPoint = -1;
    const CString check = record.CheckPoints(badPoint);
    FUZZ_CHECK(report.IsValid() == check.IsEmpty(), "valid %d, check \"%s\"", report.IsValid(), check.GetString());
    if (!report.IsValid()) {
        FUZZ_CHECK(report.problems.front().point == badPoint && report.problems.front().message == check,
                   "first problem at %d \"%s\", check at %d \"%s\"", report.problems.front().point,
                   report.problems.front().message.GetString(), badPoint, check.GetString());
    }
    int previous = 0;
    for (const CTrajectoryReport::SProblem& problem : report.problems) {
        FUZZ_CHECK(problem.point >= previous && problem.point < std::max(report.points, 1), "problem at %d of %d",
                   problem.point, report.points);
        previous = problem.point;
    }
    // The sample at a point holds the point's own values: a table of finite
    // values has finite peaks.
    const auto finite = [](const std::vector<double>& column) {
        return std::all_of(column.begin(), column.end(), [](double x) { return std::isfinite(x); });
    };
    if (report.IsSampled() && finite(table.t) && finite(table.p) && finite(table.v)) {
        FUZZ_CHECK(std::isfinite(report.peakVelocity->value) && std::isfinite(report.peakVelocity->time),
                   "peak velocity %g at %g", report.peakVelocity->value, report.peakVelocity->time);
        FUZZ_CHECK(report.peakAcceleration.has_value(), "a peak velocity without a peak acceleration");
    }
}

void CheckVelocities(CInternalData& record, int points)
{
    for (const auto method : {CVelocityGenerator::METHOD_SPLINE, CVelocityGenerator::METHOD_MONOTONE}) {
        CVelocityGenerator generator;
        std::vector<double> velocity;
        int badPoint = -1;
        const CString refused =
            generator.Generate(method, record.m_Time, record.m_Position, record.m_Velocity, velocity, badPoint);
        if (!refused.IsEmpty()) {
            FUZZ_CHECK(badPoint >= 0 && badPoint < std::max(points, 1), "refused at point %d of %d", badPoint,
                       points);
            continue;
        }
        FUZZ_CHECK(static_cast<int>(velocity.size()) == points, "%zu velocities for %d points", velocity.size(),
                   points);
        for (std::size_t i = 0; i < velocity.size(); ++i) {
            const double fixed = velocity[i] * 65536.0;
            FUZZ_CHECK(std::isfinite(fixed) && fixed == std::floor(fixed), "velocity %zu is %.17g", i, velocity[i]);
        }
        if (!velocity.empty())
            FUZZ_CHECK(velocity.front() == 0 && velocity.back() == 0, "end velocities %g, %g", velocity.front(),
                       velocity.back());
    }
}

void CheckSplit(CInternalData& record, const STable& table, int points)
{
    for (int i = 0; i < points; ++i) {
        if (!(std::fabs(table.t[static_cast<std::size_t>(i)]) <= kMaxSamples))
            return;
    }
    CSegmentSplitter::SResult split;
    int badPoint = -1;
    if (!CSegmentSplitter::Split(record.m_Time, record.m_Position, record.m_Velocity, split, badPoint).IsEmpty()) {
        FUZZ_CHECK(badPoint > 0 && badPoint < points, "refused at point %d of %d", badPoint, points);
        return;
    }
    FUZZ_CHECK(split.time.size() == static_cast<std::size_t>(points + split.added) &&
                   split.position.size() == split.time.size() && split.velocity.size() == split.time.size(),
               "%zu points after adding %d to %d", split.time.size(), split.added, points);
    std::size_t at = 0;
    for (int i = 0; i < points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        while (at < split.time.size() && !(Same(split.time[at], table.t[k]) &&
                                           Same(split.position[at], table.p[k]) && Same(split.velocity[at], table.v[k])))
            ++at;
        FUZZ_CHECK(at < split.time.size(), "original point %d is not in the split table", i);
        ++at;
    }
    // Where every point advances within the time column's range, every
    // segment of the split table is short enough (the splitter leaves other
    // segments alone: the table fails the check whatever is split).
    const CPointTableRules rules = CPointTableRules::ForTimeColumn(record.m_Time);
    for (int i = 0; i < points; ++i) {
        const auto k = static_cast<std::size_t>(i);
        if (!rules.IsTimeInRange(table.t[k]) ||
            (i > 0 && CPreviewSampler::TimeOf(table.t[k]) <= CPreviewSampler::TimeOf(table.t[k - 1])))
            return;
    }
    for (std::size_t i = 1; i < split.time.size(); ++i) {
        const std::int64_t t0 = CPreviewSampler::TimeOf(split.time[i - 1]);
        const std::int64_t t1 = CPreviewSampler::TimeOf(split.time[i]);
        FUZZ_CHECK(t1 > t0 && t1 - t0 <= CSegmentSplitter::kMaxPeriods, "segment %zu lasts %lld periods", i,
                   static_cast<long long>(t1 - t0));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzRecord fuzz(std::string_view(reinterpret_cast<const char*>(data), size));
    const STable& table = fuzz.table;
    const int points = static_cast<int>(std::min({table.t.size(), table.p.size(), table.v.size()}));
    CheckReport(fuzz.record, table);
    CheckVelocities(fuzz.record, points);
    CheckSplit(fuzz.record, table, points);
    return 0;
}
