// CPointInput: the reading of one point field ("%lf", no number that is not
// finite) and the clamp of a display value to its column.
#include "PvtTestUtil.h"
#include "kernel/Value.h"
#include "pvt/PointInput.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using namespace pvt_test;

constexpr double kUntouched = -123.25;

// A record read from a one-point text: columns bound in rot, rpm and s (the
// embedded drive: 2000 increments per revolution, 1 ms sampling period),
// the time column limited to 0 ... 2147483646 periods.
struct SBoundRecord : Record {
    SBoundRecord()
    {
        CString params("ATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\n");
        CString errors;
        data.ReadParameters(params, errors);  // reports the one-point table only
    }
};

TEST(PointInputTest, ReadNumberFollowsPercentLfAndRefusesWhatIsNotFinite)
{
    struct SCase {
        const char* text;
        bool ok;
        double value;
    };
    const SCase cases[] = {
        {"1.5", true, 1.5},
        {"  \t-2.25", true, -2.25},
        {"1,5", true, 1},      // the field's comma is not a decimal point; the rest is ignored
        {"12abc", true, 12},
        {"0x1p3", true, 8},    // a hexadecimal float
        {"1e-999", true, 0},   // too small: 0
        {"-0", true, -0.0},
        {"", false, 0},
        {"   ", false, 0},
        {"abc", false, 0},
        {",5", false, 0},
        {"nan", false, 0},
        {"-NaN", false, 0},
        {"inf", false, 0},
        {"-inf", false, 0},
        {"Infinity", false, 0},
        {"1e999", false, 0},   // beyond the double range: an infinity
        {"-1e999", false, 0},
    };
    for (const SCase& c : cases) {
        double value = kUntouched;
        EXPECT_EQ(c.ok, CPointInput::ReadNumber(c.text, value) != 0) << '"' << c.text << '"';
        EXPECT_EQ(c.ok ? c.value : kUntouched, value) << '"' << c.text << '"';
    }
}

TEST(PointInputTest, ClampToParameter)
{
    SBoundRecord r;
    const CDK_ArrayParameter& p = r.data.m_Position;
    const CDK_ArrayParameter& v = r.data.m_Velocity;
    const CDK_ArrayParameter& t = r.data.m_Time;
    ASSERT_EQ("rot", Str(p.GetSelectedUnit()));
    ASSERT_EQ("rpm", Str(v.GetSelectedUnit()));
    ASSERT_EQ("s", Str(t.GetSelectedUnit()));
    const double inf = std::numeric_limits<double>::infinity();
    struct SCase {
        const char* name;
        const CDK_ArrayParameter& column;
        double typed;
        double expected;  // display unit
    };
    const SCase cases[] = {
        {"position within limits, whole increments", p, 2.5, 2.5},
        {"position above the maximum", p, 1e7, 2147483647.0 / 2000},
        {"position below the minimum", p, -1e7, -2147483648.0 / 2000},
        {"position finer than an increment", p, 0.5005, 1001.0 / 2000},
        {"position rounded half away from zero", p, -0.00025, -1.0 / 2000},
        {"velocity to the 16.16 step", v, 0.5, 1092.0 / 65536 * 30},
        {"velocity above the maximum", v, 1e9, 2147483647.0 / 65536 * 30},
        {"time below 0", t, -3, 0},
        {"time finer than a period", t, 1.0004, 1},
        {"time above the maximum", t, 1e12, 2147483646.0 / 1000},
        // What the clamp alone makes of values that are not finite: an
        // infinity becomes a limit, NaN becomes 0 through the drive type.
        // The readers refuse them before they get here.
        {"infinite time", t, inf, 2147483646.0 / 1000},
        {"infinite position", p, -inf, -2147483648.0 / 2000},
    };
    for (const SCase& c : cases) {
        double value = c.typed;
        CPointInput::ClampToParameter(c.column, value);
        EXPECT_DOUBLE_EQ(c.expected, value) << c.name;
    }
    double nan = std::numeric_limits<double>::quiet_NaN();
    CPointInput::ClampToParameter(p, nan);
    EXPECT_EQ(0.0, nan);
}

TEST(PointInputTest, ClampGivesWhatTheDriveTypeHolds)
{
    // Back in internal units, a clamped value is one the drive type holds.
    SBoundRecord r;
    for (CDK_ArrayParameter* column : {&r.data.m_Position, &r.data.m_Velocity, &r.data.m_Time})
        for (const double typed : {0.1234567, 1.001, -7.77777, 333.3333}) {
            double value = typed;
            CPointInput::ClampToParameter(*column, value);
            column->UnitToIU(value);
            EXPECT_NEAR(CDK_Value::Quantize(column->GetType(), value), value, 1e-9)
                << Str(column->GetSelectedUnit()) << " " << typed;
        }
}

TEST(PointInputTest, FieldReaders)
{
    SBoundRecord r;
    struct SCase {
        const char* text;
        bool time;  // the time field, else the position field
        bool ok;
        double value;
    };
    const SCase cases[] = {
        {"  3", false, true, 3},
        {"1e7 rot", false, true, 2147483647.0 / 2000},  // clamped
        {"nan", false, false, 0},
        {"inf", false, false, 0},
        {"x1", false, false, 0},
        {"0.25", true, true, 0.25},
        {"-3", true, true, 0},     // a negative time clamps to 0, which is not negative
        {"-1e999", true, false, 0},
        {"", true, false, 0},
    };
    for (const SCase& c : cases) {
        double value = kUntouched;
        const BOOL ok = c.time ? CPointInput::ReadTimeField(r.data.m_Time, c.text, value)
                               : CPointInput::ReadField(r.data.m_Position, c.text, value);
        EXPECT_EQ(c.ok, ok != 0) << '"' << c.text << '"';
        EXPECT_DOUBLE_EQ(c.ok ? c.value : kUntouched, value) << '"' << c.text << '"';
    }
    // A time column whose limits let a negative time through the clamp (an
    // unbound column has the range of a 32-bit integer): the sign test after
    // the clamp refuses it.
    CDK_ArrayParameter unbound(r.setup);
    double value = kUntouched;
    EXPECT_FALSE(CPointInput::ReadTimeField(unbound, "-3", value));
    EXPECT_EQ(kUntouched, value);
    EXPECT_TRUE(CPointInput::ReadTimeField(unbound, "3.4", value));
    EXPECT_EQ(3, value);
}

}  // namespace
