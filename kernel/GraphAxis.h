// CGraphAxis: the range, ticks and tick labels of one axis of a graph.
//
// Ticks sit at round numbers: whole multiples of a step of 1, 2 or 5 times a
// power of ten, the smallest such step that gives no more ticks than fit.
#pragma once

#include "platform/String.h"

#include <vector>

class CGraphAxis {
public:
    // The axis range for data from dMin to dMax: a margin of dMargin times
    // the data's span on each side. Flat data (a span below a millionth of
    // its magnitude, or none) gets its value plus and minus a tenth of it,
    // or plus and minus 1 at 0. Data that is not finite gives 0 ... 1.
    static void RangeFor(double dMin, double dMax, double dMargin, double& dLo, double& dHi);

    // The tick step for the range dLo ... dHi with at most nMaxTicks ticks
    // (at least 1 is assumed); 0 for a range that is empty or not finite.
    static double ChooseStep(double dLo, double dHi, int nMaxTicks);
    // The ticks themselves, ascending.
    static std::vector<double> Ticks(double dLo, double dHi, int nMaxTicks);
    // A tick as the axis shows it, never in exponent form: plain decimals
    // with as many decimals as the step needs ("0.25", "-40"); on an axis
    // that reaches 10,000 (dAxisMagnitude, the greatest magnitude of its
    // ticks; 0: the tick's own) with a comma between thousands
    // ("250,000"); on an axis that reaches a million, or whose step is
    // below a millionth, scaled to an SI prefix chosen from the axis's
    // magnitude ("15M", "1.5G", "-200n", "350µ", UTF-8), short enough for
    // a small graph. A tick within a
    // millionth of a step from 0 reads "0". The C locale's decimal point
    // whatever the process's locale.
    static CString FormatTick(double dValue, double dStep, double dAxisMagnitude = 0);

    // A range that ends on ticks: ticks at (nFirst + k) * dStep for
    // k = 0 ... nIntervals, dStep a 1-2-5 step.
    struct SGrid {
        double dStep = 0;
        double dFirst = 0;  // the index of the first tick (a whole number)
        int nIntervals = 0;
        double Lo() const;
        double Hi() const;
        std::vector<double> Ticks() const;  // exact round values, ascending
    };

    // Two value axes that share their grid lines: the ranges dLo[i] ...
    // dHi[i] (finite, dLo < dHi) each inside a grid of the same number of
    // intervals (1 ... nMaxTicks - 1), so that tick k of one axis and tick
    // k of the other lie on the same line. When both ranges include 0, 0 is
    // the same tick on both. Among the grids that fit, the one whose
    // ranges the data fills best. With bUsed[i] false axis i is left out
    // (its grid stays empty). FALSE when no grid fits (ranges not finite
    // or empty).
    static bool SharedGrid(const double dLo[2], const double dHi[2], const bool bUsed[2], int nMaxTicks,
                           SGrid grid[2]);
};
