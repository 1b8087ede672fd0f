#include "pvt/PreviewGraph.h"

#include "kernel/ColorRef16.h"
#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "kernel/XYCurve.h"
#include "platform/DWordArray.h"
#include "pvt/InternalData.h"

#include <new>

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

CString CPreviewGraph::TooLongMessage(int length)
{
    CString text;
    text.Format("The trajectory is too long to draw: %d sampling periods (at most %d).", length,
                CPreviewSampler::kSampleBudget);
    return text;
}

CString CPreviewGraph::OutOfMemoryMessage(int length)
{
    CString text;
    text.Format("There is not enough memory to draw the trajectory of %d sampling periods.", length);
    return text;
}

CPreviewGraph::SResult CPreviewGraph::Rebuild(CCurveArray& curves, CInternalData& data, CDWordArray& pointToSample,
                                               CGraphWindow& graph)
{
    CCurve* time = curves.GetAt(SERIES_TIME);
    CCurve* position = curves.GetAt(SERIES_POSITION);
    CCurve* velocity = curves.GetAt(SERIES_VELOCITY);
    time->m_strLabel = "Time[" + data.m_Time.GetSelectedUnit() + "]";
    position->m_strLabel = "Position[" + data.m_Position.GetSelectedUnit() + "]";
    velocity->m_strLabel = "Velocity[" + data.m_Velocity.GetSelectedUnit() + "]";

    SResult result;
    result.length = CPreviewSampler::GetSeriesLength(data.m_Time);
    result.extent = CPreviewSampler::GetExtent(result.length);
    bool drawn = result.extent == CPreviewSampler::EXTENT_DRAWN;
    if (drawn) {
        try {
            time->SetSize(result.length, -1);
            position->SetSize(result.length, -1);
            velocity->SetSize(result.length, -1);
        } catch (const std::bad_alloc&) {
            result.outOfMemory = true;
            drawn = false;
        }
    }
    if (!drawn) {
        // Nothing to draw, or too much: no series are kept around.
        time->SetSize(0, -1);
        position->SetSize(0, -1);
        velocity->SetSize(0, -1);
    }
    if (result.outOfMemory)
        graph.SetMessage(OutOfMemoryMessage(result.length));
    else if (result.extent == CPreviewSampler::EXTENT_TOO_LONG)
        graph.SetMessage(TooLongMessage(result.length));
    else
        graph.SetMessage(CString());

    // Too long or not, the points that do not advance leave the table.
    result.samples = CPreviewSampler::Sample(data.m_Time, data.m_Position, data.m_Velocity, result.length,
                                             drawn ? time->GetData() : nullptr,
                                             drawn ? position->GetData() : nullptr,
                                             drawn ? velocity->GetData() : nullptr, pointToSample);
    return result;
}
