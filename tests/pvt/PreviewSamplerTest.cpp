// CPreviewSampler: the trajectory preview's samples, exact to the bit, the
// removal of points that do not advance, and the series never written
// outside their length.
#include "kernel/ArrayParameter.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/DWordArray.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewSampler.h"

#include <gtest/gtest.h>

#include <bit>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
constexpr double kUnwritten = -7.25e77;  // what the series hold before a run
constexpr int kGuard = 8;                // elements past the end that must stay unwritten
constexpr DWORD kStale = 0xDEADBEEF;     // what the point-to-sample table holds before a run

struct SRun {
    int length = 0;
    int written = 0;
    std::vector<double> time, position, velocity;  // `length` elements (none when not drawn)
    std::vector<DWORD> pointToSample;
};

// A record on a drive (the embedded default unless a setup document is
// given) with the three point columns bound, in `units` or in the columns'
// default units (rot, rpm, s on the embedded drive) when `units` is null.
struct SPreview {
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data{setup, motion};

    explicit SPreview(const char* units = "IU", const char* setupDocument = nullptr)
    {
        if (setupDocument) {
            EXPECT_EQ(std::string(setup.LoadFromText(CString(setupDocument), "drive.json").View()), "");
        }
        data.m_Time.Bind("ATIME", "ATIME");
        data.m_Position.Bind("TPOS", "TPOS");
        data.m_Velocity.Bind("TSPD", "TSPD");
        if (units) {
            EXPECT_TRUE(data.m_Time.SelectUnit(units));
            EXPECT_TRUE(data.m_Position.SelectUnit(units));
            EXPECT_TRUE(data.m_Velocity.SelectUnit(units));
        }
    }
    void Set(std::vector<double> t, std::vector<double> p, std::vector<double> v)
    {
        data.m_Time.SetValuesInInternalUnit(std::move(t));
        data.m_Position.SetValuesInInternalUnit(std::move(p));
        data.m_Velocity.SetValuesInInternalUnit(std::move(v));
    }
    std::vector<double> Times() const { return data.m_Time.GetValuesInInternalUnit(); }
    std::vector<double> Positions() const { return data.m_Position.GetValuesInInternalUnit(); }
    std::vector<double> Velocities() const { return data.m_Velocity.GetValuesInInternalUnit(); }

    // A rebuild as the dialog makes it: the length from the time column
    // (or `length`), series only when they are drawn. Series of `buffer`
    // elements are handed over when they would not be drawn, to show that
    // nothing is written into them. Checks that nothing was written past
    // the length.
    SRun Run(int length = INT_MIN, int buffer = 0)
    {
        SRun run;
        run.length = length == INT_MIN ? CPreviewSampler::GetSeriesLength(data.m_Time) : length;
        const bool drawn = CPreviewSampler::GetExtent(run.length) == CPreviewSampler::EXTENT_DRAWN;
        const std::size_t size = static_cast<std::size_t>(drawn ? run.length : buffer) + kGuard;
        std::vector<double> t(size, kUnwritten), p(size, kUnwritten), v(size, kUnwritten);
        CDWordArray pointToSample;
        pointToSample.SetSize(data.m_Time.GetValuesCount() + 3);
        for (int i = 0; i < pointToSample.GetSize(); ++i)
            pointToSample.SetAt(i, kStale);
        run.written = CPreviewSampler::Sample(data.m_Time, data.m_Position, data.m_Velocity, run.length, t.data(),
                                              p.data(), v.data(), pointToSample);
        const std::size_t end = drawn ? static_cast<std::size_t>(run.length) : 0;
        for (std::size_t i = end; i < size; ++i) {
            EXPECT_EQ(t[i], kUnwritten) << "time sample " << i << " written outside the series";
            EXPECT_EQ(p[i], kUnwritten) << "position sample " << i << " written outside the series";
            EXPECT_EQ(v[i], kUnwritten) << "velocity sample " << i << " written outside the series";
        }
        if (drawn) {
            run.time.assign(t.begin(), t.begin() + run.length);
            run.position.assign(p.begin(), p.begin() + run.length);
            run.velocity.assign(v.begin(), v.begin() + run.length);
        }
        for (int i = 0; i < pointToSample.GetSize(); ++i)
            run.pointToSample.push_back(pointToSample.GetAt(i));
        return run;
    }
};

std::vector<DWORD> Prefix(const std::vector<DWORD>& v, std::size_t n) { return {v.begin(), v.begin() + n}; }

// Equal to the bit (0 and -0 differ, NaN equals NaN).
void ExpectSameBits(const std::vector<double>& actual, const std::vector<double>& expected, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(actual[i]), std::bit_cast<std::uint64_t>(expected[i]))
            << what << " sample " << i << ": " << actual[i] << " vs " << expected[i];
}

