// CInternalData::CheckPoints: the shape of the point table and the limits of
// one PVT segment (at most 511 sampling periods, a signed 24-bit position
// step), all in internal units.
#include "PvtTestUtil.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace {

using namespace pvt_test;

constexpr int kUntouched = -77;  // badPoint is left alone on success
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct CheckCase {
    const char* name;
    std::vector<double> t, p, v;
    std::string message;
    int badPoint;
};

const CheckCase kCheckCases[] = {
    {"longest and widest segment", {0, 511}, {0, 8388607}, {0, 0}, "", kUntouched},
    {"widest backward segment", {0, 1}, {0, -8388608}, {0, 0}, "", kUntouched},
    {"time step 512", {0, 512}, {0, 0}, {0, 0}, TimeTooDistant(1), 1},
    {"time step 511.5", {0, 511.5}, {0, 0}, {0, 0}, TimeTooDistant(1), 1},
    {"fractional steps within limits", {0, 1.5, 511.5}, {0, 0.25, 8388607.25}, {0, 0, 0}, "", kUntouched},
    // Segments are sent as differences of the truncated times: a time that
    // does not reach the next whole sampling period would be a segment of
    // no duration.
    {"half a period after the start", {0, 0.5, 1}, {0, 0, 0}, {0, 0, 0}, TimeNotIncreasing(1), 1},
    {"just under one period", {0, 0.999999, 2}, {0, 0, 0}, {0, 0, 0}, TimeNotIncreasing(1), 1},
    {"within the same whole period", {0, 100.2, 100.9}, {0, 0, 0}, {0, 0, 0}, TimeNotIncreasing(2), 2},
    {"fractions that pass a whole period", {0, 100.9, 200.1}, {0, 1, 2}, {0, 0, 0}, "", kUntouched},
    {"just one whole period later", {0, 1, 2.0000001}, {0, 0, 0}, {0, 0, 0}, "", kUntouched},
    {"position step -8388608.5", {0, 1}, {0, -8388608.5}, {0, 0}, PositionTooFar(1), 1},
    {"position step 8388607.5", {0, 1}, {0, 8388607.5}, {0, 0}, PositionTooFar(1), 1},
    {"steps measured from the previous point", {0, 1, 2}, {0, 8388607, -1}, {0, 0, 0}, "", kUntouched},
    {"second step too far back", {0, 1, 2}, {0, 8388607, -2}, {0, 0, 0}, PositionTooFar(2), 2},
    {"time repeated", {0, 100, 100}, {0, 0, 0}, {0, 0, 0}, TimeNotIncreasing(2), 2},
    {"time going back", {0, 100, 50}, {0, 0, 0}, {0, 0, 0}, TimeNotIncreasing(2), 2},
    {"time step checked before position step", {0, 600}, {0, 9e6}, {0, 0}, TimeTooDistant(1), 1},
    {"last velocity 0.5", {0, 10, 20}, {0, 5, 10}, {0, 1, 0.5}, kBadLastPoint, 0},
    {"middle velocities unchecked", {0, 10, 20}, {0, 5, 10}, {0, 1e12, 0}, "", kUntouched},
    {"beyond the time limit although the step is also too long", {0, 2147483647}, {0, 9e6}, {0, 0},
     kTimeOutOfBounds, 1},
    {"at the time limit the step is too long", {0, 2147483646}, {0, 0}, {0, 0}, TimeTooDistant(1), 1},
    {"negative time", {0, 100, -1}, {0, 0, 0}, {0, 0, 0}, kTimeOutOfBounds, 2},
    {"columns 3, 3, 2", {0, 10, 20}, {0, 1, 2}, {0, 0}, kTooFewPoints, 0},
    {"columns 2, 1, 2", {0, 10}, {0}, {0, 0}, kTooFewPoints, 0},
    {"one point", {0}, {0}, {0}, kTooFewPoints, 0},
    {"no point", {}, {}, {}, kTooFewPoints, 0},
    {"first time not 0", {1, 10}, {0, 0}, {0, 0}, kBadFirstPoint, 0},
    {"first position not 0", {0, 10}, {-0.5, 0}, {0, 0}, kBadFirstPoint, 0},
    {"first velocity not 0", {0, 10}, {0, 0}, {1e-300, 0}, kBadFirstPoint, 0},
    {"first point tested before last velocity", {0, 10}, {1, 0}, {0, 1}, kBadFirstPoint, 0},
    {"minus zero is zero", {-0.0, 10}, {-0.0, 0}, {-0.0, -0.0}, "", kUntouched},
    // Values that are not numbers are refused rather than sent to the drive.
    {"nan first time", {kNaN, 10}, {0, 0}, {0, 0}, kBadFirstPoint, 0},
    {"nan last velocity", {0, 10}, {0, 0}, {0, kNaN}, kBadLastPoint, 0},
    {"nan time", {0, 10, kNaN}, {0, 0, 0}, {0, 0, 0}, kTimeOutOfBounds, 2},
    {"nan position", {0, 10, 20}, {0, kNaN, 0}, {0, 0, 0}, PositionTooFar(1), 1},
    {"infinite time", {0, kInf}, {0, 0}, {0, 0}, kTimeOutOfBounds, 1},
    {"infinite position", {0, 10}, {0, -kInf}, {0, 0}, PositionTooFar(1), 1},
};

