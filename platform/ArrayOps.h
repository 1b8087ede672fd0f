// Index rules shared by the framework's arrays: an index outside the array
// throws CInvalidArgException, so no access ever leaves the storage.
#pragma once

#include "platform/InvalidArgException.h"

#include <algorithm>
#include <climits>
#include <cstddef>

namespace array_ops {


inline void CheckIndex(int index, std::size_t size)
{
    if (index < 0 || static_cast<std::size_t>(index) >= size)
        throw new CInvalidArgException();
}

template <typename Vector>
void Resize(Vector& v, int newSize)
{
    if (newSize < 0)
        throw new CInvalidArgException();
    v.resize(static_cast<std::size_t>(newSize));
}

// Gives v n elements: the first keep their values, new ones are
// value-initialised. A size of 0 releases the storage, and a size below a
// quarter of the reserved room keeps only what is used, so that a long array
// followed by a short one does not hold on to the long one's memory. Throws
// std::bad_alloc when the memory cannot be had; v is then unchanged.
template <typename Vector>
void Fit(Vector& v, std::size_t n)
{
    if (n == 0) {
        Vector().swap(v);
        return;
    }
    if (n < v.capacity() / 4) {
        Vector smaller(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(n, v.size())));
        smaller.resize(n);
        v.swap(smaller);
        return;
    }
    v.resize(n);
}

template <typename Vector, typename T>
void Insert(Vector& v, int index, T value, int count)
{
    // The size is reported as int: an insertion may not take it past INT_MAX.
    if (index < 0 || count < 0 || static_cast<std::size_t>(index) > v.size() ||
        static_cast<std::size_t>(count) > static_cast<std::size_t>(INT_MAX) - v.size())
        throw new CInvalidArgException();
    v.insert(v.begin() + index, static_cast<std::size_t>(count), value);
}

template <typename Vector>
void Remove(Vector& v, int index, int count)
{
    if (index < 0 || count < 0 || static_cast<std::size_t>(index) > v.size() ||
        static_cast<std::size_t>(count) > v.size() - static_cast<std::size_t>(index))
        throw new CInvalidArgException();
    v.erase(v.begin() + index, v.begin() + index + count);
}

}  // namespace array_ops
