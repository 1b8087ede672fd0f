#include "kernel/CurveReduction.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Least and greatest of y[b] ... y[e - 1], NaN ignored (infinities are not).
void MinMax(const double* y, std::size_t b, std::size_t e, double& mn, double& mx)
{
    std::size_t i = b;
#if defined(__SSE2__)
    if (e - b >= 8) {
        // MINPD/MAXPD return their second operand when either is NaN, so a
        // NaN sample leaves the accumulator as it was.
        __m128d n0 = _mm_set1_pd(mn), n1 = n0, n2 = n0, n3 = n0;
        __m128d x0 = _mm_set1_pd(mx), x1 = x0, x2 = x0, x3 = x0;
        for (; i + 8 <= e; i += 8) {
            const __m128d a = _mm_loadu_pd(y + i), c = _mm_loadu_pd(y + i + 2);
            const __m128d d = _mm_loadu_pd(y + i + 4), f = _mm_loadu_pd(y + i + 6);
            n0 = _mm_min_pd(a, n0); n1 = _mm_min_pd(c, n1); n2 = _mm_min_pd(d, n2); n3 = _mm_min_pd(f, n3);
            x0 = _mm_max_pd(a, x0); x1 = _mm_max_pd(c, x1); x2 = _mm_max_pd(d, x2); x3 = _mm_max_pd(f, x3);
        }
        const __m128d n = _mm_min_pd(_mm_min_pd(n0, n1), _mm_min_pd(n2, n3));
        const __m128d x = _mm_max_pd(_mm_max_pd(x0, x1), _mm_max_pd(x2, x3));
        double lanes[2];
        _mm_storeu_pd(lanes, n);
        mn = std::min(lanes[0], lanes[1]);
        _mm_storeu_pd(lanes, x);
        mx = std::max(lanes[0], lanes[1]);
    }
#endif
    for (; i < e; ++i) {
        const double v = y[i];
        if (v < mn)
            mn = v;
        if (v > mx)
            mx = v;
    }
}

// The same with infinities ignored too; for the rare column that has one.
void FiniteMinMax(const double* y, std::size_t b, std::size_t e, double& mn, double& mx)
{
    mn = kInf;
    mx = -kInf;
    for (std::size_t i = b; i < e; ++i) {
        const double v = y[i];
        if (!std::isfinite(v))
            continue;
        mn = std::min(mn, v);
        mx = std::max(mx, v);
    }
}

}  // namespace

void CCurveReduction::Clear()
{
    m_Columns.clear();
    m_Levels.clear();
    m_pX = m_pY = nullptr;
    m_nBuilt = 0;
    m_bSorted = false;
    m_dX0 = m_dX1 = m_dDataX0 = m_dDataX1 = 0;
    m_nSamples = 0;
    m_dBeforeX = m_dBeforeY = m_dAfterX = m_dAfterY = kNaN;
}

void CCurveReduction::Reset(int nColumns)
{
    const SColumn empty{0, kNaN, kNaN, kNaN, kNaN, kInf, -kInf};
    m_Columns.assign(static_cast<std::size_t>(std::max(nColumns, 1)), empty);
    m_dX0 = m_dX1 = 0;
    m_nSamples = 0;
    m_dBeforeX = m_dBeforeY = m_dAfterX = m_dAfterY = kNaN;
}

double CCurveReduction::Edge(int c) const
{
    const int k = GetColumnCount();
    if (k == 0 || c <= 0)
        return m_dX0;
    if (c >= k)
        return m_dX1;
    // A blend rather than x0 + (x1 - x0) * t: no overflow for any finite range.
    const double t = static_cast<double>(c) / k;
    return m_dX0 * (1 - t) + m_dX1 * t;
}

bool CCurveReduction::HasValues() const
{
    return std::any_of(m_Columns.begin(), m_Columns.end(), [](const SColumn& c) { return c.HasValues(); });
}

bool CCurveReduction::IsNonDecreasing(const double* pX, int nSamples)
{
    if (!pX || nSamples <= 0)
        return false;
    const std::size_t n = static_cast<std::size_t>(nSamples);
    if (!std::isfinite(pX[0]) || !std::isfinite(pX[n - 1]))
        return false;
    // With finite ends, a NaN or an infinity inside breaks the order (every
    // comparison with NaN is false), so the pairwise test covers finiteness.
    std::size_t i = 0;
#if defined(__SSE2__)
    while (i + 1 + 2 * 256 <= n) {
        __m128d ok = _mm_castsi128_pd(_mm_set1_epi32(-1));
        for (std::size_t j = 0; j < 256; ++j, i += 2)
            ok = _mm_and_pd(ok, _mm_cmple_pd(_mm_loadu_pd(pX + i), _mm_loadu_pd(pX + i + 1)));
        if (_mm_movemask_pd(ok) != 3)
            return false;
    }
#endif
    for (; i + 1 < n; ++i)
        if (!(pX[i] <= pX[i + 1]))
            return false;
    return true;
}

