// CDK_ArrayParameter with the embedded default drive: 2000 increments per
// revolution and a 1 ms sampling period, so 1 rot = 2000 IU, 1 rpm = 1/30 IU
// (increments per sampling period) and 1 s = 1000 IU.
#include "kernel/ArrayParameter.h"
#include "kernel/Setup.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace {

std::string Str(const CString& s) { return std::string(s.View()); }

// True when `action` throws a framework exception (which is released).
bool Throws(const std::function<void()>& action)
{
    try {
        action();
    } catch (CException* e) {
        e->Delete();
        return true;
    }
    return false;
}

TEST(ArrayParameterTest, BindTakesTypeQuantityUnitAndLimitsFromTheSetup)
{
    struct Row {
        const char* key; tagVarType type; tagQuantity quantity; const char* unit; int units;
        double minIU, maxIU, min, max;  // the type's range in internal units, then in the default unit
    };
    const Row rows[] = {
        {"TPOS", DK_INT32, DK_QTY_POSITION, "rot", 4, -2147483648.0, 2147483647.0, -1073741.824, 1073741.8235},
        {"TSPD", DK_FIXED, DK_QTY_VELOCITY, "rpm", 4, -32768.0, 32767.9999847412109375, -983040.0,
         983039.999542236328125},
        {"ATIME", DK_INT32, DK_QTY_TIME, "s", 3, -2147483648.0, 2147483647.0, -2147483.648, 2147483.647},
        {"XVAR", DK_INT32, DK_QTY_NONE, "IU", 1, -2147483648.0, 2147483647.0, -2147483648.0, 2147483647.0},
        {"tpos", DK_INT32, DK_QTY_NONE, "IU", 1, -2147483648.0, 2147483647.0, -2147483648.0, 2147483647.0},
    };
    CDK_Setup setup;
    for (const Row& r : rows) {
        CDK_ArrayParameter array(setup);
        array.SetValuesInInternalUnit({1, 2});
        array.SelectUnit(0);
        array.SetMinInInternalUnit(-1);
        array.Bind("P_1", r.key);
        EXPECT_TRUE(array.IsBound() && array.GetName() == "P_1" && array.GetKey() == r.key) << r.key;
        EXPECT_EQ(r.type, array.GetType()) << r.key;
        EXPECT_EQ(r.quantity, array.GetQuantity()) << r.key;
        EXPECT_EQ(r.unit, Str(array.GetSelectedUnit())) << r.key;
        EXPECT_EQ(r.units, array.GetUnitsCount()) << r.key;
        EXPECT_EQ(r.minIU, array.GetMinInInternalUnit()) << r.key;
        EXPECT_EQ(r.maxIU, array.GetMaxInInternalUnit()) << r.key;
        EXPECT_DOUBLE_EQ(r.min, array.GetMin()) << r.key;
        EXPECT_DOUBLE_EQ(r.max, array.GetMax()) << r.key;
        EXPECT_EQ((std::vector<double>{1, 2}), array.GetValuesInInternalUnit()) << r.key;  // values kept
    }
    CDK_ArrayParameter unbound(setup);
    EXPECT_TRUE(!unbound.IsBound() && unbound.GetSelectedUnit() == "IU" && unbound.GetUnitsCount() == 1);
}

TEST(ArrayParameterTest, SelectUnit)
{
    CDK_Setup setup;
    CDK_ArrayParameter array(setup);
    array.Bind("TPOS", "TPOS");
    struct Row { const char* name; int index; BOOL ok; const char* selected; };
    const Row rows[] = {
        {"deg", -2, TRUE, "deg"},   {"furlong", -2, FALSE, "deg"}, {"", -2, FALSE, "deg"},
        {nullptr, -2, FALSE, "deg"}, {"rpm", -2, FALSE, "deg"},    {"RAD", -2, FALSE, "deg"},
        {nullptr, 4, FALSE, "deg"},  {nullptr, -1, FALSE, "deg"},  {nullptr, 3, TRUE, "rad"},
        {nullptr, 0, TRUE, "IU"},    {"rot", -2, TRUE, "rot"},
    };
    for (const Row& r : rows) {
        const BOOL ok = r.index == -2 ? array.SelectUnit(r.name) : array.SelectUnit(r.index);
        const std::string what = r.name ? r.name : std::to_string(r.index);
        EXPECT_EQ(r.ok, ok) << what;
        EXPECT_EQ(r.selected, Str(array.GetSelectedUnit())) << what;
        EXPECT_EQ(r.selected, Str(array.GetUnitName(array.GetSelectedUnitIndex()))) << what;
    }
    EXPECT_EQ("", Str(array.GetUnitName(4)));
}

