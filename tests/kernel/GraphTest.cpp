// The graph kit: series arrays, ownership, the min/max reduction, axis
// ticks, the layout, selection safety, and pictures of the graph drawn offscreen (into
// build/pictures/, to be looked at).
#include "kernel/ColorRef16.h"
#include "kernel/Curve.h"
#include "kernel/CurveArray.h"
#include "kernel/CurveReduction.h"
#include "kernel/GraphAxis.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphLayout.h"
#include "kernel/GraphWindow.h"
#include "kernel/XYCurve.h"
#include "platform/DWordArray.h"
#include "../platform/PlatformTestUtil.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <numbers>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void EnsureApp()
{
    if (QCoreApplication::instance())
        return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_kernel";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);  // lives to the end of the run
    (void)app;
}

std::filesystem::path PictureDir()
{
    const std::filesystem::path dir = std::filesystem::path(VELKOR_BIN_DIR).parent_path() / "pictures";
    std::filesystem::create_directories(dir);
    return dir;
}

// ---------------------------------------------------------------- arrays

TEST(CFloatArrayTest, SizeElementsAndIndexChecks)
{
    CFloatArray a;
    EXPECT_EQ(nullptr, a.GetData());
    a.SetSize(3, -1);
    a.SetAt(0, 1.5);
    a[2] = -2;
    a.GetData()[1] = 7;  // a bulk writer's view is the array
    EXPECT_EQ((std::vector<double>{1.5, 7, -2}), std::vector<double>(a.GetData(), a.GetData() + a.GetSize()));
    a.SetSize(5);
    EXPECT_EQ(0, a.GetAt(4));  // grown elements are 0
    a.SetSize(2);
    EXPECT_EQ(7, a.GetAt(1));  // shrinking keeps the first ones

    for (const auto& action : std::vector<std::function<void()>>{
             [&] { (void)a.GetAt(2); }, [&] { (void)a.GetAt(-1); }, [&] { a.SetAt(2, 0); },
             [&] { a.SetAt(INT_MIN, 0); }, [&] { (void)a.ElementAt(INT_MAX); }, [&] { (void)a[-1]; }})
        EXPECT_TRUE(ThrowsInvalidArg(action));
    EXPECT_EQ(2, a.GetSize());

    // A negative size (a series sized from a negative last time) empties it.
    for (int size : {-1, INT_MIN, 0}) {
        a.SetSize(4);
        a.SetSize(size, -1);
        EXPECT_EQ(0, a.GetSize()) << size;
        EXPECT_EQ(nullptr, a.GetData());
    }

    // A long series followed by a short one keeps the short one's values.
    a.SetSize(1 << 20);
    a.SetAt(9, 3.25);
    a.SetSize(10);
    EXPECT_EQ(3.25, a.GetAt(9));
    EXPECT_EQ(10, a.Add(1));

    const CCurve none(0, -1), three(3, -1), negative(-5, -1);
    EXPECT_EQ(0, none.GetSize());
    EXPECT_EQ(3, three.GetSize());
    EXPECT_EQ(0, negative.GetSize());
}

// Curves that count their destruction.
struct SCounted : CCurve {
    explicit SCounted(int& n) : m_rCount(n) {}
    ~SCounted() override { ++m_rCount; }
    int& m_rCount;
};
struct SCountedXY : CXYCurve {
    explicit SCountedXY(int& n) : m_rCount(n) {}
    ~SCountedXY() override { ++m_rCount; }
    int& m_rCount;
};

TEST(GraphOwnershipTest, ContainersDeleteTheirCurvesOnce)
{
    int deleted = 0;
    {
        CCurveArray curves;
        for (int i = 0; i < 3; ++i)
            curves.SetAtGrow(curves.GetSize(), new SCounted(deleted));
        auto* twice = new SCounted(deleted);
        curves.Add(twice);
        curves.Add(twice);
        EXPECT_NE(nullptr, curves.GetAt(0));
        EXPECT_TRUE(ThrowsInvalidArg([&] { (void)curves.GetAt(5); }));

        curves.RemoveAt(3);  // still held at 3 (was 4)
        EXPECT_EQ(0, deleted);
        curves.SetAt(0, curves.GetAt(0));  // the same curve again
        EXPECT_EQ(0, deleted);
        curves.SetAt(0, new SCounted(deleted));  // replaces one
        EXPECT_EQ(1, deleted);
        EXPECT_TRUE(ThrowsInvalidArg([&] { curves.RemoveAt(2, 3); }));
        EXPECT_TRUE(ThrowsInvalidArg([&] { curves.SetSize(-1); }));
        EXPECT_EQ(1, deleted);
        curves.SetSize(3);  // drops `twice`
        EXPECT_EQ(2, deleted);
        curves.SetAtGrow(4, new SCounted(deleted));
        EXPECT_EQ(nullptr, curves.GetAt(3));
    }
    EXPECT_EQ(6, deleted);  // 3 + twice + the replacement + the grown one

    deleted = 0;
    {
        CGraphFilter filter(nullptr, nullptr, nullptr, nullptr);
        auto* twice = new SCountedXY(deleted);
        EXPECT_EQ(0, filter.Add(new SCountedXY(deleted)));
        EXPECT_EQ(1, filter.Add(twice));
        EXPECT_EQ(2, filter.Add(twice));
        EXPECT_EQ(-1, filter.Add(nullptr));
        EXPECT_EQ(nullptr, filter.GetCurve(3));
        EXPECT_EQ(nullptr, filter.GetCurve(-1));
    }
    EXPECT_EQ(2, deleted);
}

// ---------------------------------------------------------------- palette

