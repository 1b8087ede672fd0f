#include "kernel/GraphLayout.h"

#include <algorithm>
#include <cmath>

double SGraphLayout::SMap::operator()(double v) const
{
    // Halved first, so that ranges near the greatest double do not overflow.
    const double t = (v * 0.5 - dLo * 0.5) / (dHi * 0.5 - dLo * 0.5);
    const double p = dP0 + (dP1 - dP0) * t;
    return std::isfinite(p) ? std::clamp(p, -1e5, 1e5) : 0;
}
