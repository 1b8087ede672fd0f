// CSegmentSplitter: long or steep segments divided on their own cubic into
// the fewest parts that meet the drive's limits; everything else untouched.
#include "PvtTestUtil.h"
#include "pvt/SegmentSplitter.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace pvt_test;
using Doubles = std::vector<double>;

struct STable : Record {
    STable(const Doubles& t, const Doubles& p, const Doubles& v)
    {
        Read("ATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\n");
        SetColumns(t, p, v);
    }
    CString Split(CSegmentSplitter::SResult& out, int& bad)
    {
        return CSegmentSplitter::Split(data.m_Time, data.m_Position, data.m_Velocity, out, bad);
    }
};

// The segment's cubic in exact arithmetic (doubles) at time t.
struct SCubic {
    double p0, v0, p1, v1, t0, dt;
    double Position(double t) const
    {
        const double s = (t - t0) / dt, s2 = s * s, s3 = s2 * s;
        return (2 * s3 - 3 * s2 + 1) * p0 + (s3 - 2 * s2 + s) * dt * v0 + (-2 * s3 + 3 * s2) * p1 +
               (s3 - s2) * dt * v1;
    }
    double Velocity(double t) const
    {
        const double s = (t - t0) / dt, s2 = s * s;
        return ((6 * s2 - 6 * s) * (p0 - p1)) / dt + (3 * s2 - 4 * s + 1) * v0 + (3 * s2 - 2 * s) * v1;
    }
};

TEST(SegmentSplitterTest, LongAndSteepSegmentsAreDividedOnTheirCubicIntoTheFewestParts)
{
    // Segment 1: 4000 periods, eight parts of 500. Segment 2: 450 periods
    // but 9,000,000 increments, two parts by the step's average. Segment 3:
    // 800 periods and 12,000,000 increments from a speed of 25000: two
    // halves of 400 periods would step 8.5 million in the first, so three
    // parts. Segment 4: within both limits.
    const Doubles t{0, 4000, 4450, 5250, 5440};
    const Doubles p{0, 1000000, 10000000, 22000000, 22001000};
    const Doubles v{0, 12.5, 25000, 0, 0};
    struct SSegment {
        int parts;
    };
    const SSegment segments[] = {{8}, {2}, {3}, {1}};
    STable table(t, p, v);
    CSegmentSplitter::SResult out;
    int bad = -1;
    ASSERT_EQ("", Str(table.Split(out, bad)));
    EXPECT_EQ(7 + 1 + 2, out.added);
    ASSERT_EQ(t.size() + out.added, out.time.size());
    std::size_t k = 0;  // index in `out` of the segment's first point
    for (std::size_t j = 0; j + 1 < t.size(); ++j) {
        SCOPED_TRACE("segment " + std::to_string(j + 1));
        // The original points exactly as they were.
        EXPECT_EQ(t[j], out.time[k]);
        EXPECT_EQ(p[j], out.position[k]);
        EXPECT_EQ(v[j], out.velocity[k]);
        const SCubic cubic{p[j], v[j], p[j + 1], v[j + 1], t[j], t[j + 1] - t[j]};
        const int parts = segments[j].parts;
        for (int i = 1; i < parts; ++i) {
            const std::size_t n = k + static_cast<std::size_t>(i);
            EXPECT_EQ(std::floor(t[j] + i * (t[j + 1] - t[j]) / parts), out.time[n]);
            EXPECT_NEAR(cubic.Position(out.time[n]), out.position[n], 1.0);
            EXPECT_EQ(std::round(out.position[n]), out.position[n]);
            EXPECT_NEAR(cubic.Velocity(out.time[n]), out.velocity[n], 0.01);
            EXPECT_EQ(std::round(out.velocity[n] * 65536.0), out.velocity[n] * 65536.0);
        }
        k += static_cast<std::size_t>(parts);
    }
    // The split table passes the check and translates, one segment line per
    // point after the first.
    table.SetColumns(out.time, out.position, out.velocity);
    ASSERT_EQ("", Str(table.data.CheckPoints(bad)));
    const std::string code = Str(table.data.GenerateCode());
    std::size_t lines = 0;
    for (std::size_t at = code.find("PVTP "); at != std::string::npos; at = code.find("PVTP ", at + 1))
        ++lines;
    EXPECT_EQ(out.time.size() - 1, lines);
}

TEST(SegmentSplitterTest, ATableWithNothingToSplitComesBackUnchanged)
{
    // At the limits exactly, a fractional velocity, a point that does not
    // advance (left for the table check).
    const Doubles t{0, 511, 1022, 1022, 1100};
    const Doubles p{0, 8388607, 0, 5, -8388603};
    const Doubles v{0, 0.1, -3.25, 0, 0};
    STable table(t, p, v);
    CSegmentSplitter::SResult out;
    int bad = -1;
    ASSERT_EQ("", Str(table.Split(out, bad)));
    EXPECT_EQ(0, out.added);
    ASSERT_EQ(t.size(), out.time.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(t[i]), std::bit_cast<std::uint64_t>(out.time[i]));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(p[i]), std::bit_cast<std::uint64_t>(out.position[i]));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(v[i]), std::bit_cast<std::uint64_t>(out.velocity[i]));
    }
}

TEST(SegmentSplitterTest, ASegmentTooSteepForOnePeriodIsRefused)
{
    STable table({0, 10, 11}, {0, 0, 9000000}, {0, 0, 0});
    CSegmentSplitter::SResult out;
    int bad = -1;
    EXPECT_EQ("the segment that ends at point 2 moves by more than 8388607 increments within one sampling "
              "period, even divided into parts of one period",
              Str(table.Split(out, bad)));
    EXPECT_EQ(2, bad);
}

}  // namespace
