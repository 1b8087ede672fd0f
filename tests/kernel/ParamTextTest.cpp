// Malformed parameter texts, read through the record base's helpers: every
// row is one fault (or one accepted form) with the exact message it gives.
#include "KernelTestUtil.h"
#include "kernel/ArrayParameter.h"
#include "kernel/EditMotionInternalData.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

using kernel_test::Record;
using kernel_test::Str;
using ParamTextTest = kernel_test::RecordTest;

TEST_F(ParamTextTest, IntegerParameter)
{
    struct Row { std::string_view text; const char* message; int value; };
    const Row rows[] = {
        {"", "Parameter \"Execute\" is missing.\n", 7},
        {"Mode = 1\nExecuteX = 1\nExecute.unit = 1\nexecute = 1\n", "Parameter \"Execute\" is missing.\n", 7},
        {"Execute = 1\nMode = 0\nExecute = 0\n",
         "Parameter \"Execute\" is given more than once (again on line 3).\n", 7},
        {"Mode = 0\nExecute 1\n", "Parameter \"Execute\": line 2 has no \"=\" after the name.\n", 7},
        {"Execute\r\n", "Parameter \"Execute\": line 1 has no \"=\" after the name.\n", 7},
        {"\n\n# note\nExecute", "Parameter \"Execute\": line 4 has no \"=\" after the name.\n", 7},
        {"Execute = 1\nExecute\n", "Parameter \"Execute\": line 2 has no \"=\" after the name.\n", 7},
        {"Execute = abc\n", "Parameter \"Execute\" must be a whole number, not \"abc\".\n", 7},
        {"Execute = 1.0\n", "Parameter \"Execute\" must be a whole number, not \"1.0\".\n", 7},
        {"Execute = 1 1\n", "Parameter \"Execute\" must be a whole number, not \"1 1\".\n", 7},
        {"Execute = 0x1\n", "Parameter \"Execute\" must be a whole number, not \"0x1\".\n", 7},
        {"Execute = ++1\n", "Parameter \"Execute\" must be a whole number, not \"++1\".\n", 7},
        {"Execute = +-1\n", "Parameter \"Execute\" must be a whole number, not \"+-1\".\n", 7},
        {"Execute = 1 # one\n", "Parameter \"Execute\" must be a whole number, not \"1 # one\".\n", 7},
        {"Execute =\n", "Parameter \"Execute\" must be a whole number, not \"\".\n", 7},
        {"Execute = \x01\xff\x00"sv, "Parameter \"Execute\" must be a whole number, not \"\\x01\\xff\\x00\".\n", 7},
        {"Execute = 2\n", "Parameter \"Execute\" must be between 0 and 1, not 2.\n", 7},
        {"Execute = -1\n", "Parameter \"Execute\" must be between 0 and 1, not -1.\n", 7},
        {"Execute = 99999999999\n", "Parameter \"Execute\" must be between 0 and 1, not \"99999999999\".\n", 7},
        {"Execute = -2147483649\n", "Parameter \"Execute\" must be between 0 and 1, not \"-2147483649\".\n", 7},
        {"Execute = +1\n", "", 1},  {"Execute = -0\n", "", 0},  {"Execute=1", "", 1},
        {"# Execute = 0\r\nExecute = 1\r\n", "", 1},
        {"\t Execute \t=\t 1 \t\r\n", "", 1},
        {"ExecuteX = 0\nExecute = 1\nExecute.unit = 0\n", "", 1},
        // A UTF-8 byte-order mark at the start of the text is skipped, and
        // only there.
        {"\xEF\xBB\xBF" "Execute = 1\n", "", 1},
        {"\xEF\xBB\xBF" "Execute = 1\nExecute = 0\n",
         "Parameter \"Execute\" is given more than once (again on line 2).\n", 7},
        {"\xEF\xBB\xBF" "Execute\n", "Parameter \"Execute\": line 1 has no \"=\" after the name.\n", 7},
        {"\xEF\xBB\xBF", "Parameter \"Execute\" is missing.\n", 7},
        {"\xEF\xBB" "Execute = 1\n", "Parameter \"Execute\" is missing.\n", 7},
        {"Mode = 1\n\xEF\xBB\xBF" "Execute = 1\n", "Parameter \"Execute\" is missing.\n", 7},
        {"\xEF\xBB\xBF\xEF\xBB\xBF" "Execute = 1\n", "Parameter \"Execute\" is missing.\n", 7},
    };
    for (const Row& r : rows) {
        int value = 7;
        const CString message = record.ReadRadioParam(CString(r.text), "Execute", value, 0, 1);
        EXPECT_EQ(r.message, Str(message)) << r.text;
        EXPECT_EQ(r.value, value) << r.text;
    }
}

