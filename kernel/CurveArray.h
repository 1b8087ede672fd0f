// CCurveArray: the sample series of a graph, an array of CCurve objects that
// the array owns.
//
// Curves are created on the heap and handed over: the array deletes a curve
// (through its virtual destructor) when the curve leaves it, by RemoveAt,
// RemoveAll, a shrinking SetSize, a SetAt or SetAtGrow that puts another
// object in its place, or the array's destruction; a curve held at two
// indices is deleted once, when its last index lets go of it. A curve
// belongs to one container only. Use these operations through CCurveArray:
// the framework's CObArray does not know about ownership.
#pragma once

#include "kernel/Curve.h"
#include "platform/ObArray.h"

#include <vector>

class CCurveArray : public CObArray {
public:
    CCurveArray() = default;
    ~CCurveArray() override;

    // The curve at nIndex; null when the element is empty or not a CCurve.
    // An index outside the array throws CInvalidArgException.
    CCurve* GetAt(int nIndex) const;
    CCurve* operator[](int nIndex) const { return GetAt(nIndex); }

    void SetSize(int nNewSize, int nGrowBy = -1);
    void SetAt(int nIndex, CObject* pElement);
    void SetAtGrow(int nIndex, CObject* pElement);
    void RemoveAt(int nIndex, int nCount = 1);
    void RemoveAll();

private:
    // Deletes each of `removed` that the array no longer holds, once.
    void Release(std::vector<CObject*> removed);
};
