// CPreviewGraph: the preview graph of a PVT record, the same for the editor
// dialog and for `motionhost preview`: how the graph objects are set up and
// linked, and how the series are rebuilt from the point table.
//
// Series 0, 1 and 2 of the curve array are time, position and velocity in
// the display units selected for their columns; the first XY curve draws
// position, the second velocity, each against time.
#pragma once

#include "platform/String.h"
#include "pvt/PreviewSampler.h"

class CCurveArray;
class CDWordArray;
class CGraphFilter;
class CGraphWindow;
class CInternalData;

class CPreviewGraph {
public:
    // What a rebuild drew.
    struct SResult {
        CPreviewSampler::tagExtent extent = CPreviewSampler::EXTENT_EMPTY;
        int length = 0;   // the series length the table asks for (last time + 1, 32-bit)
        int samples = 0;  // samples written: 0 ... samples - 1
        bool outOfMemory = false;
    };

    // Creates the three series in `curves` and the two XY curves in
    // `filter` on the heap (the containers own them) and links them: the
    // set-up the editor makes once when its dialog opens.
    static void SetUp(CCurveArray& curves, CGraphFilter& filter);

    // Rebuilds the series from the table of `data`: the labels (they follow
    // the unit choices), the lengths, every sample and `pointToSample`.
    // Points whose whole internal time does not exceed that of the point
    // kept before them leave the table. A trajectory longer than the sample
    // budget, or one the memory cannot hold, is not drawn: the graph says so
    // instead (SetMessage) and the series are emptied; the table stays as
    // it is apart from those removals. Does not redraw.
    static SResult Rebuild(CCurveArray& curves, CInternalData& data, CDWordArray& pointToSample,
                           CGraphWindow& graph);

    // The graph's text for a trajectory of `length` samples that is not drawn.
    static CString TooLongMessage(int length);
    static CString OutOfMemoryMessage(int length);
};
