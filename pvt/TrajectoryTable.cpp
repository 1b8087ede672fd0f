#include "pvt/TrajectoryTable.h"

#include "kernel/ArrayParameter.h"

#include <algorithm>
#include <climits>

namespace {

// IUToUnit(1.0) is the factor itself, and one multiplication by it gives
// exactly what IUToUnit gives for any value.
double FactorOf(const CDK_ArrayParameter& column)
{
    double factor = 1.0;
    column.IUToUnit(factor);
    return factor;
}

}  // namespace

STrajectoryTable STrajectoryTable::FromColumns(const CDK_ArrayParameter& time, const CDK_ArrayParameter& position,
                                               const CDK_ArrayParameter& velocity)
{
    STrajectoryTable table;
    table.time = time.GetValuesInInternalUnit();
    table.position = position.GetValuesInInternalUnit();
    table.velocity = velocity.GetValuesInInternalUnit();
    table.timeFactor = FactorOf(time);
    table.positionFactor = FactorOf(position);
    table.velocityFactor = FactorOf(velocity);
    return table;
}

int STrajectoryTable::GetPointCount() const
{
    const std::size_t count = std::min({time.size(), position.size(), velocity.size()});
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}
