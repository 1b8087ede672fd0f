// CPreviewBuilder: the trajectory preview's rebuild, the one sequence the
// editor dialog (RebuildPreview) and `motionhost preview` both run; the
// caller hands what it returns to its graph.
//
// The series are plain vectors of doubles (the graph's curves lend their
// storage): 0 time, 1 position, 2 velocity, each in the display unit
// selected for its column.
#pragma once

#include "platform/String.h"
#include "pvt/PreviewSampler.h"

#include <vector>

class CDWordArray;
class CInternalData;

class CPreviewBuilder {
public:
    struct SSeries {
        std::vector<double>& time;
        std::vector<double>& position;
        std::vector<double>& velocity;
    };

    // What a rebuild drew, and what the graph shows with it.
    struct SResult {
        // The series' labels: "Time[" + the time column's unit + "]", and
        // "Position[...]", "Velocity[...]" (they follow the unit choices).
        CString timeLabel, positionLabel, velocityLabel;
        CPreviewSampler::tagExtent extent = CPreviewSampler::EXTENT_EMPTY;
        int length = 0;   // the series length the table asks for (last time + 1, 32-bit)
        int samples = 0;  // samples written: 0 ... samples - 1
        bool outOfMemory = false;
        // The graph's text in place of the curves when they are not drawn
        // (too long, not enough memory); empty otherwise.
        CString message;
    };

    // Rebuilds the series from the table of `data`: the labels, the
    // lengths, every sample and `pointToSample` (one element per point the
    // table had; element i of a kept point i is its sample index, the
    // elements from the count left on keep what they held). Points whose
    // whole internal time does not exceed that of the point kept before them
    // leave the table. A trajectory longer than the sample budget, or one
    // the memory cannot hold, is not drawn: the series are emptied and the
    // message says why; the table stays as it is apart from those removals.
    static SResult Rebuild(CInternalData& data, const SSeries& series, CDWordArray& pointToSample);

    // The table as a rebuild leaves it, without drawing anything: the
    // points that do not advance leave it (what the editor's import ends
    // with).
    static void RemovePointsThatDoNotAdvance(CInternalData& data);

    // The graph's text for a trajectory of `length` samples that is not drawn.
    static CString TooLongMessage(int length);
    static CString OutOfMemoryMessage(int length);
};
