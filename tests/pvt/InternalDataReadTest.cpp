// CInternalData: reading with full error collection, writing, the default
// parameter text and the normalisation the editor starts from.
#include "PvtTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace pvt_test;

const std::string T = "ATIME = 0, 100, 200\n";
const std::string P = "TPOS = 0, 5000, 10000\n";
const std::string V = "TSPD = 0, 50, 0\n";
const std::string E0 = "Execute = 0\n";

struct ReadCase {
    const char* name;
    std::string text;
    std::string errors;  // exactly, in order; "" for a successful read
};

const ReadCase kReadCases[] = {
    {"valid table", T + P + V + E0, ""},
    {"byte-order mark before the first key", "\xEF\xBB\xBF" + T + P + V + E0, ""},
    {"position column one value short", T + "TPOS = 0, 5000\n" + V + E0, BadColumn("TPOS") + kTooFewPoints},
    {"velocity column one value long", T + P + "TSPD = 0, 50, 0, 0\n" + E0, BadColumn("TSPD") + kTooFewPoints},
    {"first time not 0", "ATIME = 5, 100, 200\n" + P + V + E0, BadColumn("ATIME") + kBadFirstPoint},
    {"first position not 0", T + "TPOS = -1, 5000, 10000\n" + V + E0, BadColumn("TPOS") + kBadFirstPoint},
    {"first velocity not 0", T + P + "TSPD = 0.5, 50, 0\n" + E0, BadColumn("TSPD") + kBadFirstPoint},
    {"last velocity not 0", T + P + "TSPD = 0, 50, 1\n" + E0, BadColumn("TSPD") + kBadLastPoint},
    {"minus zero is zero", "ATIME = -0, 100, 200\n" + P + "TSPD = 0, 50, -0\n" + E0, ""},
    // Not-a-number values never get past the kernel's array reader; the
    // emptied time column then makes the other two columns misfit.
    {"nan in the time column", "ATIME = 0, nan, 200\n" + P + V + E0,
     "Parameter \"ATIME\": value 2 (\"nan\") is not a finite number.\n" + BadColumn("TPOS") + BadColumn("TSPD") +
         kTooFewPoints},
    {"infinity in the velocity column", T + P + "TSPD = 0, inf, 0\n" + E0,
     "Parameter \"TSPD\": value 2 (\"inf\") is not a finite number.\n" + kTooFewPoints},
    {"time column missing", P + V + E0,
     "Parameter \"ATIME\" is missing.\n" + BadColumn("TPOS") + BadColumn("TSPD") + kTooFewPoints},
    {"every column empty names every column", "ATIME =\nTPOS =\nTSPD =\n" + E0,
     BadColumn("ATIME") + BadColumn("TPOS") + BadColumn("TSPD") + kTooFewPoints},
    {"unknown unit keeps the values", T + "TPOS.unit = mm\n" + P + V + E0,
     "Parameter \"TPOS.unit\": unknown unit \"mm\" for a position (use IU, rot, deg or rad).\n"},
    {"execute missing", T + P + V, "Parameter \"Execute\" is missing.\n"},
    {"execute missing and one point", "ATIME = 0\nTPOS = 0\nTSPD = 0\n",
     "Parameter \"Execute\" is missing.\n" + kTooFewPoints},
    {"execute out of range", T + P + V + "Execute = 2\n", "Parameter \"Execute\" must be between 0 and 1, not 2.\n"},
    {"event without its type", T + P + V + "Execute = 1\n", "Parameter \"EventType\" is missing.\n"},
    {"event missing two keys", T + P + V + "Execute = 1\nEventType = 2\n",
     "Parameter \"EventPosition\" is missing.\nParameter \"EventPositionMode\" is missing.\n"},
    {"event keys ignored when executing at once", T + P + V + E0 + "EventType = 9\n", ""},
    {"optional keys out of range are silent",
     "MASTERID = 300\nClearBuffer = 2\nStartPoint = x\nWaitForCompletion = -1\n" + T + P + V + E0, ""},
    {"every source, in reading order", "ATIME = 5, 100, 200\nTPOS = 0, x, 10000\nTSPD = 0, 50, 1\nExecute = 1\n",
     BadColumn("ATIME") + "Parameter \"TPOS\": value 2 (\"x\") is not a number.\n" + BadColumn("TSPD") +
         "Parameter \"EventType\" is missing.\n" + kTooFewPoints},
    // The event reader receives the text still holding the velocity message:
    // it must replace it, so the message is never reported twice.
    {"velocity message not repeated by a good event", T + P + "TSPD = 0, 50, 1\nExecute = 1\nEventType = 0\n",
     BadColumn("TSPD") + kBadLastPoint},
    {"velocity message not repeated by a bad event", T + P + "TSPD = 0, 50, 1\nExecute = 1\nEventType = 7\n",
     BadColumn("TSPD") + "Parameter \"EventType\" must be between 0 and 3, not 7.\n" + kBadLastPoint},
    // A velocity the 16.16 type cannot hold would be sent saturated.
    {"velocity beyond the fixed-point type", T + P + "TSPD = 0, 1e300, 0\n" + E0,
     "Parameter \"TSPD\": value 2 (1e+300) is outside the range of its drive type fixed "
     "(-32768 ... 32767.99998474121 IU).\n"},
    {"velocities beyond on both sides", "ATIME = 0, 1, 2, 3\nTPOS = 0, 1, 2, 3\nTSPD = 0, -32768.0001, 40000, 0\n" + E0,
     "Parameter \"TSPD\": value 2 (-32768.0001) is outside the range of its drive type fixed "
     "(-32768 ... 32767.99998474121 IU) (and 1 more value).\n"},
    {"the extreme velocities the type holds",
     "ATIME = 0, 1, 2, 3\nTPOS = 0, 1, 2, 3\nTSPD = 0, -32768, 32767.9999847412109375, 0\n" + E0, ""},
    {"a velocity within half a step of the largest", T + P + "TSPD = 0, 32767.99999, 0\n" + E0, ""},
    {"a misfit velocity column gets one message", T + P + "TSPD = 0, 1e300\n" + E0, BadColumn("TSPD") + kTooFewPoints},
    {"table validation runs after reading", "ATIME = 0, 100, 612\n" + P + V + E0, TimeTooDistant(2)},
};

