// The record base's write/read helpers: whatever a record holds comes back
// bit for bit, in whatever units were selected.
#include "KernelTestUtil.h"
#include "kernel/ArrayParameter.h"
#include "kernel/EditMotionInternalData.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using kernel_test::Record;
using kernel_test::Str;
using EditMotionInternalDataTest = kernel_test::RecordTest;

// A finite double from a mix that stresses the text form: any bit pattern
// (all magnitudes), subnormals, signed zeros, integers around 2^53, huge
// values, decimal fractions and values typed in display units.
double RandomValue(std::mt19937_64& rng, const CDK_ArrayParameter& array)
{
    constexpr double k2p53 = 9007199254740992.0;
    static const double special[] = {
        0.0, -0.0, 0.1, -0.1, 1.0 / 3, 1e300, -1e300, k2p53, k2p53 + 2, -k2p53, k2p53 - 1, 1e15, 1e16 + 2,
        std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), 2147483647.0,
        -2147483648.0, 32767.9999847412109375, 100000.0, 1e-5};
    switch (rng() % 6) {
    case 0: {
        double v;
        do
            v = std::bit_cast<double>(rng());
        while (!std::isfinite(v));
        return v;
    }
    case 1:  // subnormal
        return std::bit_cast<double>(rng() & 0x800fffffffffffffULL);
    case 2:
        return static_cast<double>(static_cast<std::int64_t>(rng() % (1ULL << 54)) - (1LL << 53));
    case 3:
        return special[rng() % std::size(special)];
    case 4: {  // a value typed in the selected unit
        double v = static_cast<double>(static_cast<std::int64_t>(rng() % 2000001) - 1000000) / 1000.0;
        array.UnitToIU(v);
        return v;
    }
    default:
        return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(rng), static_cast<int>(rng() % 200) - 100);
    }
}

TEST_F(EditMotionInternalDataTest, ArraysRoundTripBitForBit)
{
    struct Column { const char* key; const char* prefix; const char* suffix; };
    const Column columns[] = {{"ATIME", nullptr, nullptr}, {"TPOS", "", ""}, {"TSPD", "P", "_2"}};
    std::mt19937_64 rng(20240611);
    for (int iteration = 0; iteration < 200; ++iteration) {
        std::vector<CDK_ArrayParameter> written;
        written.reserve(std::size(columns));
        CString params;
        record.WriteRadioParam(params, "Execute", iteration);
        for (const Column& c : columns) {
            CDK_ArrayParameter& array = written.emplace_back(setup);
            array.Bind(CDK_EditMotionInternalData::GetDataParamName(c.key, c.prefix, c.suffix), c.key);
            ASSERT_TRUE(array.SelectUnit(static_cast<int>(rng() % static_cast<unsigned>(array.GetUnitsCount()))));
            std::vector<double> values(rng() % 24);
            for (double& v : values)
                v = RandomValue(rng, array);
            array.SetValuesInInternalUnit(std::move(values));
            record.WriteArrayDataParam(params, array);
        }
        for (std::size_t i = 0; i < std::size(columns); ++i) {
            const CDK_ArrayParameter& expected = written[i];
            CDK_ArrayParameter array(setup);
            const CString message =
                record.ReadArrayDataParam(params, columns[i].key, columns[i].prefix, columns[i].suffix, array);
            ASSERT_EQ("", Str(message)) << params;
            EXPECT_EQ(Str(expected.GetName()), Str(array.GetName()));
            EXPECT_EQ(expected.GetType(), array.GetType());
            EXPECT_EQ(expected.GetSelectedUnitIndex(), array.GetSelectedUnitIndex()) << params;
            const std::vector<double>& want = expected.GetValuesInInternalUnit();
            const std::vector<double>& got = array.GetValuesInInternalUnit();
            ASSERT_EQ(want.size(), got.size()) << params;
            for (std::size_t k = 0; k < want.size(); ++k)
                ASSERT_EQ(std::bit_cast<std::uint64_t>(want[k]), std::bit_cast<std::uint64_t>(got[k]))
                    << columns[i].key << "[" << k << "] = " << want[k] << " in\n" << params;
        }
        int execute = -1;
        EXPECT_EQ("", Str(record.ReadRadioParam(params, "Execute", execute, 0, 1000)));
        EXPECT_EQ(iteration, execute);
    }
}

