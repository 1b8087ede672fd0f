// CPreviewSampler: the trajectory preview's samples, exact to the bit, the
// removal of points that do not advance, and series never written outside
// their length.
#include "kernel/ArrayParameter.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewSampler.h"
#include "tests/platform/PlatformTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <cstdint>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

using u64 = std::uint64_t;
using i64 = std::int64_t;
using i128 = __int128;
using Doubles = std::vector<double>;
using Indices = std::vector<std::uint32_t>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
constexpr double kUnwritten = -7.25e77;  // what the series hold before a run
constexpr int kGuard = 8;                // elements past the end that must stay unwritten
constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;
constexpr int kFromTable = INT_MIN;

std::int32_t Low32(u64 value) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); }

struct SRun {
    int length = 0;
    int written = 0;
    Doubles time, position, velocity;  // the first `written` samples
    Indices pointToSample;  // of the points kept
};

// A record on a drive (the embedded default unless a setup document is
// given) with the three point columns bound, in `units`, or in the columns'
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
        for (CDK_ArrayParameter* column : {&data.m_Time, &data.m_Position, &data.m_Velocity})
            EXPECT_TRUE(!units || column->SelectUnit(units));
    }
    void Set(Doubles t, Doubles p, Doubles v)
    {
        data.m_Time.SetValuesInInternalUnit(std::move(t));
        data.m_Position.SetValuesInInternalUnit(std::move(p));
        data.m_Velocity.SetValuesInInternalUnit(std::move(v));
    }
    Doubles Times() const { return data.m_Time.GetValuesInInternalUnit(); }
    Doubles Positions() const { return data.m_Position.GetValuesInInternalUnit(); }
    Doubles Velocities() const { return data.m_Velocity.GetValuesInInternalUnit(); }
    STrajectoryTable Table() const
    {
        return STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    }

    // A rebuild as the dialog makes it: the length from the time column (or
    // `length`), series of that length when they are drawn, else series of
    // `buffer` elements, to show that nothing is written into them; then the
    // points that do not advance leave the table. Checks that nothing was
    // written past the length.
    SRun Run(int length = kFromTable, int buffer = 0)
    {
        SRun run;
        run.length = length == kFromTable ? CPreviewSampler::GetSeriesLength(Table()) : length;
        const bool drawn = CPreviewSampler::GetExtent(run.length) == CPreviewSampler::EXTENT_DRAWN;
        const int end = drawn ? run.length : 0;
        const std::size_t given = static_cast<std::size_t>(drawn ? run.length : buffer);
        const std::size_t size = given + kGuard;
        Doubles t(size, kUnwritten), p(size, kUnwritten), v(size, kUnwritten);
        CPreviewSampler::SSamples out;
        out.time = std::span(t).first(given);
        out.position = std::span(p).first(given);
        out.velocity = std::span(v).first(given);
        CPreviewSampler::Sample(Table(), run.length, out);
        CPreviewSampler::RemovePoints(data.m_Time, data.m_Position, data.m_Velocity, out.dropped);
        run.written = out.written;
        for (std::size_t i = static_cast<std::size_t>(end); i < size; ++i)
            EXPECT_TRUE(t[i] == kUnwritten && p[i] == kUnwritten && v[i] == kUnwritten) << "written outside: " << i;
        EXPECT_LE(run.written, end);
        EXPECT_EQ(out.extent, CPreviewSampler::GetExtent(run.length));
        run.time.assign(t.begin(), t.begin() + run.written);
        run.position.assign(p.begin(), p.begin() + run.written);
        run.velocity.assign(v.begin(), v.begin() + run.written);
        run.pointToSample = out.pointToSample;
        return run;
    }
};

// Equal to the bit (0 and -0 differ).
void ExpectSameBits(const Doubles& actual, const Doubles& expected, const char* what)
{
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i)
        EXPECT_EQ(std::bit_cast<u64>(actual[i]), std::bit_cast<u64>(expected[i])) << what << " sample " << i;
}

// ---------------------------------------------------------------------------
// Worked tables, display units equal to internal units.