TEST(InternalDataRead, CollectsEveryMessageInOrder)
{
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.name);
        Record r;
        EXPECT_EQ(c.errors, r.Read(c.text));
    }
}

TEST(InternalDataRead, HostAddress)
{
    struct Case {
        const char* line;
        BOOL given;
        int address;
    } const cases[] = {
        {"", 0, 255},
        {"MASTERID = 0\n", 0, 255},
        {"MASTERID = 300\n", 0, 255},  // as if absent
        {"MASTERID = -1\n", 0, 255},
        {"MASTERID = five\n", 0, 255},
        {"MASTERID = 1\n", 1, 1},
        {"MASTERID = 5\n", 1, 5},
        {"MASTERID = 255\n", 1, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Record r;
        r.data.m_bHostAddress = 1;  // a previous read must not survive
        r.data.m_nHostAddress = 7;
        EXPECT_EQ("", r.Read(c.line + T + P + V + E0));
        EXPECT_EQ(c.given, r.data.m_bHostAddress);
        EXPECT_EQ(c.address, r.data.m_nHostAddress);
        const std::string written = r.Write();
        if (c.given)
            EXPECT_EQ(0u, written.find("MASTERID = " + std::to_string(c.address) + "\n")) << written;
        else
            EXPECT_EQ(std::string::npos, written.find("MASTERID")) << written;
    }
}

TEST(InternalDataRead, TimeLimitsAreSetWhateverTheTimeColumnReports)
{
    for (const std::string& time : {std::string(), std::string("ATIME = 0, x\n"), std::string("ATIME = 3, 4\n"), T}) {
        SCOPED_TRACE(time);
        Record r;
        r.Read(time + P + V + E0);
        EXPECT_EQ(0.0, r.data.m_Time.GetMinInInternalUnit());
        EXPECT_EQ(2147483646.0, r.data.m_Time.GetMaxInInternalUnit());
    }
}

// A motion controller has no drive inputs: its record's event refuses them.
TEST(InternalDataRead, MotionControllerRefusesInputEvents)
{
    struct ControllerSetup : CDK_Setup {
        int IsMotionController() const override { return 1; }
    };
    const std::string text = T + P + V + "Execute = 1\nEventType = 1\nEventInput = 2\nEventLevel = 1\n";
    ControllerSetup controller;
    CDK_Motion motion;
    CInternalData data(controller, motion);
    CString params(text.c_str());
    CString errors;
    EXPECT_FALSE(data.ReadParameters(params, errors));
    EXPECT_EQ("Parameter \"EventType\": an input event (1) is not available on this product; choose 0 (motion "
              "complete), 2 (position) or 3 (time).\n",
              Str(errors));

    Record drive;
    EXPECT_EQ("", drive.Read(text));
}

TEST(InternalDataWrite, KeysInOrderWaitOrEventByExecution)
{
    struct Case {
        const char* name;
        std::string text;
        std::string written;
    } const cases[] = {
        {"immediate execution writes the wait flag and no event",
         "WaitForCompletion = 1\nExecute = 0\nEventType = 3\nEventDelay = 4\nTSPD.unit = rad/s\nTSPD = 0, 0.1, 0\n"
         "TPOS.unit = deg\nTPOS = 0, 5000.5, 10000\nATIME.unit = ms\nATIME = 0, 100, 200\nStartPoint = 1\n"
         "ClearBuffer = 0\nMASTERID = 17\n",
         "MASTERID = 17\nClearBuffer = 0\nStartPoint = 1\nATIME.unit = ms\nATIME = 0, 100, 200\nTPOS.unit = deg\n"
         "TPOS = 0, 5000.5, 10000\nTSPD.unit = rad/s\nTSPD = 0, 0.1, 0\nExecute = 0\nWaitForCompletion = 1\n"},
        {"execution on an event writes the event and no wait flag",
         "MASTERID = 0\nClearBuffer = 1\n" + T + P + V +
             "Execute = 1\nWaitForCompletion = 1\nEventType = 2\nEventPosition = -123\nEventPositionMode = 1\n",
         "ClearBuffer = 1\nStartPoint = 0\nATIME.unit = s\nATIME = 0, 100, 200\nTPOS.unit = rot\n"
         "TPOS = 0, 5000, 10000\nTSPD.unit = rpm\nTSPD = 0, 50, 0\nExecute = 1\nEventType = 2\nEventPosition = -123\n"
         "EventPositionMode = 1\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Record r;
        EXPECT_EQ("", r.Read(c.text));
        EXPECT_EQ(c.written, r.Write());
        // What was written reads back into the same record.
        Record again;
        EXPECT_EQ("", again.Read(c.written));
        EXPECT_EQ(c.written, again.Write());
    }
}

TEST(InternalDataWrite, RoundTripKeepsValuesBitForBitUnitsAndOptions)
{
    Record r;
    r.Read(T + P + V + E0);
    CInternalData& d = r.data;
    const std::vector<double> times = {0, 1.0 / 3, 0.1, 511.000000001, 2147483646};
    const std::vector<double> positions = {-0.0, 5e-324, -2.5e17, 123456789.12345678, 1e300};
    const std::vector<double> velocities = {0, -1.0 / 7, 0.100006103515625, 65535.99998474121, 0};
    r.SetColumns(times, positions, velocities);
    ASSERT_TRUE(d.m_Time.SelectUnit("ms"));
    ASSERT_TRUE(d.m_Position.SelectUnit("rad"));
    ASSERT_TRUE(d.m_Velocity.SelectUnit("rot/s"));
    d.m_bHostAddress = 1;
    d.m_nHostAddress = 200;
    d.m_nClearBuffer = 0;
    d.m_nStartPoint = 1;
    d.m_nExecute = 1;
    d.m_nWaitForCompletion = 1;
    d.m_Event.SetTrigger(CMotionEvent::EVT_INPUT);
    d.m_Event.m_nInput = 12;
    d.m_Event.m_nLevel = 0;

    Record back;
    back.Read(r.Write());
    const CInternalData& b = back.data;
    EXPECT_EQ(times, b.m_Time.GetValuesInInternalUnit());
    EXPECT_EQ(positions, b.m_Position.GetValuesInInternalUnit());
    EXPECT_TRUE(std::signbit(b.m_Position.GetValueInInternalUnit(0)));
    EXPECT_EQ(velocities, b.m_Velocity.GetValuesInInternalUnit());
    EXPECT_EQ("ms", Str(b.m_Time.GetSelectedUnit()));
    EXPECT_EQ("rad", Str(b.m_Position.GetSelectedUnit()));
    EXPECT_EQ("rot/s", Str(b.m_Velocity.GetSelectedUnit()));
    EXPECT_EQ(1, b.m_bHostAddress);
    EXPECT_EQ(200, b.m_nHostAddress);
    EXPECT_EQ(0, b.m_nClearBuffer);
    EXPECT_EQ(1, b.m_nStartPoint);
    EXPECT_EQ(1, b.m_nExecute);
    EXPECT_EQ(0, b.m_nWaitForCompletion);  // not written for execution on an event
    EXPECT_EQ(CMotionEvent::EVT_INPUT, b.m_Event.GetTrigger());
    EXPECT_EQ(12, b.m_Event.m_nInput);
    EXPECT_EQ(0, b.m_Event.m_nLevel);
}

TEST(InternalDataDefaults, OnePointAtRestThatFailsValidation)
{
    Record r;
    const std::string text = Str(r.data.BuildDefaultParameters());
    EXPECT_EQ("ClearBuffer = 1\nATIME.unit = s\nATIME = 0\nTPOS.unit = rot\nTPOS = 0\nTSPD.unit = rpm\nTSPD = 0\n"
              "Execute = 0\nWaitForCompletion = 1\n",
              text);

    Record back;
    EXPECT_EQ(kTooFewPoints, back.Read(text));
    const CInternalData& b = back.data;
    EXPECT_EQ(std::vector<double>{0.0}, b.m_Time.GetValuesInInternalUnit());
    EXPECT_EQ(std::vector<double>{0.0}, b.m_Position.GetValuesInInternalUnit());
    EXPECT_EQ(std::vector<double>{0.0}, b.m_Velocity.GetValuesInInternalUnit());
    EXPECT_EQ(1, b.m_nClearBuffer);
    EXPECT_EQ(0, b.m_nStartPoint);
    EXPECT_EQ(0, b.m_nExecute);
    EXPECT_EQ(1, b.m_nWaitForCompletion);
    EXPECT_EQ(0, b.m_bHostAddress);
    EXPECT_EQ(255, b.m_nHostAddress);
}

TEST(InternalDataNormalize, EqualLengthsAndStartPointAtOrigin)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<double> t, p, v;
        std::vector<double> wantT, wantP, wantV;
    } const cases[] = {
        {"lengths 3, 5, 0", {0, 100, 200}, {0, 1, 2, 3, 4}, {}, {0}, {0}, {0}},
        {"first values not 0", {5, 100}, {7, 1}, {nan, 0}, {0, 100}, {0, 1}, {0, 0}},
        {"lengths 4, 2, 3 cut to 2", {0, 1, 2, 3}, {0, 10}, {0, 0.5, 0}, {0, 1}, {0, 10}, {0, 0.5}},
        {"all empty", {}, {}, {}, {0}, {0}, {0}},
        {"already consistent", {0, 7}, {0, -3}, {0, 0}, {0, 7}, {0, -3}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Record r;
        r.Read(T + P + V + E0);
        r.SetColumns(c.t, c.p, c.v);
        r.data.NormalizePoints();
        EXPECT_EQ(c.wantT, r.data.m_Time.GetValuesInInternalUnit());
        EXPECT_EQ(c.wantP, r.data.m_Position.GetValuesInInternalUnit());
        EXPECT_EQ(c.wantV, r.data.m_Velocity.GetValuesInInternalUnit());
    }
}

}  // namespace
