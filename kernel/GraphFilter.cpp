#include "kernel/GraphFilter.h"

#include <algorithm>

CGraphFilter::CGraphFilter(const CDK_Units* pUnits, LPCTSTR pszTitle, LPCTSTR pszXTitle, LPCTSTR pszEmptyText)
    : m_crBackground(RGB16(CR16_NIGHT)),
      m_crGrid(RGB16(CR16_SLATE)),
      m_strTitle(pszTitle ? pszTitle : ""),
      m_strXTitle(pszXTitle ? pszXTitle : ""),
      m_strEmptyText(pszEmptyText ? pszEmptyText : "No samples to draw."),
      m_pUnits(pUnits)
{
}

CGraphFilter::~CGraphFilter()
{
    std::vector<CXYCurve*> curves = m_XYCurves;
    std::sort(curves.begin(), curves.end());
    curves.erase(std::unique(curves.begin(), curves.end()), curves.end());
    for (CXYCurve* p : curves)
        delete p;
}

int CGraphFilter::Add(CXYCurve* pCurve)
{
    if (!pCurve)
        return -1;
    m_XYCurves.push_back(pCurve);
    return GetCurveCount() - 1;
}

CXYCurve* CGraphFilter::GetCurve(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCurveCount())
        return nullptr;
    return m_XYCurves[static_cast<std::size_t>(nIndex)];
}