double Luminance(COLORREF c)
{
    auto lin = [](unsigned v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c & 0xFF) + 0.7152 * lin((c >> 8) & 0xFF) + 0.0722 * lin((c >> 16) & 0xFF);
}

double Contrast(COLORREF a, COLORREF b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(RGB16Test, CurveColoursStandOutOnTheGraph)
{
    // The colours the editor asks for: curves readable on white and in
    // print (at least 3.5:1), grid lines visible but quiet on the dark
    // background.
    EXPECT_GE(Contrast(RGB16(16), RGB16(CR16_WHITE)), 3.5);
    EXPECT_GE(Contrast(RGB16(11), RGB16(CR16_WHITE)), 3.5);
    EXPECT_GT(Contrast(RGB16(20), RGB16(27)), 1.5);
    EXPECT_LT(Contrast(RGB16(20), RGB16(27)), 3.0);
    EXPECT_EQ(0x00FFFFFFu, RGB16(CR16_WHITE));
    EXPECT_EQ(0x00AA0000u, RGB16(CR16_BLUE));  // blue in the high byte: 0x00BBGGRR
    for (int outside : {-1, 28, INT_MIN, INT_MAX})
        EXPECT_EQ(0u, RGB16(outside)) << outside;
}

// ---------------------------------------------------------------- reduction

// The reduction done the slow, obvious way, from the same edges.
std::vector<CCurveReduction::SColumn> BruteForce(const CCurveReduction& r, const std::vector<double>& x,
                                                 const std::vector<double>& y)
{
    const int k = r.GetColumnCount();
    std::vector<CCurveReduction::SColumn> cols(static_cast<std::size_t>(k),
                                               CCurveReduction::SColumn{0, kNaN, kNaN, kNaN, kNaN, kInf, -kInf});
    const bool flat = r.GetXMin() == r.GetXMax();
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!std::isfinite(x[i]))
            continue;
        int c = 0;
        while (!flat && c + 1 < k && x[i] >= r.Edge(c + 1))
            ++c;
        auto& col = cols[static_cast<std::size_t>(c)];
        ++col.nCount;
        if (!std::isfinite(y[i]))
            continue;
        if (!col.HasValues())
            col.dFirstX = x[i], col.dFirstY = y[i];
        col.dLastX = x[i], col.dLastY = y[i];
        col.dMinY = std::min(col.dMinY, y[i]);
        col.dMaxY = std::max(col.dMaxY, y[i]);
    }
    return cols;
}

void ExpectSameColumns(const std::vector<CCurveReduction::SColumn>& want, const CCurveReduction& r,
                       const std::string& what)
{
    ASSERT_EQ(want.size(), r.GetColumns().size()) << what;
    auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (std::size_t c = 0; c < want.size(); ++c) {
        const auto &w = want[c], &g = r.GetColumns()[c];
        EXPECT_EQ(w.nCount, g.nCount) << what << " column " << c;
        EXPECT_TRUE(same(w.dFirstX, g.dFirstX) && same(w.dFirstY, g.dFirstY) && same(w.dLastX, g.dLastX) &&
                    same(w.dLastY, g.dLastY) && same(w.dMinY, g.dMinY) && same(w.dMaxY, g.dMaxY))
            << what << " column " << c << ": first " << g.dFirstY << " last " << g.dLastY << " min " << g.dMinY
            << " max " << g.dMaxY;
    }
}

TEST(CCurveReductionTest, ColumnsKeepExtremesFirstAndLast)
{
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 1);
    struct SCase {
        std::string name;
        std::vector<double> x, y;
        int columns;
    };
    std::vector<SCase> cases;
    {
        SCase c{"uniform time, spikes", {}, {}, 10};
        for (int i = 0; i < 1000; ++i) {
            c.x.push_back(i * 0.001);
            c.y.push_back(std::sin(i * 0.01) + 0.01 * noise(rng));
        }
        c.y[537] = 40;   // a one-sample spike is its column's maximum
        c.y[538] = -40;  // and its neighbour the minimum
        cases.push_back(c);
    }
    {
        SCase c{"repeated and uneven times", {}, {}, 37};
        double t = 0;
        for (int i = 0; i < 5000; ++i) {
            c.x.push_back(t);
            c.y.push_back(noise(rng));
            t += (i % 7 == 0) ? 0.0 : std::fabs(noise(rng));
        }
        cases.push_back(c);
    }
    {
        SCase c{"few samples in many columns", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                {0, 5, 20, 42, 70, 100, 109, 90, 63, 50}, 300};
        cases.push_back(c);
    }
    {
        SCase c{"NaN and infinity", {0, 1, 2, 3, 4, 5, 6, 7}, {1, kNaN, kInf, 2, -kInf, kNaN, kNaN, 3}, 4};
        cases.push_back(c);
    }
    {
        SCase c{"all times equal", {2, 2, 2}, {3, -1, 4}, 5};
        cases.push_back(c);
    }
    for (const SCase& c : cases) {
        const int n = static_cast<int>(c.x.size());
        CCurveReduction sorted, unsorted;
        sorted.Reduce(c.x.data(), c.y.data(), n, c.columns);
        ASSERT_TRUE(CCurveReduction::IsNonDecreasing(c.x.data(), n)) << c.name;
        unsorted.Reduce(c.x.data(), c.y.data(), n, c.columns, false);  // the general path on the same data
        ExpectSameColumns(BruteForce(sorted, c.x, c.y), sorted, c.name + " (sorted)");
        ExpectSameColumns(BruteForce(unsorted, c.x, c.y), unsorted, c.name + " (general)");
        EXPECT_EQ(n, sorted.GetSampleCount()) << c.name;
        EXPECT_EQ(c.x.front(), sorted.GetXMin());
        EXPECT_EQ(c.x.back(), sorted.GetXMax());
    }

    // The spike survives the reduction into its column.
    CCurveReduction r;
    r.Reduce(cases[0].x.data(), cases[0].y.data(), 1000, 10);
    EXPECT_EQ(40, r.GetColumns()[5].dMaxY);
    EXPECT_EQ(-40, r.GetColumns()[5].dMinY);
    // Sparse samples: one per column, drawn exactly where they are.
    r.Reduce(cases[2].x.data(), cases[2].y.data(), 10, 300);
    int used = 0;
    for (const auto& col : r.GetColumns())
        if (col.nCount) {
            ++used;
            EXPECT_EQ(1, col.nCount);
            EXPECT_EQ(col.dFirstX, col.dLastX);
        }
    EXPECT_EQ(10, used);
}

