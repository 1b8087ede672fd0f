#include "kernel/FloatArray.h"

#include "platform/ArrayOps.h"

#include <climits>

void CFloatArray::SetSize(int nNewSize, int)
{
    array_ops::Fit(m_Data, nNewSize <= 0 ? 0 : static_cast<std::size_t>(nNewSize));
}

double CFloatArray::GetAt(int nIndex) const
{
    array_ops::CheckIndex(nIndex, m_Data.size());
    return m_Data[static_cast<std::size_t>(nIndex)];
}

void CFloatArray::SetAt(int nIndex, double value) { ElementAt(nIndex) = value; }

double& CFloatArray::ElementAt(int nIndex)
{
    array_ops::CheckIndex(nIndex, m_Data.size());
    return m_Data[static_cast<std::size_t>(nIndex)];
}

int CFloatArray::Add(double value)
{
    // The size is reported as int: it may not pass INT_MAX.
    if (m_Data.size() >= static_cast<std::size_t>(INT_MAX))
        throw new CInvalidArgException();
    m_Data.push_back(value);
    return GetSize() - 1;
}
