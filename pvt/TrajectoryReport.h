// CTrajectoryReport: what a point table asks of the drive and the motor, from
// the drive's own fixed-point samples (the ones the preview draws):
//   - every problem of the table, not only the first: the shape problems
//     (point 0), then for each point i >= 1 the first segment rule it breaks
//     against point i - 1, with CPointTableRules' exact messages;
//   - the peak velocity and the peak acceleration with their times;
//   - for every segment, how far the interpolated position runs beyond the
//     range of its two end positions (an overshoot, reported from one
//     position increment up);
//   - every segment whose peak velocity or acceleration exceeds a limit.
//
// Definitions (samples as CPreviewSampler computes them, one per sampling
// period):
//   - the acceleration of sample s >= 1 is v[s] - v[s - 1] in display
//     units, divided by one sampling period in the time unit (the velocity
//     unit per time unit); sample 0 has none (0 in the preview's CSV);
//   - a segment runs between two points kept by the sampling (a point that
//     does not advance by a whole period is dropped, and is a problem): its
//     samples run from its start point's sample to its end point's, both
//     included; its accelerations are the differences of consecutive ones of
//     these. A segment is named by its end point's index in the table as
//     given;
//   - a peak is the sample of the largest magnitude, given with its sign;
//     the earliest one when several are as large;
//   - the time of a figure is its sample's time (the time of the point at
//     a point's own sample).
//
// Values are in the table's display units (the factors of STrajectoryTable);
// the analysis itself runs on internal units, so that an overshoot of one
// increment is found exactly. One pass over the samples, in pieces of a
// bounded size (no series of the whole trajectory is kept), linear in the
// samples and points. A trajectory over the preview's sample budget is not
// sampled: the problems and the segments' durations and steps are still
// reported, the peaks, overshoots and limits are not ("not computed").
#pragma once

#include "platform/String.h"
#include "pvt/PointTableRules.h"
#include "pvt/PreviewSampler.h"
#include "pvt/TrajectoryTable.h"

#include <optional>
#include <vector>

class CInternalData;

class CTrajectoryReport {
public:
    // Limits in the table's display units (velocity unit, velocity unit per
    // time unit); a segment exceeds one when the magnitude of its peak is
    // greater.
    struct SLimits {
        std::optional<double> velocity;
        std::optional<double> acceleration;
    };

    struct SProblem {
        int point = 0;
        CString message;  // CPointTableRules' text, exactly
    };

    struct SPeak {
        double value = 0;
        double time = 0;
    };

    struct SSegment {
        int start = 0;  // the start point's index in the table as given
        int end = 0;    // the end point's index: the segment's name
        double duration = 0;      // time[end] - time[start], display unit
        double positionStep = 0;  // position[end] - position[start], display unit
        bool sampled = false;     // the peaks and the overshoot below were computed
        double peakVelocity = 0;  // with its sign
        double peakAcceleration = 0;
        double overshoot = 0;  // display unit; 0 when less than one increment
        double overshootTime = 0;
    };

    struct SOvershoot {
        int segment = 0;
        double amount = 0;
        double time = 0;
    };

    enum tagLimit { LIMIT_VELOCITY, LIMIT_ACCELERATION };

    struct SLimitExcess {
        int segment = 0;
        tagLimit what = LIMIT_VELOCITY;
        double value = 0;  // the segment's peak, with its sign
        double limit = 0;
    };

    struct SResult {
        int points = 0;   // the points all three columns have
        int samples = 0;  // the samples of the trajectory (sampled or not)
        CPreviewSampler::tagExtent extent = CPreviewSampler::EXTENT_EMPTY;
        std::vector<SProblem> problems;  // in table order
        std::optional<SPeak> peakVelocity;
        std::optional<SPeak> peakAcceleration;
        std::vector<SSegment> segments;  // in time order, one per kept point after the first
        std::vector<SOvershoot> overshoots;
        std::vector<SLimitExcess> limits;

        // Room kept from one analysis to the next into the same result (the
        // samples of a piece, the points the sampling keeps), so that a
        // caller who analyses again reuses it: not a finding.
        struct SWorkspace {
            std::vector<double> time, position, velocity;
            CPreviewSampler::SSamples whole, piece;
        } workspace;

        bool IsValid() const { return problems.empty(); }
        // Whether the samples were analysed (peaks, overshoots, limits).
        bool IsSampled() const { return peakVelocity.has_value(); }
    };

    static SResult Analyse(const STrajectoryTable& table, const CPointTableRules& rules, const SLimits& limits = {});
    // The same into `result`, whose vectors keep their room (a caller that
    // analyses many tables, or the same one again, allocates nothing new).
    static void Analyse(const STrajectoryTable& table, const CPointTableRules& rules, const SLimits& limits,
                        SResult& result);

    // One line for a person, in the record's display units, such as
    // "peak velocity 2662 rpm at 0.35 s, peak acceleration 1.234e+04 rpm/s at
    // 0.3 s, 0 overshoots" (", 2 problems" after it when the table has
    // problems); over the sample budget the peaks are said not to be
    // computed. No line feed.
    static CString SummaryOf(const CInternalData& data);

    // The acceleration's display unit: "rpm/s" for rpm and s.
    static CString AccelerationUnit(const CString& velocityUnit, const CString& timeUnit);
    // The acceleration at sample s from the display velocities of samples
    // s - 1 and s, and the time factor (one sampling period in the time
    // unit): the preview's CSV and the report compute it alike.
    static double Acceleration(double previousVelocity, double velocity, double timeFactor)
    {
        return (velocity - previousVelocity) / timeFactor;
    }
};