TEST(CCurveReductionTest, ZoomedRangesMatchABruteForceScan)
{
    // A time series with noise, some NaN and infinite y, reduced over random
    // x ranges and random sample ranges: the levels must give exactly what a
    // scan of the samples gives.
    std::mt19937 rng(11);
    for (const int n : {1, 31, 32, 33, 1000, 100003}) {
        std::vector<double> x(static_cast<std::size_t>(n)), y(x.size());
        std::normal_distribution<double> noise(0, 5);
        std::uniform_int_distribution<int> oneIn(0, 97);
        for (int i = 0; i < n; ++i) {
            x[std::size_t(i)] = i * 0.5;
            const int r = oneIn(rng);
            y[std::size_t(i)] = r == 0 ? kNaN : r == 1 ? kInf : r == 2 ? -kInf : std::sin(i * 0.01) * 100 + noise(rng);
        }
        CCurveReduction r;
        r.Build(x.data(), y.data(), n, true);
        EXPECT_EQ(n > CCurveReduction::kBlock, r.GetLevelCount() > 1) << n;  // the levels, not a scan, are tested
        std::uniform_int_distribution<int> index(0, n);
        for (int k = 0; k < 60; ++k) {
            int a = index(rng), b = index(rng);
            if (a > b)
                std::swap(a, b);
            double mn = 0, mx = 0, wantMin = kInf, wantMax = -kInf;
            r.RangeMinMax(a, b, mn, mx);
            for (int i = a; i < b; ++i)
                if (std::isfinite(y[std::size_t(i)]))
                    wantMin = std::min(wantMin, y[std::size_t(i)]), wantMax = std::max(wantMax, y[std::size_t(i)]);
            EXPECT_EQ(wantMin, mn) << n << ": " << a << " ... " << b;
            EXPECT_EQ(wantMax, mx) << n << ": " << a << " ... " << b;

            // The same samples as columns of an x range.
            const double x0 = a * 0.5 - 0.25, x1 = std::max(b - 1, a) * 0.5 + 0.1;
            r.ReduceRange(97, x0, x1);
            std::vector<double> inX, inY;
            for (int i = 0; i < n; ++i)
                if (x[std::size_t(i)] >= x0 && x[std::size_t(i)] <= x1)
                    inX.push_back(x[std::size_t(i)]), inY.push_back(y[std::size_t(i)]);
            ExpectSameColumns(BruteForce(r, inX, inY), r, std::to_string(n) + " zoomed");
            EXPECT_EQ(static_cast<long long>(inX.size()), r.GetSampleCount());
        }
    }
}

TEST(CCurveReductionTest, UnorderedAndDegenerateInput)
{
    // Shuffled times: the general path, first and last in sample order.
    std::vector<double> x(2000), y(2000);
    std::iota(x.begin(), x.end(), 0.0);
    std::shuffle(x.begin(), x.end(), std::mt19937(3));
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = std::cos(x[i] * 0.05) * x[i];
    x[17] = kNaN;  // in no column
    CCurveReduction r;
    EXPECT_FALSE(CCurveReduction::IsNonDecreasing(x.data(), 2000));
    r.Reduce(x.data(), y.data(), 2000, 64);
    ExpectSameColumns(BruteForce(r, x, y), r, "shuffled");
    EXPECT_EQ(1999, r.GetSampleCount());

    for (std::vector<double> bad : {std::vector<double>{0, kNaN, 2}, {kInf, 1, 2}, {0, 1, kInf}, {0, 2, 1}})
        EXPECT_FALSE(CCurveReduction::IsNonDecreasing(bad.data(), 3));

    // Nothing to reduce: no pointer, no samples, a negative count.
    const double one = 1;
    for (const auto& [px, n] : std::vector<std::pair<const double*, int>>{{nullptr, 5}, {&one, 0}, {&one, -3}}) {
        r.Reduce(px, &one, n, 0);
        EXPECT_EQ(1, r.GetColumnCount());  // at least one column
        EXPECT_FALSE(r.HasValues());
    }
    std::vector<double> nan(5, kNaN), t{0, 1, 2, 3, 4};
    r.Reduce(t.data(), nan.data(), 5, 3);
    EXPECT_FALSE(r.HasValues());
    EXPECT_EQ(5, r.GetSampleCount());

    // ComputeLimits reads the reduction: finite values only; FALSE for none.
    CXYCurve c;
    std::vector<double> v{3, kNaN, -2, kInf, 8};
    c.m_Reduced.Reduce(t.data(), v.data(), 5, 2);
    ASSERT_TRUE(c.ComputeLimits());
    EXPECT_EQ((std::vector<double>{0, 4, -2, 8}), (std::vector<double>{c.m_dXMin, c.m_dXMax, c.m_dYMin, c.m_dYMax}));
    c.m_Reduced.Reduce(t.data(), nan.data(), 5, 2);
    EXPECT_FALSE(c.ComputeLimits());
    EXPECT_EQ(0, c.m_dYMax);
}

