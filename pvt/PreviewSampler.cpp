#include "pvt/PreviewSampler.h"

#include "kernel/ArrayParameter.h"
#include "platform/InvalidArgException.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// All 64-bit arithmetic of the interpolation is done on unsigned integers, so
// that it wraps modulo 2^64 as the drive's does; a wrapped value is read as
// signed (a defined conversion) only to divide it or to take its sign.

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i32 = std::int32_t;
using i64 = std::int64_t;

u64 Fixed32(i32 whole) { return static_cast<u64>(static_cast<i64>(whole)) << 32; }
u64 Fixed16(i32 fixed) { return static_cast<u64>(static_cast<i64>(fixed)) << 16; }

// Division truncating toward zero of a wrapped value by a time step, which is
// always positive: no overflow is possible.
u64 Div(u64 value, i64 divisor) { return static_cast<u64>(static_cast<i64>(value) / divisor); }

// value / 2 truncating toward zero, as the drive divides: not a shift, which
// would round negative odd values downward. (S starts as 2 (B - G) and grows
// by 6 A, so it stays even and the division is exact; it is written as the
// drive's division all the same.)
u64 Half(u64 value)
{
    const u64 biased = value + (value >> 63);  // + 1 for a negative value; cannot overflow
    return static_cast<u64>(static_cast<i64>(biased) >> 1);
}

i32 HighWord(u64 value) { return static_cast<i32>(static_cast<u32>(value >> 32)); }
i32 VelocityBits(u64 value) { return static_cast<i32>(static_cast<u32>(value >> 16)); }

struct SFactors {
    double time;
    double position;
    double velocity;
    // velocity * 2^-16, for one multiplication per velocity sample: exactly
    // (bits * 2^-16) * velocity, which is one rounding of the same product,
    // as long as the scaled factor itself is exact (it is, unless subnormal).
    double velocityBits;
};

// The state of a segment's forward differences.
struct SSegment {
    u64 P;  // position, 32.32
    u64 V;  // velocity, 32.32
    u64 S;  // second difference
    u64 A;  // cubic coefficient
    u32 t;  // time of the last sample
};

// Writes `count` interpolated samples of a segment at t, p and v by the
// drive's own recurrence: per sample a handful of 64-bit additions and one
// division by 2, three conversions and one multiplication per value.
template <bool kScaledVelocity>
void Recur(SSegment g, i64 count, const SFactors& f, double* __restrict t, double* __restrict p, double* __restrict v)
{
    const u64 a = g.A;
    const u64 a3 = 3 * a;
    const u64 a6 = 6 * a;
    u64 P = g.P, V = g.V, S = g.S;
    u32 time = g.t;
    const double ft = f.time, fp = f.position, fv = kScaledVelocity ? f.velocityBits : f.velocity;
    for (i64 k = 0; k < count; ++k) {
        S += a6;
        V += S - a3;
        P += V - Half(S) + a;
        ++time;
        t[k] = static_cast<double>(static_cast<i32>(time)) * ft;
        p[k] = static_cast<double>(HighWord(P)) * fp;
        if constexpr (kScaledVelocity)
            v[k] = static_cast<double>(VelocityBits(V)) * fv;
        else
            v[k] = (static_cast<double>(VelocityBits(V)) * 0x1p-16) * fv;
    }
}

#if defined(__SSE2__)

// A polynomial in the sample index k with coefficients modulo 2^64.
struct SPolynomial {
    u64 c0, c1, c2, c3;
    u64 At(u64 k) const { return c0 + k * (c1 + k * (c2 + k * c3)); }
};

__m128i Lanes(u64 low, u64 high)
{
    return _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
}

// Whether the recurrence of a segment of `count` samples can be taken two
// samples at a time, from its closed form. Summed over the samples, the
// recurrence gives exactly
//   P(k) = P + V k + (S / 2) k^2 + A k^3,  V(k) = V + S k + 3 A k^2
// modulo 2^64, as long as S, whose halves are summed, never wraps: S starts
// even and grows by 6 A. That holds for every segment of three periods or
// more (|S| stays below 8/9 of 2^63 then); it is checked all the same.
bool HasClosedForm(const SSegment& g, i64 count)
{
    using i128 = __int128;
    const i128 a6 = 6 * static_cast<i128>(static_cast<i64>(g.A));
    const i128 first = static_cast<i64>(g.S) + a6;
    const i128 last = static_cast<i64>(g.S) + a6 * count;
    const auto inRange = [](i128 x) { return x >= INT64_MIN && x <= INT64_MAX; };
    return count >= 2 && inRange(a6) && inRange(first) && inRange(last);
}

