#include "kernel/XYCurve.h"

#include <algorithm>

CXYCurve::CXYCurve()
    : m_nYSeries(1), m_crColor(RGB16(CR16_WHITE)), m_nLineWidth(1), m_nXSeries(0), m_nAxis(AXIS_LEFT)
{
}

int CXYCurve::ComputeLimits()
{
    m_dXMin = m_dXMax = m_dYMin = m_dYMax = 0;
    bool found = false;
    double lo = 0, hi = 0;
    for (const CCurveReduction::SColumn& c : m_Reduced.GetColumns()) {
        if (!c.HasValues())
            continue;
        lo = found ? std::min(lo, c.dMinY) : c.dMinY;
        hi = found ? std::max(hi, c.dMaxY) : c.dMaxY;
        found = true;
    }
    if (!found)
        return FALSE;
    m_dXMin = m_Reduced.GetXMin();
    m_dXMax = m_Reduced.GetXMax();
    m_dYMin = lo;
    m_dYMax = hi;
    return TRUE;
}