// ---------------------------------------------------------------------------
// Worked tables, display units equal to internal units.

struct SExactCase {
    const char* name;
    std::vector<double> t, p, v;                // the table
    std::vector<double> keptT;                  // its time column afterwards
    std::vector<double> time, position, velocity;  // the series; velocity unchecked when empty
    std::vector<DWORD> pointToSample;           // the kept points' sample indices
};

const SExactCase kExactCases[] = {
    {"three points",
     {0, 5, 9},
     {0, 100, 50},
     {0, 30.5, 0},
     {0, 5, 9},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
     {0, 5, 20, 42, 70, 100, 109, 90, 63, 50},
     {0, 698613 / 65536.0, 1247805 / 65536.0, 1647575 / 65536.0, 1897922 / 65536.0, 30.5, -8.34375, -26.375,
      -23.59375, 0},
     {0, 5, 9}},
    // p = -10 enters the interpolation; the point's own sample is exact.
    {"negative position truncated toward zero",
     {0, 3},
     {0, -10.9},
     {0, -2.25},
     {0, 3},
     {0, 1, 2, 3},
     {0, -3, -7, -10.9},
     {0, -3.6944580078125, -4.4444580078125, -2.25},
     {0, 3}},
    {"one point", {0}, {0}, {0}, {0}, {0}, {0}, {0}, {0}},
    {"no interpolated samples", {0, 1, 2}, {0, 5, 7}, {0, 2, 0}, {0, 1, 2}, {0, 1, 2}, {0, 5, 7}, {0, 2, 0}, {0, 1, 2}},
    // The points at 3.5 and 3.9 (whole time 3) leave all three columns.
    {"points that do not advance",
     {0, 3, 3.5, 3.9, 6},
     {0, 10, 20, 30, 40},
     {0, 1, 2, 3, 0},
     {0, 3, 6},
     {0, 1, 2, 3, 4, 5, 6},
     {0, 2, 6, 10, 18, 32, 40},
     {},
     {0, 3, 6}},
    // f = 1: halves round upward.
    {"velocity half rounded up",
     {0, 2},
     {0, 0},
     {0, 0.5 / 65536},
     {0, 2},
     {0, 1, 2},
     {0, -1, 0},
     {0, -1 / 65536.0, 0.5 / 65536},
     {0, 2}},
    // f = 0: nothing moves between the points.
    {"velocity minus half rounded up to 0",
     {0, 2},
     {0, 0},
     {0, -0.5 / 65536},
     {0, 2},
     {0, 1, 2},
     {0, 0, 0},
     {0, 0, -0.5 / 65536},
     {0, 2}},
    // x^3 on [0, 16]: every division is exact, so are the samples.
    {"the cubic x^3",
     {0, 16},
     {0, 4096},
     {0, 768},
     {0, 16},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
     {0, 1, 8, 27, 64, 125, 216, 343, 512, 729, 1000, 1331, 1728, 2197, 2744, 3375, 4096},
     {0, 3, 12, 27, 48, 75, 108, 147, 192, 243, 300, 363, 432, 507, 588, 675, 768},
     {0, 16}},
    // The high word of P is a 32-bit position that wraps: 2147483000 moves
    // by +1296 to -2147483000.
    {"position wraps past 2147483647",
     {0, 4},
     {2147483000, -2147483000},
     {0, 0},
     {0, 4},
     {0, 1, 2, 3, 4},
     {2147483000, 2147483202, -2147483648.0, -2147483203, -2147483000},
     {0, 364.5, 486, 364.5, 0},
     {0, 4}},
    // Bits 16 ... 47 of V are a 32-bit 16.16 velocity that wraps: the slope
    // 33116.5 in the middle reads as 33116.5 - 65536.
    {"velocity wraps past 32768",
     {0, 2},
     {0, 66000},
     {32767, 32767},
     {0, 2},
     {0, 1, 2},
     {0, 33000, 66000},
     {32767, -32419.5, 32767},
     {0, 2}},
    // Divisions by dt truncate toward zero: floored, A and G would each be
    // one unit lower and the last sample -1.
    {"divisions truncate toward zero",
     {0, 3},
     {0, 0},
     {-2 / 65536.0, -1 / 65536.0},
     {0, 3},
     {0, 1, 2, 3},
     {0, -1, 0, 0},
     {-2 / 65536.0, 0, 0, -1 / 65536.0},
     {0, 3}},
    // The end velocities enter A after the first division of 2 D: divided
    // with 2 D at once, the last interpolated velocity would be 1/65536 lower.
    {"order of the divisions of A",
     {0, 11},
     {0, 26},
     {469755 / 65536.0, -55051 / 65536.0},
     {0, 11},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
     {0, 6, 12, 16, 20, 22, 24, 26, 26, 26, 26, 26},
     {469755 / 65536.0, 396037 / 65536.0, 327521 / 65536.0, 264207 / 65536.0, 206095 / 65536.0, 153183 / 65536.0,
      105474 / 65536.0, 62966 / 65536.0, 25659 / 65536.0, -6446 / 65536.0, -33349 / 65536.0, -55051 / 65536.0},
     {0, 11}},
    // The interpolation uses the whole values t = 2, p = 1; the point's own
    // sample shows the table's 2.5 and 1.5.
    {"fractional values of a point",
     {0, 2.5, 4},
     {0, 1.5, 3},
     {0, 0.25, 0},
     {0, 2.5, 4},
     {0, 1, 2.5, 3, 4},
     {0, 0, 1.5, 2, 3},
     {0, 45056 / 65536.0, 0.25, 94208 / 65536.0, 0},
     {0, 2, 4}},
    // The exact cubic passes through -1 at sample 1; the truncated
    // coefficients put P one 2^-32 below it, so the floor is -2.
    {"one fraction unit below a whole position",
     {0, 3},
     {0, -3},
     {-0.5, 0},
     {0, 3},
     {0, 1, 2, 3},
     {0, -2, -3, -3},
     {-0.5, -87382 / 65536.0, -76459 / 65536.0, 0},
     {0, 3}},
    // Point 0 need not be at 0: sample indices count from its time.
    {"first point not at time 0",
     {10, 12, 13},
     {0, 2, 3},
     {0, 1, 0},
     {10, 12, 13},
     {10, 11, 12, 13},  // the series are 14 long; samples 4 ... 13 are not written
     {0, 0, 2, 3},
     {0, 1.25, 1, 0},
     {0, 2, 3}},
};

