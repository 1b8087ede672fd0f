// CInternalData::GenerateCode: the motion-language lines of a PVT motion,
// read from its parameter text and validated as the translation does.
#include "PvtTestUtil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace pvt_test;

const std::string kIU = "ATIME.unit = IU\nTPOS.unit = IU\nTSPD.unit = IU\n";

const std::string kClear = "  SETPVT 0xCF00; //Clear PVT buffer\r\n";
const std::string kKeep = "  SETPVT 0x4F00; //Leave PVT buffer intact\r\n";
const std::string kMode = "  MODE PVT; // Set PVT Mode\r\n";
const std::string kFromReference = "  TUM1;//Start from actual value of position reference\r\n";
const std::string kFromActual = "  TUM0;//Start from actual value of position\r\n";
const std::string kCpr = "  CPR;\r\n";
const std::string kUpdate = "  UPD; //Execute immediate\r\n";
const std::string kUpdateOnEvent = "  UPD!; //Execute on event\r\n";
const std::string kWait = "  !MC; WAIT!; //wait for completion\r\n";

constexpr int kKeepExecute = -1;

struct CodeCase {
    const char* name;
    std::string text;
    int execute;  // forced into the record after reading, or kKeepExecute
    bool valid;   // the text reads and validates without a message
    std::string code;
};

const CodeCase kCodeCases[] = {
    {"three points in internal units", kIU + "ClearBuffer = 1\nATIME = 0, 100, 200\nTPOS = 0, 5000, 10000\n"
                                             "TSPD = 0, 50.5, 0\nExecute = 0\nWaitForCompletion = 1\n",
     kKeepExecute, true,
     kClear + kMode + kFromReference + kCpr + "  PVTP 5000L, 50.5, 100U, 0;//PVT(5000[IU], 50.5[IU], 100[IU])\r\n" +
         kUpdate + "  PVTP 5000L, 0, 100U, 0;//PVT(10000[IU], 0[IU], 200[IU])\r\n" + kWait},
    // The comment shows the display units; the instruction internal units.
    {"three points in the default units rot, rpm, s",
     "ClearBuffer = 1\nATIME = 0, 100, 200\nTPOS = 0, 5000, 10000\nTSPD = 0, 50, 0\nExecute = 0\n"
     "WaitForCompletion = 1\n",
     kKeepExecute, true,
     kClear + kMode + kFromReference + kCpr + "  PVTP 5000L, 50, 100U, 0;//PVT(2.5[rot], 1500[rpm], 0.1[s])\r\n" +
         kUpdate + "  PVTP 5000L, 0, 100U, 0;//PVT(5[rot], 0[rpm], 0.2[s])\r\n" + kWait},
    {"two points, buffer kept, measured start, host address 255",
     kIU + "MASTERID = 255\nClearBuffer = 0\nStartPoint = 1\nATIME = 0, 7\nTPOS = 0, -3\nTSPD = 0, 0\nExecute = 0\n",
     kKeepExecute, true,
     "  MASTERID = 4081; // Set host address to 255\r\n" + kKeep + kMode + kFromActual + kCpr +
         "  PVTP -3L, 0, 7U, 0;//PVT(-3[IU], 0[IU], 7[IU])\r\n" + kUpdate},
    {"execution on an event never waits",
     kIU + "MASTERID = 5\nClearBuffer = 1\nATIME = 0, 7, 9\nTPOS = 0, 3, 4\nTSPD = 0, 1, 0\nExecute = 1\n"
           "WaitForCompletion = 1\nEventType = 3\nEventDelay = 10\n",
     kKeepExecute, true,
     "  //Define event: After 10 sampling periods\r\n  !RT 10U; //Event: after 10 sampling periods\r\n"
     "  MASTERID = 81; // Set host address to 5\r\n" +
         kClear + kMode + kFromReference + kCpr + "  PVTP 3L, 1, 7U, 0;//PVT(3[IU], 1[IU], 7[IU])\r\n" +
         kUpdateOnEvent + "  PVTP 1L, 0, 2U, 0;//PVT(4[IU], 0[IU], 9[IU])\r\n"},
    // Increments are differences of the values truncated toward zero.
    {"fractions truncated toward zero",
     kIU + "ATIME = 0, 100.9, 201.2, 300.5\nTPOS = 0, 10.7, 20.2, -10.7\nTSPD = 0, 0, 0, 0\nExecute = 0\n",
     kKeepExecute, true,
     kKeep + kMode + kFromReference + kCpr + "  PVTP 10L, 0, 100U, 0;//PVT(10.7[IU], 0[IU], 100.9[IU])\r\n" +
         kUpdate + "  PVTP 10L, 0, 101U, 0;//PVT(20.2[IU], 0[IU], 201.2[IU])\r\n" +
         "  PVTP -30L, 0, 99U, 0;//PVT(-10.7[IU], 0[IU], 300.5[IU])\r\n"},
    // The velocity is a 16.16 fixed-point variable: the literal is the value
    // the drive holds, the comment what the user typed.
    {"velocity literals of the fixed-point type",
     kIU + "ATIME = 0, 10, 20, 30\nTPOS = 0, 1, 2, 3\nTSPD = 0, 0.1, -2.5, 0\nExecute = 0\n", kKeepExecute, true,
     kKeep + kMode + kFromReference + kCpr + "  PVTP 1L, 0.100006103515625, 10U, 0;//PVT(1[IU], 0.1[IU], 10[IU])\r\n" +
         kUpdate + "  PVTP 1L, -2.5, 10U, 0;//PVT(2[IU], -2.5[IU], 20[IU])\r\n" +
         "  PVTP 1L, 0, 10U, 0;//PVT(3[IU], 0[IU], 30[IU])\r\n"},
    {"execute other than 0 or 1: no update and no wait line",
     kIU + "ATIME = 0, 7\nTPOS = 0, 3\nTSPD = 0, 0\nExecute = 0\nWaitForCompletion = 1\n", 2, true,
     kKeep + kMode + kFromReference + kCpr + "  PVTP 3L, 0, 7U, 0;//PVT(3[IU], 0[IU], 7[IU])\r\n"},
    {"one point: header and wait line only",
     "ClearBuffer = 1\nATIME = 0\nTPOS = 0\nTSPD = 0\nExecute = 0\nWaitForCompletion = 1\n", kKeepExecute, false,
     kClear + kMode + kFromReference + kCpr + kWait},
    {"columns of different lengths: header only",
     kIU + "ATIME = 0, 100, 200\nTPOS = 0, 5000\nTSPD = 0, 0, 0\nExecute = 0\n", kKeepExecute, false,
     kKeep + kMode + kFromReference + kCpr},
};