// ---------------------------------------------------------------- axes

TEST(CGraphAxisTest, TicksAtRoundNumbers)
{
    struct SCase {
        double lo, hi;
        int maxTicks;
        std::vector<double> ticks;
    };
    const std::vector<SCase> cases = {
        {0, 9, 5, {0, 2, 4, 6, 8}},
        {0, 9, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {-5.45, 114.45, 6, {0, 20, 40, 60, 80, 100}},
        {-10.3, 32.4, 5, {-10, 0, 10, 20, 30}},
        {-29.2, 32.6, 4, {-20, 0, 20}},
        {0.001, 0.0013, 4, {0.001, 0.0011, 0.0012, 0.0013}},
        {0, 0.3, 4, {0, 0.1, 0.2, 0.3}},
        {1e6, 6e6, 3, {2e6, 4e6, 6e6}},
        {2999.5, 3000.5, 3, {2999.5, 3000, 3000.5}},
        {2999.5, 3000.5, 1, {3000}},
        {0.3, 0.7, 1, {0.5}},
        {-1, 1, 2, {0}},
        {5, 5, 4, {}},
        {1, 0, 4, {}},
        {kNaN, 1, 4, {}},
        {0, kInf, 4, {}},
    };
    for (const SCase& c : cases) {
        const std::vector<double> got = CGraphAxis::Ticks(c.lo, c.hi, c.maxTicks);
        ASSERT_EQ(c.ticks.size(), got.size()) << c.lo << " ... " << c.hi;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(c.ticks[i], got[i], std::fabs(c.ticks[i]) * 1e-12) << c.lo << " ... " << c.hi;
    }

    struct SLabel {
        double value, step, axis;
        const char* text;
    };
    for (const SLabel& l : std::vector<SLabel>{{0.3, 0.1, 0, "0.3"},
                                               {-40, 20, 0, "-40"},
                                               {0.25, 0.05, 0, "0.25"},
                                               {0.0011, 0.0001, 0, "0.0011"},
                                               {1.5e7, 5e6, 0, "15M"},
                                               {1.5e9, 5e8, 0, "1.5G"},
                                               {5e6, 5e6, 5e7, "5M"},
                                               {2.5e5, 5e4, 0, "250,000"},
                                               {-12500.5, 0.5, 20000, "-12,500.5"},
                                               {1500, 500, 1e4, "1,500"},  // as its axis's other ticks
                                               {-2e-7, 1e-7, 3e-7, "-200n"},
                                               {3.5e-7, 5e-8, 0, "350n"},
                                               {1e-17, 0.1, 0, "0"},
                                               {-3e-9, 2.0, 0, "0"},
                                               {3000, 1000, 0, "3000"},
                                               {kNaN, 1, 0, "nan"}})
        EXPECT_EQ(l.text, std::string(CGraphAxis::FormatTick(l.value, l.step, l.axis).View())) << l.value;

    struct SRange {
        double min, max, lo, hi;
    };
    for (const SRange& r : std::vector<SRange>{{0, 109, -5.45, 114.45},
                                               {10, 0, -0.5, 10.5},
                                               {50, 50, 45, 55},
                                               {0, 0, -1, 1},
                                               {-2, -2, -2.2, -1.8},
                                               {kNaN, 1, 0, 1}}) {
        double lo = 0, hi = 0;
        CGraphAxis::RangeFor(r.min, r.max, 0.05, lo, hi);
        EXPECT_NEAR(r.lo, lo, 1e-12) << r.min << " ... " << r.max;
        EXPECT_NEAR(r.hi, hi, 1e-12) << r.min << " ... " << r.max;
    }
}

// ---------------------------------------------------------------- window

// The graph as the editor sets it up: three series, position on the left
// axis, velocity on the right, the point-to-sample table beside it.
struct SGraph {
    CGraphWindow graph;
    CCurveArray curves;
    CGraphFilter filter{nullptr, nullptr, nullptr, nullptr};
    CDWordArray pointToSample;

    explicit SGraph(int nStyle = 3, int nFrameWidth = 0) : graph(nStyle, nFrameWidth)
    {
        graph.m_pPointToSample = &pointToSample;
        for (int i = 0; i < 3; ++i)
            curves.SetAtGrow(curves.GetSize(), new CCurve(0, -1));
        auto* position = new CXYCurve();
        position->m_nYSeries = 1;
        position->m_crColor = RGB16(16);
        position->m_nLineWidth = 2;
        position->m_nXSeries = 0;
        position->m_nAxis = 1;
        filter.Add(position);
        auto* velocity = new CXYCurve();
        velocity->m_nYSeries = 2;
        velocity->m_crColor = RGB16(11);
        velocity->m_nLineWidth = 2;
        velocity->m_nXSeries = 0;
        velocity->m_nAxis = 2;
        filter.Add(velocity);
        filter.m_pCurves = &curves;
        filter.m_crBackground = RGB16(27);
        filter.m_crGrid = RGB16(20);
        curves.GetAt(0)->m_strLabel = "Time[s]";
        curves.GetAt(1)->m_strLabel = "Position[rot]";
        curves.GetAt(2)->m_strLabel = "Velocity[rpm]";
        graph.SetFilter(&filter);
    }
    void Fill(const std::vector<double>& t, const std::vector<double>& p, const std::vector<double>& v)
    {
        const std::vector<double>* series[] = {&t, &p, &v};
        for (int s = 0; s < 3; ++s) {
            CCurve* c = curves.GetAt(s);
            c->SetSize(static_cast<int>(series[s]->size()), -1);
            std::copy(series[s]->begin(), series[s]->end(), c->GetData());
        }
    }
    void FillExample()
    {
        Fill({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {0, 5, 20, 42, 70, 100, 109, 90, 63, 50},
             {0, 10.659988403320312, 19.039993286132812, 25.139999389648438, 28.959991455078125, 30.5, -8.34375,
              -26.375, -23.59375, 0});
        pointToSample.SetSize(3);
        pointToSample[0] = 0;
        pointToSample[1] = 5;
        pointToSample[2] = 9;
    }
};

// Pixels of the image within a small distance of colour c.
int CountColour(const QImage& image, COLORREF c)
{
    const QColor want(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor got = image.pixelColor(x, y);
            if (std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
                    std::abs(got.blue() - want.blue()) <
                24)
                ++n;
        }
    return n;
}

void Save(const QImage& image, const std::string& name)
{
    ASSERT_FALSE(image.isNull()) << name;
    const std::filesystem::path path = PictureDir() / name;
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "PNG")) << path;
}

