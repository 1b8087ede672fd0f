#include "kernel/CurveArray.h"

#include <algorithm>

CCurveArray::~CCurveArray() { RemoveAll(); }

CCurve* CCurveArray::GetAt(int nIndex) const { return dynamic_cast<CCurve*>(CObArray::GetAt(nIndex)); }

void CCurveArray::Release(std::vector<CObject*> removed)
{
    std::sort(removed.begin(), removed.end());
    removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
    std::vector<CObject*> held;
    held.reserve(static_cast<std::size_t>(GetSize()));
    for (int i = 0; i < GetSize(); ++i)
        held.push_back(CObArray::GetAt(i));
    std::sort(held.begin(), held.end());
    for (CObject* p : removed)
        if (p && !std::binary_search(held.begin(), held.end(), p))
            delete p;
}

void CCurveArray::SetSize(int nNewSize, int nGrowBy)
{
    std::vector<CObject*> removed;
    for (int i = std::max(nNewSize, 0); i < GetSize(); ++i)
        removed.push_back(CObArray::GetAt(i));
    CObArray::SetSize(nNewSize, nGrowBy);  // throws for a negative size, before any change
    Release(std::move(removed));
}

void CCurveArray::SetAt(int nIndex, CObject* pElement)
{
    CObject* old = CObArray::GetAt(nIndex);  // throws outside the array
    CObArray::SetAt(nIndex, pElement);
    if (old != pElement)
        Release({old});
}

void CCurveArray::SetAtGrow(int nIndex, CObject* pElement)
{
    CObject* old = nIndex >= 0 && nIndex < GetSize() ? CObArray::GetAt(nIndex) : nullptr;
    CObArray::SetAtGrow(nIndex, pElement);
    if (old != pElement)
        Release({old});
}

void CCurveArray::RemoveAt(int nIndex, int nCount)
{
    std::vector<CObject*> removed;
    if (nIndex >= 0 && nCount > 0 && nIndex < GetSize() && nCount <= GetSize() - nIndex)
        for (int i = nIndex; i < nIndex + nCount; ++i)
            removed.push_back(CObArray::GetAt(i));
    CObArray::RemoveAt(nIndex, nCount);  // throws for a range outside the array, before any change
    Release(std::move(removed));
}

void CCurveArray::RemoveAll()
{
    std::vector<CObject*> removed;
    for (int i = 0; i < GetSize(); ++i)
        removed.push_back(CObArray::GetAt(i));
    CObArray::RemoveAll();
    Release(std::move(removed));
}