TEST(GenerateCode, Table)
{
    for (const CodeCase& c : kCodeCases) {
        SCOPED_TRACE(c.name);
        Record r;
        const std::string errors = r.Read(c.text);
        int badPoint = 0;
        const std::string check = Str(r.data.CheckPoints(badPoint));
        EXPECT_EQ(c.valid, errors.empty() && check.empty()) << errors << check;
        if (c.execute != kKeepExecute)
            r.data.m_nExecute = c.execute;
        EXPECT_EQ(c.code, Str(r.data.GenerateCode()));
    }
}

TEST(GenerateCode, IncrementsStayExactBeyondTheThirtyTwoBitRange)
{
    // 1000 segments of the widest step end near 8.4e9 increments; every
    // segment still moves by exactly 8388607.
    constexpr int kSegments = 1000;
    constexpr std::int64_t kStep = 8388607;
    std::string times = "ATIME = 0", positions = "TPOS = 0", velocities = "TSPD = 0";
    std::string code = kKeep + kMode + kFromReference + kCpr;
    for (int i = 1; i <= kSegments; ++i) {
        const std::string t = std::to_string(i);
        const std::string p = std::to_string(kStep * i);
        times += ", " + t;
        positions += ", " + p;
        velocities += ", 0";
        code += "  PVTP 8388607L, 0, 1U, 0;//PVT(" + p + "[IU], 0[IU], " + t + "[IU])\r\n";
        if (i == 1)
            code += kUpdate;
    }
    Record r;
    ASSERT_EQ("", r.Read(kIU + times + "\n" + positions + "\n" + velocities + "\nExecute = 0\n"));
    EXPECT_EQ(code, Str(r.data.GenerateCode()));
}

}  // namespace
