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
    // A tick as the axis shows it, with as many decimals as the step needs
    // ("0.25", "-40"); on an axis that reaches ten million (dAxisMagnitude,
    // the greatest magnitude of its ticks; 0: the tick's own), or whose step
    // is below a millionth, in exponent form with the digits the step needs
    // at the axis's magnitude ("5.0e+06", "1.5e+07"; "2e-07"). A tick within
    // a millionth of a step from 0 reads "0". The C locale's form whatever
    // the process's locale.
    static CString FormatTick(double dValue, double dStep, double dAxisMagnitude = 0);
};
