#include "kernel/Value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kStep = 1.0 / 65536.0;  // resolution of 16.16 fixed point

struct QuantizeCase {
    tagVarType type;
    double input;
    double expected;
};

class ValueQuantize : public ::testing::TestWithParam<QuantizeCase> {};

TEST_P(ValueQuantize, RoundsToTheNearestAndSaturates)
{
    const QuantizeCase& c = GetParam();
    const double result = CDK_Value::Quantize(c.type, c.input);
    EXPECT_EQ(result, c.expected) << CDK_Value::GetTypeName(c.type) << " " << c.input;
    EXPECT_FALSE(std::signbit(result) && result == 0.0) << "negative zero for " << c.input;
}

INSTANTIATE_TEST_SUITE_P(Table, ValueQuantize, ::testing::Values(
    QuantizeCase{DK_INT16, 2.5, 3.0},
    QuantizeCase{DK_INT16, -2.5, -3.0},
    QuantizeCase{DK_INT16, 2.4999999, 2.0},
    QuantizeCase{DK_INT16, -0.4, 0.0},
    QuantizeCase{DK_INT16, 32767.4, 32767.0},
    QuantizeCase{DK_INT16, 32767.5, 32767.0},
    QuantizeCase{DK_INT16, 40000.0, 32767.0},
    QuantizeCase{DK_INT16, -32768.5, -32768.0},
    QuantizeCase{DK_INT16, -1e300, -32768.0},
    QuantizeCase{DK_INT16, kInf, 32767.0},
    QuantizeCase{DK_INT16, -kInf, -32768.0},
    QuantizeCase{DK_INT16, kNaN, 0.0},
    QuantizeCase{DK_UINT16, -0.5, 0.0},
    QuantizeCase{DK_UINT16, -7.0, 0.0},
    QuantizeCase{DK_UINT16, 65535.49, 65535.0},
    QuantizeCase{DK_UINT16, 65535.5, 65535.0},
    QuantizeCase{DK_UINT16, 1.5, 2.0},
    QuantizeCase{DK_INT32, 0.5, 1.0},
    QuantizeCase{DK_INT32, -0.5, -1.0},
    QuantizeCase{DK_INT32, 2147483646.5, 2147483647.0},
    QuantizeCase{DK_INT32, 2147483647.5, 2147483647.0},
    QuantizeCase{DK_INT32, -2147483648.5, -2147483648.0},
    QuantizeCase{DK_INT32, 1e10, 2147483647.0},
    QuantizeCase{DK_INT32, -kInf, -2147483648.0},
    QuantizeCase{DK_INT32, -kNaN, 0.0},
    QuantizeCase{DK_UINT32, 4294967295.4, 4294967295.0},
    QuantizeCase{DK_UINT32, 4294967296.0, 4294967295.0},
    QuantizeCase{DK_UINT32, -1.0, 0.0},
    QuantizeCase{DK_UINT32, kInf, 4294967295.0},
    // 16.16 rounds halves upward, on both signs, as floor(v * 65536 + 0.5).
    QuantizeCase{DK_FIXED, 0.5 * kStep, kStep},
    QuantizeCase{DK_FIXED, -0.5 * kStep, 0.0},
    QuantizeCase{DK_FIXED, 1.5 * kStep, 2.0 * kStep},
    QuantizeCase{DK_FIXED, -1.5 * kStep, -kStep},
    QuantizeCase{DK_FIXED, 795595.5 * kStep, 795596.0 * kStep},
    QuantizeCase{DK_FIXED, -795595.5 * kStep, -795595.0 * kStep},
    QuantizeCase{DK_FIXED, -795595.50001 * kStep, -795596.0 * kStep},
    QuantizeCase{DK_FIXED, -32767.5 * 65536.0 * kStep - 0.5 * kStep, -32767.5},
    QuantizeCase{DK_FIXED, -32768.0 - 0.5 * kStep, -32768.0},
    QuantizeCase{DK_FIXED, 32767.0 + 65535.5 * kStep, 32767.0 + 65535.0 * kStep},
    // The addition of 0.5 rounds as the drive's arithmetic does.
    QuantizeCase{DK_FIXED, 0.49999999999999994 * kStep, kStep},
    QuantizeCase{DK_FIXED, 0.49 * kStep, 0.0},
    QuantizeCase{DK_FIXED, 1e-300, 0.0},
    QuantizeCase{DK_FIXED, 1.25, 1.25},
    QuantizeCase{DK_FIXED, 0.1, 6554.0 * kStep},
    QuantizeCase{DK_FIXED, -0.1, -6554.0 * kStep},
    QuantizeCase{DK_FIXED, 32767.99999, 32767.0 + 65535.0 * kStep},
    QuantizeCase{DK_FIXED, 32768.0, 32767.0 + 65535.0 * kStep},
    QuantizeCase{DK_FIXED, -32768.00001, -32768.0},
    QuantizeCase{DK_FIXED, -kInf, -32768.0},
    QuantizeCase{DK_FIXED, kNaN, 0.0}));

