#include "kernel/Units.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

struct FactorCase {
    tagQuantity quantity;
    const char* unit;
    int index;
    double factor2000;  // 2000 increments per revolution, 1 ms
    double factor4096;  // 4096 increments per revolution, 0.5 ms
};

TEST(Units, FactorsFollowResolutionAndSamplingPeriod)
{
    const double pi = std::numbers::pi;
    const FactorCase cases[] = {
        {DK_QTY_NONE, "IU", 0, 1.0, 1.0},
        {DK_QTY_POSITION, "IU", 0, 1.0, 1.0},
        {DK_QTY_POSITION, "rot", 1, 0.0005, 1.0 / 4096.0},
        {DK_QTY_POSITION, "deg", 2, 0.18, 0.087890625},
        {DK_QTY_POSITION, "rad", 3, pi / 1000.0, pi / 2048.0},
        {DK_QTY_VELOCITY, "IU", 0, 1.0, 1.0},
        {DK_QTY_VELOCITY, "rpm", 1, 30.0, 29.296875},
        {DK_QTY_VELOCITY, "rot/s", 2, 0.5, 0.48828125},
        {DK_QTY_VELOCITY, "rad/s", 3, pi, 0.9765625 * pi},
        {DK_QTY_TIME, "IU", 0, 1.0, 1.0},
        {DK_QTY_TIME, "s", 1, 0.001, 0.0005},
        {DK_QTY_TIME, "ms", 2, 1.0, 0.5},
    };
    const CDK_Units standard;
    const CDK_Units table(4096.0, 0.0005);
    EXPECT_EQ(standard.GetCountsPerRevolution(), 2000.0);
    EXPECT_EQ(standard.GetSamplingPeriod(), 0.001);
    for (const FactorCase& c : cases) {
        SCOPED_TRACE(std::string(CDK_Units::GetQuantityName(c.quantity)) + " " + c.unit);
        EXPECT_EQ(standard.Find(c.quantity, c.unit), c.index);
        EXPECT_STREQ(standard.GetName(c.quantity, c.index), c.unit);
        EXPECT_DOUBLE_EQ(standard.GetFactor(c.quantity, c.index), c.factor2000);
        EXPECT_DOUBLE_EQ(table.GetFactor(c.quantity, c.index), c.factor4096);
    }
}

TEST(Units, ListsAndLookUps)
{
    const CDK_Units units;
    const struct {
        tagQuantity quantity;
        const char* name;
        int count;
        const char* list;
    } cases[] = {
        {DK_QTY_NONE, "none", 1, "IU"},
        {DK_QTY_POSITION, "position", 4, "IU, rot, deg or rad"},
        {DK_QTY_VELOCITY, "velocity", 4, "IU, rpm, rot/s or rad/s"},
        {DK_QTY_TIME, "time", 3, "IU, s or ms"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(units.GetCount(c.quantity), c.count);
        EXPECT_EQ(units.ListNames(c.quantity), c.list);
        EXPECT_STREQ(CDK_Units::GetQuantityName(c.quantity), c.name);
        tagQuantity found = c.quantity == DK_QTY_TIME ? DK_QTY_NONE : DK_QTY_TIME;
        ASSERT_TRUE(CDK_Units::FindQuantity(c.name, found));
        EXPECT_EQ(found, c.quantity);
        EXPECT_EQ(units.GetName(c.quantity, c.count), nullptr);
        EXPECT_EQ(units.GetName(c.quantity, -1), nullptr);
        EXPECT_EQ(units.GetFactor(c.quantity, c.count), 1.0);
    }
    EXPECT_EQ(units.Find(DK_QTY_VELOCITY, "RPM"), -1);  // unit names are case-sensitive
    EXPECT_EQ(units.Find(DK_QTY_POSITION, "rpm"), -1);  // not a position unit
    EXPECT_EQ(units.Find(DK_QTY_NONE, "s"), -1);
    EXPECT_EQ(units.Find(DK_QTY_TIME, nullptr), -1);
    tagQuantity quantity = DK_QTY_TIME;
    EXPECT_FALSE(CDK_Units::FindQuantity("Position", quantity));
    EXPECT_FALSE(CDK_Units::FindQuantity(nullptr, quantity));
    EXPECT_EQ(quantity, DK_QTY_TIME);
}

}  // namespace
