#include "kernel/FloatArray.h"

#include "platform/ArrayOps.h"

#include <algorithm>
#include <climits>
#include <cstddef>

void CFloatArray::SetSize(int nNewSize, int)
{
    if (nNewSize <= 0) {
        std::vector<double>().swap(m_Data);
        return;
    }
    const std::size_t n = static_cast<std::size_t>(nNewSize);
    if (n < m_Data.capacity() / 4) {
        // Keep only what is used: a long series followed by a short one
        // should not hold on to the long one's memory.
        std::vector<double> smaller(m_Data.begin(), m_Data.begin() + static_cast<std::ptrdiff_t>(std::min(n, m_Data.size())));
        smaller.resize(n);
        m_Data.swap(smaller);
        return;
    }
    m_Data.resize(n);
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