// The same samples as Recur, two at a time on SSE2 lanes (k odd, k even),
// each lane stepping its polynomials by forward differences of step 2:
// additions modulo 2^64 only.
template <bool kScaledVelocity>
void Pairs(SSegment g, i64 count, const SFactors& f, double* __restrict t, double* __restrict p, double* __restrict v)
{
    const SPolynomial position{g.P, g.V, static_cast<u64>(static_cast<i64>(g.S) / 2), g.A};
    const SPolynomial velocity{g.V, g.S, 3 * g.A, 0};
    const auto at = [](const SPolynomial& x, u64 k) { return x.At(k); };  // modulo 2^64
    __m128i P = Lanes(at(position, 1), at(position, 2));
    __m128i dP = Lanes(at(position, 3) - at(position, 1), at(position, 4) - at(position, 2));
    __m128i d2P = Lanes(at(position, 5) - 2 * at(position, 3) + at(position, 1),
                        at(position, 6) - 2 * at(position, 4) + at(position, 2));
    const __m128i d3P = _mm_set1_epi64x(static_cast<long long>(48 * g.A));  // 6 A 2^3
    __m128i V = Lanes(at(velocity, 1), at(velocity, 2));
    __m128i dV = Lanes(at(velocity, 3) - at(velocity, 1), at(velocity, 4) - at(velocity, 2));
    const __m128i d2V = _mm_set1_epi64x(static_cast<long long>(24 * g.A));  // 2 (3 A) 2^2
    __m128i time = _mm_set_epi32(0, 0, static_cast<int>(g.t + 2), static_cast<int>(g.t + 1));
    const __m128i two = _mm_set_epi32(0, 0, 2, 2);
    const __m128d ft = _mm_set1_pd(f.time), fp = _mm_set1_pd(f.position);
    const __m128d fv = _mm_set1_pd(kScaledVelocity ? f.velocityBits : f.velocity);
    i64 k = 0;
    for (; k + 2 <= count; k += 2) {
        _mm_storeu_pd(t + k, _mm_mul_pd(_mm_cvtepi32_pd(time), ft));
        // The high words of both lanes, then bits 16 ... 47 of both.
        _mm_storeu_pd(p + k, _mm_mul_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(P, _MM_SHUFFLE(3, 1, 3, 1))), fp));
        __m128d bits = _mm_cvtepi32_pd(_mm_shuffle_epi32(_mm_srli_epi64(V, 16), _MM_SHUFFLE(2, 0, 2, 0)));
        if constexpr (!kScaledVelocity)
            bits = _mm_mul_pd(bits, _mm_set1_pd(0x1p-16));
        _mm_storeu_pd(v + k, _mm_mul_pd(bits, fv));
        time = _mm_add_epi32(time, two);
        P = _mm_add_epi64(P, dP);
        dP = _mm_add_epi64(dP, d2P);
        d2P = _mm_add_epi64(d2P, d3P);
        V = _mm_add_epi64(V, dV);
        dV = _mm_add_epi64(dV, d2V);
    }
    if (k < count) {  // the last sample, in the low lane
        t[k] = static_cast<double>(_mm_cvtsi128_si32(time)) * f.time;
        p[k] = static_cast<double>(HighWord(static_cast<u64>(_mm_cvtsi128_si64(P)))) * f.position;
        const double bits = static_cast<double>(VelocityBits(static_cast<u64>(_mm_cvtsi128_si64(V))));
        v[k] = kScaledVelocity ? bits * f.velocityBits : (bits * 0x1p-16) * f.velocity;
    }
}

#endif

template <bool kScaledVelocity>
void Interpolate(const SSegment& g, i64 count, const SFactors& f, double* t, double* p, double* v)
{
#if defined(__SSE2__)
    if (HasClosedForm(g, count)) {
        Pairs<kScaledVelocity>(g, count, f, t, p, v);
        return;
    }
#endif
    Recur<kScaledVelocity>(g, count, f, t, p, v);
}

// The column without the points at `removed` (ascending indices inside it),
// in one pass.
std::vector<double> WithoutPoints(const std::vector<double>& values, std::span<const int> removed)
{
    std::vector<double> kept;
    kept.reserve(values.size() - removed.size());
    auto from = values.begin();
    for (const int index : removed) {
        kept.insert(kept.end(), from, values.begin() + index);
        from = values.begin() + index + 1;
    }
    kept.insert(kept.end(), from, values.end());
    return kept;
}

}  // namespace

std::int32_t CPreviewSampler::TimeOf(double time)
{
    if (!(time > -2147483649.0 && time < 2147483648.0))  // also NaN
        return INT32_MIN;
    return static_cast<i32>(time);
}

std::int32_t CPreviewSampler::PositionOf(double position)
{
    // -2^63 is a double; the next one above 2^63 - 1 is 2^63.
    if (!(position >= -9223372036854775808.0 && position < 9223372036854775808.0))
        return 0;  // the low 32 bits of INT64_MIN
    return static_cast<i32>(static_cast<u32>(static_cast<u64>(static_cast<i64>(position))));
}

std::int32_t CPreviewSampler::VelocityOf(double velocity)
{
    const double scaled = std::floor(velocity * 65536.0 + 0.5);
    if (!(scaled >= -2147483648.0 && scaled < 2147483648.0))
        return INT32_MIN;
    return static_cast<i32>(scaled);
}

int CPreviewSampler::GetLastTime(const STrajectoryTable& table)
{
    return table.time.empty() ? -1 : TimeOf(table.time.back());
}

