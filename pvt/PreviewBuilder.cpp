#include "pvt/PreviewBuilder.h"

#include "platform/ArrayOps.h"
#include "platform/DWordArray.h"
#include "pvt/InternalData.h"

#include <new>

namespace {

// Gives the three series `length` elements; false, with the series as they
// were, when the memory cannot be had.
bool SizeSeries(const CPreviewBuilder::SSeries& series, int length)
{
    const auto n = static_cast<std::size_t>(length);
    try {
        array_ops::Fit(series.time, n);
        array_ops::Fit(series.position, n);
        array_ops::Fit(series.velocity, n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// The points that do not advance leave the three columns; the sample index
// of each kept point goes into `pointToSample`, sized to the points the
// table had (`points`).
void TakeSamples(CInternalData& data, const STrajectoryTable& table, int length, CPreviewSampler::SSamples& samples,
                 CDWordArray* pointToSample)
{
    const int points = data.m_Time.GetValuesCount();
    CPreviewSampler::Sample(table, length, samples);
    CPreviewSampler::RemovePoints(data.m_Time, data.m_Position, data.m_Velocity, samples.dropped);
    if (!pointToSample)
        return;
    pointToSample->SetSize(points, -1);
    for (std::size_t i = 0; i < samples.pointToSample.size(); ++i)
        pointToSample->SetAt(static_cast<int>(i), samples.pointToSample[i]);
}

}  // namespace

CString CPreviewBuilder::TooLongMessage(int length)
{
    CString text;
    text.Format("The trajectory is too long to draw: %d sampling periods (at most %d).", length,
                CPreviewSampler::kSampleBudget);
    return text;
}

CString CPreviewBuilder::OutOfMemoryMessage(int length)
{
    CString text;
    text.Format("There is not enough memory to draw the trajectory of %d sampling periods.", length);
    return text;
}

CPreviewBuilder::SResult CPreviewBuilder::Rebuild(CInternalData& data, const SSeries& series,
                                                  CDWordArray& pointToSample)
{
    SResult result;
    result.timeLabel = "Time[" + data.m_Time.GetSelectedUnit() + "]";
    result.positionLabel = "Position[" + data.m_Position.GetSelectedUnit() + "]";
    result.velocityLabel = "Velocity[" + data.m_Velocity.GetSelectedUnit() + "]";

    const STrajectoryTable table = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    result.length = CPreviewSampler::GetSeriesLength(table);
    result.extent = CPreviewSampler::GetExtent(result.length);
    bool drawn = result.extent == CPreviewSampler::EXTENT_DRAWN;
    if (drawn && !SizeSeries(series, result.length)) {
        result.outOfMemory = true;
        drawn = false;
    }
    if (!drawn) {
        // Nothing to draw, or too much: no series are kept around.
        SizeSeries(series, 0);
    }
    if (result.outOfMemory)
        result.message = OutOfMemoryMessage(result.length);
    else if (result.extent == CPreviewSampler::EXTENT_TOO_LONG)
        result.message = TooLongMessage(result.length);

    // Too long or not, the points that do not advance leave the table.
    CPreviewSampler::SSamples samples;
    if (drawn) {
        samples.time = series.time;
        samples.position = series.position;
        samples.velocity = series.velocity;
    }
    TakeSamples(data, table, result.length, samples, &pointToSample);
    result.samples = samples.written;
    return result;
}

void CPreviewBuilder::RemovePointsThatDoNotAdvance(CInternalData& data)
{
    const STrajectoryTable table = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    CPreviewSampler::SSamples samples;
    TakeSamples(data, table, CPreviewSampler::GetSeriesLength(table), samples, nullptr);
}