class ExactTable : public testing::TestWithParam<SExactCase> {};

TEST_P(ExactTable, SamplesAndPointIndices)
{
    const SExactCase& c = GetParam();
    SPreview preview;
    preview.Set(c.t, c.p, c.v);
    const SRun run = preview.Run();
    EXPECT_EQ(preview.Times(), c.keptT);
    ASSERT_EQ(run.pointToSample.size(), c.t.size());  // one element per point as it was
    EXPECT_EQ(Prefix(run.pointToSample, c.keptT.size()), c.pointToSample);
    const std::size_t n = c.time.size();
    ASSERT_GE(run.time.size(), n);
    EXPECT_EQ(std::vector<double>(run.time.begin(), run.time.begin() + n), c.time);
    EXPECT_EQ(std::vector<double>(run.position.begin(), run.position.begin() + n), c.position);
    if (!c.velocity.empty()) {
        EXPECT_EQ(std::vector<double>(run.velocity.begin(), run.velocity.begin() + n), c.velocity);
    }
    EXPECT_EQ(run.written, static_cast<int>(n));
}

INSTANTIATE_TEST_SUITE_P(PreviewSampler, ExactTable, testing::ValuesIn(kExactCases),
                         [](const testing::TestParamInfo<SExactCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(PreviewSampler, RemovedPointsLeaveAllThreeColumns)
{
    SPreview preview;
    preview.Set({0, 3, 3.5, 3.9, 6}, {0, 10, 20, 30, 40}, {0, 1, 2, 3, 0});
    const SRun run = preview.Run();
    EXPECT_EQ(preview.Positions(), (std::vector<double>{0, 10, 40}));
    EXPECT_EQ(preview.Velocities(), (std::vector<double>{0, 1, 0}));
    // Beyond the count left the elements keep what they held.
    EXPECT_EQ(run.pointToSample, (std::vector<DWORD>{0, 3, 6, kStale, kStale}));
    EXPECT_EQ(run.written, 7);
}

// ---------------------------------------------------------------------------
// Fixed-point forms of a point.

struct SFormCase {
    double value;
    std::int32_t expected;
};

TEST(PreviewSampler, TimeTruncatedTowardZeroOrMostNegative)
{
    const SFormCase cases[] = {
        {0, 0},
        {3.9, 3},
        {-3.9, -3},
        {-0.5, 0},
        {2147483646, 2147483646},
        {2147483647.99, 2147483647},
        {2147483648.0, INT32_MIN},
        {-2147483648.99, INT32_MIN},
        {-2147483647.5, -2147483647},
        {-2147483649.0, INT32_MIN},
        {1e300, INT32_MIN},
        {kInf, INT32_MIN},
        {-kInf, INT32_MIN},
        {kNaN, INT32_MIN},
    };
    for (const SFormCase& c : cases)
        EXPECT_EQ(CPreviewSampler::TimeOf(c.value), c.expected) << c.value;
}

TEST(PreviewSampler, PositionLowWordOfTruncation)
{
    const SFormCase cases[] = {
        {-10.9, -10},
        {10.9, 10},
        {2147483647, 2147483647},
        {2147483648.0, INT32_MIN},           // the low 32 bits, read as signed
        {4294967295.0, -1},
        {4294967296.0 + 5.5, 5},
        {-4294967296.0 - 7.5, -7},
        {9223372036854774784.0, -1024},      // the largest double below 2^63
        {9223372036854775808.0, 0},          // 2^63: beyond 64 bits, the low word of INT64_MIN
        {-9223372036854775808.0, 0},         // -2^63 itself: its low word
        {-9223372036854777856.0, 0},         // below it
        {kNaN, 0},
        {kInf, 0},
    };
    for (const SFormCase& c : cases)
        EXPECT_EQ(CPreviewSampler::PositionOf(c.value), c.expected) << c.value;
}

TEST(PreviewSampler, VelocityRoundedToSixteenthsHalvesUpward)
{
    const SFormCase cases[] = {
        {0.5 / 65536, 1},
        {-0.5 / 65536, 0},
        {1.5 / 65536, 2},
        {-1.5 / 65536, -1},
        {0.49 / 65536, 0},
        {-0.51 / 65536, -1},
        {30.5, 1998848},
        {-2.25, -147456},
        {10.659988403320312, 698613},
        {2147483647 / 65536.0, 2147483647},    // the largest 16.16 value
        {2147483647.4 / 65536, 2147483647},    // rounds down to it
        {2147483647.5 / 65536, INT32_MIN},     // rounds up to 2^31: out of range
        {32768, INT32_MIN},
        {-2147483647.5 / 65536, -2147483647},
        {-2147483648.5 / 65536, INT32_MIN},    // rounds up to -2^31, the most negative value
        {-2147483649.0 / 65536, INT32_MIN},    // below it
        {-40000, INT32_MIN},
        {kNaN, INT32_MIN},
        {kInf, INT32_MIN},
        {-kInf, INT32_MIN},
    };
    for (const SFormCase& c : cases)
        EXPECT_EQ(CPreviewSampler::VelocityOf(c.value), c.expected) << c.value;
}

// ---------------------------------------------------------------------------
// Lengths, the budget, and series never written outside.

struct SLengthCase {
    std::vector<double> t;
    int lastTime;
    int length;
    CPreviewSampler::tagExtent extent;
};

TEST(PreviewSampler, LengthFromTheLastTime)
{
    using S = CPreviewSampler;
    const SLengthCase cases[] = {
        {{0, 9}, 9, 10, S::EXTENT_DRAWN},
        {{0, 3.9}, 3, 4, S::EXTENT_DRAWN},
        {{0, -0.5}, 0, 1, S::EXTENT_DRAWN},
        {{0}, 0, 1, S::EXTENT_DRAWN},
        {{0, 5, -1}, -1, 0, S::EXTENT_EMPTY},
        {{}, -1, 0, S::EXTENT_EMPTY},
        {{0, 49999999}, 49999999, 50000000, S::EXTENT_DRAWN},  // the budget
        {{0, 50000000}, 50000000, 50000001, S::EXTENT_TOO_LONG},
        {{0, 2147483646}, 2147483646, 2147483647, S::EXTENT_TOO_LONG},
        {{0, 2147483647}, 2147483647, INT32_MIN, S::EXTENT_EMPTY},  // L + 1 wraps
        {{0, 3e9}, INT32_MIN, -2147483647, S::EXTENT_EMPTY},
        {{0, kNaN}, INT32_MIN, -2147483647, S::EXTENT_EMPTY},
    };
    for (const SLengthCase& c : cases) {
        SPreview preview;
        preview.data.m_Time.SetValuesInInternalUnit(c.t);
        EXPECT_EQ(S::GetLastTime(preview.data.m_Time), c.lastTime) << c.lastTime;
        EXPECT_EQ(S::GetSeriesLength(preview.data.m_Time), c.length) << c.lastTime;
        EXPECT_EQ(S::GetExtent(c.length), c.extent) << c.length;
    }
    static_assert(CPreviewSampler::kSampleBudget >= 30000000, "the benchmark table must be drawn");
}

TEST(PreviewSampler, TooLongRemovesButWritesNoSample)
{
    SPreview preview;
    preview.Set({0, 5, 5.5, 4, 50000000}, {0, 1, 2, 3, 4}, {0, 0, 0, 0, 0});
    // Series handed over anyway are not written.
    const SRun run = preview.Run(INT_MIN, 16);
    EXPECT_EQ(run.length, 50000001);
    EXPECT_EQ(run.written, 0);
    EXPECT_EQ(preview.Times(), (std::vector<double>{0, 5, 50000000}));
    EXPECT_EQ(preview.Positions(), (std::vector<double>{0, 1, 4}));
    EXPECT_EQ(run.pointToSample, (std::vector<DWORD>{0, 5, 50000000, kStale, kStale}));
}

TEST(PreviewSampler, DrawnLengthWithoutSeriesRemovesOnly)
{
    SPreview preview;
    preview.Set({0, 5, 5, 9}, {0, 1, 2, 3}, {0, 0, 0, 0});
    CDWordArray pointToSample;
    EXPECT_EQ(CPreviewSampler::Sample(preview.data.m_Time, preview.data.m_Position, preview.data.m_Velocity, 10,
                                      nullptr, nullptr, nullptr, pointToSample),
              0);
    EXPECT_EQ(preview.Times(), (std::vector<double>{0, 5, 9}));
    EXPECT_EQ(pointToSample.GetSize(), 4);
    EXPECT_EQ(pointToSample.GetAt(2), 9u);
}

TEST(PreviewSampler, EmptyLengthLeavesTheTable)
{
    // A last time of -1, or one beyond the 32-bit range: no sample, and the
    // point that does not advance stays.
    for (const double last : {-1.0, 2147483647.0, 5e9}) {
        SPreview preview;
        preview.Set({0, 5, 5, last}, {0, 1, 2, 3}, {0, 0, 0, 0});
        const SRun run = preview.Run(INT_MIN, 16);
        EXPECT_EQ(CPreviewSampler::GetExtent(run.length), CPreviewSampler::EXTENT_EMPTY) << last;
        EXPECT_EQ(run.written, 0);
        EXPECT_EQ(preview.Times(), (std::vector<double>{0, 5, 5, last}));
        EXPECT_EQ(run.pointToSample, (std::vector<DWORD>(4, kStale)));  // sized, not written
    }
}

TEST(PreviewSampler, LastTimeBelowAnEarlierTimeDropsTheSamplesPastTheEnd)
{
    // The series are sized from the last time (4), the points reach 20.
    SPreview preview;
    preview.Set({0, 10, 20, 4}, {0, 100, 300, 0}, {0, 5, 5, 0});
    const SRun cut = preview.Run();
    EXPECT_EQ(cut.length, 5);
    EXPECT_EQ(cut.written, 5);
    EXPECT_EQ(preview.Times(), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(Prefix(cut.pointToSample, 3), (std::vector<DWORD>{0, 10, 20}));

    // Every cut of the series holds the beginning of the whole one.
    const SRun whole = preview.Run(21);
    ASSERT_EQ(whole.written, 21);
    for (int length = 1; length <= 21; ++length) {
        const SRun run = preview.Run(length);
        EXPECT_EQ(run.written, length);
        for (int k = 0; k < length; ++k) {
            EXPECT_EQ(run.time[k], whole.time[k]) << length << " " << k;
            EXPECT_EQ(run.position[k], whole.position[k]) << length << " " << k;
            EXPECT_EQ(run.velocity[k], whole.velocity[k]) << length << " " << k;
        }
    }
}

TEST(PreviewSampler, SampleIndicesBeyondThirtyTwoBits)
{
    // Steps of 2147483647 across the 32-bit wrap of the times: each is a
    // positive 32-bit difference, so each point advances.
    SPreview preview;
    preview.Set({0, 2147483647, -2, 2147483645, -4, 3}, {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0});
    const SRun run = preview.Run();
    EXPECT_EQ(run.length, 4);
    EXPECT_EQ(run.written, 4);
    EXPECT_EQ(run.time, (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(preview.Times().size(), 6u);
    EXPECT_EQ(run.pointToSample,
              (std::vector<DWORD>{0, 2147483647, 4294967294u, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}));
}

TEST(PreviewSampler, TimeOfSamplesWrapsWithThePoints)
{
    // From 2147483640 to -2147483640 is 16 periods in 32-bit arithmetic; the
    // series (8 long) end inside that segment.
    SPreview preview;
    preview.Set({2147483640, -2147483640, 7}, {0, 16, 20}, {0, 0, 0});
    const SRun run = preview.Run();
    ASSERT_EQ(run.length, 8);
    EXPECT_EQ(run.time, (std::vector<double>{2147483640, 2147483641, 2147483642, 2147483643, 2147483644, 2147483645,
                                             2147483646, 2147483647}));
    EXPECT_EQ(Prefix(run.pointToSample, 3), (std::vector<DWORD>{0, 16, 2147483663u}));
}

TEST(PreviewSampler, ColumnsOfDifferentLengths)
{
    // Only the points all three columns have; no value outside a column is
    // read, and the longer columns keep their extra values.
    SPreview preview;
    preview.Set({0, 2, 2, 4, 6}, {0, 1, 1}, {0, 0, 0, 0});
    const SRun run = preview.Run();
    EXPECT_EQ(run.length, 7);
    EXPECT_EQ(run.written, 3);
    EXPECT_EQ(preview.Times(), (std::vector<double>{0, 2, 4, 6}));
    EXPECT_EQ(preview.Positions(), (std::vector<double>{0, 1}));
    EXPECT_EQ(preview.Velocities(), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(run.pointToSample.size(), 5u);
}

// ---------------------------------------------------------------------------
// Properties.

// Removing the points that do not advance one by one, as a reference.
void RemoveOneByOne(SPreview& preview)
{
    CDK_ArrayParameter& t = preview.data.m_Time;
    int n = t.GetValuesCount();
    std::int32_t prev = CPreviewSampler::TimeOf(t.GetValueInInternalUnit(0));
    for (int i = 1; i < n;) {
        const std::int32_t ti = CPreviewSampler::TimeOf(t.GetValueInInternalUnit(i));
        if (static_cast<std::int32_t>(static_cast<std::uint32_t>(ti) - static_cast<std::uint32_t>(prev)) <= 0) {
            t.RemoveValueAt(i, 1);
            preview.data.m_Position.RemoveValueAt(i, 1);
            preview.data.m_Velocity.RemoveValueAt(i, 1);
            --n;
        } else {
            prev = ti;
            ++i;
        }
    }
}

// A table whose times go forward, stand still, go back, have fractions and
// leave the 32-bit range.
void RandomTable(std::mt19937_64& rng, int n, std::vector<double>& t, std::vector<double>& p, std::vector<double>& v)
{
    std::uniform_int_distribution<int> kind(0, 9), step(1, 40), pos(-5000, 5000), vel(-3000000, 3000000);
    double time = 0;
    t = {0};
    p = {0};
    v = {0};
    for (int i = 1; i < n; ++i) {
        switch (kind(rng)) {
        case 0: t.push_back(time + 0.75); break;          // same whole time
        case 1: t.push_back(time - step(rng)); break;     // back
        case 2: t.push_back(i % 3 ? kNaN : 3e9); break;   // outside the 32-bit range
        default:
            time += step(rng) + (kind(rng) == 0 ? 0.5 : 0.0);
            t.push_back(time);
        }
        p.push_back(pos(rng) + 0.25 * kind(rng));
        v.push_back(vel(rng) / 65536.0);
    }
    // A last point after all others, so that the series cover the table.
    t.push_back(time + 5);
    p.push_back(pos(rng));
    v.push_back(0);
}

TEST(PreviewSampler, RemovalInOnePassEqualsRemovalOneByOne)
{
    std::mt19937_64 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<double> t, p, v;
        RandomTable(rng, 2 + round % 60, t, p, v);
        SPreview fast, reference;
        fast.Set(t, p, v);
        reference.Set(t, p, v);
        const int length = CPreviewSampler::GetSeriesLength(fast.data.m_Time);
        const SRun run = fast.Run(length);
        RemoveOneByOne(reference);
        ASSERT_EQ(fast.Times().size(), reference.Times().size()) << round;
        ExpectSameBits(fast.Times(), reference.Times(), "time column");
        ExpectSameBits(fast.Positions(), reference.Positions(), "position column");
        ExpectSameBits(fast.Velocities(), reference.Velocities(), "velocity column");
        // The points that were removed had no part in the samples.
        const SRun again = reference.Run(length);
        ExpectSameBits(run.time, again.time, "time");
        ExpectSameBits(run.position, again.position, "position");
        ExpectSameBits(run.velocity, again.velocity, "velocity");
        EXPECT_EQ(run.written, again.written);
        EXPECT_EQ(Prefix(run.pointToSample, reference.Times().size()), Prefix(again.pointToSample, reference.Times().size()));
    }
}

// In any unit each sample is IUToUnit of the sample in internal units, to
// the bit: on the embedded drive (rot, rpm, s) and on a drive whose velocity
// factor is so small that a scaled copy of it would lose bits.
TEST(PreviewSampler, DisplayUnitsAreIUToUnitOfInternalUnits)
{
    const char* const extreme = R"({"countsPerRevolution": 1e154, "samplingPeriod": 1e154, "variables": [
        {"name": "TPOS", "type": "int32", "quantity": "position", "unit": "rad"},
        {"name": "TSPD", "type": "fixed", "quantity": "velocity", "unit": "rpm"},
        {"name": "ATIME", "type": "int32", "quantity": "time", "unit": "ms"}]})";
    for (const char* document : {static_cast<const char*>(nullptr), extreme}) {
        std::mt19937_64 rng(5);
        for (int round = 0; round < 20; ++round) {
            std::vector<double> t, p, v;
            RandomTable(rng, 30, t, p, v);
            SPreview internal("IU", document), display(nullptr, document);
            internal.Set(t, p, v);
            display.Set(t, p, v);
            const SRun a = internal.Run();
            const SRun b = display.Run();
            ASSERT_EQ(a.written, b.written);
            std::vector<double> time = a.time, position = a.position, velocity = a.velocity;
            for (int k = 0; k < a.written; ++k) {
                display.data.m_Time.IUToUnit(time[k]);
                display.data.m_Position.IUToUnit(position[k]);
                display.data.m_Velocity.IUToUnit(velocity[k]);
            }
            time.resize(a.written);
            position.resize(a.written);
            velocity.resize(a.written);
            ExpectSameBits(std::vector<double>(b.time.begin(), b.time.begin() + b.written), time, "time");
            ExpectSameBits(std::vector<double>(b.position.begin(), b.position.begin() + b.written), position, "position");
            ExpectSameBits(std::vector<double>(b.velocity.begin(), b.velocity.begin() + b.written), velocity, "velocity");
        }
    }
}

// Shifting every position by c shifts every position sample by c in 32-bit
// wrap-around, also across 2147483647.
TEST(PreviewSampler, PositionsWrapAsThirtyTwoBitNumbers)
{
    const std::vector<double> t = {0, 7, 100, 611}, v = {0, 3000.25, -12.5, 0};
    const std::vector<double> p = {0, 20000, -8000000, 388607};
    SPreview base;
    base.Set(t, p, v);
    const SRun a = base.Run();
    for (const std::int64_t c : {std::int64_t{2147483000}, std::int64_t{-2147480000}, std::int64_t{4294967296 * 3 + 17}}) {
        std::vector<double> shifted;
        for (const double x : p)
            shifted.push_back(x + static_cast<double>(c));
        SPreview moved;
        moved.Set(t, shifted, v);
        const SRun b = moved.Run();
        ASSERT_EQ(a.written, b.written);
        for (int k = 0; k < a.written; ++k) {
            if (k == 0 || k == 7 || k == 100 || k == 611)
                continue;  // the points' own samples show the table's values
            const auto expected = static_cast<std::int32_t>(static_cast<std::uint32_t>(
                static_cast<std::int64_t>(a.position[k]) + c));
            EXPECT_EQ(b.position[k], expected) << c << " " << k;
            EXPECT_EQ(b.velocity[k], a.velocity[k]) << c << " " << k;
        }
    }
}

// The forward differences are the cubic itself: with the segment's
// coefficients A, B and G, and S0 = 2 (B - G) (even, so it halves exactly),
// sample k is P0 + V0 k + (S0 / 2) k^2 + A k^3 and its velocity
// V0 + S0 k + 3 A k^2, modulo 2^64. Within the limits of a segment (at most
// 511 periods, a 24-bit position step, any 32-bit velocity) S never wraps,
// so this holds to the bit, for any start position.
TEST(PreviewSampler, ForwardDifferencesEqualTheClosedForm)
{
    using u64 = std::uint64_t;
    using i64 = std::int64_t;
    std::mt19937_64 rng(9);
    std::uniform_int_distribution<int> duration(2, 511), step(-8388607, 8388607), start(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> fixed(INT32_MIN, INT32_MAX);
    const auto div = [](u64 value, i64 divisor) { return static_cast<u64>(static_cast<i64>(value) / divisor); };
    for (int round = 0; round < 300; ++round) {
        const int T = duration(rng);
        const std::int64_t p0 = start(rng), p1 = p0 + step(rng);
        const std::int32_t f0 = fixed(rng), f1 = round % 3 ? fixed(rng) : fixed(rng) / 4096;
        SPreview preview;
        preview.Set({0, static_cast<double>(T)}, {static_cast<double>(p0), static_cast<double>(p1)},
                    {f0 / 65536.0, f1 / 65536.0});
        const SRun run = preview.Run();
        ASSERT_EQ(run.written, T + 1);
        const u64 P0 = static_cast<u64>(p0) << 32, P1 = static_cast<u64>(p1) << 32;
        const u64 V0 = static_cast<u64>(static_cast<i64>(f0)) << 16, V1 = static_cast<u64>(static_cast<i64>(f1)) << 16;
        const u64 D = P0 - P1;
        const u64 A = div(div(div(2 * D, T) + V1 + V0, T), T);
        const u64 B = div(div(0 - 3 * D, T), T);
        const u64 G = div(2 * V0 + V1, T);
        const u64 S0 = 2 * (B - G);
        const u64 half = static_cast<u64>(static_cast<i64>(S0) / 2);
        for (u64 k = 1; k < static_cast<u64>(T); ++k) {
            const u64 P = P0 + V0 * k + half * k * k + A * k * k * k;
            const u64 V = V0 + S0 * k + 3 * A * k * k;
            EXPECT_EQ(run.position[k], static_cast<std::int32_t>(static_cast<std::uint32_t>(P >> 32)))
                << "T " << T << " k " << k;
            EXPECT_EQ(run.velocity[k] * 65536.0, static_cast<std::int32_t>(static_cast<std::uint32_t>(V >> 16)))
                << "T " << T << " k " << k;
        }
    }
}

using i128 = __int128;

i128 FloorDiv(i128 a, i128 b)  // b > 0
{
    const i128 q = a / b;
    return q * b > a ? q - 1 : q;
}

// Segments from known cubics: integer end positions, 16.16 end velocities,
// any duration up to 511. Every interpolated sample is the floor (position)
// or the 1/65536 floor (velocity) of the exact cubic within the error of the
// truncating divisions: with T the duration and k the sample, in units of
// 2^-32, the cubic coefficient is off by less than 1/T^2 + 1/T + 1 and the
// quadratic one by less than 1/T + 2; S stays even, so its division by 2 is
// exact. So the position is off by less than
//   (1/T^2 + 1/T + 1) k^3 + (1/T + 2) k^2,
// the velocity by less than 3 (1/T^2 + 1/T + 1) k^2 + 2 (1/T + 2) k.
TEST(PreviewSampler, SamplesFollowTheExactCubic)
{
    std::mt19937_64 rng(3);
    std::uniform_int_distribution<int> duration(2, 511), step(-8388607, 8388607), start(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int64_t> fixed(INT32_MIN, INT32_MAX), small(-4000000, 4000000);
    const i128 two32 = i128{1} << 32;
    for (int round = 0; round < 400; ++round) {
        const int T = round < 20 ? 2 + round % 3 : (round < 40 ? 511 : duration(rng));
        const i128 p0 = start(rng), p1 = p0 + step(rng);
        // Full-range velocities, and ones a real motion has.
        const i128 f0 = round % 2 ? fixed(rng) : small(rng), f1 = round % 4 < 2 ? fixed(rng) : small(rng);
        SPreview preview;
        preview.Set({0, static_cast<double>(T)}, {static_cast<double>(p0), static_cast<double>(p1)},
                    {static_cast<double>(f0) / 65536, static_cast<double>(f1) / 65536});
        const SRun run = preview.Run();
        ASSERT_EQ(run.written, T + 1);
        // 32.32 values of the cubic x(k) = P0 + V0 k + c k^2 + a k^3 with
        // a = Na / T^3 and c = Nc / T^2.
        const i128 P0 = p0 * two32, P1 = p1 * two32, V0 = f0 << 16, V1 = f1 << 16;
        const i128 T1 = T, T2 = T1 * T1, T3 = T2 * T1;
        const i128 Na = 2 * (P0 - P1) + (V0 + V1) * T1;
        const i128 Nc = 3 * (P1 - P0) - (2 * V0 + V1) * T1;
        for (int k = 1; k < T; ++k) {
            const i128 K = k;
            // Scaled by 2 T^3 so that the bounds are whole numbers.
            const i128 x = 2 * (P0 * T3 + V0 * K * T3 + Nc * K * K * T1 + Na * K * K * K);
            const i128 ex = 2 * (T1 + T2 + T3) * K * K * K + 2 * (T2 + 2 * T3) * K * K;
            const i128 lo = FloorDiv(x - ex, 2 * T3 * two32), hi = FloorDiv(x + ex, 2 * T3 * two32);
            const auto sample = static_cast<std::int64_t>(run.position[k]);
            EXPECT_LE(static_cast<std::uint32_t>(static_cast<std::uint64_t>(sample - static_cast<std::int64_t>(lo))),
                      static_cast<std::uint64_t>(hi - lo))
                << "T " << T << " k " << k << " position " << sample;
            const i128 w = V0 * T3 + 2 * Nc * K * T1 + 3 * Na * K * K;
            const i128 ew = 3 * (T1 + T2 + T3) * K * K + 2 * (T2 + 2 * T3) * K;
            const i128 wlo = FloorDiv(w - ew, T3 << 16), whi = FloorDiv(w + ew, T3 << 16);
            const auto bits = static_cast<std::int64_t>(run.velocity[k] * 65536.0);
            EXPECT_LE(static_cast<std::uint32_t>(static_cast<std::uint64_t>(bits - static_cast<std::int64_t>(wlo))),
                      static_cast<std::uint64_t>(whi - wlo))
                << "T " << T << " k " << k << " velocity " << run.velocity[k];
            EXPECT_EQ(run.time[k], k);
        }
        // At both ends the points themselves.
        EXPECT_EQ(run.position[0], static_cast<double>(p0));
        EXPECT_EQ(run.position[T], static_cast<double>(p1));
        EXPECT_EQ(run.velocity[T], static_cast<double>(f1) / 65536);
    }
}

}  // namespace
