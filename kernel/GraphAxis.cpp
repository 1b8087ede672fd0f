#include "kernel/GraphAxis.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

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

namespace {

// The digits of a plain decimal with a comma between thousands.
std::string GroupThousands(const char* digits, std::size_t length)
{
    const std::string_view in(digits, length);
    const std::size_t begin = (!in.empty() && in[0] == '-') ? 1 : 0;
    const std::size_t end = std::min(in.find('.'), in.size());
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        out += in[i];
        if (i >= begin && i + 1 < end && (end - i - 1) % 3 == 0)
            out += ',';
    }
    return out;
}

// The SI prefixes from 10^-24 to 10^24 in steps of a thousand.
const char* const kPrefixes[] = {"y", "z", "a", "f", "p", "n", "\xC2\xB5", "m", "", "k", "M", "G", "T", "P", "E", "Z", "Y"};
constexpr int kUnitPrefix = 8;  // the index of no prefix

}  // namespace

CString CGraphAxis::FormatTick(double dValue, double dStep, double dAxisMagnitude)
{
    if (!std::isfinite(dValue))
        return dValue != dValue ? "nan" : (dValue > 0 ? "inf" : "-inf");
    if (!std::isfinite(dStep) || !(dStep > 0))
        dStep = std::max(std::fabs(dValue), 1.0);
    const SStep step = StepOf(dStep);
    if (std::fabs(dValue) < dStep * 1e-6)
        return "0";
    char buffer[400];
    const double magnitude = std::isfinite(dAxisMagnitude) ? std::max(std::fabs(dValue), std::fabs(dAxisMagnitude))
                                                            : std::fabs(dValue);
    if (magnitude >= 1e6 || step.e < -6) {
        // Engineering form: a thousand's power from the axis's magnitude.
        const double e3 = std::floor(std::log10(magnitude) / 3);
        const int k = static_cast<int>(std::clamp(e3, -8.0, 8.0));
        const double scaled = dValue / std::pow(10.0, 3 * k);
        const int decimals = std::clamp(3 * k - step.e, 0, 15);
        const std::to_chars_result r =
            std::to_chars(buffer, buffer + sizeof buffer, scaled, std::chars_format::fixed, decimals);
        if (r.ec != std::errc())
            return "?";
        std::string text = std::fabs(scaled) >= 1e4 ? GroupThousands(buffer, std::size_t(r.ptr - buffer))
                                                    : std::string(buffer, r.ptr);
        text += kPrefixes[k + kUnitPrefix];
        return CString(text.c_str(), static_cast<int>(text.size()));
    }
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, dValue, std::chars_format::fixed, std::max(0, -step.e));
    if (r.ec != std::errc())
        return "?";
    if (magnitude < 1e4)
        return CString(buffer, static_cast<int>(r.ptr - buffer));
    const std::string text = GroupThousands(buffer, std::size_t(r.ptr - buffer));
    return CString(text.c_str(), static_cast<int>(text.size()));
}

double CGraphAxis::SGrid::Lo() const { return StepOf(dStep).Tick(dFirst); }
double CGraphAxis::SGrid::Hi() const { return StepOf(dStep).Tick(dFirst + nIntervals); }

std::vector<double> CGraphAxis::SGrid::Ticks() const
{
    std::vector<double> ticks;
    if (!(dStep > 0) || nIntervals < 0)
        return ticks;
    const SStep step = StepOf(dStep);
    for (int k = 0; k <= nIntervals; ++k) {
        const double t = step.Tick(dFirst + k);
        ticks.push_back(t == 0 ? 0.0 : t);
    }
    return ticks;
}

namespace {

// The tick indices a range needs at a step: first ... last.
void Needs(double lo, double hi, const SStep& step, double& first, double& last)
{
    const double s = step.Value();
    first = std::floor(lo / s + 1e-9);
    last = std::ceil(hi / s - 1e-9);
}

// The steps worth trying for a range in n intervals: the least that fits
// and the next three.
int CandidateSteps(double lo, double hi, int n, SStep out[4])
{
    SStep step{1, static_cast<int>(std::clamp(std::floor(std::log10((hi - lo) / n)), -320.0, 320.0)) - 1};
    for (int i = 0; i < 16; ++i, step = step.Next()) {
        double first = 0, last = 0;
        Needs(lo, hi, step, first, last);
        if (last - first <= n) {
            out[0] = step;
            for (int j = 1; j < 4; ++j)
                out[j] = out[j - 1].Next();
            return 4;
        }
    }
    return 0;
}

}  // namespace

bool CGraphAxis::SharedGrid(const double dLo[2], const double dHi[2], const bool bUsed[2], int nMaxTicks,
                            SGrid grid[2])
{
    grid[0] = grid[1] = SGrid{};
    const int axes[2] = {bUsed[0] ? 0 : 1, bUsed[1] ? 1 : 0};
    if (!bUsed[0] && !bUsed[1])
        return false;
    for (int a : axes)
        if (!std::isfinite(dLo[a]) || !std::isfinite(dHi[a]) || !(dLo[a] < dHi[a]))
            return false;
    const bool two = bUsed[0] && bUsed[1];
    const bool zero = two && dLo[0] <= 0 && dHi[0] >= 0 && dLo[1] <= 0 && dHi[1] >= 0;
    const int maxN = std::max(nMaxTicks - 1, 1), minN = std::max(1, std::min(maxN, (nMaxTicks + 1) / 2));
    double best = -1;
    for (int n = minN; n <= maxN; ++n) {
        SStep sa[4], sb[4];
        if (!CandidateSteps(dLo[axes[0]], dHi[axes[0]], n, sa) || !CandidateSteps(dLo[axes[1]], dHi[axes[1]], n, sb))
            return false;
        for (const SStep& a : sa) {
            for (const SStep& b : sb) {
                // The first tick's index: from what the range needs, at
                // most first, at least last - n.
                double fa = 0, la = 0, fb = 0, lb = 0;
                Needs(dLo[axes[0]], dHi[axes[0]], a, fa, la);
                Needs(dLo[axes[1]], dHi[axes[1]], b, fb, lb);
                double lowA = la - n, highA = fa, lowB = lb - n, highB = fb;
                if (zero) {
                    lowA = lowB = std::max(lowA, lowB);
                    highA = highB = std::min(highA, highB);
                }
                if (lowA > highA || lowB > highB)
                    continue;
                const double span = static_cast<double>(n);
                double fill = (dHi[axes[0]] - dLo[axes[0]]) / (span * a.Value());
                if (two)
                    fill *= (dHi[axes[1]] - dLo[axes[1]]) / (span * b.Value());
                if (fill <= best)
                    continue;
                best = fill;
                // The data in the middle: the padding shared by both ends.
                const double mA = std::floor((lowA + highA) / 2), mB = zero ? mA : std::floor((lowB + highB) / 2);
                grid[axes[0]] = SGrid{a.Value(), mA, n};
                grid[axes[1]] = SGrid{b.Value(), mB, n};
            }
        }
    }
    if (!two)
        grid[bUsed[0] ? 1 : 0] = SGrid{};
    return best > 0;
}
