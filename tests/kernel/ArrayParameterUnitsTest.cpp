// CDK_ArrayParameter's conversion from display units to internal units: a
// display value that stands for a value the drive type holds lands exactly
// on that value, in every unit of every quantity, for drives with awkward
// encoder resolutions and sampling periods; other values convert as they are.
#include "kernel/ArrayParameter.h"
#include "kernel/Setup.h"
#include "kernel/Value.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Str(const CString& s) { return std::string(s.View()); }

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Every quantity with an integer and the fixed-point type; the setups differ
// in the factors their units get.
std::string Drive(const char* counts, const char* period)
{
    std::string variables;
    for (const char* quantity : {"position", "velocity", "time", "none"})
        for (const char* type : {"int32", "fixed", "int16"})
            variables += std::string(variables.empty() ? "" : ", ") + R"({"name": "V_)" + quantity + "_" + type +
                         R"(", "type": ")" + type + R"(", "quantity": ")" + quantity + R"("})";
    return std::string(R"({"countsPerRevolution": )") + counts + R"(, "samplingPeriod": )" + period +
           R"(, "variables": [)" + variables + "]}";
}

const char* const kDrives[][2] = {
    {"2000", "0.001"},  {"4096", "0.0005"}, {"1000.5", "0.000125"}, {"10000", "0.0001"},
    {"3", "0.00033"},   {"1e6", "0.002"},   {"131072", "6.25e-05"},
};

struct SColumn {
    CDK_Setup setup;
    std::vector<std::string> keys;
};

std::vector<SColumn> Columns()
{
    std::vector<SColumn> out;
    for (const auto& d : kDrives) {
        SColumn c;
        EXPECT_EQ("", Str(c.setup.LoadFromText(CString(Drive(d[0], d[1]).c_str()), "drive.json")));
        for (const char* quantity : {"position", "velocity", "time", "none"})
            for (const char* type : {"int32", "fixed", "int16"})
                c.keys.push_back(std::string("V_") + quantity + "_" + type);
        out.push_back(std::move(c));
    }
    return out;
}

// Values the type holds: the first steps up from 0 and down from 0, the
// extremes, and steps spread over the whole range.
std::vector<double> HeldValues(tagVarType type, std::mt19937_64& rng)
{
    const double step = CDK_Value::GetTypeResolution(type);
    const double lo = CDK_Value::GetTypeMin(type), hi = CDK_Value::GetTypeMax(type);
    std::vector<double> values = {0.0, lo, hi, lo + step, hi - step};
    for (int k = 1; k <= 20000; ++k) {
        values.push_back(k * step);
        values.push_back(-k * step);
    }
    std::uniform_real_distribution<double> anywhere(lo / step, hi / step);
    for (int k = 0; k < 20000; ++k)
        values.push_back(std::round(anywhere(rng)) * step);
    for (double& v : values)
        v = CDK_Value::Quantize(type, v);
    return values;
}

TEST(ArrayParameterUnits, EveryHeldValueComesBackBitForBitInEveryUnit)
{
    std::mt19937_64 rng(11);
    for (SColumn& column : Columns()) {
        for (const std::string& key : column.keys) {
            CDK_ArrayParameter array(column.setup);
            array.Bind(key.c_str(), key.c_str());
            const std::vector<double> held = HeldValues(array.GetType(), rng);
            for (int unit = 0; unit < array.GetUnitsCount(); ++unit) {
                ASSERT_TRUE(array.SelectUnit(unit));
                const std::string what = key + " in " + Str(array.GetSelectedUnit()) + " with " +
                                         std::to_string(column.setup.GetUnits().GetCountsPerRevolution()) + "/rev";
                int misses = 0;
                for (const double q : held) {
                    double v = q;
                    array.IUToUnit(v);
                    array.UnitToIU(v);
                    if (!SameBits(v, q) && ++misses <= 3)
                        ADD_FAILURE() << what << ": " << q << " came back as " << v;
                }
                // The same through the array's own setters, as the editor
                // stores a clamped and quantised value.
                array.SetValuesInInternalUnit({held[7], held[9]});
                array.SetValue(0, array.GetValue(0));
                array.InsertValueAt(1, array.GetValue(1));
                EXPECT_TRUE(SameBits(held[7], array.GetValueInInternalUnit(0))) << what;
                EXPECT_TRUE(SameBits(held[9], array.GetValueInInternalUnit(1))) << what;
                EXPECT_EQ(misses, 0) << what;
            }
        }
    }
}