TEST(CGraphWindowTest, ExamplePictures)
{
    EnsureApp();
    SGraph g;
    g.FillExample();
    g.graph.SelectPoint(0, -1);
    g.graph.Recalculate();
    g.graph.SelectPoint(0, 1);
    EXPECT_EQ(5, g.graph.GetSelectedSample());
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{300, 210}, {1200, 700}}) {
        const QImage image = g.graph.RenderImage(w, h);
        EXPECT_EQ(w, g.graph.GetReducedWidth());
        Save(image, "graph-example-" + std::to_string(w) + "x" + std::to_string(h) + ".png");
        // Both curves are there, each in its colour.
        EXPECT_GT(CountColour(image, RGB16(16)), w / 4) << w;
        EXPECT_GT(CountColour(image, RGB16(11)), w / 4) << w;
    }

    // Told that the trajectory is too long: the message, no curves.
    g.graph.SetMessage("The trajectory is too long to draw.");
    const QImage told = g.graph.RenderImage(300, 210);
    Save(told, "graph-message-300x210.png");
    EXPECT_EQ(0, CountColour(told, RGB16(16)));
    EXPECT_EQ(0, CountColour(told, RGB16(11)));
    g.graph.SetMessage("");
    EXPECT_GT(CountColour(g.graph.RenderImage(300, 210), RGB16(16)), 0);

    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{0, 10}, {10, -1}, {16385, 10}})
        EXPECT_TRUE(g.graph.RenderImage(w, h).isNull());
}

TEST(CGraphWindowTest, LongTrajectoryPictures)
{
    EnsureApp();
    SGraph g;
    // 10,000 points of 300 samples each at 1 ms: a smooth back-and-forth
    // motion in revolutions, its velocity in rpm.
    const int n = 3000000;
    std::vector<double> t(n), p(n), v(n);
    for (int i = 0; i < n; ++i) {
        const double s = i * 0.001, w = 2 * std::numbers::pi / 600;
        t[i] = s;
        p[i] = 40 * (1 - std::cos(w * s)) + 3 * std::sin(5 * w * s);
        v[i] = (40 * w * std::sin(w * s) + 15 * w * std::cos(5 * w * s)) * 60;
    }
    g.Fill(t, p, v);
    g.pointToSample.SetSize(10000);
    for (int i = 0; i < 10000; ++i)
        g.pointToSample[i] = static_cast<DWORD>(i * 300);
    g.graph.Recalculate();
    g.graph.SelectPoint(0, 4321);
    EXPECT_EQ(4321 * 300, g.graph.GetSelectedSample());
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{300, 210}, {1200, 700}}) {
        const QImage image = g.graph.RenderImage(w, h);
        Save(image, "graph-long-" + std::to_string(w) + "x" + std::to_string(h) + ".png");
        EXPECT_GT(CountColour(image, RGB16(16)), w / 2) << w;
        EXPECT_GT(CountColour(image, RGB16(11)), w / 2) << w;
    }
}

TEST(CGraphWindowTest, LargeSmallAndFlatValuesStayReadable)
{
    EnsureApp();
    // Positions in increments up to 5e7, velocities of a few 1e-4 increments
    // per sampling period; then a curve that does not move at all.
    struct SCase {
        const char* name;
        std::function<double(int)> p, v;
        int positionPixels;  // at least, per pixel of the width
    };
    const std::vector<SCase> cases = {
        {"magnitudes", [](int i) { return 5e7 * i / 999.0; }, [](int i) { return 3e-4 * std::sin(i * 0.02); }, 1},
        // Both flat curves lie across the middle, velocity over position:
        // position shows in its axis labels and the legend.
        {"flat", [](int) { return 2.5; }, [](int) { return 0.0; }, 0},
    };
    for (const SCase& c : cases) {
        SGraph g;
        std::vector<double> t(1000), p(1000), v(1000);
        for (int i = 0; i < 1000; ++i)
            t[i] = i, p[i] = c.p(i), v[i] = c.v(i);
        g.Fill(t, p, v);
        g.curves.GetAt(0)->m_strLabel = "Time[IU]";
        g.curves.GetAt(1)->m_strLabel = "Position[IU]";
        g.curves.GetAt(2)->m_strLabel = "Velocity[IU]";
        g.graph.Recalculate();
        for (const auto& [w, h] : std::vector<std::pair<int, int>>{{300, 210}, {1200, 700}}) {
            const QImage image = g.graph.RenderImage(w, h);
            Save(image, std::string("graph-") + c.name + "-" + std::to_string(w) + "x" + std::to_string(h) + ".png");
            // Half the width at least: zero shared with the velocity's axis puts
            // the rising position into the upper half.
            EXPECT_GT(CountColour(image, RGB16(16)), w * c.positionPixels / 2 + 20) << c.name;
            EXPECT_GT(CountColour(image, RGB16(11)), w / 2) << c.name;
        }
    }
}

