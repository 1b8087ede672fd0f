// Any point table through the preview sampling (CPreviewSampler::Sample,
// then RemovePoints), as the editor's preview and `motionhost preview` run
// it.
//
// The bytes are read as a table of up to 64 points, one "t p v" line each
// (ReadTable): any doubles, NaN, infinities and huge values included,
// columns of different lengths, any display units.
//
// Checks:
//   - the series are sized exactly as the sampler asks (ASan reports any
//     write past them), and every element the sampler says it did not write
//     still holds the guard value it was filled with;
//   - the kept points strictly increase in whole time units, and they are
//     the table's points in order, each with its own values;
//   - every sample and the point-to-sample table are those of the plain
//     recurrence: the segment's cubic by forward differences, one sample at
//     a time, on 64-bit integers that wrap, with truncating divisions.
#include "FuzzCheck.h"
#include "FuzzTable.h"
#include "kernel/ArrayParameter.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewSampler.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i32 = std::int32_t;
using i64 = std::int64_t;

// Series longer than this are not drawn here (the sampler is then given no
// series, as for a motion too long to draw), so that a run stays fast.
constexpr int kMaxDrawn = 1 << 17;

// A NaN that no computation gives: an element still holding it was not
// written.
constexpr u64 kGuardBits = 0x7ff4'dead'beef'0bad;

bool IsGuard(double x) { return std::bit_cast<u64>(x) == kGuardBits; }
bool Same(double a, double b) { return std::bit_cast<u64>(a) == std::bit_cast<u64>(b); }

// The fixed-point forms of a point, written out from their definitions.
i32 WholeTime(double t) { return t > -2147483649.0 && t < 2147483648.0 ? static_cast<i32>(t) : INT32_MIN; }
i32 WholePosition(double p)
{
    if (!(p >= -0x1p63 && p < 0x1p63))
        return 0;  // INT64_MIN, of which the low 32 bits are used
    return static_cast<i32>(static_cast<u32>(static_cast<u64>(static_cast<i64>(p))));
}
i32 Fixed1616(double v)
{
    const double f = std::floor(v * 65536.0 + 0.5);
    return f >= -2147483648.0 && f < 2147483648.0 ? static_cast<i32>(f) : INT32_MIN;
}
i64 Signed(u64 x) { return static_cast<i64>(x); }
u64 Div(u64 x, i64 d) { return static_cast<u64>(Signed(x) / d); }

struct SExpected {
    STable kept;
    std::vector<std::uint32_t> pointToSample;  // of the kept points
    std::vector<double> ts, ps, vs;    // the series, guard where not written
    int written = 0;
};

// The preview of `in` as the plain recurrence gives it.
SExpected Reference(const STable& in, int length, bool draw, double ft, double fp, double fv)
{
    SExpected out;
    const std::size_t count = std::min({in.t.size(), in.p.size(), in.v.size()});
    out.kept = in;
    if (length <= 0 || count == 0)
        return out;
    if (draw) {
        const double guard = std::bit_cast<double>(kGuardBits);
        out.ts.assign(static_cast<std::size_t>(length), guard);
        out.ps = out.ts;
        out.vs = out.ts;
    }
    const auto put = [&](i64 index, double t, double p, double v) {
        if (draw && index < length) {
            out.ts[static_cast<std::size_t>(index)] = t;
            out.ps[static_cast<std::size_t>(index)] = p;
            out.vs[static_cast<std::size_t>(index)] = v;
        }
    };
    std::vector<bool> keep(in.t.size(), true);
    i32 tPrev = WholeTime(in.t[0]);
    u64 P = static_cast<u64>(static_cast<i64>(WholePosition(in.p[0]))) << 32;
    u64 V = static_cast<u64>(static_cast<i64>(Fixed1616(in.v[0]))) << 16;
    put(0, in.t[0] * ft, in.p[0] * fp, in.v[0] * fv);
    out.pointToSample.push_back(0);
    i64 s = 1;
    for (std::size_t j = 1; j < count; ++j) {
        const i32 t = WholeTime(in.t[j]);
        // The step between whole times, which cannot wrap in 64 bits: a time
        // far below the previous one never passes for a step forward.
        const i64 dt = static_cast<i64>(t) - tPrev;
        if (dt <= 0) {
            keep[j] = false;
            continue;
        }
        const u64 Pn = static_cast<u64>(static_cast<i64>(WholePosition(in.p[j]))) << 32;
        const u64 Vn = static_cast<u64>(static_cast<i64>(Fixed1616(in.v[j]))) << 16;
        const u64 D = P - Pn;
        const u64 A = Div(Div(Div(2 * D, dt) + Vn + V, dt), dt);
        const u64 B = Div(Div(0 - 3 * D, dt), dt);
        const u64 G = Div(2 * V + Vn, dt);
        u64 S = 2 * (B - G);
        // Only the samples that fit the series are computed.
        const i64 last = std::min<i64>(dt - 1, draw ? length - s : 0);
        for (i64 k = 1; k <= last; ++k) {
            S += 6 * A;
            V += S - 3 * A;
            P += V - static_cast<u64>(Signed(S) / 2) + A;
            const i32 whole = static_cast<i32>(static_cast<u32>(tPrev) + static_cast<u32>(k));
            const i32 bits = static_cast<i32>(static_cast<u32>(V >> 16));
            put(s + k - 1, static_cast<double>(whole) * ft, static_cast<double>(static_cast<i32>(static_cast<u32>(P >> 32))) * fp,
                (static_cast<double>(bits) * 0x1p-16) * fv);
        }
        const i64 own = s + dt - 1;
        put(own, in.t[j] * ft, in.p[j] * fp, in.v[j] * fv);
        out.pointToSample.push_back(own <= 0xFFFFFFFF ? static_cast<std::uint32_t>(own) : 0xFFFFFFFF);
        s = own + 1;
        tPrev = t;
        P = Pn;
        V = Vn;
    }
    out.written = draw ? static_cast<int>(std::min<i64>(s, length)) : 0;
    const auto filter = [&](std::vector<double>& column) {
        std::vector<double> kept;
        for (std::size_t i = 0; i < column.size(); ++i)
            if (i >= keep.size() || keep[i])
                kept.push_back(column[i]);
        column = kept;
    };
    filter(out.kept.t);
    filter(out.kept.p);
    filter(out.kept.v);
    return out;
}

