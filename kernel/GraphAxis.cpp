#include "kernel/GraphAxis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// A step as m * 10^e with m in {1, 2, 5}.
struct SStep {
    int m;
    int e;
    double Value() const { return e >= 0 ? m * std::pow(10.0, e) : m / std::pow(10.0, -e); }
    // Tick k * step, computed so that 3 * 0.1 reads 0.3.
    double Tick(double k) const { return e >= 0 ? k * m * std::pow(10.0, e) : k * m / std::pow(10.0, -e); }
    SStep Next() const { return m == 1 ? SStep{2, e} : m == 2 ? SStep{5, e} : SStep{1, e + 1}; }
};

// Tick indices first ... last of `step` inside lo ... hi, a little tolerant
// so that 0.3 is a tick of 0 ... 0.3 in steps of 0.1.
void TickRange(double lo, double hi, const SStep& step, double& first, double& last)
{
    const double s = step.Value();
    first = std::ceil(lo / s - 1e-9);
    last = std::floor(hi / s + 1e-9);
}

bool FindStep(double lo, double hi, int nMaxTicks, SStep& out)
{
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo < hi))
        return false;
    const double span = hi * 0.5 - lo * 0.5;  // half the span, never overflows
    const int maxTicks = std::max(nMaxTicks, 1);
    const double rough = std::log10(span * 2 / maxTicks);
    if (!std::isfinite(rough))
        return false;
    // Start a decade below the rough step and take the first that fits.
    SStep step{1, static_cast<int>(std::clamp(std::floor(rough), -320.0, 320.0)) - 1};
    for (int i = 0; i < 12; ++i, step = step.Next()) {
        double first = 0, last = 0;
        TickRange(lo, hi, step, first, last);
        if (last - first + 1 <= maxTicks) {
            out = step;
            return true;
        }
    }
    return false;
}

SStep StepOf(double dStep)
{
    // The nearest 1-2-5 step (dStep is one, from ChooseStep).
    const double e = std::floor(std::log10(dStep) + 1e-9);
    const int ie = static_cast<int>(std::clamp(e, -330.0, 330.0));
    const double m = dStep / std::pow(10.0, ie);
    return SStep{m < 1.5 ? 1 : m < 3.5 ? 2 : 5, ie};
}

}  // namespace

void CGraphAxis::RangeFor(double dMin, double dMax, double dMargin, double& dLo, double& dHi)
{
    if (!std::isfinite(dMin) || !std::isfinite(dMax)) {
        dLo = 0;
        dHi = 1;
        return;
    }
    if (dMax < dMin)
        std::swap(dMin, dMax);
    const double half = dMax * 0.5 - dMin * 0.5;
    const double mid = dMin + half;
    if (half * 2 <= std::max(std::fabs(dMin), std::fabs(dMax)) * 1e-6) {
        const double d = mid == 0 ? 1.0 : std::fabs(mid) * 0.1;
        dLo = mid - d;
        dHi = mid + d;
        return;
    }
    const double margin = 2 * half * std::max(dMargin, 0.0);
    dLo = dMin - margin;
    dHi = dMax + margin;
    if (!std::isfinite(dLo) || !std::isfinite(dHi)) {
        dLo = dMin;
        dHi = dMax;
    }
}

double CGraphAxis::ChooseStep(double dLo, double dHi, int nMaxTicks)
{
    SStep step{};
    return FindStep(dLo, dHi, nMaxTicks, step) ? step.Value() : 0;
}

std::vector<double> CGraphAxis::Ticks(double dLo, double dHi, int nMaxTicks)
{
    std::vector<double> ticks;
    SStep step{};
    if (!FindStep(dLo, dHi, nMaxTicks, step))
        return ticks;
    double first = 0, last = 0;
    TickRange(dLo, dHi, step, first, last);
    // FindStep keeps the count within nMaxTicks.
    const int count = static_cast<int>(last - first + 1);
    for (int i = 0; i < count; ++i) {
        const double t = step.Tick(first + i);
        ticks.push_back(t == 0 ? 0.0 : t);  // no "-0"
    }
    return ticks;
}

CString CGraphAxis::FormatTick(double dValue, double dStep, double dAxisMagnitude)
{
    if (!std::isfinite(dValue))
        return dValue != dValue ? "nan" : (dValue > 0 ? "inf" : "-inf");
    if (!std::isfinite(dStep) || !(dStep > 0))
        dStep = std::max(std::fabs(dValue), 1.0);
    const SStep step = StepOf(dStep);
    if (std::fabs(dValue) < dStep * 1e-6)
        return "0";
    char buffer[64];
    std::to_chars_result r{};
    const double magnitude = std::isfinite(dAxisMagnitude) ? std::max(std::fabs(dValue), std::fabs(dAxisMagnitude))
                                                            : std::fabs(dValue);
    if (magnitude >= 1e7 || step.e < -6) {
        const int exponent = static_cast<int>(std::clamp(std::floor(std::log10(magnitude)), -330.0, 330.0));
        const int digits = std::clamp(exponent - step.e, 0, 15);
        r = std::to_chars(buffer, buffer + sizeof buffer, dValue, std::chars_format::scientific, digits);
    } else {
        r = std::to_chars(buffer, buffer + sizeof buffer, dValue, std::chars_format::fixed, std::max(0, -step.e));
    }
    return CString(buffer, static_cast<int>(r.ptr - buffer));
}