// Ticks ascending inside the axis's range, each inside the plot's pixels
// from..to and further along than the one before.
void ExpectTicks(const SGraphLayout::SAxis& ax, double from, double to, const std::string& what)
{
    ASSERT_GE(ax.ticks.size(), 2u) << what;
    const double tolerance = 1e-6 * ax.dStep;
    for (std::size_t i = 0; i < ax.ticks.size(); ++i) {
        const SGraphLayout::STick& t = ax.ticks[i];
        EXPECT_TRUE(t.dValue >= ax.dLo - tolerance && t.dValue <= ax.dHi + tolerance) << what << " " << t.dValue;
        EXPECT_TRUE(t.dPos >= std::min(from, to) && t.dPos <= std::max(from, to)) << what << " " << t.dPos;
        EXPECT_FALSE(t.strLabel.isEmpty()) << what;
        if (i > 0) {
            EXPECT_GT(t.dValue, ax.ticks[i - 1].dValue) << what;
            EXPECT_GT((t.dPos - ax.ticks[i - 1].dPos) * (to - from), 0) << what;
        }
    }
}

TEST(CGraphWindowTest, LayoutLeavesRoomForEveryPart)
{
    EnsureApp();
    struct SCase {
        int w, h, style, frame;
        const char* title;
    };
    for (const SCase& c : std::vector<SCase>{{1200, 700, 3, 0, ""},
                                             {320, 200, 3, 0, ""},
                                             {300, 210, 0, 0, ""},
                                             {1600, 900, 2, 3, "Trajectory"},
                                             {250, 900, 3, 8, "A title far too long for a graph as narrow as this"},
                                             {2000, 400, 1, 0, "T"}}) {
        const std::string what = std::to_string(c.w) + "x" + std::to_string(c.h) + " style " + std::to_string(c.style);
        SGraph g(c.style, c.frame);
        g.FillExample();
        g.filter.m_strTitle = c.title;
        g.graph.Recalculate();
        g.graph.SelectPoint(0, 1);
        const SGraphLayout L = g.graph.Layout(QRect(0, 0, c.w, c.h));
        ASSERT_EQ(SGraphLayout::CONTENT_PLOT, L.eContent) << what;
        EXPECT_EQ(QRect(0, 0, c.w, c.h).adjusted(c.frame, c.frame, -c.frame, -c.frame), L.area) << what;
        const QRectF area(L.area), plot = L.plot;
        EXPECT_TRUE(area.contains(plot)) << what;

        ExpectTicks(L.xAxis, plot.left(), plot.right(), what + " x");
        for (const SGraphLayout::STick& t : L.xAxis.ticks)
            EXPECT_TRUE(area.contains(t.labelRect) && t.labelRect.top() >= plot.bottom()) << what;
        EXPECT_TRUE(area.contains(L.xAxis.titleRect) && L.xAxis.titleRect.top() >= L.xAxis.ticks[0].labelRect.bottom())
            << what;
        for (const SGraphLayout::SAxis& ax : L.yAxes) {
            ASSERT_TRUE(ax.bUsed) << what;
            ExpectTicks(ax, plot.bottom(), plot.top(), what + " y");
            EXPECT_TRUE(area.contains(ax.titleRect) && !ax.titleRect.intersects(plot)) << what;
            for (const SGraphLayout::STick& t : ax.ticks)
                EXPECT_TRUE(area.contains(t.labelRect) && !t.labelRect.intersects(plot) &&
                            !t.labelRect.intersects(ax.titleRect))
                    << what;
        }

        EXPECT_EQ(c.style & CGraphWindow::GW_GRID, L.bGrid ? CGraphWindow::GW_GRID : 0) << what;
        ASSERT_EQ((c.style & CGraphWindow::GW_LEGEND) != 0, L.bLegend) << what;
        if (L.bLegend) {
            EXPECT_LT(L.legendRect.bottom(), plot.top()) << what;
            ASSERT_EQ(2u, L.legend.size()) << what;
            // A label's box is a pixel wider than its text.
            const QRectF box = QRectF(L.legendRect).adjusted(0, 0, 1, 0);
            EXPECT_LE(L.legend[0].labelRect.right(), L.legend[1].stroke.x1()) << what;
            for (const SGraphLayout::SLegendEntry& e : L.legend)
                EXPECT_TRUE(box.contains(e.labelRect) && box.contains(e.stroke.p1()) && box.contains(e.stroke.p2()))
                    << what;
        }
        EXPECT_EQ(QString(c.title).isEmpty(), L.strTitle.isEmpty()) << what;
        if (!L.strTitle.isEmpty()) {
            EXPECT_TRUE(area.contains(QRectF(L.titleRect)) && L.titleRect.bottom() < plot.top()) << what;
        }

        // Point 1 is sample 5, marked on both curves.
        ASSERT_TRUE(L.bSelection) << what;
        ASSERT_EQ(2u, L.markers.size()) << what;
        EXPECT_DOUBLE_EQ(L.xAxis.map(5), L.dSelectionX) << what;
        for (const SGraphLayout::SMarker& m : L.markers)
            EXPECT_TRUE(plot.contains(m.centre) && m.centre.x() == L.dSelectionX) << what;
    }
}

