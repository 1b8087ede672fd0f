// CGraphFilter: what a graph window draws: the XY curves, the series they
// are drawn from, the colours and texts of the graph.
//
// The filter owns the XY curves given to Add and deletes them (through their
// virtual destructors) when it is destroyed; a curve added twice is drawn
// twice and deleted once. It does not own the curve array m_pCurves.
#pragma once

#include "kernel/ColorRef16.h"
#include "kernel/XYCurve.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <vector>

class CCurveArray;
class CDK_Units;

class CGraphFilter : public CObject {
public:
    // pUnits: the drive's units, kept for the filter's users (GetUnits); the
    // graph draws the series in whatever units they hold. The texts may be
    // null: pszTitle a title over the graph (none), pszXTitle the title of
    // the x axis (the x series' label), pszEmptyText what the graph says
    // when it has nothing to draw ("No samples to draw.").
    CGraphFilter(const CDK_Units* pUnits, LPCTSTR pszTitle, LPCTSTR pszXTitle, LPCTSTR pszEmptyText);
    ~CGraphFilter() override;

    // Appends a curve to draw (the filter takes it over); returns its index,
    // or -1 for a null curve.
    int Add(CXYCurve* pCurve);
    int GetCurveCount() const { return static_cast<int>(m_XYCurves.size()); }
    // The curve at nIndex, null outside 0 ... GetCurveCount() - 1.
    CXYCurve* GetCurve(int nIndex) const;
    const CDK_Units* GetUnits() const { return m_pUnits; }

    CCurveArray* m_pCurves = nullptr;  // the series the XY curves index
    COLORREF m_crBackground;           // fill of the whole graph (night, RGB16(27))
    COLORREF m_crGrid;                 // grid lines; frames and ticks are a lighter shade (slate, RGB16(20))
    CString m_strTitle;
    CString m_strXTitle;
    CString m_strEmptyText;

private:
    const CDK_Units* m_pUnits;
    std::vector<CXYCurve*> m_XYCurves;
};
