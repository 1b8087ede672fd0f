#include "kernel/Units.h"

#include <cstring>
#include <numbers>

namespace {

constexpr const char* kNoneUnits[] = {"IU"};
constexpr const char* kPositionUnits[] = {"IU", "rot", "deg", "rad"};
constexpr const char* kVelocityUnits[] = {"IU", "rpm", "rot/s", "rad/s"};
constexpr const char* kTimeUnits[] = {"IU", "s", "ms"};

struct UnitList {
    const char* const* names;
    int count;
};

template <int N>
constexpr UnitList List(const char* const (&names)[N])
{
    return {names, N};
}

UnitList UnitsOf(tagQuantity quantity)
{
    switch (quantity) {
    case DK_QTY_NONE: return List(kNoneUnits);
    case DK_QTY_POSITION: return List(kPositionUnits);
    case DK_QTY_VELOCITY: return List(kVelocityUnits);
    case DK_QTY_TIME: return List(kTimeUnits);
    }
    return {nullptr, 0};
}

constexpr const char* kQuantityNames[] = {"none", "position", "velocity", "time"};

}  // namespace

CDK_Units::CDK_Units(double countsPerRevolution, double samplingPeriod)
    : m_dCountsPerRevolution(countsPerRevolution), m_dSamplingPeriod(samplingPeriod)
{
}

int CDK_Units::GetCount(tagQuantity quantity) const
{
    return UnitsOf(quantity).count;
}

const char* CDK_Units::GetName(tagQuantity quantity, int index) const
{
    const UnitList list = UnitsOf(quantity);
    return index >= 0 && index < list.count ? list.names[index] : nullptr;
}

int CDK_Units::Find(tagQuantity quantity, const char* name) const
{
    const UnitList list = UnitsOf(quantity);
    for (int i = 0; name && i < list.count; ++i) {
        if (std::strcmp(name, list.names[i]) == 0)
            return i;
    }
    return -1;
}

double CDK_Units::GetFactor(tagQuantity quantity, int index) const
{
    const double n = m_dCountsPerRevolution;
    const double ts = m_dSamplingPeriod;
    const double twoPi = 2.0 * std::numbers::pi;
    switch (quantity) {
    case DK_QTY_POSITION: {
        const double factors[] = {1.0, 1.0 / n, 360.0 / n, twoPi / n};
        return index >= 1 && index < 4 ? factors[index] : 1.0;
    }
    case DK_QTY_VELOCITY: {
        const double factors[] = {1.0, 60.0 / (n * ts), 1.0 / (n * ts), twoPi / (n * ts)};
        return index >= 1 && index < 4 ? factors[index] : 1.0;
    }
    case DK_QTY_TIME: {
        const double factors[] = {1.0, ts, 1000.0 * ts};
        return index >= 1 && index < 3 ? factors[index] : 1.0;
    }
    case DK_QTY_NONE: break;
    }
    return 1.0;
}

CString CDK_Units::ListNames(tagQuantity quantity) const
{
    const UnitList list = UnitsOf(quantity);
    CString text;
    for (int i = 0; i < list.count; ++i) {
        if (i > 0)
            text += i + 1 == list.count ? " or " : ", ";
        text += list.names[i];
    }
    return text;
}

const char* CDK_Units::GetQuantityName(tagQuantity quantity)
{
    const int index = static_cast<int>(quantity);
    return index >= 0 && index < 4 ? kQuantityNames[index] : "unknown";
}

bool CDK_Units::FindQuantity(const char* name, tagQuantity& quantity)
{
    for (int i = 0; name && i < 4; ++i) {
        if (std::strcmp(name, kQuantityNames[i]) == 0) {
            quantity = static_cast<tagQuantity>(i);
            return true;
        }
    }
    return false;
}
