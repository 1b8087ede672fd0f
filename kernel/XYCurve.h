// CXYCurve: one curve of a graph, a series of the curve array drawn against
// another, with its colour, line width and value axis.
//
// The graph window's Recalculate reduces the curve's samples into m_Reduced
// (one column per pixel of the window's width) and then calls ComputeLimits;
// painting reads only the reduction and the limits.
#pragma once

#include "kernel/ColorRef16.h"
#include "kernel/CurveReduction.h"
#include "platform/Object.h"
#include "platform/Types.h"

class CXYCurve : public CObject {
public:
    // The value axis a curve is drawn against (m_nAxis).
    enum { AXIS_LEFT = 1, AXIS_RIGHT = 2 };

    // Series 1 against series 0 in white, 1 pixel wide, on the left axis.
    CXYCurve();

    // Sets the limits from the reduced samples: the range of the x values
    // and of the finite y values. Returns TRUE when the curve has something
    // to draw, FALSE (limits 0) when it has no sample with a finite x and y.
    // A derived curve may override it to give its axes a fixed range.
    virtual int ComputeLimits();

    // The fields in their order; the graph's users fill them.
    int m_nYSeries;      // index in the curve array of the series drawn upward
    COLORREF m_crColor;  // colour of the line, the legend entry and the axis labels
    int m_nLineWidth;    // pen width in pixels; less than 1 draws 1, more than 8 draws 8
    int m_nXSeries;      // index in the curve array of the series drawn along the x axis
    int m_nAxis;         // AXIS_RIGHT: the value axis on the right; anything else: the left one

    // Set by ComputeLimits.
    double m_dXMin = 0;
    double m_dXMax = 0;
    double m_dYMin = 0;
    double m_dYMax = 0;

    // Filled by the graph window's Recalculate.
    CCurveReduction m_Reduced;
};