TEST(CheckPoints, Table)
{
    for (const CheckCase& c : kCheckCases) {
        SCOPED_TRACE(c.name);
        Record r;
        // Read with the default display units (s, rot, rpm): the checks must
        // use internal units all the same.
        ASSERT_EQ("", r.Read("ATIME = 0, 1\nTPOS = 0, 1\nTSPD = 0, 0\nExecute = 0\n"));
        r.SetColumns(c.t, c.p, c.v);
        int badPoint = kUntouched;
        EXPECT_EQ(c.message, Str(r.data.CheckPoints(badPoint)));
        EXPECT_EQ(c.badPoint, badPoint);
    }
}

TEST(CheckPoints, NotANumberSetThroughTheColumnIsRefused)
{
    Record r;
    ASSERT_EQ("", r.Read("ATIME = 0, 100, 200\nTPOS = 0, 10, 20\nTSPD = 0, 0, 0\nExecute = 0\n"));
    int badPoint = kUntouched;
    r.data.m_Time.SetValueInInternalUnit(1, kNaN);
    EXPECT_EQ(kTimeOutOfBounds, Str(r.data.CheckPoints(badPoint)));
    EXPECT_EQ(1, badPoint);
    r.data.m_Time.SetValueInInternalUnit(1, 100);
    r.data.m_Position.SetValueInInternalUnit(2, kNaN);
    EXPECT_EQ(PositionTooFar(2), Str(r.data.CheckPoints(badPoint)));
    EXPECT_EQ(2, badPoint);
}

TEST(CheckPoints, NoLimitOnTotalTravel)
{
    // 300 segments of the widest step travel about 2.5e9 increments, beyond
    // the 32-bit range, and are valid.
    constexpr int kPoints = 301;
    std::vector<double> t(kPoints), p(kPoints), v(kPoints, 0.0);
    for (int i = 0; i < kPoints; ++i) {
        t[static_cast<std::size_t>(i)] = 511.0 * i;
        p[static_cast<std::size_t>(i)] = 8388607.0 * i;
    }
    Record r;
    ASSERT_EQ("", r.Read("ATIME = 0, 1\nTPOS = 0, 1\nTSPD = 0, 0\nExecute = 0\n"));
    r.SetColumns(t, p, v);
    int badPoint = kUntouched;
    EXPECT_EQ("", Str(r.data.CheckPoints(badPoint)));
    EXPECT_EQ(kUntouched, badPoint);
}

}  // namespace
