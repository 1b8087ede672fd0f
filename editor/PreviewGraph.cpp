#include "editor/PreviewGraph.h"

#include "kernel/ColorRef16.h"
#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "kernel/XYCurve.h"

namespace {

enum { SERIES_TIME = 0, SERIES_POSITION = 1, SERIES_VELOCITY = 2 };

// An XY curve with its four fields and colour in declaration order: the
// series drawn upward, the colour, the line width, the series along the x
// axis, the value axis.
CXYCurve* NewXYCurve(int ySeries, COLORREF color, int lineWidth, int xSeries, int axis)
{
    auto* curve = new CXYCurve();
    curve->m_nYSeries = ySeries;
    curve->m_crColor = color;
    curve->m_nLineWidth = lineWidth;
    curve->m_nXSeries = xSeries;
    curve->m_nAxis = axis;
    return curve;
}

}  // namespace

void CPreviewGraph::SetUp(CCurveArray& curves, CGraphFilter& filter)
{
    for (int i = 0; i < 3; ++i)
        curves.SetAtGrow(curves.GetSize(), new CCurve(0, -1));
    filter.Add(NewXYCurve(SERIES_POSITION, RGB16(16), 2, SERIES_TIME, 1));
    filter.Add(NewXYCurve(SERIES_VELOCITY, RGB16(11), 2, SERIES_TIME, 2));
    filter.m_pCurves = &curves;
    filter.m_crBackground = RGB16(27);
    filter.m_crGrid = RGB16(20);
}

CPreviewBuilder::SSeries CPreviewGraph::SeriesOf(CCurveArray& curves)
{
    return {curves.GetAt(SERIES_TIME)->GetStorage(), curves.GetAt(SERIES_POSITION)->GetStorage(),
            curves.GetAt(SERIES_VELOCITY)->GetStorage()};
}

void CPreviewGraph::Show(const CPreviewBuilder::SResult& result, CCurveArray& curves, CGraphWindow& graph)
{
    curves.GetAt(SERIES_TIME)->m_strLabel = result.timeLabel;
    curves.GetAt(SERIES_POSITION)->m_strLabel = result.positionLabel;
    curves.GetAt(SERIES_VELOCITY)->m_strLabel = result.velocityLabel;
    graph.SetMessage(result.message);
}