struct TypeCase {
    tagVarType type;
    const char* name;
    double min;
    double max;
    double resolution;
};

TEST(Value, TypeRangesAndNames)
{
    const TypeCase cases[] = {
        {DK_INT16, "int16", -32768.0, 32767.0, 1.0},
        {DK_UINT16, "uint16", 0.0, 65535.0, 1.0},
        {DK_INT32, "int32", -2147483648.0, 2147483647.0, 1.0},
        {DK_UINT32, "uint32", 0.0, 4294967295.0, 1.0},
        {DK_FIXED, "fixed", -32768.0, 32767.9999847412109375, kStep},
    };
    for (const TypeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CDK_Value::GetTypeMin(c.type), c.min);
        EXPECT_EQ(CDK_Value::GetTypeMax(c.type), c.max);
        EXPECT_EQ(CDK_Value::GetTypeResolution(c.type), c.resolution);
        EXPECT_STREQ(CDK_Value::GetTypeName(c.type), c.name);
        tagVarType found = c.type == DK_INT16 ? DK_FIXED : DK_INT16;
        ASSERT_TRUE(CDK_Value::FindType(c.name, found));
        EXPECT_EQ(found, c.type);
    }
    tagVarType type = DK_UINT16;
    EXPECT_FALSE(CDK_Value::FindType("Int16", type));
    EXPECT_FALSE(CDK_Value::FindType("float", type));
    EXPECT_FALSE(CDK_Value::FindType(nullptr, type));
    EXPECT_EQ(type, DK_UINT16);
}

TEST(Value, StoresAsSetAndConvertsWhenReadAsAnotherType)
{
    CDK_Value value;
    EXPECT_EQ(value.GetValue(DK_INT32), 0.0);
    value.SetValue(DK_FIXED, 2.5 + 0.3 * kStep);
    EXPECT_EQ(value.GetValue(DK_FIXED), 2.5);
    EXPECT_EQ(value.GetValue(DK_INT16), 3.0);
    value.SetValue(DK_INT32, 1e12);
    EXPECT_EQ(value.GetValue(DK_INT32), 2147483647.0);
    EXPECT_EQ(value.GetValue(DK_INT16), 32767.0);
    EXPECT_EQ(value.GetValue(DK_FIXED), 32767.9999847412109375);
    value.SetValue(DK_UINT16, kNaN);
    EXPECT_EQ(value.GetValue(DK_UINT16), 0.0);
}

}  // namespace

namespace {

// Holds: whether storing the value needs no saturation.
TEST(Value, HoldsTellsWhetherAValueSaturates)
{
    const struct {
        tagVarType type;
        double value;
        bool holds;
    } cases[] = {
        {DK_FIXED, 0.0, true},
        {DK_FIXED, -32768.0, true},
        {DK_FIXED, -32768.0 - 0.5 * kStep, true},  // rounds up onto the minimum
        {DK_FIXED, -32768.0 - 0.51 * kStep, false},
        {DK_FIXED, 32767.9999847412109375, true},
        {DK_FIXED, 32767.0 + 65535.49 * kStep, true},
        {DK_FIXED, 32767.0 + 65535.5 * kStep, false},  // would round to 32768
        {DK_FIXED, 1e300, false},
        {DK_FIXED, -1e300, false},
        {DK_INT16, 32767.49, true},
        {DK_INT16, 32767.5, false},
        {DK_INT16, -32768.5, false},
        {DK_UINT16, -0.49, true},
        {DK_UINT16, -0.5, false},
        {DK_INT32, 2147483647.0, true},
        {DK_INT32, 2147483648.0, false},
        {DK_UINT32, 4294967295.0, true},
        {DK_INT32, kInf, false},
        {DK_INT32, -kInf, false},
        {DK_FIXED, kNaN, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDK_Value::Holds(c.type, c.value), c.holds) << CDK_Value::GetTypeName(c.type) << " " << c.value;
}

}  // namespace