struct SExactCase {
    const char* name;
    Doubles t, p, v;                  // the table
    Doubles time, position, velocity;  // the samples written; velocity unchecked when empty
    Indices pointToSample;            // of the points kept
};

constexpr double k16 = 65536.0;

const SExactCase kExactCases[] = {
    {"three points", {0, 5, 9}, {0, 100, 50}, {0, 30.5, 0},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 5, 20, 42, 70, 100, 109, 90, 63, 50},
     {0, 698613 / k16, 1247805 / k16, 1647575 / k16, 1897922 / k16, 30.5, -8.34375, -26.375, -23.59375, 0},
     {0, 5, 9}},
    // p = -10 enters the interpolation; the point's own sample is exact.
    {"negative position truncated toward zero", {0, 3}, {0, -10.9}, {0, -2.25},
     {0, 1, 2, 3}, {0, -3, -7, -10.9}, {0, -3.6944580078125, -4.4444580078125, -2.25}, {0, 3}},
    {"one point", {0}, {0}, {0}, {0}, {0}, {0}, {0}},
    {"no interpolated samples", {0, 1, 2}, {0, 5, 7}, {0, 2, 0}, {0, 1, 2}, {0, 5, 7}, {0, 2, 0}, {0, 1, 2}},
    // The points at 3.5 and 3.9 (whole time 3) are removed.
    {"points that do not advance", {0, 3, 3.5, 3.9, 6}, {0, 10, 20, 30, 40}, {0, 1, 2, 3, 0},
     {0, 1, 2, 3, 4, 5, 6}, {0, 2, 6, 10, 18, 32, 40}, {}, {0, 3, 6}},
    // f = 1: halves round upward; with -0.5 / 65536, f = 0 and nothing moves.
    {"velocity half rounded up", {0, 2}, {0, 0}, {0, 0.5 / k16},
     {0, 1, 2}, {0, -1, 0}, {0, -1 / k16, 0.5 / k16}, {0, 2}},
    {"velocity minus half rounded up to 0", {0, 2}, {0, 0}, {0, -0.5 / k16},
     {0, 1, 2}, {0, 0, 0}, {0, 0, -0.5 / k16}, {0, 2}},
    // x^3 on [0, 16]: every division is exact, so are the samples.
    {"the cubic x^3", {0, 16}, {0, 4096}, {0, 768},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
     {0, 1, 8, 27, 64, 125, 216, 343, 512, 729, 1000, 1331, 1728, 2197, 2744, 3375, 4096},
     {0, 3, 12, 27, 48, 75, 108, 147, 192, 243, 300, 363, 432, 507, 588, 675, 768}, {0, 16}},
    // The high word of P is a 32-bit position that wraps: 2147483000 moves
    // by +1296 to -2147483000.
    {"position wraps past 2147483647", {0, 4}, {2147483000, -2147483000}, {0, 0},
     {0, 1, 2, 3, 4}, {2147483000, 2147483202, -2147483648.0, -2147483203, -2147483000}, {0, 364.5, 486, 364.5, 0},
     {0, 4}},
    // Bits 16 ... 47 of V are a 16.16 velocity that wraps: the slope 33116.5
    // in the middle reads as 33116.5 - 65536.
    {"velocity wraps past 32768", {0, 2}, {0, 66000}, {32767, 32767},
     {0, 1, 2}, {0, 33000, 66000}, {32767, -32419.5, 32767}, {0, 2}},
    // Floored divisions would make A and G one unit lower and sample 2 -1.
    {"divisions truncate toward zero", {0, 3}, {0, 0}, {-2 / k16, -1 / k16},
     {0, 1, 2, 3}, {0, -1, 0, 0}, {-2 / k16, 0, 0, -1 / k16}, {0, 3}},
    // The end velocities enter A after the first division of 2 D; divided
    // with 2 D at once, the last interpolated velocity would be 1/65536 lower.
    {"order of the divisions of A", {0, 11}, {0, 26}, {469755 / k16, -55051 / k16},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {0, 6, 12, 16, 20, 22, 24, 26, 26, 26, 26, 26},
     {469755 / k16, 396037 / k16, 327521 / k16, 264207 / k16, 206095 / k16, 153183 / k16, 105474 / k16, 62966 / k16,
      25659 / k16, -6446 / k16, -33349 / k16, -55051 / k16},
     {0, 11}},
    // The exact cubic passes through -1 at sample 1; the truncated
    // coefficients put P one 2^-32 below it, so the floor is -2.
    {"one fraction unit below a whole position", {0, 3}, {0, -3}, {-0.5, 0},
     {0, 1, 2, 3}, {0, -2, -3, -3}, {-0.5, -87382 / k16, -76459 / k16, 0}, {0, 3}},
    // The interpolation uses t = 2 and p = 1; the point's own sample shows
    // the table's 2.5 and 1.5.
    {"fractional values of a point", {0, 2.5, 4}, {0, 1.5, 3}, {0, 0.25, 0},
     {0, 1, 2.5, 3, 4}, {0, 0, 1.5, 2, 3}, {0, 45056 / k16, 0.25, 94208 / k16, 0}, {0, 2, 4}},
    // Sample indices count from point 0's time: of the 14 samples (last
    // time 13) only 0 ... 3 are written.
    {"first point not at time 0", {10, 12, 13}, {0, 2, 3}, {0, 1, 0},
     {10, 11, 12, 13}, {0, 0, 2, 3}, {0, 1.25, 1, 0}, {0, 2, 3}},
};