struct SSeries {
    explicit SSeries(int length) : t(new double[length]), p(new double[length]), v(new double[length])
    {
        const double guard = std::bit_cast<double>(kGuardBits);
        std::fill_n(t.get(), length, guard);
        std::fill_n(p.get(), length, guard);
        std::fill_n(v.get(), length, guard);
    }
    std::unique_ptr<double[]> t, p, v;
};

void CheckColumn(const char* name, const std::vector<double>& got, const std::vector<double>& expected)
{
    FUZZ_CHECK(got.size() == expected.size(), "%s: %zu values kept, %zu expected", name, got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        FUZZ_CHECK(Same(got[i], expected[i]), "%s[%zu] = %.17g, expected %.17g", name, i, got[i], expected[i]);
}

void CheckSeries(const char* name, const double* got, const std::vector<double>& expected, int written)
{
    for (std::size_t k = 0; k < expected.size(); ++k) {
        if (static_cast<int>(k) >= written)
            FUZZ_CHECK(IsGuard(got[k]), "%s: sample %zu of %zu written beyond the %d reported", name, k,
                       expected.size(), written);
        else
            FUZZ_CHECK(Same(got[k], expected[k]), "%s: sample %zu = %.17g, expected %.17g", name, k, got[k],
                       expected[k]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CFuzzRecord fuzz(std::string_view(reinterpret_cast<const char*>(data), size));
    const STable& table = fuzz.table;
    CDK_ArrayParameter& time = fuzz.record.m_Time;
    CDK_ArrayParameter& position = fuzz.record.m_Position;
    CDK_ArrayParameter& velocity = fuzz.record.m_Velocity;

    const STrajectoryTable view = STrajectoryTable::FromColumns(time, position, velocity);
    const int length = CPreviewSampler::GetSeriesLength(view);
    const CPreviewSampler::tagExtent extent = CPreviewSampler::GetExtent(length);
    const bool draw = extent == CPreviewSampler::EXTENT_DRAWN && length <= kMaxDrawn;
    std::unique_ptr<SSeries> series = draw ? std::make_unique<SSeries>(length) : nullptr;
    CPreviewSampler::SSamples out;
    if (draw) {
        const auto n = static_cast<std::size_t>(length);
        out.time = {series->t.get(), n};
        out.position = {series->p.get(), n};
        out.velocity = {series->v.get(), n};
    }
    CPreviewSampler::Sample(view, length, out);
    FUZZ_CHECK(out.extent == extent, "extent %d, expected %d", static_cast<int>(out.extent), static_cast<int>(extent));
    CPreviewSampler::RemovePoints(time, position, velocity, out.dropped);
    const int written = out.written;

    double ft = 1, fp = 1, fv = 1;
    time.IUToUnit(ft);
    position.IUToUnit(fp);
    velocity.IUToUnit(fv);
    const SExpected expected = Reference(table, length, draw, ft, fp, fv);
    FUZZ_CHECK(written == expected.written, "%d samples written, %d expected (length %d)", written, expected.written,
               length);
    FUZZ_CHECK(written >= 0 && (written == 0 || written <= length), "%d samples written of %d", written, length);

    CheckColumn("time", time.GetValuesInInternalUnit(), expected.kept.t);
    CheckColumn("position", position.GetValuesInInternalUnit(), expected.kept.p);
    CheckColumn("velocity", velocity.GetValuesInInternalUnit(), expected.kept.v);
    // The kept points advance by whole time units.
    if (length > 0) {
        const std::vector<double>& t = time.GetValuesInInternalUnit();
        const std::size_t points = std::min({t.size(), position.GetValuesInInternalUnit().size(), velocity.GetValuesInInternalUnit().size()});
        for (std::size_t i = 1; i < points; ++i)
            FUZZ_CHECK(WholeTime(t[i]) > WholeTime(t[i - 1]), "kept point %zu at %.17g does not pass %.17g", i, t[i],
                       t[i - 1]);
    }

    FUZZ_CHECK(out.pointToSample.size() == expected.pointToSample.size(), "%zu point-to-sample entries, %zu expected",
               out.pointToSample.size(), expected.pointToSample.size());
    for (std::size_t i = 0; i < expected.pointToSample.size(); ++i)
        FUZZ_CHECK(out.pointToSample[i] == expected.pointToSample[i], "point %zu at sample %u, expected %u", i,
                   out.pointToSample[i], expected.pointToSample[i]);
    if (draw) {
        CheckSeries("time", series->t.get(), expected.ts, written);
        CheckSeries("position", series->p.get(), expected.ps, written);
        CheckSeries("velocity", series->v.get(), expected.vs, written);
    }
    return 0;
}
