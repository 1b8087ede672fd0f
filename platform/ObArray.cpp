#include "platform/ObArray.h"

#include "platform/ArrayOps.h"

using namespace array_ops;

void CObArray::SetSize(int newSize, int) { Resize(m_Data, newSize); }

CObject* CObArray::GetAt(int index) const
{
    CheckIndex(index, m_Data.size());
    return m_Data[static_cast<std::size_t>(index)];
}

void CObArray::SetAt(int index, CObject* element)
{
    CheckIndex(index, m_Data.size());
    m_Data[static_cast<std::size_t>(index)] = element;
}

void CObArray::SetAtGrow(int index, CObject* element)
{
    if (index < 0)
        throw new CInvalidArgException();
    if (static_cast<std::size_t>(index) >= m_Data.size())
        m_Data.resize(static_cast<std::size_t>(index) + 1, nullptr);
    m_Data[static_cast<std::size_t>(index)] = element;
}

int CObArray::Add(CObject* element)
{
    m_Data.push_back(element);
    return GetSize() - 1;
}

void CObArray::InsertAt(int index, CObject* element, int count) { Insert(m_Data, index, element, count); }

void CObArray::RemoveAt(int index, int count) { Remove(m_Data, index, count); }
