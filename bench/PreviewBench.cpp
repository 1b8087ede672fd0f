// Throughput of the trajectory preview's sampling on a table of 100,000
// points with time steps uniform in 1 ... 511 sampling periods (about 2.56e7
// samples), beside a naive double-precision Hermite loop on the same table
// that does less: two series (position, velocity) in internal units, no
// fixed point, no units.
// Run: build/bin/velkor_bench --benchmark_filter='Preview|Hermite'
// The trajectory report on the same table: BM_TrajectoryReport.
// (items_per_second: samples per second)
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewSampler.h"
#include "pvt/TrajectoryReport.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kPreviewPoints = 100000;

struct SPreviewTable {
    std::vector<double> t, p, v;  // internal units
};

// A valid table: whole sampling periods, whole increments, velocities as the
// 16.16 drive type holds them, position steps well within 24 bits.
const SPreviewTable& PreviewTable()
{
    static const SPreviewTable table = [] {
        SPreviewTable s;
        std::mt19937_64 rng(7);
        std::uniform_int_distribution<int> dt(1, 511), dp(-200000, 200000), dv(-40000000, 40000000);
        double t = 0, p = 0;
        for (int i = 0; i < kPreviewPoints; ++i) {
            s.t.push_back(t);
            s.p.push_back(p);
            s.v.push_back(i == 0 || i == kPreviewPoints - 1 ? 0.0 : dv(rng) / 65536.0);
            t += dt(rng);
            p += dp(rng);
        }
        return s;
    }();
    return table;
}

// A record of the embedded drive holding the preview table, in the default
// display units (rot, rpm, s).
struct SPreviewRecord {
    SPreviewRecord()
    {
        data.m_Time.Bind("ATIME", "ATIME");
        data.m_Position.Bind("TPOS", "TPOS");
        data.m_Velocity.Bind("TSPD", "TSPD");
        const SPreviewTable& table = PreviewTable();
        data.m_Time.SetValuesInInternalUnit(table.t);
        data.m_Position.SetValuesInInternalUnit(table.p);
        data.m_Velocity.SetValuesInInternalUnit(table.v);
    }

    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data{setup, motion};
};

// The sampling into series in the embedded drive's default display units
// (rot, rpm, s), sized once as the dialog sizes them.
void BM_PreviewSampling(benchmark::State& state)
{
    SPreviewRecord record;
    CInternalData& data = record.data;
    const STrajectoryTable view = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    const int length = CPreviewSampler::GetSeriesLength(view);
    if (CPreviewSampler::GetExtent(length) != CPreviewSampler::EXTENT_DRAWN) {
        state.SkipWithError("the benchmark table is not drawn");
        return;
    }
    std::vector<double> time(static_cast<std::size_t>(length)), position(time.size()), velocity(time.size());
    CPreviewSampler::SSamples out;
    out.time = time;
    out.position = position;
    out.velocity = velocity;
    for (auto _ : state) {
        CPreviewSampler::Sample(view, length, out);
        benchmark::DoNotOptimize(out.written);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(length));
    state.counters["samples"] = length;
}
BENCHMARK(BM_PreviewSampling)->Unit(benchmark::kMillisecond);

// The trajectory report of the same table, its sampling included (in pieces
// that stay in the caches, so no series of the whole table is kept): every
// problem, the peaks, the overshoots and two limits. Its rate beside
// BM_PreviewSampling's is the cost of the analysis' pass over the samples.
// Run: build/bin/velkor_bench --benchmark_filter='BM_PreviewSampling|BM_TrajectoryReport'
void BM_TrajectoryReport(benchmark::State& state)
{
    SPreviewRecord record;
    CInternalData& data = record.data;
    const STrajectoryTable view = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    const CPointTableRules rules = CPointTableRules::ForTimeColumn(data.m_Time);
    const CTrajectoryReport::SLimits limits{3000.0, 1e6};  // rpm, rpm/s
    const int length = CPreviewSampler::GetSeriesLength(view);
    // Reused from one run to the next, as the preview's series are.
    CTrajectoryReport::SResult result;
    for (auto _ : state) {
        CTrajectoryReport::Analyse(view, rules, limits, result);
        if (!result.IsSampled()) {
            state.SkipWithError("the benchmark table is not sampled");
            return;
        }
        benchmark::DoNotOptimize(result.peakVelocity->value);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(length));
    state.counters["samples"] = length;
}
BENCHMARK(BM_TrajectoryReport)->Unit(benchmark::kMillisecond);

// The textbook cubic Hermite in doubles: per sample the basis functions of
// u = k / T (as k times 1 / T, no division per sample), position and
// velocity. Its samples are independent, so the compiler vectorises it.
void NaiveHermite(const double* t, const double* p, const double* v, int n, double* pos, double* vel)
{
    long s = 0;
    for (int i = 1; i < n; ++i) {
        const double T = t[i] - t[i - 1], invT = 1.0 / T;
        const double p0 = p[i - 1], p1 = p[i], m0 = v[i - 1] * T, m1 = v[i] * T;
        const int steps = (int)T;
        for (int k = 0; k < steps; ++k) {
            const double u = k * invT;
            const double u2 = u * u, u3 = u2 * u;
            pos[s + k] = (2 * u3 - 3 * u2 + 1) * p0 + (u3 - 2 * u2 + u) * m0 + (-2 * u3 + 3 * u2) * p1 + (u3 - u2) * m1;
            vel[s + k] =
                ((6 * u2 - 6 * u) * p0 + (3 * u2 - 4 * u + 1) * m0 + (6 * u - 6 * u2) * p1 + (3 * u2 - 2 * u) * m1) * invT;
        }
        s += steps;
    }
    pos[s] = p[n - 1];
    vel[s] = v[n - 1];
}

void BM_BaselineHermiteDouble(benchmark::State& state)
{
    const SPreviewTable& table = PreviewTable();
    const auto length = static_cast<std::size_t>(table.t.back()) + 1;
    std::vector<double> position(length), velocity(length);
    for (auto _ : state) {
        NaiveHermite(table.t.data(), table.p.data(), table.v.data(), kPreviewPoints, position.data(), velocity.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(length));
}
BENCHMARK(BM_BaselineHermiteDouble)->Unit(benchmark::kMillisecond);

}  // namespace
