// CCurve: one sample series of a graph, an array of doubles with the label
// that titles its axis and names it in the legend ("Time[s]").
#pragma once

#include "kernel/FloatArray.h"
#include "platform/String.h"

class CCurve : public CFloatArray {
public:
    // nSize initial elements (0 or less: none), nGrowBy as for SetSize.
    explicit CCurve(int nSize = 0, int nGrowBy = -1);

    CString m_strLabel;
};
