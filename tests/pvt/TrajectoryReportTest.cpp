// CTrajectoryReport: every problem of a table with the check's own texts,
// peaks and overshoots of cubics known in closed form, limits at a peak, the
// sample budget, and the analysis in pieces against one scan of the whole
// preview series.
#include "PvtTestUtil.h"

#include "pvt/PreviewSampler.h"
#include "pvt/TrajectoryReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace pvt_test;

struct Table {
    std::vector<double> t, p, v;
    double tf = 1, pf = 1, vf = 1;

    STrajectoryTable View() const
    {
        STrajectoryTable view;
        view.time = t;
        view.position = p;
        view.velocity = v;
        view.timeFactor = tf;
        view.positionFactor = pf;
        view.velocityFactor = vf;
        return view;
    }
};

const CPointTableRules kRules(0, CInternalData::kMaxTime);

CTrajectoryReport::SResult Analyse(const Table& table, const CTrajectoryReport::SLimits& limits = {})
{
    return CTrajectoryReport::Analyse(table.View(), kRules, limits);
}

// One segment from rest at the origin to (T, P1, V1): the cubic
// p(t) = b t^2 + a t^3 with a = (V1 T - 2 P1) / T^3, b = (3 P1 - V1 T) / T^2.
struct Cubic {
    const char* name;
    double T, P1, V1;
    double a() const { return (V1 * T - 2 * P1) / (T * T * T); }
    double b() const { return (3 * P1 - V1 * T) / (T * T); }
    double Position(double t) const { return b() * t * t + a() * t * t * t; }
    double Velocity(double t) const { return 2 * b() * t + 3 * a() * t * t; }
};

// The known figures over the samples k = 0 ... T: the velocity p'(k), its
// change p'(k) - p'(k - 1), the excess of p(k) beyond [min(0, P1), max(0, P1)].
struct Known {
    double velocity = 0, velocityTime = 0, acceleration = 0, excess = 0, excessTime = 0;
};

Known Expected(const Cubic& c)
{
    Known known;
    const double lo = std::min(0.0, c.P1), hi = std::max(0.0, c.P1);
    for (int k = 1; k <= static_cast<int>(c.T); ++k) {
        if (std::fabs(c.Velocity(k)) > std::fabs(known.velocity)) {
            known.velocity = c.Velocity(k);
            known.velocityTime = k;
        }
        const double change = c.Velocity(k) - c.Velocity(k - 1);
        if (std::fabs(change) > std::fabs(known.acceleration))
            known.acceleration = change;
        const double excess = std::max(c.Position(k) - hi, lo - c.Position(k));
        if (excess > known.excess) {
            known.excess = excess;
            known.excessTime = k;
        }
    }
    return known;
}

// Peaks and overshoots of known cubics, in display units: the drive's samples
// truncate the position to whole increments and the velocity to 1/65536,
// and its coefficients by 2^-32, so the figures agree within about one
// increment, and 1e-3 increments per period (per period).
TEST(TrajectoryReport, PeaksAndOvershootOfKnownCubics)
{
    const Cubic cubics[] = {
        {"dips below its start before it rises", 100, 1000, 40},
        {"runs beyond its start backwards", 100, -1000, -40},
        {"rest to rest, no overshoot", 100, 1000, 0},
        {"a long slow segment", 511, 50000, 0},
    };
    for (const Cubic& c : cubics) {
        SCOPED_TRACE(c.name);
        const Known known = Expected(c);
        // Display units as the default drive's: rot, rpm, s.
        Table table{{0, c.T}, {0, c.P1}, {0, c.V1}, 0.001, 0.0005, 30};
        const CTrajectoryReport::SResult r = Analyse(table);
        ASSERT_TRUE(r.IsSampled());
        EXPECT_EQ(r.samples, static_cast<int>(c.T) + 1);
        EXPECT_NEAR(r.peakVelocity->value, known.velocity * 30, 1e-3 * 30);
        EXPECT_NEAR(r.peakVelocity->time, known.velocityTime * 0.001, 1.5e-3);
        // A rest-to-rest cubic accelerates as hard at its end as at its
        // start, with the other sign: the truncation decides which is first.
        EXPECT_NEAR(std::fabs(r.peakAcceleration->value), std::fabs(known.acceleration) * 30 / 0.001,
                    1e-3 * 30 / 0.001);
        if (known.excess >= 2) {
            ASSERT_EQ(r.overshoots.size(), 1u);
            EXPECT_EQ(r.overshoots[0].segment, 1);
            EXPECT_NEAR(r.overshoots[0].amount, known.excess * 0.0005, 1.01 * 0.0005);
            EXPECT_NEAR(r.overshoots[0].time, known.excessTime * 0.001, 3e-3);
        } else if (known.excess == 0) {
            EXPECT_TRUE(r.overshoots.empty());
        }
        ASSERT_EQ(r.segments.size(), 1u);
        EXPECT_EQ(r.segments[0].peakVelocity, r.peakVelocity->value);
        EXPECT_EQ(r.segments[0].peakAcceleration, r.peakAcceleration->value);
    }
}