TEST(ArrayParameterTest, ValuesInSelectedUnitAndInInternalUnits)
{
    struct Row { const char* key; const char* unit; double shown; double iu; };
    const double pi = std::numbers::pi;
    const Row rows[] = {
        {"TPOS", "rot", 1, 2000},   {"TPOS", "deg", 360, 2000}, {"TPOS", "rad", 2 * pi, 2000},
        {"TPOS", "IU", -7, -7},     {"TSPD", "rpm", 1, 1.0 / 30}, {"TSPD", "rpm", 3000, 100},
        {"TSPD", "rot/s", 1, 2},    {"TSPD", "rad/s", 2 * pi, 2}, {"ATIME", "s", 1, 1000},
        {"ATIME", "ms", 1, 1},      {"ATIME", "s", 0.25, 250},
    };
    CDK_Setup setup;
    for (const Row& r : rows) {
        const std::string what = std::string(r.key) + " " + r.unit;
        CDK_ArrayParameter array(setup);
        array.Bind(r.key, r.key);
        ASSERT_TRUE(array.SelectUnit(r.unit)) << what;
        array.InsertValueAt(0, r.shown);
        EXPECT_DOUBLE_EQ(r.iu, array.GetValueInInternalUnit(0)) << what;
        array.SetValueInInternalUnit(0, r.iu);
        EXPECT_DOUBLE_EQ(r.shown, array.GetValue(0)) << what;
        array.SetValue(0, 2 * r.shown);
        EXPECT_DOUBLE_EQ(2 * r.iu, array.GetValueInInternalUnit(0)) << what;
        // Changing the unit changes only what is shown.
        ASSERT_TRUE(array.SelectUnit(0));
        EXPECT_DOUBLE_EQ(2 * r.iu, array.GetValue(0)) << what;
    }
}

TEST(ArrayParameterTest, InsertRemoveResize)
{
    CDK_Setup setup;
    CDK_ArrayParameter array(setup);
    array.Bind("TPOS", "TPOS");  // rot
    array.SetValuesInInternalUnit({10, 20, 30});
    array.InsertValueAt(1, 1.0);
    array.InsertValueAt(4, -0.5);
    EXPECT_EQ((std::vector<double>{10, 2000, 20, 30, -1000}), array.GetValuesInInternalUnit());
    array.RemoveValueAt(1, 2);
    EXPECT_EQ((std::vector<double>{10, 30, -1000}), array.GetValuesInInternalUnit());
    array.RemoveValueAt(3, 0);
    array.RemoveValueAt(2);
    EXPECT_EQ((std::vector<double>{10, 30}), array.GetValuesInInternalUnit());
    array.SetValuesCount(4);
    EXPECT_EQ((std::vector<double>{10, 30, 0, 0}), array.GetValuesInInternalUnit());
    array.SetValuesCount(1);
    EXPECT_EQ((std::vector<double>{10}), array.GetValuesInInternalUnit());
}

TEST(ArrayParameterTest, IndexErrorsThrowAndChangeNothing)
{
    CDK_Setup setup;
    CDK_ArrayParameter array(setup);
    array.Bind("TPOS", "TPOS");
    const std::vector<double> values{10, 20, 30};
    struct Row { const char* what; std::function<void()> action; };
    const Row rows[] = {
        {"GetValue(-1)", [&] { array.GetValue(-1); }}, {"GetValue(3)", [&] { array.GetValue(3); }},
        {"GetValueInInternalUnit(3)", [&] { array.GetValueInInternalUnit(3); }},
        {"SetValue(3)", [&] { array.SetValue(3, 1); }},
        {"SetValueInInternalUnit(-1)", [&] { array.SetValueInInternalUnit(-1, 1); }},
        {"InsertValueAt(-1)", [&] { array.InsertValueAt(-1, 1); }},
        {"InsertValueAt(4)", [&] { array.InsertValueAt(4, 1); }},
        {"RemoveValueAt(-1)", [&] { array.RemoveValueAt(-1); }}, {"RemoveValueAt(3)", [&] { array.RemoveValueAt(3); }},
        {"RemoveValueAt(2, 2)", [&] { array.RemoveValueAt(2, 2); }},
        {"RemoveValueAt(0, -1)", [&] { array.RemoveValueAt(0, -1); }},
        {"RemoveValueAt(1, INT_MAX)", [&] { array.RemoveValueAt(1, std::numeric_limits<int>::max()); }},
        {"SetValuesCount(-1)", [&] { array.SetValuesCount(-1); }}, {"PrintValue(3)", [&] { array.PrintValue(3); }},
        {"PrintValueForDRL(-1)", [&] { array.PrintValueForDRL(-1); }},
    };
    for (const Row& r : rows) {
        array.SetValuesInInternalUnit(values);
        EXPECT_TRUE(Throws(r.action)) << r.what;
        EXPECT_EQ(values, array.GetValuesInInternalUnit()) << r.what;
    }
}