void CCurveReduction::Reduce(const double* pX, const double* pY, int nSamples, int nColumns)
{
    Reduce(pX, pY, nSamples, nColumns, IsNonDecreasing(pX, nSamples));
}

void CCurveReduction::Reduce(const double* pX, const double* pY, int nSamples, int nColumns, bool bXNonDecreasing)
{
    Build(pX, pY, nSamples, bXNonDecreasing);
    ReduceRange(nColumns, 1, 0);
}

void CCurveReduction::Build(const double* pX, const double* pY, int nSamples, bool bXNonDecreasing)
{
    Clear();
    if (!pX || !pY || nSamples <= 0)
        return;
    m_pX = pX;
    m_pY = pY;
    m_nBuilt = nSamples;
    m_bSorted = bXNonDecreasing;
    if (m_bSorted) {
        m_dDataX0 = pX[0];
        m_dDataX1 = pX[nSamples - 1];
        BuildLevels();
        return;
    }
    double x0 = kInf, x1 = -kInf;
    for (int i = 0; i < nSamples; ++i) {
        if (std::isfinite(pX[i])) {
            x0 = std::min(x0, pX[i]);
            x1 = std::max(x1, pX[i]);
        }
    }
    if (x0 <= x1) {
        m_dDataX0 = x0;
        m_dDataX1 = x1;
    }
}

bool CCurveReduction::IsBuiltFrom(const double* pX, const double* pY, int nSamples) const
{
    return pX && pY && m_pX == pX && m_pY == pY && m_nBuilt == nSamples;
}

void CCurveReduction::BuildLevels()
{
    const std::size_t n = static_cast<std::size_t>(m_nBuilt);
    const std::size_t blocks = (n + kBlock - 1) / kBlock;
    if (blocks < 2)
        return;  // one block: a scan is as cheap
    SLevel first;
    first.min.resize(blocks);
    first.max.resize(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::size_t from = b * kBlock, to = std::min(n, from + kBlock);
        double mn = kInf, mx = -kInf;
        MinMax(m_pY, from, to, mn, mx);
        if (!std::isfinite(mn) || !std::isfinite(mx))
            FiniteMinMax(m_pY, from, to, mn, mx);
        first.min[b] = mn;
        first.max[b] = mx;
    }
    m_Levels.push_back(std::move(first));
    while (m_Levels.back().min.size() > 1) {
        const SLevel& below = m_Levels.back();
        const std::size_t count = (below.min.size() + 1) / 2;
        SLevel next;
        next.min.resize(count);
        next.max.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t a = 2 * i, b = std::min(2 * i + 1, below.min.size() - 1);
            next.min[i] = std::min(below.min[a], below.min[b]);
            next.max[i] = std::max(below.max[a], below.max[b]);
        }
        m_Levels.push_back(std::move(next));
    }
}

void CCurveReduction::RangeMinMax(long long nFirst, long long nLast, double& dMin, double& dMax) const
{
    dMin = kInf;
    dMax = -kInf;
    if (!m_pY || nFirst < 0 || nLast > m_nBuilt || nFirst >= nLast)
        return;
    std::size_t b = static_cast<std::size_t>(nFirst), e = static_cast<std::size_t>(nLast);
    auto scan = [&](std::size_t from, std::size_t to) {
        double mn = kInf, mx = -kInf;
        MinMax(m_pY, from, to, mn, mx);
        if (!std::isfinite(mn) || !std::isfinite(mx))
            FiniteMinMax(m_pY, from, to, mn, mx);
        dMin = std::min(dMin, mn);
        dMax = std::max(dMax, mx);
    };
    std::size_t bb = (b + kBlock - 1) / kBlock, eb = e / kBlock;  // whole blocks bb ... eb - 1
    if (m_Levels.empty() || bb >= eb) {
        scan(b, e);
        return;
    }
    scan(b, bb * kBlock);
    scan(eb * kBlock, e);
    // Up the levels: an odd end takes its node, the rest go a level up.
    for (std::size_t l = 0; bb < eb && l < m_Levels.size(); ++l, bb /= 2, eb /= 2) {
        const SLevel& level = m_Levels[l];
        if (bb & 1) {
            dMin = std::min(dMin, level.min[bb]);
            dMax = std::max(dMax, level.max[bb]);
            ++bb;
        }
        if (eb & 1) {
            --eb;
            dMin = std::min(dMin, level.min[eb]);
            dMax = std::max(dMax, level.max[eb]);
        }
    }
}

