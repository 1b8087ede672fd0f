#include "platform/DWordArray.h"

#include "platform/ArrayOps.h"

using namespace array_ops;


void CDWordArray::SetSize(int newSize, int) { Resize(m_Data, newSize); }

DWORD CDWordArray::GetAt(int index) const
{
    CheckIndex(index, m_Data.size());
    return m_Data[static_cast<std::size_t>(index)];
}

void CDWordArray::SetAt(int index, DWORD value) { ElementAt(index) = value; }

DWORD& CDWordArray::ElementAt(int index)
{
    CheckIndex(index, m_Data.size());
    return m_Data[static_cast<std::size_t>(index)];
}

int CDWordArray::Add(DWORD value)
{
    m_Data.push_back(value);
    return GetSize() - 1;
}

void CDWordArray::InsertAt(int index, DWORD value, int count) { Insert(m_Data, index, value, count); }

void CDWordArray::RemoveAt(int index, int count) { Remove(m_Data, index, count); }