TEST_F(EditMotionInternalDataTest, IntegersRoundTripAtTheLimits)
{
    for (const int value : {INT_MIN, INT_MIN + 1, -1, 0, 1, INT_MAX}) {
        CString params;
        record.WriteRadioParam(params, "Mode", value);
        int read = 12345, optional = 12345;
        EXPECT_EQ("", Str(record.ReadRadioParam(params, "Mode", read, INT_MIN, INT_MAX))) << params;
        record.ReadOptionalRadioParam(params, "Mode", optional, INT_MIN, INT_MAX);
        EXPECT_EQ(value, read);
        EXPECT_EQ(value, optional);
    }
}

TEST_F(EditMotionInternalDataTest, MotionElementParametersReadBack)
{
    struct Row { const char* name; const char* unit; const char* value; const char* text; const char* selected;
                 std::vector<double> values; };
    const Row rows[] = {
        {"TPOS", "rot", "0, 2000", "TPOS.unit = rot\nTPOS = 0, 2000\n", "rot", {0, 2000}},
        {"TPOS", "deg", "-1.5", "TPOS.unit = deg\nTPOS = -1.5\n", "deg", {-1.5}},
        {"TSPD", nullptr, "0.1, 1e+300", "TSPD.unit = IU\nTSPD = 0.1, 1e+300\n", "IU", {0.1, 1e300}},
        {"ATIME", "ms", nullptr, "ATIME.unit = ms\nATIME = \n", "ms", {}},
    };
    for (const Row& r : rows) {
        CString params = "Execute = 1\n";
        motion.AddToElemParameters(params, r.name, r.unit, r.value);
        EXPECT_EQ(std::string("Execute = 1\n") + r.text, Str(params));
        CDK_ArrayParameter array(setup);
        EXPECT_EQ("", Str(record.ReadArrayDataParam(params, r.name, nullptr, nullptr, array))) << params;
        EXPECT_EQ(r.selected, Str(array.GetSelectedUnit())) << params;
        EXPECT_EQ(r.values, array.GetValuesInInternalUnit()) << params;
    }
}

TEST_F(EditMotionInternalDataTest, DefaultUnitComesFromTheVariable)
{
    EXPECT_EQ("rot", Str(record.GetDefaultUnit("TPOS", nullptr, nullptr)));
    EXPECT_EQ("rpm", Str(record.GetDefaultUnit("TSPD", "P", "_2")));  // prefix and suffix play no part
    EXPECT_EQ("s", Str(record.GetDefaultUnit("ATIME", "", "")));
    EXPECT_EQ("IU", Str(record.GetDefaultUnit("tpos", nullptr, nullptr)));
    EXPECT_EQ("IU", Str(record.GetDefaultUnit("XVAR", "TPOS", nullptr)));
}

TEST_F(EditMotionInternalDataTest, RangeCheckOfAnArrayNamesTheFirstValueTheTypeCannotHold)
{
    struct Row { const char* key; std::vector<double> values; const char* message; };
    const Row rows[] = {
        {"TSPD", {}, ""},
        {"TSPD", {0, -32768, 32767.9999847412109375, 0}, ""},
        {"TSPD", {0, 1e300, 0},
         "Parameter \"TSPD\": value 2 (1e+300) is outside the range of its drive type fixed "
         "(-32768 ... 32767.99998474121 IU).\n"},
        {"TSPD", {32768, -40000, 1e10, 0.5},
         "Parameter \"TSPD\": value 1 (32768) is outside the range of its drive type fixed "
         "(-32768 ... 32767.99998474121 IU) (and 2 more values).\n"},
        {"PVTBUFLEN", {65535, -1},
         "Parameter \"PVTBUFLEN\": value 2 (-1) is outside the range of its drive type uint16 (0 ... 65535 IU).\n"},
        {"TPOS", {0, 2147483647, 2147483648.5, -2147483648},
         "Parameter \"TPOS\": value 3 (2147483648.5) is outside the range of its drive type int32 "
         "(-2147483648 ... 2147483647 IU).\n"},
    };
    for (const Row& r : rows) {
        CDK_ArrayParameter array(setup);
        array.Bind(r.key, r.key);
        array.SetValuesInInternalUnit(r.values);
        EXPECT_EQ(r.message, Str(record.CheckArrayDataRange(array))) << r.key;
    }
}

}  // namespace
