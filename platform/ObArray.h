// CObArray: a growable array of CObject pointers. It does not own what it
// points to; a derived container that owns its elements deletes them itself.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <vector>

class CObArray : public CObject {
public:
    int GetSize() const { return static_cast<int>(m_Data.size()); }
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_Data.empty() ? TRUE : FALSE; }
    // New elements are null. A negative size throws CInvalidArgException.
    void SetSize(int newSize, int growBy = -1);
    void RemoveAll() { m_Data.clear(); }

    CObject* GetAt(int index) const;
    void SetAt(int index, CObject* element);
    // Sets element `index`, growing the array (with nulls) when needed.
    void SetAtGrow(int index, CObject* element);
    CObject* operator[](int index) const { return GetAt(index); }
    int Add(CObject* element);
    void InsertAt(int index, CObject* element, int count = 1);
    void RemoveAt(int index, int count = 1);

private:
    std::vector<CObject*> m_Data;
};
