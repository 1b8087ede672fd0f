// Throughput of the PVT main path on big tables, each measured beside the
// baseline it is judged against in the same run:
//   - reading and writing a record of 1,000,000 points vs a plain strtod loop
//     over lines of three numbers;
//   - CheckPoints on 1,000,000 points;
//   - TranslateMotionSequence through the loaded module vs a plain snprintf
//     loop that produces the same segment lines.
// Run: build/bin/velkor_bench  (items_per_second: values or lines per second)
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 1000000;

struct STable {
    std::vector<double> t, p, v;  // internal units
};

// A valid table as users build it: whole sampling periods, whole increments,
// velocities as the 16.16 drive type holds them.
const STable& Table()
{
    static const STable table = [] {
        STable s;
        std::mt19937_64 rng(42);
        std::uniform_int_distribution<int> dt(1, 511), dp(-200000, 200000), dv(-40000000, 40000000);
        double t = 0, p = 0;
        for (int i = 0; i < kPoints; ++i) {
            s.t.push_back(t);
            s.p.push_back(p);
            s.v.push_back(i == 0 || i == kPoints - 1 ? 0.0 : dv(rng) / 65536.0);
            t += dt(rng);
            p += dp(rng);
        }
        return s;
    }();
    return table;
}

void Fill(CInternalData& data, const STable& s)
{
    data.m_Time.Bind("ATIME", "ATIME");
    data.m_Position.Bind("TPOS", "TPOS");
    data.m_Velocity.Bind("TSPD", "TSPD");
    data.m_Time.SetValuesInInternalUnit(s.t);
    data.m_Position.SetValuesInInternalUnit(s.p);
    data.m_Velocity.SetValuesInInternalUnit(s.v);
    data.m_Time.SetMaxInInternalUnit(CInternalData::kMaxTime);
    data.m_Time.SetMinInInternalUnit(0);
    data.m_nClearBuffer = 1;
}

const CString& RecordText()
{
    static const CString text = [] {
        CDK_Setup setup;
        CDK_Motion motion;
        CInternalData data(setup, motion);
        Fill(data, Table());
        CString out;
        data.WriteParameters(out);
        return out;
    }();
    return text;
}

void BM_BaselineStrtodLines(benchmark::State& state)
{
    // The same numbers as lines of three, read with a plain strtod loop.
    std::string text;
    const STable& s = Table();
    char line[128];
    for (int i = 0; i < kPoints; ++i) {
        const int n = std::snprintf(line, sizeof line, "%.17g %.17g %.17g\n", s.p[i], s.v[i], s.t[i]);
        text.append(line, static_cast<std::size_t>(n));
    }
    for (auto _ : state) {
        const char* p = text.c_str();
        char* end = nullptr;
        double sum = 0;
        for (;;) {
            const double value = std::strtod(p, &end);
            if (end == p)
                break;
            sum += value;
            p = end;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 3 * kPoints);
}
BENCHMARK(BM_BaselineStrtodLines)->Unit(benchmark::kMillisecond);

void BM_WriteRecord(benchmark::State& state)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data(setup, motion);
    Fill(data, Table());
    for (auto _ : state) {
        CString out;
        data.WriteParameters(out);
        benchmark::DoNotOptimize(out.GetString());
    }
    state.SetItemsProcessed(state.iterations() * 3 * kPoints);
}
BENCHMARK(BM_WriteRecord)->Unit(benchmark::kMillisecond);

void BM_ReadRecord(benchmark::State& state)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CString text = RecordText();
    for (auto _ : state) {
        CInternalData data(setup, motion);
        CString errors;
        if (!data.ReadParameters(text, errors))
            state.SkipWithError(errors.GetString());
    }
    state.SetItemsProcessed(state.iterations() * 3 * kPoints);
}
BENCHMARK(BM_ReadRecord)->Unit(benchmark::kMillisecond);

void BM_CheckPoints(benchmark::State& state)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data(setup, motion);
    Fill(data, Table());
    for (auto _ : state) {
        int bad = -1;
        const CString message = data.CheckPoints(bad);
        if (!message.IsEmpty())
            state.SkipWithError(message.GetString());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_CheckPoints)->Unit(benchmark::kMillisecond);

void BM_BaselineSnprintfLines(benchmark::State& state)
{
    // The segment lines of the same table in the default units, built with
    // snprintf into a growing string.
    const STable& s = Table();
    const double rot = 1.0 / 2000, rpm = 30.0, sec = 0.001;
    for (auto _ : state) {
        std::string out;
        char line[256];
        for (int i = 1; i < kPoints; ++i) {
            const int n = std::snprintf(line, sizeof line, "  PVTP %ldL, %.17g, %ldU, 0;//PVT(%.12g[%s], %.12g[%s], %.12g[%s])\r\n",
                                        static_cast<long>(s.p[i] - s.p[i - 1]), s.v[i], static_cast<long>(s.t[i] - s.t[i - 1]),
                                        s.p[i] * rot, "rot", s.v[i] * rpm, "rpm", s.t[i] * sec, "s");
            out.append(line, static_cast<std::size_t>(n));
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * (kPoints - 1));
}
BENCHMARK(BM_BaselineSnprintfLines)->Unit(benchmark::kMillisecond);

void BM_TranslateMotionSequence(benchmark::State& state)
{
    void* module = dlopen(VELKOR_BIN_DIR "/Velkor.so", RTLD_NOW | RTLD_LOCAL);
    const auto translate = module ? reinterpret_cast<module_exports::TranslateMotionSequenceFn>(
                                        dlsym(module, module_exports::kTranslateMotionSequence))
                                  : nullptr;
    if (!translate) {
        state.SkipWithError("cannot load Velkor.so");
        return;
    }
    CDK_Setup setup;
    CDK_Motion motion;
    CString params = RecordText();
    CString out;
    for (auto _ : state) {
        if (!translate(setup, motion, params, out)) {
            state.SkipWithError(out.GetString());
            break;
        }
    }
    const int lines = out.Replace('\n', '\n');
    state.SetItemsProcessed(state.iterations() * lines);
    dlclose(module);
}
BENCHMARK(BM_TranslateMotionSequence)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
