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
// The samples are read through plain pointers: when x never decreases (a
// time series) the columns are found by binary search and each column's
// extremes by a vectorised scan of its y, at the speed of memory.
#pragma once

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

    // Reduces the first nSamples samples of pX and pY (0 or less, or a null
    // pointer: nothing) into nColumns columns (at least 1).
    void Reduce(const double* pX, const double* pY, int nSamples, int nColumns);
    // The same when the caller knows already whether pX is finite and never
    // decreases (IsNonDecreasing of the same samples), as for several curves
    // over one time series.
    void Reduce(const double* pX, const double* pY, int nSamples, int nColumns, bool bXNonDecreasing);
    void Clear();

    // TRUE when every x is finite and none is less than the one before.
    static bool IsNonDecreasing(const double* pX, int nSamples);

    int GetColumnCount() const { return static_cast<int>(m_Columns.size()); }
    const std::vector<SColumn>& GetColumns() const { return m_Columns; }
    // Lower edge of column c in x; Edge(GetColumnCount()) is the greatest x.
    double Edge(int c) const;
    // The range of the finite x (0 when there is none).
    double GetXMin() const { return m_dX0; }
    double GetXMax() const { return m_dX1; }
    // Samples with a finite x, that is the sum of the columns' counts.
    long long GetSampleCount() const { return m_nSamples; }
    // TRUE when some column has a finite y to draw.
    bool HasValues() const;

private:
    void ReduceSorted(const double* pX, const double* pY, int nSamples);
    void ReduceUnsorted(const double* pX, const double* pY, int nSamples);
    void Reset(int nColumns);

    std::vector<SColumn> m_Columns;
    double m_dX0 = 0;
    double m_dX1 = 0;
    long long m_nSamples = 0;
};