void CCurveReduction::ReduceRange(int nColumns, double dX0, double dX1)
{
    Reset(nColumns);
    if (!m_pX || !m_pY || m_nBuilt <= 0)
        return;
    if (!(dX0 <= dX1) || !std::isfinite(dX0) || !std::isfinite(dX1)) {
        dX0 = m_dDataX0;
        dX1 = m_dDataX1;
    }
    if (m_bSorted)
        ReduceSorted(dX0, dX1);
    else
        ReduceUnsorted(dX0, dX1);
}

void CCurveReduction::ReduceSorted(double dX0, double dX1)
{
    const double* pX = m_pX;
    const double* pY = m_pY;
    const std::size_t n = static_cast<std::size_t>(m_nBuilt);
    const std::size_t begin = static_cast<std::size_t>(std::lower_bound(pX, pX + n, dX0) - pX);
    const std::size_t end = static_cast<std::size_t>(std::upper_bound(pX + begin, pX + n, dX1) - pX);
    m_dX0 = dX0;
    m_dX1 = dX1;
    m_nSamples = static_cast<long long>(end - begin);
    FindNeighbours(begin, end);
    const int k = dX0 < dX1 ? GetColumnCount() : 1;  // all x equal: one column
    std::size_t b = begin;
    for (int c = 0; c < k && b < end; ++c) {
        const std::size_t e = c + 1 == k ? end
                                         : static_cast<std::size_t>(
                                               std::lower_bound(pX + b, pX + end, Edge(c + 1)) - pX);
        SColumn& col = m_Columns[static_cast<std::size_t>(c)];
        col.nCount = static_cast<int>(e - b);
        if (b < e) {
            RangeMinMax(static_cast<long long>(b), static_cast<long long>(e), col.dMinY, col.dMaxY);
            if (col.HasValues()) {
                std::size_t f = b;
                while (!std::isfinite(pY[f]))
                    ++f;
                std::size_t l = e - 1;
                while (!std::isfinite(pY[l]))
                    --l;
                col.dFirstX = pX[f];
                col.dFirstY = pY[f];
                col.dLastX = pX[l];
                col.dLastY = pY[l];
            }
        }
        b = e;
    }
}

// The neighbours of the samples b ... e - 1 that a line runs on to; a
// neighbour with a y that is not finite breaks the line, so none.
void CCurveReduction::FindNeighbours(std::size_t b, std::size_t e)
{
    if (b > 0 && std::isfinite(m_pY[b - 1])) {
        m_dBeforeX = m_pX[b - 1];
        m_dBeforeY = m_pY[b - 1];
    }
    if (e < static_cast<std::size_t>(m_nBuilt) && std::isfinite(m_pY[e])) {
        m_dAfterX = m_pX[e];
        m_dAfterY = m_pY[e];
    }
}

void CCurveReduction::ReduceUnsorted(double x0, double x1)
{
    const std::size_t n = static_cast<std::size_t>(m_nBuilt);
    m_dX0 = x0;
    m_dX1 = x1;
    const int k = x0 < x1 ? GetColumnCount() : 1;
    const double half0 = x0 * 0.5, span = x1 * 0.5 - x0 * 0.5;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = m_pX[i];
        if (!std::isfinite(x) || x < x0 || x > x1)
            continue;
        int c = 0;
        if (k > 1) {
            const double u = (x * 0.5 - half0) / span * k;  // 0 <= u <= k
            c = u >= k - 1 ? k - 1 : (u > 0 ? static_cast<int>(u) : 0);
            // Settle rounding against the same edges the sorted path uses.
            while (c > 0 && x < Edge(c))
                --c;
            while (c + 1 < k && x >= Edge(c + 1))
                ++c;
        }
        SColumn& col = m_Columns[static_cast<std::size_t>(c)];
        ++col.nCount;
        ++m_nSamples;
        const double y = m_pY[i];
        if (!std::isfinite(y))
            continue;
        if (!col.HasValues()) {
            col.dFirstX = x;
            col.dFirstY = y;
        }
        col.dLastX = x;
        col.dLastY = y;
        col.dMinY = std::min(col.dMinY, y);
        col.dMaxY = std::max(col.dMaxY, y);
    }
}
