// CFloatArray: a growable array of doubles, such as one sample series of a
// graph.
//
// Element access checks the index and throws CInvalidArgException outside
// the array, as the framework's other arrays do. Bulk writers (a sampler
// filling millions of samples) write through GetData() after SetSize.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <vector>

class CFloatArray : public CObject {
public:
    CFloatArray() = default;

    int GetSize() const { return static_cast<int>(m_Data.size()); }
    int GetCount() const { return GetSize(); }
    int GetUpperBound() const { return GetSize() - 1; }
    BOOL IsEmpty() const { return m_Data.empty() ? TRUE : FALSE; }

    // Gives the array nNewSize elements: the first ones keep their values,
    // new ones are 0. A size of 0 or less empties the array and releases its
    // storage (a series sized from a negative length has no samples, it does
    // not fail); shrinking far below the reserved room releases the rest.
    // nGrowBy is accepted for compatibility (-1: unchanged): the array always
    // grows geometrically. Throws std::bad_alloc when the memory cannot be
    // had; the array is then unchanged.
    void SetSize(int nNewSize, int nGrowBy = -1);
    void RemoveAll() { SetSize(0); }

    double GetAt(int nIndex) const;
    void SetAt(int nIndex, double value);
    double& ElementAt(int nIndex);
    double operator[](int nIndex) const { return GetAt(nIndex); }
    double& operator[](int nIndex) { return ElementAt(nIndex); }
    int Add(double value);

    // The elements 0 ... GetSize() - 1, contiguous; null when the array is
    // empty. Valid until the next change of the size.
    double* GetData() { return m_Data.empty() ? nullptr : m_Data.data(); }
    const double* GetData() const { return m_Data.empty() ? nullptr : m_Data.data(); }

    // The vector that holds the elements, for a writer that sizes and fills
    // a whole series itself without knowing the graph (the trajectory
    // preview in pvt/): the array's size is the vector's, which that writer
    // keeps within INT_MAX.
    std::vector<double>& GetStorage() { return m_Data; }

private:
    std::vector<double> m_Data;
};