TEST_F(ParamTextTest, OptionalIntegerFallsBackToLow)
{
    struct Row { const char* text; int value; };
    const Row rows[] = {
        {"", 3},           {"Execute = 5\n", 5}, {"Execute = +4\r\n", 4}, {"Execute = 5\nExecute = 4\n", 3},
        {"Execute = x\n", 3}, {"Execute = 6\n", 3}, {"Execute = 2\n", 3},    {"Execute 4\n", 3},
        {"Execute = 99999999999\n", 3},
    };
    for (const Row& r : rows) {
        int value = 99;
        record.ReadOptionalRadioParam(r.text, "Execute", value, 3, 5);
        EXPECT_EQ(r.value, value) << r.text;
    }
}

TEST_F(ParamTextTest, ArrayParameter)
{
    struct Row {
        const char* key;
        std::string_view text;
        const char* message;
        std::vector<double> values;  // internal units
        const char* unit;
    };
    const Row rows[] = {
        {"TPOS", "TPOS.unit = IU\nTPOS = 0, 1.5, -2\n", "", {0, 1.5, -2}, "IU"},
        {"TPOS", "TPOS = 0, 2000\n", "", {0, 2000}, "rot"},
        {"TPOS", "TPOS =\n", "", {}, "rot"},
        {"TPOS", "TPOS = \r\n", "", {}, "rot"},
        {"TPOS", "TPOS.unit = deg\r\nTPOS = +1 ,\t-0\r\n", "", {1, -0.0}, "deg"},
        {"TPOS", "TPOSX = 1\nTPOS = 2\n", "", {2}, "rot"},
        {"TPOS", "", "Parameter \"TPOS\" is missing.\n", {}, "rot"},
        {"TPOS", "TPOS = 1\nTPOS = 2\n", "Parameter \"TPOS\" is given more than once (again on line 2).\n", {}, "rot"},
        {"TPOS", "TPOS 1, 2\n", "Parameter \"TPOS\": line 1 has no \"=\" after the name.\n", {}, "rot"},
        {"TPOS", "TPOS = 0, abc\n", "Parameter \"TPOS\": value 2 (\"abc\") is not a number.\n", {}, "rot"},
        {"TPOS", "TPOS = 0,,1\n", "Parameter \"TPOS\": value 2 is empty.\n", {}, "rot"},
        {"TPOS", "TPOS = 0, 1,\n", "Parameter \"TPOS\": value 3 is empty.\n", {}, "rot"},
        {"TPOS", "TPOS = nan\n", "Parameter \"TPOS\": value 1 (\"nan\") is not a finite number.\n", {}, "rot"},
        {"TPOS", "TPOS = inf\n", "Parameter \"TPOS\": value 1 (\"inf\") is not a finite number.\n", {}, "rot"},
        {"TPOS", "TPOS = 1e999\n", "Parameter \"TPOS\": value 1 (\"1e999\") is out of range.\n", {}, "rot"},
        {"TPOS", "TPOS = 0, 1 2\n", "Parameter \"TPOS\": value 2 (\"1 2\") is not a number.\n", {}, "rot"},
        {"TPOS", "TPOS = 0x10\n", "Parameter \"TPOS\": value 1 (\"0x10\") is not a number.\n", {}, "rot"},
        {"TPOS", "TPOS = 1, x, 2, y\n",
         "Parameter \"TPOS\": value 2 (\"x\") is not a number (and 1 more bad value).\n", {}, "rot"},
        {"TPOS", "TPOS = x, 1, nan, , 1e999\n",
         "Parameter \"TPOS\": value 1 (\"x\") is not a number (and 3 more bad values).\n", {}, "rot"},
        {"TPOS", "TPOS = 1\x00 2, \xff\n"sv,
         "Parameter \"TPOS\": value 1 (\"1\\x00 2\") is not a number (and 1 more bad value).\n", {}, "rot"},
        {"TPOS", "TPOS = 1\t\x07\n",
         "Parameter \"TPOS\": value 1 (\"1\\x09\\x07\") is not a number.\n", {}, "rot"},
        {"TPOS", "TPOS = 1, \"a\\b\"\n",
         "Parameter \"TPOS\": value 2 (\"\\x22a\\x5cb\\x22\") is not a number.\n", {}, "rot"},
        {"TPOS", "TPOS = abcdefghijklmnopqrstuvwxyz0123\n",
         "Parameter \"TPOS\": value 1 (\"abcdefghijklmnopqrstuvwx...\") is not a number.\n", {}, "rot"},
        {"TPOS", "TPOS.unit = furlong\nTPOS = 1, 2\n",
         "Parameter \"TPOS.unit\": unknown unit \"furlong\" for a position (use IU, rot, deg or rad).\n", {1, 2}, "rot"},
        {"TPOS", "TPOS.unit = deg\x00x\nTPOS = 1\n"sv,
         "Parameter \"TPOS.unit\": unknown unit \"deg\\x00x\" for a position (use IU, rot, deg or rad).\n", {1}, "rot"},
        {"TPOS", "TPOS.unit = rot\nTPOS.unit = deg\nTPOS = 1\n",
         "Parameter \"TPOS.unit\" is given more than once (again on line 2).\n", {1}, "rot"},
        {"TPOS", "TPOS.unit\nTPOS = 1\n", "Parameter \"TPOS.unit\": line 1 has no \"=\" after the name.\n", {1}, "rot"},
        {"TPOS", "TPOS.unit = deg\n", "Parameter \"TPOS\" is missing.\n", {}, "deg"},
        {"TPOS", "TPOS = x\nTPOS.unit = mile\n",
         "Parameter \"TPOS\": value 1 (\"x\") is not a number.\n"
         "Parameter \"TPOS.unit\": unknown unit \"mile\" for a position (use IU, rot, deg or rad).\n", {}, "rot"},
        {"TSPD", "TSPD.unit = rot\nTSPD = 1\n",
         "Parameter \"TSPD.unit\": unknown unit \"rot\" for a velocity (use IU, rpm, rot/s or rad/s).\n", {1}, "rpm"},
        {"ATIME", "ATIME.unit = rpm\nATIME = 1\n",
         "Parameter \"ATIME.unit\": unknown unit \"rpm\" for a time (use IU, s or ms).\n", {1}, "s"},
        {"XVAR", "XVAR.unit = rot\nXVAR = 1\n",
         "Parameter \"XVAR.unit\": unknown unit \"rot\" for this value (use IU).\n", {1}, "IU"},
    };
    for (const Row& r : rows) {
        CDK_ArrayParameter array(setup);
        array.SetValuesInInternalUnit({42});  // a read replaces what was there
        const CString message = record.ReadArrayDataParam(CString(r.text), r.key, nullptr, nullptr, array);
        EXPECT_EQ(r.message, Str(message)) << r.text;
        EXPECT_EQ(r.key, Str(array.GetName())) << r.text;
        EXPECT_EQ(r.unit, Str(array.GetSelectedUnit())) << r.text;
        const std::vector<double>& got = array.GetValuesInInternalUnit();
        ASSERT_EQ(r.values.size(), got.size()) << r.text;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(std::bit_cast<std::uint64_t>(r.values[i]), std::bit_cast<std::uint64_t>(got[i])) << r.text;
    }
}

}  // namespace
