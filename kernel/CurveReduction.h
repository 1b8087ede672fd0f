// CCurveReduction: a curve of any number of samples reduced to what a graph
// of a given width can show of it.
//
// The x range of the samples is cut into nColumns columns of equal width;
// column c holds the samples with Edge(c) <= x < Edge(c + 1) (the last
// column also x == the greatest x). For each column the reduction keeps the
// first and the last sample in sample order (x and y, so that the lines from
// one column to the next join as the samples do) and the least and greatest
// y. Drawing the columns costs their number, never the number of samples.
//
// Samples whose x or y is not finite are not drawn: an x that is not finite
// puts the sample in no column, a y that is not finite is counted in its
// column but takes no part in first, last, least and greatest. When all x are
// equal every sample is in column 0.
//
// Build takes the samples in once (the pointers are kept: the samples must
// stay where they are until the next Build or Clear) and, when x never
// decreases (a time series), keeps a multi-level min/max summary of y:
// level 0 the least and greatest finite y of each block of kBlock samples,
// every further level the pairs of the one below, so building is linear in
// the samples. Reduce then cuts any x range into columns: each column's
// samples are found by binary search and its extremes read from the levels,
// so a reduction costs the columns times a logarithm of the samples, never
// the samples in the range. Samples whose x does not keep an order are
// reduced by a scan of all of them.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

class CCurveReduction {
public:
    struct SColumn {
        int nCount;      // samples whose x lies in the column
        double dFirstX;  // first and last sample with a finite y;
        double dFirstY;  // all four are NaN when there is none
        double dLastX;
        double dLastY;
        double dMinY;    // +infinity when no finite y
        double dMaxY;    // -infinity when no finite y
        bool HasValues() const { return dMinY <= dMaxY; }
    };

    // The samples per block of the summary's first level.
    static constexpr int kBlock = 32;

    // Builds from the first nSamples samples of pX and pY (0 or less, or a
    // null pointer: nothing); bXNonDecreasing as IsNonDecreasing of the same
    // samples says, known to the caller for several curves over one time
    // series. Leaves no columns.
    void Build(const double* pX, const double* pY, int nSamples, bool bXNonDecreasing);
    // TRUE when Build was last given exactly these samples.
    bool IsBuiltFrom(const double* pX, const double* pY, int nSamples) const;
    // Cuts the samples built from with dX0 <= x <= dX1 into nColumns
    // columns (at least 1) over that range; dX0 > dX1, or a bound that is
    // not finite: the whole range of the finite x.
    void ReduceRange(int nColumns, double dX0, double dX1);

    // Build and ReduceRange over the whole range in one.
    void Reduce(const double* pX, const double* pY, int nSamples, int nColumns);
    void Reduce(const double* pX, const double* pY, int nSamples, int nColumns, bool bXNonDecreasing);
    void Clear();

    // The least and greatest finite y of the samples first ... last - 1
    // (+infinity and -infinity when none), from the summary when there is
    // one; 0 <= first <= last <= the samples built from.
    void RangeMinMax(long long nFirst, long long nLast, double& dMin, double& dMax) const;
    int GetLevelCount() const { return static_cast<int>(m_Levels.size()); }

    // TRUE when every x is finite and none is less than the one before.
    static bool IsNonDecreasing(const double* pX, int nSamples);

    int GetColumnCount() const { return static_cast<int>(m_Columns.size()); }
    const std::vector<SColumn>& GetColumns() const { return m_Columns; }
    // Lower edge of column c in x; Edge(GetColumnCount()) is the greatest x.
    double Edge(int c) const;
    // The range the columns cut (0 when there is none).
    double GetXMin() const { return m_dX0; }
    double GetXMax() const { return m_dX1; }
    // The range of all the finite x built from (0 when there is none).
    double GetDataXMin() const { return m_dDataX0; }
    double GetDataXMax() const { return m_dDataX1; }
    // The last sample with a finite y before the range and the first after
    // it (x and y; NaN when there is none), so that a curve drawn over the
    // range runs on to its edges. Only for samples in x order.
    double m_dBeforeX = std::numeric_limits<double>::quiet_NaN(), m_dBeforeY = m_dBeforeX;
    double m_dAfterX = m_dBeforeX, m_dAfterY = m_dBeforeX;
    // Samples with a finite x, that is the sum of the columns' counts.
    long long GetSampleCount() const { return m_nSamples; }
    // TRUE when some column has a finite y to draw.
    bool HasValues() const;

private:
    struct SLevel {
        std::vector<double> min, max;
    };
    void BuildLevels();
    void ReduceSorted(double dX0, double dX1);
    void ReduceUnsorted(double dX0, double dX1);
    void FindNeighbours(std::size_t b, std::size_t e);
    void Reset(int nColumns);

    const double* m_pX = nullptr;
    const double* m_pY = nullptr;
    int m_nBuilt = 0;
    bool m_bSorted = false;
    std::vector<SLevel> m_Levels;
    std::vector<SColumn> m_Columns;
    double m_dX0 = 0;
    double m_dX1 = 0;
    double m_dDataX0 = 0;
    double m_dDataX1 = 0;
    long long m_nSamples = 0;
};
