// CVelocityGenerator: velocities from times and positions (the clamped
// spline and the monotone method), stored exactly as the velocity column
// stores a value, and refused for points that do not advance.
#include "PvtTestUtil.h"
#include "pvt/PointInput.h"
#include "pvt/PreviewSampler.h"
#include "pvt/VelocityGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

using namespace pvt_test;
using Doubles = std::vector<double>;
using Method = CVelocityGenerator::tagMethod;

constexpr double kQuantum = 1.0 / 65536.0;

// A record read from a text (so its columns are bound on the embedded
// drive), then given the points in internal units.
struct STable : Record {
    STable(const Doubles& t, const Doubles& p)
    {
        Read("ATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\n");
        SetColumns(t, p, Doubles(t.size(), 0.0));
    }
    // Generate's velocities; the message must be empty.
    Doubles Generate(Method method)
    {
        CVelocityGenerator generator;
        Doubles out;
        int bad = -1;
        const CString message = generator.Generate(method, data.m_Time, data.m_Position, data.m_Velocity, out, bad);
        EXPECT_EQ("", Str(message));
        return out;
    }
};

TEST(VelocityGeneratorTest, SplineGivesBackTheDerivativesOfACubicAndStoresEach16Point16Value)
{
    // p(t) = j^2 (300 - 2 j) with t = 10 j on 0 ... 1000 periods: a cubic
    // whose velocity, 0.6 j (100 - j), is 0 at both ends, so the clamped
    // spline through any of its points is the cubic itself. Uneven steps.
    const int steps[] = {0, 3, 4, 11, 27, 28, 50, 61, 90, 97, 100};
    Doubles t, p, expected;
    for (const int j : steps) {
        t.push_back(10.0 * j);
        p.push_back(static_cast<double>(j) * j * (300 - 2 * j));
        expected.push_back(0.6 * j * (100 - j));
    }
    STable table(t, p);
    const Doubles v = table.Generate(CVelocityGenerator::METHOD_SPLINE);
    ASSERT_EQ(t.size(), v.size());
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_NEAR(expected[i], v[i], kQuantum / 2 + 1e-9) << "point " << i;
        EXPECT_EQ(std::round(v[i] * 65536.0), v[i] * 65536.0) << "point " << i;  // a 16.16 value
    }
}

TEST(VelocityGeneratorTest, AStraightLineGivesItsSpeed)
{
    // 40 points at 37.25 increments per period over uneven steps. Monotone:
    // the speed at every interior point. Spline: the ends' velocity 0 pulls
    // the neighbouring points, by a factor of about 0.27 less per point, so
    // from the twelfth point in from either end the speed is exact to the
    // 16.16 step.
    constexpr double kSpeed = 37.25;  // a 16.16 value
    constexpr int kPoints = 40;
    Doubles t{0}, p{0};
    for (int i = 1; i < kPoints; ++i) {
        t.push_back(t.back() + 4 * (1 + i % 5));
        p.push_back(t.back() * kSpeed);
    }
    STable table(t, p);
    const Doubles monotone = table.Generate(CVelocityGenerator::METHOD_MONOTONE);
    const Doubles spline = table.Generate(CVelocityGenerator::METHOD_SPLINE);
    EXPECT_EQ(0.0, monotone.front());
    EXPECT_EQ(0.0, monotone.back());
    EXPECT_EQ(0.0, spline.back());
    for (int i = 1; i + 1 < kPoints; ++i)
        EXPECT_EQ(kSpeed, monotone[i]) << "point " << i;
    for (int i = 12; i + 12 < kPoints; ++i)
        EXPECT_EQ(kSpeed, spline[i]) << "point " << i;
    EXPECT_NE(kSpeed, spline[1]);  // the end's pull, which the monotone method does not have
}

// Overshoots of the drive's own samples: samples of a segment outside the
// positions of its two ends.
int Overshoots(Record& r)
{
    const STrajectoryTable view = STrajectoryTable::FromColumns(r.data.m_Time, r.data.m_Position, r.data.m_Velocity);
    const int length = CPreviewSampler::GetSeriesLength(view);
    Doubles time(length), position(length), velocity(length);
    CPreviewSampler::SSamples samples;
    samples.time = time;
    samples.position = position;
    samples.velocity = velocity;
    CPreviewSampler::Sample(view, length, samples);
    EXPECT_EQ(length, samples.written);
    int count = 0;
    for (std::size_t j = 1; j < samples.pointToSample.size(); ++j) {
        const double a = view.position[j - 1], b = view.position[j];
        for (std::uint32_t s = samples.pointToSample[j - 1]; s <= samples.pointToSample[j]; ++s)
            count += position[s] < std::min(a, b) || position[s] > std::max(a, b) ? 1 : 0;
    }
    return count;
}