TEST(CGraphWindowTest, LayoutSharesGridLinesAlignsZeroPadsAndMarksPoints)
{
    EnsureApp();
    struct SCase {
        const char* name;
        std::vector<double> t, p, v;
        int points;         // kept points: sample i * step
        bool zeroOnBoth;    // both ranges include 0
    };
    std::vector<double> t(2001), p(2001), v(2001);
    for (int i = 0; i <= 2000; ++i)
        t[std::size_t(i)] = i, p[std::size_t(i)] = 3e6 + 1e3 * std::sin(i * 0.01), v[std::size_t(i)] = 10 * std::cos(i * 0.01);
    const std::vector<SCase> cases = {
        {"mixed signs", {0, 1, 2, 3, 4, 5, 6}, {0, 40, 180, 200, 90, -60, -140}, {0, 2.5, 3.1, -0.5, -2.2, -1.5, 0}, 7, true},
        {"velocity one-sided", {0, 1, 2, 3}, {-50, -20, 10, 400}, {0, 0.001, 0.002, 0.0005}, 4, true},
        {"position far from 0", t, p, v, 2001, false},
        {"one point", {0}, {0}, {0}, 1, true},
    };
    for (const SCase& c : cases) {
        SGraph g;
        g.Fill(c.t, c.p, c.v);
        const int step = c.points > 1 ? int(c.t.size() - 1) / (c.points - 1) : 1;
        g.pointToSample.SetSize(c.points + 2);
        for (int i = 0; i < c.points; ++i)
            g.pointToSample[i] = static_cast<DWORD>(i * step);
        g.pointToSample[c.points] = 3;  // left over from a longer table: not a point
        g.graph.Recalculate();
        EXPECT_EQ(c.points, g.graph.GetPointCount()) << c.name;
        g.graph.SelectPoint(0, c.points - 1);
        for (const QSize size : {QSize(300, 210), QSize(1200, 700)}) {
            const std::string what = std::string(c.name) + " at " + std::to_string(size.width());
            const SGraphLayout L = g.graph.Layout(QRect(QPoint(), size));
            ASSERT_EQ(SGraphLayout::CONTENT_PLOT, L.eContent) << what;
            const SGraphLayout::SAxis &left = L.yAxes[0], &right = L.yAxes[1];
            // Tick k of both axes on one line; the range ends on ticks.
            ASSERT_EQ(left.ticks.size(), right.ticks.size()) << what;
            for (std::size_t k = 0; k < left.ticks.size(); ++k)
                EXPECT_EQ(left.ticks[k].dPos, right.ticks[k].dPos) << what << " tick " << k;
            EXPECT_EQ(left.dLo, left.ticks.front().dValue) << what;
            EXPECT_EQ(right.dHi, right.ticks.back().dValue) << what;
            if (c.zeroOnBoth) {
                EXPECT_EQ(left.map(0), right.map(0)) << what;
            }
            for (const SGraphLayout::SAxis* ax : {&left, &right})
                for (const SGraphLayout::STick& tick : ax->ticks)
                    EXPECT_FALSE(tick.strLabel.contains('e')) << what << " " << tick.strLabel.toStdString();
            // Data and every mark clear of the frame.
            for (const SGraphLayout::SMarker& m : L.markers) {
                const QRectF ring(m.centre.x() - m.dRadius, m.centre.y() - m.dRadius, 2 * m.dRadius, 2 * m.dRadius);
                EXPECT_TRUE(L.plot.adjusted(1, 1, -1, -1).contains(ring)) << what;
            }
            for (const SGraphLayout::SAxis* ax : {&left, &right})
                EXPECT_TRUE(ax->map(ax->dMin) < L.plot.bottom() - 3 && ax->map(ax->dMax) > L.plot.top() + 3) << what;
            // Every point on both curves while they can be told apart.
            const bool apart = c.points * 8 < L.plot.width();
            EXPECT_EQ(apart, L.bPointsMarked) << what;
            EXPECT_EQ(apart ? 2u * c.points : 0u, L.pointMarks.size()) << what;
            EXPECT_EQ("point " + std::to_string(c.points - 1) + " of " + std::to_string(c.points),
                      L.strSelectionLabel.toStdString()) << what;
            EXPECT_TRUE(L.plot.contains(L.selectionLabelRect)) << what;
            if (c.points == 1) {  // its own time, from 0
                EXPECT_EQ(0.0, L.xAxis.dLo) << what;
                EXPECT_GT(L.xAxis.dHi, 0.0) << what;
            }
        }
    }
}

TEST(CGraphWindowTest, LayoutOfAMessageOrOfNoRoom)
{
    EnsureApp();
    struct SCase {
        const char* name;
        std::function<void(SGraph&)> spoil;
        int w, h;
        SGraphLayout::EContent content;
        const char* message;
    };
    const std::vector<SCase> cases = {
        {"message", [](SGraph& g) { g.graph.SetMessage("Too long to draw."); }, 300, 210,
         SGraphLayout::CONTENT_MESSAGE, "Too long to draw."},
        {"no filter", [](SGraph& g) { g.graph.SetFilter(nullptr); }, 300, 210, SGraphLayout::CONTENT_MESSAGE,
         "No samples to draw."},
        {"the filter's text",
         [](SGraph& g) {
             g.filter.m_strEmptyText = "Nothing yet.";
             g.Fill({}, {}, {});
         },
         300, 210, SGraphLayout::CONTENT_MESSAGE, "Nothing yet."},
        {"no room", [](SGraph&) {}, 40, 30, SGraphLayout::CONTENT_TOO_SMALL, ""},
    };
    for (const SCase& c : cases) {
        SGraph g(3, 2);
        g.FillExample();
        c.spoil(g);
        g.graph.Recalculate();
        const SGraphLayout L = g.graph.Layout(QRect(0, 0, c.w, c.h));
        EXPECT_EQ(c.content, L.eContent) << c.name;
        EXPECT_EQ(QString(c.message), L.strMessage) << c.name;
        if (c.content == SGraphLayout::CONTENT_MESSAGE) {
            EXPECT_TRUE(L.area.contains(L.messageRect) && !L.messageRect.isEmpty()) << c.name;
        }
        EXPECT_FALSE(L.bSelection) << c.name;
    }
}