class ExactTable : public testing::TestWithParam<SExactCase> {};

TEST_P(ExactTable, SamplesAndPointIndices)
{
    const SExactCase& c = GetParam();
    SPreview preview;
    preview.Set(c.t, c.p, c.v);
    const SRun run = preview.Run();
    EXPECT_EQ(run.time, c.time);
    EXPECT_EQ(run.position, c.position);
    if (!c.velocity.empty()) {
        EXPECT_EQ(run.velocity, c.velocity);
    }
    EXPECT_EQ(run.pointToSample, c.pointToSample);
}

INSTANTIATE_TEST_SUITE_P(PreviewSampler, ExactTable, testing::ValuesIn(kExactCases),
                         [](const testing::TestParamInfo<SExactCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

// ---------------------------------------------------------------------------
// Fixed-point forms of a point.

TEST(PreviewSampler, FixedPointForms)
{
    struct SForm {
        std::int32_t (*form)(double);
        double value;
        std::int32_t expected;
    };
    const auto t = &CPreviewSampler::TimeOf, p = &CPreviewSampler::PositionOf, f = &CPreviewSampler::VelocityOf;
    const SForm cases[] = {
        // Times: truncated toward zero; outside 32 bits the most negative.
        {t, 3.9, 3}, {t, -3.9, -3}, {t, -0.5, 0}, {t, 2147483647.99, 2147483647}, {t, 2147483648.0, INT32_MIN},
        {t, -2147483648.99, INT32_MIN}, {t, -2147483647.5, -2147483647}, {t, -2147483649.0, INT32_MIN},
        {t, kInf, INT32_MIN}, {t, -kInf, INT32_MIN}, {t, kNaN, INT32_MIN},
        // Positions: the low 32 bits of the truncation to 64 bits.
        {p, -10.9, -10}, {p, 2147483648.0, INT32_MIN}, {p, 4294967295.0, -1}, {p, 4294967296.0 + 5.5, 5},
        {p, -4294967296.0 - 7.5, -7}, {p, 9223372036854774784.0, -1024},  // the largest double below 2^63
        {p, 9223372036854775808.0, 0}, {p, -9223372036854775808.0, 0}, {p, -9223372036854777856.0, 0},
        {p, kNaN, 0}, {p, kInf, 0},
        // Velocities: the nearest 1/65536, halves upward; outside 32 bits the most negative.
        {f, 0.5 / k16, 1}, {f, -0.5 / k16, 0}, {f, 1.5 / k16, 2}, {f, -1.5 / k16, -1}, {f, 0.49 / k16, 0},
        {f, -0.51 / k16, -1}, {f, 30.5, 1998848}, {f, -2.25, -147456}, {f, 10.659988403320312, 698613},
        {f, 2147483647 / k16, 2147483647}, {f, 2147483647.4 / k16, 2147483647}, {f, 2147483647.5 / k16, INT32_MIN},
        {f, -2147483647.5 / k16, -2147483647}, {f, -2147483648.5 / k16, INT32_MIN}, {f, -2147483649.0 / k16, INT32_MIN},
        {f, kNaN, INT32_MIN}, {f, kInf, INT32_MIN}, {f, -kInf, INT32_MIN},
    };
    for (const SForm& c : cases)
        EXPECT_EQ(c.form(c.value), c.expected) << (c.form == t ? "time " : c.form == p ? "position " : "velocity ")
                                               << c.value;
}

// ---------------------------------------------------------------------------
// Lengths, the budget, and series never written outside.

TEST(PreviewSampler, LengthFromTheLastTime)
{
    using S = CPreviewSampler;
    struct SLength {
        Doubles t;
        int lastTime, length;
        S::tagExtent extent;
    };
    const SLength cases[] = {
        {{0, 9}, 9, 10, S::EXTENT_DRAWN},
        {{0, 3.9}, 3, 4, S::EXTENT_DRAWN},
        {{0, -0.5}, 0, 1, S::EXTENT_DRAWN},
        {{0, 5, -1}, -1, 0, S::EXTENT_EMPTY},
        {{}, -1, 0, S::EXTENT_EMPTY},
        {{0, 49999999}, 49999999, 50000000, S::EXTENT_DRAWN},  // the budget
        {{0, 50000000}, 50000000, 50000001, S::EXTENT_TOO_LONG},
        {{0, 2147483646}, 2147483646, 2147483647, S::EXTENT_TOO_LONG},
        {{0, 2147483647}, 2147483647, INT32_MIN, S::EXTENT_EMPTY},  // L + 1 wraps
        {{0, 3e9}, INT32_MIN, -2147483647, S::EXTENT_EMPTY},
        {{0, kNaN}, INT32_MIN, -2147483647, S::EXTENT_EMPTY},
    };
    for (const SLength& c : cases) {
        SPreview preview;
        preview.data.m_Time.SetValuesInInternalUnit(c.t);
        EXPECT_EQ(S::GetLastTime(preview.Table()), c.lastTime) << c.lastTime;
        EXPECT_EQ(S::GetSeriesLength(preview.Table()), c.length) << c.lastTime;
        EXPECT_EQ(S::GetExtent(c.length), c.extent) << c.length;
    }
    static_assert(CPreviewSampler::kSampleBudget >= 30000000, "the benchmark table must be drawn");
}

// Series that are not drawn get no sample, even when they are handed over.
TEST(PreviewSampler, NothingWrittenWhenNotDrawn)
{
    struct SNotDrawn {
        const char* name;
        Doubles t;
        Doubles keptT;
        Indices pointToSample;
    };
    const SNotDrawn cases[] = {
        // Too long: the points that do not advance are removed all the same.
        {"too long", {0, 5, 5.5, 4, 50000000}, {0, 5, 50000000}, {0, 5, 50000000}},
        // Length <= 0: nothing is found or removed.
        {"last time -1", {0, 5, 5, -1}, {0, 5, 5, -1}, {}},
        {"last time 2147483647", {0, 5, 5, 2147483647}, {0, 5, 5, 2147483647}, {}},
        {"last time beyond 32 bits", {0, 5, 5, 5e9}, {0, 5, 5, 5e9}, {}},
    };
    for (const SNotDrawn& c : cases) {
        SPreview preview;
        preview.Set(c.t, Doubles(c.t.size(), 7), Doubles(c.t.size(), 0));
        const SRun run = preview.Run(kFromTable, 16);
        EXPECT_NE(CPreviewSampler::GetExtent(run.length), CPreviewSampler::EXTENT_DRAWN) << c.name;
        EXPECT_EQ(run.written, 0) << c.name;
        EXPECT_EQ(preview.Times(), c.keptT) << c.name;
        EXPECT_EQ(preview.Positions().size(), c.keptT.size()) << c.name;
        EXPECT_EQ(run.pointToSample, c.pointToSample) << c.name;
    }
    // A drawn length without series: the dropped points and indices only.
    SPreview preview;
    preview.Set({0, 5, 5, 9}, {0, 1, 2, 3}, {0, 0, 0, 0});
    CPreviewSampler::SSamples out;
    CPreviewSampler::Sample(preview.Table(), 10, out);
    EXPECT_EQ(out.written, 0);
    EXPECT_EQ(out.dropped, (std::vector<int>{2}));
    EXPECT_EQ(out.pointToSample, (Indices{0, 5, 9}));
    EXPECT_EQ(preview.Positions(), (Doubles{0, 1, 2, 3}));  // the table is not changed by sampling
}

TEST(PreviewSampler, RemovedPointsLeaveAllThreeColumns)
{
    SPreview preview;
    preview.Set({0, 3, 3.5, 3.9, 6}, {0, 10, 20, 30, 40}, {0, 1, 2, 3, 0});
    const SRun run = preview.Run();
    EXPECT_EQ(preview.Times(), (Doubles{0, 3, 6}));
    EXPECT_EQ(preview.Positions(), (Doubles{0, 10, 40}));
    EXPECT_EQ(preview.Velocities(), (Doubles{0, 1, 0}));
    EXPECT_EQ(run.pointToSample, (Indices{0, 3, 6}));
}

TEST(PreviewSampler, RemovePointsRefusesIndicesOutsideOrOutOfOrder)
{
    // Three points in all columns (the velocity column is the shortest).
    for (const std::vector<int>& dropped : {std::vector<int>{-1}, {3}, {2, 1}, {1, 1}, {1, 2, 3}}) {
        SPreview preview;
        preview.Set({0, 1, 2, 3}, {0, 1, 2, 3}, {0, 0, 0});
        EXPECT_TRUE(ThrowsInvalidArg([&] {
            CPreviewSampler::RemovePoints(preview.data.m_Time, preview.data.m_Position, preview.data.m_Velocity, dropped);
        })) << dropped.back();
        EXPECT_EQ(preview.Times(), (Doubles{0, 1, 2, 3}));
        EXPECT_EQ(preview.Velocities(), (Doubles{0, 0, 0}));
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
    EXPECT_EQ(preview.Times(), (Doubles{0, 10, 20}));
    EXPECT_EQ(cut.pointToSample, (Indices{0, 10, 20}));
    // Every cut of the series is the beginning of the whole one.
    const SRun whole = preview.Run(21);
    ASSERT_EQ(whole.written, 21);
    for (int length = 1; length <= 21; ++length) {
        const SRun run = preview.Run(length);
        ASSERT_EQ(run.written, length);
        EXPECT_EQ(run.time, Doubles(whole.time.begin(), whole.time.begin() + length));
        EXPECT_EQ(run.position, Doubles(whole.position.begin(), whole.position.begin() + length));
        EXPECT_EQ(run.velocity, Doubles(whole.velocity.begin(), whole.velocity.begin() + length));
    }
}

TEST(PreviewSampler, TimesFarBelowThePreviousOneDoNotAdvance)
{
    // Steps between whole times are taken in 64 bits: a time far below the
    // previous one, across the 32-bit range, is no step forward and is
    // removed, as any smaller time is; the kept times strictly increase.
    SPreview preview;
    preview.Set({0, 2147483647, -2, 2147483645, -4, 3}, Doubles(6, 0), Doubles(6, 0));
    SRun run = preview.Run();
    EXPECT_EQ(run.time, (Doubles{0, 1, 2, 3}));  // the start of the segment to 2147483647
    EXPECT_EQ(preview.Times(), (Doubles{0, 2147483647}));
    EXPECT_EQ(run.pointToSample, (Indices{0, 2147483647}));

    // -2147483640 and 7 both lie below 2147483640: point 0 alone is kept.
    preview.Set({2147483640, -2147483640, 7}, {0, 16, 20}, {0, 0, 0});
    run = preview.Run();
    EXPECT_EQ(run.time, (Doubles{2147483640}));
    EXPECT_EQ(preview.Times(), (Doubles{2147483640}));
}

TEST(PreviewSampler, ColumnsOfDifferentLengths)
{
    // Only the points all three columns have; the longer columns keep their
    // extra values.
    SPreview preview;
    preview.Set({0, 2, 2, 4, 6}, {0, 1, 1}, {0, 0, 0, 0});
    const SRun run = preview.Run();
    EXPECT_EQ(run.length, 7);
    EXPECT_EQ(run.written, 3);
    EXPECT_EQ(preview.Times(), (Doubles{0, 2, 4, 6}));
    EXPECT_EQ(preview.Positions(), (Doubles{0, 1}));
    EXPECT_EQ(preview.Velocities(), (Doubles{0, 0, 0}));
    EXPECT_EQ(run.pointToSample, (Indices{0, 2}));
}

// ---------------------------------------------------------------------------
// Properties.

// A table whose times go forward, stand still, go back, have fractions and
// leave the 32-bit range, ending after all others.
void RandomTable(std::mt19937_64& rng, int n, Doubles& t, Doubles& p, Doubles& v)
{
    std::uniform_int_distribution<int> kind(0, 9), step(1, 40), pos(-5000, 5000), vel(-3000000, 3000000);
    double time = 0;
    t = {0}, p = {0}, v = {0};
    for (int i = 1; i < n; ++i) {
        const int k = kind(rng);
        if (k == 0)
            t.push_back(time + 0.75);  // the same whole time
        else if (k == 1)
            t.push_back(time - step(rng));
        else if (k == 2)
            t.push_back(i % 3 ? kNaN : 3e9);
        else
            t.push_back(time += step(rng) + (k == 3 ? 0.5 : 0.0));
        p.push_back(pos(rng) + 0.25 * k);
        v.push_back(vel(rng) / k16);
    }
    t.push_back(time + 5);
    p.push_back(pos(rng));
    v.push_back(0);
}

TEST(PreviewSampler, RemovalInOnePassEqualsRemovalOneByOne)
{
    std::mt19937_64 rng(11);
    for (int round = 0; round < 200; ++round) {
        Doubles t, p, v;
        RandomTable(rng, 2 + round % 60, t, p, v);
        SPreview fast, reference;
        fast.Set(t, p, v);
        reference.Set(t, p, v);
        const SRun run = fast.Run();
        // One by one, as the dialog's columns allow it.
        CDK_ArrayParameter& times = reference.data.m_Time;
        std::int32_t prev = CPreviewSampler::TimeOf(times.GetValueInInternalUnit(0));
        for (int i = 1; i < times.GetValuesCount();) {
            const std::int32_t ti = CPreviewSampler::TimeOf(times.GetValueInInternalUnit(i));
            if (static_cast<i64>(ti) - prev > 0) {  // a step forward, not wrapped
                prev = ti;
                ++i;
                continue;
            }
            for (CDK_ArrayParameter* column : {&times, &reference.data.m_Position, &reference.data.m_Velocity})
                column->RemoveValueAt(i, 1);
        }
        ExpectSameBits(fast.Times(), reference.Times(), "time column");
        ExpectSameBits(fast.Positions(), reference.Positions(), "position column");
        ExpectSameBits(fast.Velocities(), reference.Velocities(), "velocity column");
        // The removed points had no part in the samples.
        const SRun again = reference.Run(run.length);
        ExpectSameBits(run.time, again.time, "time");
        ExpectSameBits(run.position, again.position, "position");
        ExpectSameBits(run.velocity, again.velocity, "velocity");
        EXPECT_EQ(run.pointToSample, again.pointToSample);
    }
}

// In any unit each sample is IUToUnit of the sample in internal units, to
// the bit: on the embedded drive (rot, rpm, s) and on a drive near the
// smallest factors a setup accepts.
TEST(PreviewSampler, DisplayUnitsAreIUToUnitOfInternalUnits)
{
    const char* const extreme = R"({"countsPerRevolution": 1e99, "samplingPeriod": 1, "variables": [
        {"name": "TPOS", "type": "int32", "quantity": "position", "unit": "rad"},
        {"name": "TSPD", "type": "fixed", "quantity": "velocity", "unit": "rpm"},
        {"name": "ATIME", "type": "int32", "quantity": "time", "unit": "ms"}]})";
    for (const char* document : {static_cast<const char*>(nullptr), extreme}) {
        std::mt19937_64 rng(5);
        for (int round = 0; round < 20; ++round) {
            Doubles t, p, v;
            RandomTable(rng, 30, t, p, v);
            SPreview internal("IU", document), display(nullptr, document);
            internal.Set(t, p, v);
            display.Set(t, p, v);
            SRun a = internal.Run();
            const SRun b = display.Run();
            for (int k = 0; k < a.written; ++k) {
                display.data.m_Time.IUToUnit(a.time[k]);
                display.data.m_Position.IUToUnit(a.position[k]);
                display.data.m_Velocity.IUToUnit(a.velocity[k]);
            }
            ExpectSameBits(b.time, a.time, "time");
            ExpectSameBits(b.position, a.position, "position");
            ExpectSameBits(b.velocity, a.velocity, "velocity");
        }
    }
}