TEST(ArrayParameterTest, PrintValue)
{
    struct Row { const char* key; const char* unit; double iu; const char* text; };
    const Row rows[] = {
        {"TPOS", "rot", 2000, "1"},        {"TPOS", "rot", -3000, "-1.5"},    {"TPOS", "rot", 1, "0.0005"},
        {"TPOS", "rot", -0.0, "0"},        {"TPOS", "IU", -0.0, "0"},         {"TPOS", "rot", 2e18, "1e+15"},
        {"TPOS", "IU", 1e-7, "1e-07"},     {"TPOS", "IU", -1e20, "-1e+20"},   {"TPOS", "deg", 1, "0.18"},
        {"TPOS", "rot", 2000.0 / 3, "0.333333333333"}, {"TPOS", "IU", 123456789012.0, "123456789012"},
        {"TPOS", "rad", 2000, "6.28318530718"},        {"TSPD", "rpm", 1, "30"},
        {"TSPD", "rpm", 0.1, "3"},  // 3.0000000000000004 shown with 12 digits
        {"TSPD", "rot/s", 0.001, "0.0005"}, {"ATIME", "s", 1, "0.001"},   {"ATIME", "ms", 250, "250"},
    };
    CDK_Setup setup;
    for (const Row& r : rows) {
        CDK_ArrayParameter array(setup);
        array.Bind(r.key, r.key);
        ASSERT_TRUE(array.SelectUnit(r.unit));
        array.SetValuesInInternalUnit({r.iu});
        EXPECT_EQ(r.text, Str(array.PrintValue(0))) << r.key << " " << r.unit << " " << r.iu;
    }
}

TEST(ArrayParameterTest, PrintValueForDRLQuantisesToTheType)
{
    struct Row { const char* key; double iu; const char* text; };
    const Row rows[] = {
        {"TSPD", 0.1, "0.100006103515625"},  // 6554 / 65536
        {"TSPD", 1.0 / 3, "0.3333282470703125"}, {"TSPD", 30.5, "30.5"},   {"TSPD", -0.0, "0"},
        {"TSPD", 1e9, "32767.9999847412109375"},      {"TSPD", -1e9, "-32768"}, {"TPOS", 10.7, "11"},
        {"TPOS", -10.5, "-11"},   {"TPOS", 0, "0"},  {"TPOS", -0.4, "0"},  {"TPOS", 3e9, "2147483647"},
        {"TPOS", -3e9, "-2147483648"},           {"ATIME", 2.5, "3"},
        {"TPOS", std::numeric_limits<double>::quiet_NaN(), "0"},
        {"TPOS", std::numeric_limits<double>::infinity(), "2147483647"},
        // Plain notation even for the smallest steps: no exponent.
        {"TSPD", 1.0 / 65536, "0.0000152587890625"},  {"TSPD", -3.0 / 65536, "-0.0000457763671875"},
        // Halves round upward, as the drive takes the velocity.
        {"TSPD", -795595.5 / 65536, "-12.1398162841796875"}, {"TSPD", 795595.5 / 65536, "12.13983154296875"},
        {"TSPD", -0.5 / 65536, "0"},  {"TSPD", -2.5 / 65536, "-0.000030517578125"},
    };
    CDK_Setup setup;
    for (const Row& r : rows) {
        CDK_ArrayParameter array(setup);
        array.Bind(r.key, r.key);  // the display unit plays no part
        array.SetValuesInInternalUnit({r.iu});
        EXPECT_EQ(r.text, Str(array.PrintValueForDRL(0))) << r.key << " " << r.iu;
    }
}

// Display values are printed with twelve significant digits exactly as
// printf's "%.12g" prints them, whatever the magnitude, including values
// next to a rounding boundary.
TEST(ArrayParameterTest, PrintValueMatchesTwelveSignificantDigits)
{
    CDK_Setup setup;
    CDK_ArrayParameter array(setup);
    array.Bind("TPOS", "TPOS");
    ASSERT_TRUE(array.SelectUnit("IU"));
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-9, 17);
    std::vector<double> values = {0.5, 2.5, 1e-5, 9.99999999999949e-5, 999999999999.5, 1e12 - 0.25,
                                  123456.7890125, 0.1 + 0.2, 1e15 - 1, 99999999999.95};
    for (int i = 0; i < 200000; ++i) {
        double v = mantissa(rng) * std::pow(10.0, exponent(rng));
        if (i % 3 == 0)  // values with few digits, as users type them, often sit on a boundary
            v = std::round(v * 1e4) / 1e4 + (i % 2 ? 5e-13 : 0);
        values.push_back(i % 2 ? -v : v);
    }
    array.SetValuesInInternalUnit(values);
    int mismatches = 0;
    for (int i = 0; i < array.GetValuesCount() && mismatches < 5; ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.12g", values[static_cast<std::size_t>(i)]);
        const std::string got(Str(array.PrintValue(i)));
        if (got != expected) {
            ++mismatches;
            ADD_FAILURE() << "value " << values[static_cast<std::size_t>(i)] << ": " << got << " instead of " << expected;
        }
    }
}

}  // namespace
