// The preview graph on long trajectories:
//   - BM_Recalculate: the reduction of both curves (position and velocity
//     over time) to one column per pixel of a 1200-pixel-wide graph;
//     items_per_second = samples per second.
//   - BM_Repaint: painting the reduced graph into a 1200 x 700 image, which
//     must cost the same at 1e5 and at 1e7 samples; /1 adds a ripple of a
//     few samples' period to the velocity, so that every pixel column of it
//     spans a range (the costliest curve to draw).
//   - BM_ZoomRedraw: the graph redrawn at a random zoomed range (the
//     reduction of that range from the multi-level summary, and the paint),
//     which must cost the same at 1e5 and at 5e7 samples: the width times a
//     logarithm, never the samples in view.
// BM_Recalculate builds the summary: linear in the samples.
// Run: build/bin/velkor_bench --benchmark_filter='BM_Re|BM_Zoom'
#include "tests/TestUtil.h"
#include "kernel/ColorRef16.h"
#include "kernel/Curve.h"
#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "kernel/XYCurve.h"
#include "platform/DWordArray.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    testutil::UseOffscreenPlatform();
    static int argc = 1;
    static char name[] = "velkor_bench";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

// The editor's graph over n samples of a smooth motion at 1 ms.
struct SGraph {
    CGraphWindow graph{3, 0};
    CCurveArray curves;
    CGraphFilter filter{nullptr, nullptr, nullptr, nullptr};
    CDWordArray pointToSample;

    explicit SGraph(int n, bool ripple = false)
    {
        for (int i = 0; i < 3; ++i) {
            curves.SetAtGrow(i, new CCurve(0, -1));
            curves.GetAt(i)->SetSize(n, -1);
        }
        double* t = curves.GetAt(0)->GetData();
        double* p = curves.GetAt(1)->GetData();
        double* v = curves.GetAt(2)->GetData();
        const double w = 2 * 3.141592653589793 / (n * 0.001 / 5);
        for (int i = 0; i < n; ++i) {
            const double s = i * 0.001;
            t[i] = s;
            p[i] = 40 * (1 - std::cos(w * s));
            v[i] = 40 * w * std::sin(w * s) * 60 + (ripple ? 3 * std::sin(i * 1.9) : 0);
        }
        for (int k = 1; k <= 2; ++k) {
            auto* c = new CXYCurve();
            c->m_nYSeries = k;
            c->m_crColor = RGB16(k == 1 ? 16 : 11);
            c->m_nLineWidth = 2;
            c->m_nXSeries = 0;
            c->m_nAxis = k;
            filter.Add(c);
        }
        filter.m_pCurves = &curves;
        pointToSample.SetSize(2);
        pointToSample[0] = 0;
        pointToSample[1] = static_cast<DWORD>(n / 3);
        graph.m_pPointToSample = &pointToSample;
        graph.SetFilter(&filter);
    }
};

void BM_Recalculate(benchmark::State& state)
{
    EnsureGuiApp();
    const int n = static_cast<int>(state.range(0));
    SGraph g(n);
    g.graph.RenderImage(1200, 700);  // the width to reduce at
    for (auto _ : state) {
        g.graph.Recalculate();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_Recalculate)->Arg(100000)->Arg(10000000)->Arg(50000000)->Unit(benchmark::kMillisecond);

void BM_ZoomRedraw(benchmark::State& state)
{
    EnsureGuiApp();
    const int n = static_cast<int>(state.range(0));
    SGraph g(n, true);
    g.graph.SelectPoint(0, 1);
    QImage image(1200, 700, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        g.graph.Draw(painter, image.rect());
    }
    std::mt19937 rng(5);
    const double end = (n - 1) * 0.001;
    std::uniform_real_distribution<double> at(0, end), share(0.001, 0.5);
    for (auto _ : state) {
        const double span = share(rng) * end, lo = std::min(at(rng), end - span);
        g.graph.SetView(lo, lo + span);
        QPainter painter(&image);
        g.graph.Draw(painter, image.rect());
    }
    state.counters["samples"] = n;
}
BENCHMARK(BM_ZoomRedraw)->Arg(100000)->Arg(50000000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_Repaint(benchmark::State& state)
{
    EnsureGuiApp();
    const int n = static_cast<int>(state.range(0));
    SGraph g(n, state.range(1) != 0);
    g.graph.SelectPoint(0, 1);
    QImage image(1200, 700, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        g.graph.Draw(painter, image.rect());  // reduces once, at this width
    }
    for (auto _ : state) {
        QPainter painter(&image);
        g.graph.Draw(painter, image.rect());
    }
    state.counters["samples"] = n;
}
BENCHMARK(BM_Repaint)->Args({100000, 0})->Args({10000000, 0})->Args({100000, 1})->Args({10000000, 1})->Unit(benchmark::kMillisecond);

}  // namespace