// The coefficients of a segment of T periods from (P0, V0) to (P1, V1), in
// 32.32, as the drive computes them.
struct SCoefficients {
    u64 A, S;
    SCoefficients(u64 P0, u64 V0, u64 P1, u64 V1, i64 T)
    {
        const auto div = [T](u64 value) { return static_cast<u64>(static_cast<i64>(value) / T); };
        const u64 D = P0 - P1;
        A = div(div(div(2 * D) + V1 + V0));
        S = 2 * (div(div(0 - 3 * D)) - div(2 * V0 + V1));
    }
};

// The forward differences are the cubic itself: S starts even and grows by
// 6 A, so it halves exactly, and sample k is P0 + V0 k + (S / 2) k^2 + A k^3
// with the velocity V0 + S k + 3 A k^2, modulo 2^64, to the bit, for any
// start position, as long as S does not wrap, which within the limits of a
// segment (at most 511 periods, a 24-bit step, any 32-bit velocity) it does
// not.
TEST(PreviewSampler, ForwardDifferencesEqualTheClosedForm)
{
    std::mt19937_64 rng(9);
    std::uniform_int_distribution<int> duration(2, 511), step(-8388607, 8388607), start(INT32_MIN, INT32_MAX);
    for (int round = 0; round < 300; ++round) {
        const int T = duration(rng);
        const i64 p0 = start(rng), p1 = p0 + step(rng);
        const std::int32_t f0 = start(rng), f1 = round % 3 ? start(rng) : start(rng) / 4096;
        SPreview preview;
        preview.Set({0, static_cast<double>(T)}, {static_cast<double>(p0), static_cast<double>(p1)},
                    {f0 / k16, f1 / k16});
        const SRun run = preview.Run();
        ASSERT_EQ(run.written, T + 1);
        const u64 P0 = static_cast<u64>(p0) << 32, V0 = static_cast<u64>(static_cast<i64>(f0)) << 16;
        const SCoefficients c(P0, V0, static_cast<u64>(p1) << 32, static_cast<u64>(static_cast<i64>(f1)) << 16, T);
        const u64 half = static_cast<u64>(static_cast<i64>(c.S) / 2);
        for (u64 k = 1; k < static_cast<u64>(T); ++k) {
            EXPECT_EQ(run.position[k], Low32((P0 + V0 * k + half * k * k + c.A * k * k * k) >> 32)) << T << " " << k;
            EXPECT_EQ(run.velocity[k] * k16, Low32((V0 + c.S * k + 3 * c.A * k * k) >> 16)) << T << " " << k;
        }
    }
}

