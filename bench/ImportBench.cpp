// Throughput of the points-file import, measured beside the baseline it is
// judged against in the same run:
//   - BM_ImportFile: a file of 1,000,000 "position velocity time" lines
//     (about 28 bytes each, written here into a temporary directory and so
//     in the page cache) read into a PVT record in rot, rpm and s, with
//     every rule of the import, up to the preview rebuild;
//   - BM_BaselineFgetsSscanf: the same file read with a plain fgets and the
//     C library's sscanf("%lf %lf %lf"), values pushed into three vectors;
//   - BM_ImportFileScaling: the import at 10^4 ... 10^6 lines, to show that
//     appending stays linear;
//   - BM_CFileReadByteByByte: CFile read one byte at a time, as a plain
//     byte loop over the same file would read it.
// Run: build/bin/velkor_bench --benchmark_filter='Import|Fgets|CFile'
// (items_per_second: lines or bytes per second)
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/File.h"
#include "pvt/ImportReader.h"
#include "tests/TestUtil.h"
#include "pvt/InternalData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kLines = 1000000;

// Points files in a temporary directory, removed at exit.
class CPointsFiles {
public:
    // A file of `lines` point lines whose times all increase, so that every
    // line is taken.
    const std::string& Get(int lines)
    {
        auto found = m_Paths.find(lines);
        if (found != m_Paths.end())
            return found->second;
        if (!m_pDir)
            m_pDir = std::make_unique<testutil::CTempDir>("velkor-import-bench");
        if (m_pDir->Path().empty())
            std::abort();
        const std::string path = m_pDir->Path() + "/points-" + std::to_string(lines) + ".txt";
        std::FILE* f = std::fopen(path.c_str(), "w");
        if (!f)
            std::abort();
        std::mt19937_64 rng(7);
        std::uniform_int_distribution<int> dt(1, 3), dp(-2000000, 2000000), dv(-5000000, 5000000);
        long long ms = 0;
        for (int i = 0; i < lines; ++i) {
            ms += dt(rng);
            std::fprintf(f, "%.4f %.3f %lld.%03lld\n", dp(rng) / 10000.0, dv(rng) / 1000.0, ms / 1000, ms % 1000);
        }
        std::fclose(f);
        return m_Paths.emplace(lines, path).first->second;
    }

private:
    std::unique_ptr<testutil::CTempDir> m_pDir;  // removed with its files at exit
    std::map<int, std::string> m_Paths;
};

CPointsFiles& Files()
{
    static CPointsFiles files;
    return files;
}

// One import into a new record on the embedded default drive.
void ImportOnce(benchmark::State& state, const std::string& path, int lines)
{
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data(setup, motion);
    CString params = data.BuildDefaultParameters();
    CString errors;
    data.ReadParameters(params, errors);  // one point only: the table is reported short
    data.NormalizePoints();
    try {
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        CImportReader reader(data.m_Position, data.m_Velocity, data.m_Time);
        reader.Import(file);
        if (reader.GetPointsTaken() != lines)
            state.SkipWithError("not every line was taken");
    } catch (CException* e) {
        state.SkipWithError(e->GetMessage().GetString());
        e->Delete();
    }
    benchmark::DoNotOptimize(data.m_Time.GetValuesInInternalUnit().data());
}

void BM_ImportFile(benchmark::State& state)
{
    const std::string& path = Files().Get(kLines);
    for (auto _ : state)
        ImportOnce(state, path, kLines);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ImportFile)->Unit(benchmark::kMillisecond);

void BM_BaselineFgetsSscanf(benchmark::State& state)
{
    const std::string& path = Files().Get(kLines);
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "r");
        if (!f) {
            state.SkipWithError("cannot open the points file");
            break;
        }
        std::vector<double> p, v, t;
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            double a = 0, b = 0, c = 0;
            if (std::sscanf(line, "%lf %lf %lf", &a, &b, &c) == 3) {
                p.push_back(a);
                v.push_back(b);
                t.push_back(c);
            }
        }
        std::fclose(f);
        if (t.size() != static_cast<std::size_t>(kLines))
            state.SkipWithError("not every line was read");
        benchmark::DoNotOptimize(t.data());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_BaselineFgetsSscanf)->Unit(benchmark::kMillisecond);

void BM_ImportFileScaling(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const std::string& path = Files().Get(lines);
    for (auto _ : state)
        ImportOnce(state, path, lines);
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetComplexityN(lines);
}
BENCHMARK(BM_ImportFileScaling)
    ->RangeMultiplier(10)
    ->Range(10000, kLines)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_CFileReadByteByByte(benchmark::State& state)
{
    const std::string& path = Files().Get(kLines);
    long long bytes = 0;
    for (auto _ : state) {
        CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        char c = 0;
        unsigned sum = 0;
        long long n = 0;
        while (file.Read(&c, 1) == 1) {
            sum += static_cast<unsigned char>(c);
            ++n;
        }
        benchmark::DoNotOptimize(sum);
        bytes += n;
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_CFileReadByteByByte)->Unit(benchmark::kMillisecond);

}  // namespace