int CPreviewSampler::GetSeriesLength(const STrajectoryTable& table)
{
    return static_cast<i32>(static_cast<u32>(GetLastTime(table)) + 1u);
}

CPreviewSampler::tagExtent CPreviewSampler::GetExtent(int length)
{
    if (length <= 0)
        return EXTENT_EMPTY;
    return length <= kSampleBudget ? EXTENT_DRAWN : EXTENT_TOO_LONG;
}

void CPreviewSampler::Sample(const STrajectoryTable& table, int length, SSamples& out)
{
    out.extent = GetExtent(length);
    out.written = 0;
    out.pointToSample.clear();
    out.dropped.clear();
    const int count = table.GetPointCount();
    if (length <= 0 || count == 0)
        return;

    const double* const times = table.time.data();
    const double* const positions = table.position.data();
    const double* const velocities = table.velocity.data();
    const auto fits = [length](std::span<double> series) { return series.size() >= static_cast<std::size_t>(length); };
    const bool draw = out.extent == EXTENT_DRAWN && fits(out.time) && fits(out.position) && fits(out.velocity);
    double* const timeSeries = out.time.data();
    double* const positionSeries = out.position.data();
    double* const velocitySeries = out.velocity.data();
    SFactors f;
    f.time = table.timeFactor;
    f.position = table.positionFactor;
    f.velocity = table.velocityFactor;
    f.velocityBits = f.velocity * 0x1p-16;
    const bool scaledVelocity = f.velocityBits * 65536.0 == f.velocity;  // exact: not subnormal

    // Point 0.
    i32 tPrev = TimeOf(times[0]);
    u64 P = Fixed32(PositionOf(positions[0]));
    u64 V = Fixed16(VelocityOf(velocities[0]));
    if (draw) {
        timeSeries[0] = times[0] * f.time;
        positionSeries[0] = positions[0] * f.position;
        velocitySeries[0] = velocities[0] * f.velocity;
    }
    out.pointToSample.reserve(static_cast<std::size_t>(count));
    out.pointToSample.push_back(0);

    i64 s = 1;  // the next sample index; grows by less than 2^32 per point
    for (int j = 1; j < count; ++j) {
        const i32 t = TimeOf(times[j]);
        // The step between the whole times, in 64 bits so that it cannot
        // wrap: a time far below the previous one (a negative time after a
        // large one, or a time outside the 32-bit range, which counts as
        // -2147483648) is no step forward and is dropped, like any time
        // that does not advance.
        const i64 dt = static_cast<i64>(t) - tPrev;
        if (dt <= 0) {
            out.dropped.push_back(j);
            continue;
        }
        const i64 own = s + dt - 1;  // the point's own sample
        if (draw && s < length) {
            const u64 Pn = Fixed32(PositionOf(positions[j]));
            const u64 Vn = Fixed16(VelocityOf(velocities[j]));
            const u64 D = P - Pn;
            SSegment g;
            g.A = Div(Div(Div(2 * D, dt) + Vn + V, dt), dt);
            const u64 B = Div(Div(0 - 3 * D, dt), dt);
            const u64 G = Div(2 * V + Vn, dt);
            g.S = 2 * (B - G);
            g.P = P;
            g.V = V;
            g.t = static_cast<u32>(tPrev);
            const i64 interpolated = std::min<i64>(dt - 1, length - s);
            if (scaledVelocity)
                Interpolate<true>(g, interpolated, f, timeSeries + s, positionSeries + s, velocitySeries + s);
            else
                Interpolate<false>(g, interpolated, f, timeSeries + s, positionSeries + s, velocitySeries + s);
            if (own < length) {
                timeSeries[own] = times[j] * f.time;
                positionSeries[own] = positions[j] * f.position;
                velocitySeries[own] = velocities[j] * f.velocity;
            }
            P = Pn;
            V = Vn;
        }
        out.pointToSample.push_back(own <= static_cast<i64>(kNoSample) ? static_cast<u32>(own) : kNoSample);
        s = own + 1;
        tPrev = t;
    }
    out.written = draw ? static_cast<int>(std::min<i64>(s, length)) : 0;
}

void CPreviewSampler::RemovePoints(CDK_ArrayParameter& time, CDK_ArrayParameter& position,
                                   CDK_ArrayParameter& velocity, std::span<const int> dropped)
{
    if (dropped.empty())
        return;
    const int count = std::min({time.GetValuesCount(), position.GetValuesCount(), velocity.GetValuesCount()});
    for (std::size_t k = 0; k < dropped.size(); ++k)
        if (dropped[k] < 0 || dropped[k] >= count || (k > 0 && dropped[k] <= dropped[k - 1]))
            throw new CInvalidArgException();
    time.SetValuesInInternalUnit(WithoutPoints(time.GetValuesInInternalUnit(), dropped));
    position.SetValuesInInternalUnit(WithoutPoints(position.GetValuesInInternalUnit(), dropped));
    velocity.SetValuesInInternalUnit(WithoutPoints(velocity.GetValuesInInternalUnit(), dropped));
}