i128 FloorDiv(i128 a, i128 b)  // b > 0
{
    const i128 q = a / b;
    return q * b > a ? q - 1 : q;
}

// Whether `sample` is one of lo ... hi in 32-bit wrap-around.
bool Within(i64 sample, i128 lo, i128 hi) { return static_cast<std::uint32_t>(sample - static_cast<i64>(lo)) <= hi - lo; }

// Segments from known cubics: integer end positions, 16.16 end velocities,
// durations up to 511. Every interpolated sample is the floor (position) or
// the 1/65536 floor (velocity) of the exact cubic within the error of the
// truncating divisions: with T the duration and k the sample, in units of
// 2^-32, the cubic coefficient is off by less than 1/T^2 + 1/T + 1 and the
// quadratic one by less than 1/T + 2 (S halves exactly). So the position is
// off by less than (1/T^2 + 1/T + 1) k^3 + (1/T + 2) k^2, the velocity by
// less than 3 (1/T^2 + 1/T + 1) k^2 + 2 (1/T + 2) k.
TEST(PreviewSampler, SamplesFollowTheExactCubic)
{
    std::mt19937_64 rng(3);
    std::uniform_int_distribution<int> duration(2, 511), step(-8388607, 8388607), start(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> small(-4000000, 4000000);
    const i128 two32 = i128{1} << 32;
    for (int round = 0; round < 400; ++round) {
        const int T = round < 20 ? 2 + round % 3 : (round < 40 ? 511 : duration(rng));
        const i128 p0 = start(rng), p1 = p0 + step(rng);
        // Full-range velocities, and ones a real motion has.
        const i128 f0 = round % 2 ? start(rng) : small(rng), f1 = round % 4 < 2 ? start(rng) : small(rng);
        SPreview preview;
        preview.Set({0, static_cast<double>(T)}, {static_cast<double>(p0), static_cast<double>(p1)},
                    {static_cast<double>(f0) / k16, static_cast<double>(f1) / k16});
        const SRun run = preview.Run();
        ASSERT_EQ(run.written, T + 1);
        // The cubic x(k) = P0 + V0 k + (Nc / T^2) k^2 + (Na / T^3) k^3.
        const i128 P0 = p0 * two32, P1 = p1 * two32, V0 = f0 << 16, V1 = f1 << 16;
        const i128 T1 = T, T2 = T1 * T1, T3 = T2 * T1;
        const i128 Na = 2 * (P0 - P1) + (V0 + V1) * T1;
        const i128 Nc = 3 * (P1 - P0) - (2 * V0 + V1) * T1;
        for (i128 k = 1; k < T1; ++k) {
            // Scaled by T^3, so that the bounds are whole numbers.
            const i128 x = P0 * T3 + V0 * k * T3 + Nc * k * k * T1 + Na * k * k * k;
            const i128 ex = (T1 + T2 + T3) * k * k * k + (T2 + 2 * T3) * k * k;
            EXPECT_TRUE(Within(static_cast<i64>(run.position[k]), FloorDiv(x - ex, T3 * two32),
                               FloorDiv(x + ex, T3 * two32)))
                << "T " << T << " k " << static_cast<int>(k) << " position " << run.position[k];
            const i128 w = V0 * T3 + 2 * Nc * k * T1 + 3 * Na * k * k;
            const i128 ew = 3 * (T1 + T2 + T3) * k * k + 2 * (T2 + 2 * T3) * k;
            EXPECT_TRUE(Within(static_cast<i64>(run.velocity[k] * k16), FloorDiv(w - ew, T3 << 16),
                               FloorDiv(w + ew, T3 << 16)))
                << "T " << T << " k " << static_cast<int>(k) << " velocity " << run.velocity[k];
        }
        EXPECT_EQ(run.position[T], static_cast<double>(p1));
        EXPECT_EQ(run.velocity[T], static_cast<double>(f1) / k16);
    }
}

}  // namespace