// Whole increments typed as PrintValue shows them, in the units where the
// shown text is the exact decimal value (rot, deg, s, ms of the embedded
// drive), are stored as those increments.
TEST(ArrayParameterUnits, IncrementsTypedAsShownAreStoredExactly)
{
    CDK_Setup setup;
    const struct {
        const char* key;
        const char* unit;
    } columns[] = {{"TPOS", "rot"}, {"TPOS", "deg"}, {"ATIME", "s"}, {"ATIME", "ms"}};
    for (const auto& c : columns) {
        CDK_ArrayParameter array(setup);
        array.Bind(c.key, c.key);
        ASSERT_TRUE(array.SelectUnit(c.unit));
        array.SetValuesCount(1);
        int below = 0, above = 0;
        for (int q = 1; q <= 200000; ++q) {
            array.SetValueInInternalUnit(0, q);
            const double typed = std::strtod(array.PrintValue(0).GetString(), nullptr);
            array.SetValue(0, typed);
            const double stored = array.GetValueInInternalUnit(0);
            below += stored < q;
            above += stored > q;
        }
        EXPECT_EQ(below, 0) << c.key << " in " << c.unit;
        EXPECT_EQ(above, 0) << c.key << " in " << c.unit;
    }
}

// A value that is not within a few ulps of a value the type holds converts
// as it is, the plain quotient.
TEST(ArrayParameterUnits, ValuesAwayFromTheTypeAreLeftAlone)
{
    std::mt19937_64 rng(12);
    for (SColumn& column : Columns()) {
        for (const std::string& key : column.keys) {
            CDK_ArrayParameter array(column.setup);
            array.Bind(key.c_str(), key.c_str());
            const std::vector<double> held = HeldValues(array.GetType(), rng);
            for (int unit = 1; unit < array.GetUnitsCount(); ++unit) {
                ASSERT_TRUE(array.SelectUnit(unit));
                double factor = 1.0;
                array.IUToUnit(factor);
                int misses = 0;
                for (std::size_t i = 0; i < held.size(); i += 7) {
                    if (held[i] == 0.0)
                        continue;
                    for (const double offset : {1e-11, -3e-12, 0.25}) {
                        // off by a part in 10^11 (far more than a few ulps) or
                        // by a quarter step
                        const double off = offset == 0.25 ? held[i] + 0.25 * CDK_Value::GetTypeResolution(array.GetType())
                                                          : held[i] * (1 + offset);
                        double shown = off * factor;
                        const double plain = shown / factor;
                        array.UnitToIU(shown);
                        if (!SameBits(shown, plain) && ++misses <= 3)
                            ADD_FAILURE() << key << " unit " << unit << ": " << off << " became " << shown;
                    }
                }
                EXPECT_EQ(misses, 0) << key << " unit " << unit;
            }
        }
    }
}

TEST(ArrayParameterUnits, ConversionCases)
{
    constexpr bool kAsItIs = false;  // the plain quotient
    struct Row { const char* key; const char* unit; double shown; double iu; bool snapped; };
    const Row rows[] = {
        {"TPOS", "rot", 0.5005, 1001, true},  // 1000.9999999999999 as a plain quotient
        {"TPOS", "rot", 0.50050000001, 0, kAsItIs},
        {"TPOS", "IU", 1000.9999999999999, 1000.9999999999999, true},  // the internal unit is exact
        {"TPOS", "IU", -0.0, -0.0, true},
        {"TPOS", "rot", -0.0, -0.0, true},
        {"TPOS", "deg", 0.18 * 3, 3, true},
        {"TPOS", "rot", 1.5e6 + 0.0005, 3000000001, true},  // beyond the type's range: still whole
        {"TPOS", "rot", 1e300, 0, kAsItIs},
        {"TSPD", "rpm", 30.0 / 65536, 1.0 / 65536, true},
        {"TSPD", "rpm", -795595.0 * 30 / 65536, -795595.0 / 65536, true},
        {"TSPD", "rpm", 1e-300, 0, kAsItIs},
        {"ATIME", "s", 0.001, 1, true},
        {"ATIME", "ms", 0.5, 0.5, true},  // a factor of 1: as typed
    };
    CDK_Setup setup;
    for (const Row& r : rows) {
        CDK_ArrayParameter array(setup);
        array.Bind(r.key, r.key);
        ASSERT_TRUE(array.SelectUnit(r.unit));
        double factor = 1.0;
        array.IUToUnit(factor);
        double v = r.shown;
        array.UnitToIU(v);
        EXPECT_TRUE(SameBits(r.snapped ? r.iu : r.shown / factor, v))
            << r.key << " " << r.unit << " " << r.shown << " gives " << v;
    }
}

}  // namespace
