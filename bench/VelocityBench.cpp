// Velocities from positions: the clamped spline over 1,000,000 points
// (time steps uniform in 1 ... 511 periods, random position steps), the
// velocities computed, clamped and quantised as the velocity column stores
// them, and put into the column. Judged against the preview's sampling,
// BM_PreviewSampling, run beside it:
//   build/bin/velkor_bench --benchmark_filter='BM_SplineVelocities|BM_PreviewSampling'
// items_per_second: points per second.
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"
#include "pvt/VelocityGenerator.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kPoints = 1000000;

void BM_SplineVelocities(benchmark::State& state)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data(setup, motion);
    data.m_Time.Bind("ATIME", "ATIME");
    data.m_Position.Bind("TPOS", "TPOS");
    data.m_Velocity.Bind("TSPD", "TSPD");  // in its default unit, rpm: the full clamp
    std::vector<double> t, p;
    std::mt19937_64 rng(18);
    std::uniform_int_distribution<int> dt(1, 511), dp(-200000, 200000);
    double time = 0, position = 0;
    for (int i = 0; i < kPoints; ++i) {
        t.push_back(time);
        p.push_back(position);
        time += dt(rng);
        position += dp(rng);
    }
    data.m_Time.SetValuesInInternalUnit(t);
    data.m_Position.SetValuesInInternalUnit(p);
    data.m_Velocity.SetValuesInInternalUnit(std::vector<double>(kPoints, 0.0));
    CVelocityGenerator generator;
    std::vector<double> velocities;
    for (auto _ : state) {
        int bad = 0;
        const CString message = generator.Generate(CVelocityGenerator::METHOD_SPLINE, data.m_Time, data.m_Position,
                                                   data.m_Velocity, velocities, bad);
        if (!message.IsEmpty()) {
            state.SkipWithError(message.GetString());
            return;
        }
        data.m_Velocity.SetValuesInInternalUnit(std::move(velocities));
        velocities = std::vector<double>();  // moved from: a new vector, as a command makes it
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_SplineVelocities)->Unit(benchmark::kMillisecond);

}  // namespace
