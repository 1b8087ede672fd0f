#include "pvt/PointInput.h"

#include "kernel/Value.h"
#include "platform/Runtime.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void CPointInput::ClampToParameter(const CDK_ArrayParameter& param, double& value)
{
    if (param.GetMin() > value)
        value = param.GetMin();
    else if (value > param.GetMax())
        value = param.GetMax();
    param.UnitToIU(value);
    CDK_Value held;
    held.SetValue(param.GetType(), value);
    value = held.GetValue(param.GetType());
    param.IUToUnit(value);
}

BOOL CPointInput::ReadNumber(const char* text, double& value)
{
    double read = 0;
    if (sscanf_s(text, "%lf", &read) != 1 || !std::isfinite(read))
        return FALSE;
    value = read;
    return TRUE;
}

BOOL CPointInput::ReadField(const CDK_ArrayParameter& param, const char* text, double& value)
{
    double read = 0;
    if (!ReadNumber(text, read))
        return FALSE;
    ClampToParameter(param, read);
    value = read;
    return TRUE;
}

BOOL CPointInput::ReadTimeField(const CDK_ArrayParameter& time, const char* text, double& value)
{
    double read = 0;
    if (!ReadField(time, text, read) || read < 0)
        return FALSE;
    value = read;
    return TRUE;
}

double CPointInput::ClampInternalValue(const CDK_ArrayParameter& param, double value)
{
    param.IUToUnit(value);
    ClampToParameter(param, value);
    param.UnitToIU(value);
    return value;
}

namespace {

// The 16.16 type's range in steps of 1/65536.
constexpr double kSteps = 65536.0;
constexpr double kMinSteps = -2147483648.0;
constexpr double kMaxSteps = 2147483647.0;

// One value by the steps of ClampInternalValues' fast path.
template <bool kUnitIsInternal>
double ClampFixed(double value, double factor, double lo, double hi)
{
    double d = value * factor;
    d = lo > d ? lo : d > hi ? hi : d;
    const double iu = kUnitIsInternal ? d : d / factor;
    double steps = std::floor(iu * kSteps + 0.5);
    steps = steps < kMinSteps ? kMinSteps : steps > kMaxSteps ? kMaxSteps : steps;
    return steps == steps ? steps / kSteps + 0.0 : 0.0;
}

template <bool kUnitIsInternal>
void ClampFixedValues(double* values, std::size_t count, double factor, double lo, double hi)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    // Two at a time. The rounded value is limited to the type's range
    // before it is converted: floor commutes with a limit at whole numbers,
    // and within the range the truncating conversion is exact; floor is the
    // truncation, less one where that lies above. NaN becomes 0.
    const __m128d f = _mm_set1_pd(factor), low = _mm_set1_pd(lo), high = _mm_set1_pd(hi);
    const __m128d steps = _mm_set1_pd(kSteps), half = _mm_set1_pd(0.5), one = _mm_set1_pd(1.0);
    const __m128d minSteps = _mm_set1_pd(kMinSteps), maxSteps = _mm_set1_pd(kMaxSteps);
    const __m128d resolution = _mm_set1_pd(1.0 / kSteps);  // a power of two: as exact as the division
    for (; i + 2 <= count; i += 2) {
        __m128d d = _mm_mul_pd(_mm_loadu_pd(values + i), f);
        const __m128d below = _mm_cmpgt_pd(low, d);  // false for NaN, as lo > d is
        d = _mm_or_pd(_mm_and_pd(below, low), _mm_andnot_pd(below, d));
        const __m128d above = _mm_cmpgt_pd(d, high);
        d = _mm_or_pd(_mm_and_pd(above, high), _mm_andnot_pd(above, d));
        const __m128d iu = kUnitIsInternal ? d : _mm_div_pd(d, f);
        const __m128d x = _mm_add_pd(_mm_mul_pd(iu, steps), half);
        const __m128d notNumber = _mm_cmpunord_pd(x, x);
        const __m128d limited = _mm_min_pd(_mm_max_pd(x, minSteps), maxSteps);
        const __m128d truncated = _mm_cvtepi32_pd(_mm_cvttpd_epi32(limited));
        const __m128d floored = _mm_sub_pd(truncated, _mm_and_pd(_mm_cmpgt_pd(truncated, limited), one));
        _mm_storeu_pd(values + i, _mm_andnot_pd(notNumber, _mm_mul_pd(floored, resolution)));
    }
#endif
    for (; i < count; ++i)
        values[i] = ClampFixed<kUnitIsInternal>(values[i], factor, lo, hi);
}

}  // namespace

void CPointInput::ClampInternalValues(const CDK_ArrayParameter& param, std::span<double> values)
{
    if (param.GetType() != DK_FIXED) {
        for (double& value : values)
            value = ClampInternalValue(param, value);
        return;
    }
    // The same steps, written out for the 16.16 type so that a million
    // velocities take milliseconds:
    //  - the display value d = v * f, clamped to GetMin() ... GetMax() as
    //    ClampToParameter compares (NaN passes both comparisons);
    //  - back in internal units d / f. UnitToIU may snap that quotient to a
    //    multiple of 1/65536 when it lies within a few ulps of one; rounding
    //    to the type gives the same multiple either way, so the snap is left
    //    out;
    //  - the type's rounding, floor(x * 65536 + 0.5) limited to its range,
    //    NaN to 0 (CDK_Value::Quantize);
    //  - shown and stored again, IUToUnit then UnitToIU gives a value of the
    //    type back bit for bit.
    double factor = 1.0;
    param.IUToUnit(factor);
    if (factor == 1.0)
        ClampFixedValues<true>(values.data(), values.size(), factor, param.GetMin(), param.GetMax());
    else
        ClampFixedValues<false>(values.data(), values.size(), factor, param.GetMin(), param.GetMax());
}
