// CDWordArray: a growable array of 32-bit unsigned values. Element access
// checks the index and throws CInvalidArgException outside the array.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"

#include <vector>

class CDWordArray : public CObject {
public:
    int GetSize() const { return static_cast<int>(m_Data.size()); }
    int GetCount() const { return GetSize(); }
    BOOL IsEmpty() const { return m_Data.empty() ? TRUE : FALSE; }
    // New elements are 0. growBy is accepted for compatibility: the array
    // always grows geometrically. A negative size throws CInvalidArgException.
    void SetSize(int newSize, int growBy = -1);
    void RemoveAll() { m_Data.clear(); }

    DWORD GetAt(int index) const;
    void SetAt(int index, DWORD value);
    DWORD& ElementAt(int index);
    DWORD operator[](int index) const { return GetAt(index); }
    DWORD& operator[](int index) { return ElementAt(index); }
    int Add(DWORD value);
    void InsertAt(int index, DWORD value, int count = 1);
    void RemoveAt(int index, int count = 1);
    const DWORD* GetData() const { return m_Data.data(); }

private:
    std::vector<DWORD> m_Data;
};
