// STrajectoryTable: a read-only view of a point table for the trajectory
// functions (the preview's sampling and what grows beside it): the three
// columns in internal units, and for each the factor that turns an internal
// value into the column's selected display unit (display = internal *
// factor, exactly what the column's IUToUnit gives).
//
// Point i is (position[i], velocity[i], time[i]). The view does not own the
// values: it is valid while the columns it was made from are not changed.
#pragma once

#include <span>

class CDK_ArrayParameter;

struct STrajectoryTable {
    std::span<const double> time;      // sampling periods
    std::span<const double> position;  // increments
    std::span<const double> velocity;  // increments per sampling period
    double timeFactor = 1.0;
    double positionFactor = 1.0;
    double velocityFactor = 1.0;

    // The view of three point columns, with their selected units' factors.
    static STrajectoryTable FromColumns(const CDK_ArrayParameter& time, const CDK_ArrayParameter& position,
                                        const CDK_ArrayParameter& velocity);

    // The points all three columns have. (A text written elsewhere can hold
    // columns of different lengths; the editor never makes them.)
    int GetPointCount() const;
};