TEST(CGraphWindowTest, SelectionNeverReadsOutsideTableOrSeries)
{
    EnsureApp();
    SGraph g;
    g.FillExample();
    // After removals the table keeps stale entries beyond the point count.
    g.pointToSample.SetSize(6);
    g.pointToSample[3] = 400;
    g.pointToSample[4] = 0xFFFFFFFFu;
    g.pointToSample[5] = 9;
    g.graph.Recalculate();
    struct SCase {
        int mode, index, sample;
    };
    for (const SCase& c : std::vector<SCase>{{0, 1, 5},   {0, 2, 9},      {0, 3, -1},  {0, 4, -1},
                                             {0, 6, -1},  {0, INT_MAX, -1}, {0, -1, -1}, {1, 7, 7},
                                             {1, 10, -1}, {1, -5, -1},     {7, 1, -1}}) {
        g.graph.SelectPoint(c.mode, c.index);
        EXPECT_EQ(c.sample, g.graph.GetSelectedSample()) << c.mode << ", " << c.index;
        EXPECT_FALSE(g.graph.RenderImage(300, 210).isNull());  // a read outside would stop the sanitizer build
    }
    g.graph.m_pPointToSample = nullptr;
    g.graph.SelectPoint(0, 1);
    EXPECT_EQ(-1, g.graph.GetSelectedSample());

    // Series of different lengths: only the samples both series of a curve hold.
    g.graph.m_pPointToSample = &g.pointToSample;
    g.curves.GetAt(1)->SetSize(4);
    g.curves.GetAt(2)->SetSize(4);
    g.graph.Recalculate();
    g.graph.SelectPoint(0, 1);
    EXPECT_EQ(-1, g.graph.GetSelectedSample());
    EXPECT_GT(CountColour(g.graph.RenderImage(300, 210), RGB16(16)), 0);
}

TEST(CGraphWindowTest, NothingToDrawShowsTheMessage)
{
    EnsureApp();
    const std::vector<std::pair<std::string, std::function<void(SGraph&)>>> cases = {
        {"empty series", [](SGraph& g) { g.curves.GetAt(0)->SetSize(-1); }},
        {"NaN samples", [](SGraph& g) { g.Fill({0, 1}, {kNaN, kNaN}, {kNaN, kNaN}); }},
        {"series that do not exist",
         [](SGraph& g) {
             g.filter.GetCurve(0)->m_nYSeries = 3;
             g.filter.GetCurve(1)->m_nXSeries = -1;
         }},
        {"an element that is not a series", [](SGraph& g) { g.curves.SetAt(0, new CFloatArray()); }},
        {"no curve array", [](SGraph& g) { g.filter.m_pCurves = nullptr; }},
        {"no filter", [](SGraph& g) { g.graph.SetFilter(nullptr); }},
    };
    for (const auto& [name, spoil] : cases) {
        SGraph g;
        g.FillExample();
        spoil(g);
        g.graph.Recalculate();
        g.graph.SelectPoint(0, 1);
        const QImage image = g.graph.RenderImage(300, 210);
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(0, CountColour(image, RGB16(16))) << name;
        EXPECT_EQ(0, CountColour(image, RGB16(11))) << name;
        // The message is drawn: text-coloured pixels on the background.
        EXPECT_LT(CountColour(image, RGB16(27)), 300 * 210) << name;
    }

    // A single sample is drawn as a dot, not left out.
    SGraph one;
    one.Fill({0}, {0}, {0});
    one.graph.Recalculate();
    EXPECT_GT(CountColour(one.graph.RenderImage(300, 210), RGB16(16)), 4);
}

TEST(CGraphWindowTest, CanvasInADialog)
{
    EnsureApp();
    QWidget dialog;
    dialog.resize(400, 300);
    {
        SGraph g;
        g.FillExample();
        ASSERT_FALSE(g.graph.AttachCanvas(nullptr, QRect(0, 0, 10, 10)));
        ASSERT_TRUE(g.graph.AttachCanvas(&dialog, QRect(10, 20, 300, 210)));
        dialog.show();
        g.graph.Recalculate();
        EXPECT_EQ(300, g.graph.GetReducedWidth());  // one column per pixel of the canvas
        g.graph.SelectPoint(0, 1);
        g.graph.RefreshWindow();
        const QImage shown = g.graph.GetCanvas()->grab().toImage();
        EXPECT_EQ(QSize(300, 210), shown.size());
        EXPECT_GT(CountColour(shown, RGB16(16)), 50);
        EXPECT_GT(CountColour(shown, RGB16(11)), 50);
    }
    EXPECT_TRUE(dialog.findChildren<QWidget*>().isEmpty());  // the window took its canvas along

    // The dialog's widget goes first: the window forgets its canvas.
    SGraph g;
    auto* parent = new QWidget();
    g.graph.AttachCanvas(parent, QRect(0, 0, 100, 80));
    delete parent;
    EXPECT_EQ(nullptr, g.graph.GetCanvas());
    g.graph.RefreshWindow();
    g.graph.SelectPoint(0, 0);
}

}  // namespace