// Every problem of the table, in table order, with the check's own texts;
// the first of them is exactly what CheckPoints says of the same table.
TEST(TrajectoryReport, EveryProblemInOrderWithTheChecksTexts)
{
    const struct {
        const char* name;
        Table table;
        std::vector<std::pair<int, std::string>> problems;
    } cases[] = {
        {"a problem at several points",
         {{0, 10, 10, 600, 700, 701, -1}, {0, 0, 0, 0, 9e6, 0, 0}, {0, 0, 0, 0, 0, 0, 5}},
         {{0, kBadLastPoint},
          {2, TimeNotIncreasing(2)},
          {3, TimeTooDistant(3)},
          {4, PositionTooFar(4)},
          {5, PositionTooFar(5)},
          {6, kTimeOutOfBounds}}},
        {"shape problems together", {{1, 10}, {0, 5}, {0, 1}}, {{0, kBadFirstPoint}, {0, kBadLastPoint}}},
        {"columns of unequal length, and their points still checked",
         {{0, 0, 10}, {0, 0, 0}, {0, 0}},
         {{0, kTooFewPoints}, {1, TimeNotIncreasing(1)}}},
        {"each point against the one before it, not the last good one",
         {{0, 100, 50, 60}, {0, 0, 0, 0}, {0, 0, 0, 0}},
         {{2, TimeNotIncreasing(2)}}},
        {"a valid table", {{0, 10, 20}, {0, 5, 10}, {0, 1, 0}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CTrajectoryReport::SResult r = Analyse(c.table);
        std::vector<std::pair<int, std::string>> problems;
        for (const CTrajectoryReport::SProblem& p : r.problems)
            problems.emplace_back(p.point, Str(p.message));
        EXPECT_EQ(problems, c.problems);
        EXPECT_EQ(r.IsValid(), c.problems.empty());

        Record record;
        ASSERT_EQ("", record.Read("ATIME = 0, 1\nTPOS = 0, 1\nTSPD = 0, 0\nExecute = 0\n"));
        record.SetColumns(c.table.t, c.table.p, c.table.v);
        int badPoint = -1;
        const std::string first = Str(record.data.CheckPoints(badPoint));
        EXPECT_EQ(first, problems.empty() ? "" : problems[0].second);
        if (!problems.empty()) {
            EXPECT_EQ(badPoint, problems[0].first);
        }
    }
}

// A limit equal to a segment's peak is kept; one just under it is exceeded,
// by that segment only.
TEST(TrajectoryReport, LimitsJustUnderAndOverAPeak)
{
    // A fast segment, then a slower one.
    const Table table{{0, 100, 300}, {0, 1000, 1500}, {0, 0, 0}, 0.001, 0.0005, 30};
    const CTrajectoryReport::SResult free = Analyse(table);
    ASSERT_TRUE(free.IsSampled());
    ASSERT_EQ(free.segments.size(), 2u);
    const double v = std::fabs(free.segments[0].peakVelocity);
    const double a = std::fabs(free.segments[0].peakAcceleration);
    ASSERT_GT(v, std::fabs(free.segments[1].peakVelocity));
    ASSERT_GT(a, std::fabs(free.segments[1].peakAcceleration));

    EXPECT_TRUE(Analyse(table, {v, a}).limits.empty());
    const double justUnderV = std::nextafter(v, 0.0), justUnderA = std::nextafter(a, 0.0);
    const CTrajectoryReport::SResult over = Analyse(table, {justUnderV, justUnderA});
    ASSERT_EQ(over.limits.size(), 2u);
    EXPECT_EQ(over.limits[0].segment, 1);
    EXPECT_EQ(over.limits[0].what, CTrajectoryReport::LIMIT_VELOCITY);
    EXPECT_EQ(over.limits[0].value, free.segments[0].peakVelocity);
    EXPECT_EQ(over.limits[0].limit, justUnderV);
    EXPECT_EQ(over.limits[1].segment, 1);
    EXPECT_EQ(over.limits[1].what, CTrajectoryReport::LIMIT_ACCELERATION);
    EXPECT_EQ(over.limits[1].value, free.segments[0].peakAcceleration);
    EXPECT_TRUE(over.IsValid());  // limits are not problems of the table
    // Only one of the limits given.
    const CTrajectoryReport::SResult velocityOnly = Analyse(table, {justUnderV, std::nullopt});
    ASSERT_EQ(velocityOnly.limits.size(), 1u);
    EXPECT_EQ(velocityOnly.limits[0].what, CTrajectoryReport::LIMIT_VELOCITY);
}

// Over the sample budget nothing is sampled: the problems, the segments'
// durations and steps are still there, the peaks are not computed.
TEST(TrajectoryReport, OverTheSampleBudgetThePeaksAreNotComputed)
{
    Table table;
    const int points = CPreviewSampler::kSampleBudget / 511 + 2;
    for (int i = 0; i < points; ++i) {
        table.t.push_back(511.0 * i);
        table.p.push_back(i % 2 ? 1000 : 0);
        table.v.push_back(0);
    }
    table.t.back() -= 0.5;  // a step not in whole periods: still within 511
    table.v[5] = 1e-9;      // a problem-free middle velocity
    table.p[7] = 9e6;       // two position steps too far
    const CTrajectoryReport::SResult r = Analyse(table, {1.0, 1.0});
    EXPECT_EQ(r.extent, CPreviewSampler::EXTENT_TOO_LONG);
    EXPECT_GT(r.samples, CPreviewSampler::kSampleBudget);
    EXPECT_FALSE(r.IsSampled());
    EXPECT_FALSE(r.peakAcceleration.has_value());
    ASSERT_EQ(r.problems.size(), 2u);
    EXPECT_EQ(Str(r.problems[0].message), PositionTooFar(7));
    EXPECT_EQ(Str(r.problems[1].message), PositionTooFar(8));
    ASSERT_EQ(r.segments.size(), static_cast<std::size_t>(points - 1));
    EXPECT_FALSE(r.segments[0].sampled);
    EXPECT_EQ(r.segments.back().duration, 510.5);
    EXPECT_TRUE(r.overshoots.empty());
    EXPECT_TRUE(r.limits.empty());  // not checked: nothing to compare
}

// The analysis runs in pieces of whole segments; it must find exactly what one
// scan of the whole preview series finds, also with points left out, a
// segment longer than a piece, and a last point that does not advance (the
// series then ends at its time).
TEST(TrajectoryReport, PiecesFindWhatAScanOfTheWholeSeriesFinds)
{
    Table table{{0}, {0}, {0}};
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> dt(1, 511), dp(-30000, 30000), dv(-3000000, 3000000);
    for (int i = 1; i < 400; ++i) {
        const bool leftOut = i % 37 == 0;
        const bool long_ = i == 200;
        table.t.push_back(leftOut ? table.t.back() - 3 : table.t.back() + (long_ ? 70000 : dt(rng)));
        table.p.push_back(table.p.back() + dp(rng));
        table.v.push_back(dv(rng) / 65536.0);
    }
    table.t.push_back(table.t.back() - 1000);  // left out: the series ends at its time
    table.p.push_back(0);
    table.v.push_back(0);

    const CTrajectoryReport::SResult r = Analyse(table);
    ASSERT_TRUE(r.IsSampled());

    const STrajectoryTable view = table.View();
    const int length = CPreviewSampler::GetSeriesLength(view);
    std::vector<double> t(static_cast<std::size_t>(length)), p(t.size()), v(t.size());
    CPreviewSampler::SSamples whole;
    whole.time = t;
    whole.position = p;
    whole.velocity = v;
    CPreviewSampler::Sample(view, length, whole);
    ASSERT_EQ(r.samples, whole.written);
    ASSERT_EQ(r.segments.size() + 1, whole.pointToSample.size());

    CTrajectoryReport::SPeak velocity{v[0], t[0]}, acceleration{0, t[0]};
    std::vector<CTrajectoryReport::SOvershoot> overshoots;
    for (std::size_t s = 0; s < r.segments.size(); ++s) {
        const CTrajectoryReport::SSegment& segment = r.segments[s];
        const auto first = static_cast<int>(whole.pointToSample[s]);
        const int last = std::min(static_cast<int>(whole.pointToSample[s + 1]), whole.written - 1);
        if (first >= last) {
            EXPECT_FALSE(segment.sampled);
            continue;
        }
        const double p0 = table.p[static_cast<std::size_t>(segment.start)];
        const double p1 = table.p[static_cast<std::size_t>(segment.end)];
        double excess = 0, excessTime = 0;
        for (int k = first + 1; k <= last; ++k) {
            if (std::fabs(v[k]) > std::fabs(velocity.value))
                velocity = {v[k], t[k]};
            const double change = CTrajectoryReport::Acceleration(v[k - 1], v[k], 1.0);
            if (std::fabs(change) > std::fabs(acceleration.value))
                acceleration = {change, t[k]};
            const double e = std::max(p[k] - std::max(p0, p1), std::min(p0, p1) - p[k]);
            if (e > excess) {
                excess = e;
                excessTime = t[k];
            }
        }
        if (excess >= 1)
            overshoots.push_back({segment.end, excess, excessTime});
    }
    EXPECT_EQ(r.peakVelocity->value, velocity.value);
    EXPECT_EQ(r.peakVelocity->time, velocity.time);
    EXPECT_EQ(r.peakAcceleration->value, acceleration.value);
    EXPECT_EQ(r.peakAcceleration->time, acceleration.time);
    ASSERT_EQ(r.overshoots.size(), overshoots.size());
    EXPECT_GT(overshoots.size(), 10u);  // the comparison met overshoots
    for (std::size_t i = 0; i < overshoots.size(); ++i) {
        EXPECT_EQ(r.overshoots[i].segment, overshoots[i].segment) << i;
        EXPECT_EQ(r.overshoots[i].amount, overshoots[i].amount) << i;
        EXPECT_EQ(r.overshoots[i].time, overshoots[i].time) << i;
    }
}

}  // namespace
