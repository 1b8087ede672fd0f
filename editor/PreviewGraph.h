// CPreviewGraph: the preview graph's objects, the same for the editor dialog
// and for `motionhost preview`: how the series and the XY curves are set up
// and linked, and how a rebuild's result (CPreviewBuilder, pvt/) reaches
// them.
//
// Series 0, 1 and 2 of the curve array are time, position and velocity in
// the display units selected for their columns; the first XY curve draws
// position, the second velocity, each against time.
#pragma once

#include "pvt/PreviewBuilder.h"

class CCurveArray;
class CGraphFilter;
class CGraphWindow;

class CPreviewGraph {
public:
    // Creates the three series in `curves` and the two XY curves in
    // `filter` on the heap (the containers own them) and links them: the
    // set-up the editor makes once when its dialog opens.
    static void SetUp(CCurveArray& curves, CGraphFilter& filter);

    // The storage of the three series, for CPreviewBuilder::Rebuild to size
    // and fill.
    static CPreviewBuilder::SSeries SeriesOf(CCurveArray& curves);

    // Hands a rebuild's result to the graph: the labels to the series, the
    // message (empty: none) to the graph window. Does not redraw.
    static void Show(const CPreviewBuilder::SResult& result, CCurveArray& curves, CGraphWindow& graph);
};