TEST(VelocityGeneratorTest, MonotoneVelocitiesNeverOvershoot)
{
    // Steps of every kind: steep after flat, plateaus, reversals, short
    // segments after long ones, in internal units (IU) so that each sample
    // is a whole increment.
    std::mt19937 random(18);
    std::uniform_int_distribution<int> duration(1, 400), kind(0, 5), step(0, 200000);
    Doubles t{0}, p{0};
    for (int i = 0; i < 300; ++i) {
        t.push_back(t.back() + (kind(random) == 0 ? 1 : duration(random)));
        const int k = kind(random);
        p.push_back(p.back() + (k == 0 ? 0 : k <= 2 ? step(random) : k == 3 ? -step(random) : step(random) / 100));
    }
    STable table(t, p);
    for (CDK_ArrayParameter* column : {&table.data.m_Time, &table.data.m_Position, &table.data.m_Velocity})
        ASSERT_TRUE(column->SelectUnit("IU"));
    table.data.m_Velocity.SetValuesInInternalUnit(table.Generate(CVelocityGenerator::METHOD_MONOTONE));
    EXPECT_EQ(0, Overshoots(table));
    // The same points with the spline's velocities do overshoot: the data
    // can tell the two apart.
    table.data.m_Velocity.SetValuesInInternalUnit(table.Generate(CVelocityGenerator::METHOD_SPLINE));
    EXPECT_GT(Overshoots(table), 0);
}

TEST(VelocityGeneratorTest, PointsThatDoNotAdvanceAreRefusedWithTheTableChecksMessage)
{
    struct SCase {
        Doubles time;
        int badPoint;
        Doubles position;  // empty: all 0
        const char* message = nullptr;  // null: the check's message for a time that does not advance
    };
    const SCase cases[] = {
        {{0, 10, 10, 30}, 2, {}, nullptr},
        {{0, 10, 20, 15}, 3, {}, nullptr},
        {{0, 0}, 1, {}, nullptr},
        {{0, 5, 5.5, 9}, 2, {}, nullptr},  // within the same whole period
        // A step no double holds would make every velocity not a number.
        {{0, 10, 20}, 2, {0, 1.7e308, -1.7e308},
         "the position step to point 2 is too large to compute velocities from"},
    };
    for (const SCase& c : cases) {
        STable table(c.time, c.position.empty() ? Doubles(c.time.size(), 0.0) : c.position);
        CVelocityGenerator generator;
        Doubles out{1.0, 2.0};
        int bad = -1;
        const CString message = generator.Generate(CVelocityGenerator::METHOD_SPLINE, table.data.m_Time,
                                                   table.data.m_Position, table.data.m_Velocity, out, bad);
        EXPECT_EQ(c.message ? std::string(c.message) : TimeNotIncreasing(c.badPoint), Str(message));
        EXPECT_EQ(c.badPoint, bad);
        EXPECT_EQ((Doubles{1.0, 2.0}), out);  // left alone
    }
}

TEST(VelocityGeneratorTest, ColumnRuleInBulkStoresWhatTheColumnStoresForEachValue)
{
    // What the column holds after a value shown in its unit is clamped and
    // set, against the bulk form, bit for bit, in every velocity unit and
    // with limits narrower than the type's.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> wide(-40000.0, 40000.0);
    Doubles values{0.0, -0.0, kQuantum / 2, -kQuantum / 2, 1.5 * kQuantum, -2.5 * kQuantum, 32767.99999,
                   -32768.5, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN(), 0.1, -1.0 / 3.0};
    for (int i = 0; i < 2000; ++i)
        values.push_back(i % 2 ? wide(random) : std::round(wide(random) * 65536.0) / 65536.0 + kQuantum / 2);
    STable table({0}, {0});
    CDK_ArrayParameter& column = table.data.m_Velocity;
    for (const char* unit : {"IU", "rpm", "rot/s", "rad/s"})
        for (const double limit : {0.0, 1000.25}) {
            ASSERT_TRUE(column.SelectUnit(unit));
            if (limit > 0) {
                column.SetMinInInternalUnit(-limit);
                column.SetMaxInInternalUnit(limit);
            }
            Doubles bulk = values;
            CPointInput::ClampInternalValues(column, bulk);
            for (std::size_t i = 0; i < values.size(); ++i) {
                double shown = values[i];
                column.IUToUnit(shown);
                CPointInput::ClampToParameter(column, shown);
                column.SetValue(0, shown);
                EXPECT_EQ(std::bit_cast<std::uint64_t>(column.GetValueInInternalUnit(0)),
                          std::bit_cast<std::uint64_t>(bulk[i]))
                    << unit << " " << values[i];
            }
        }
}

}  // namespace
