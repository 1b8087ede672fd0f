#include "platform/Runtime.h"

#include "tests/TestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kUntouched = -123.25;  // sentinel: a failed conversion stores nothing

// Exact comparison that also tells 0 from -0 and accepts NaN for NaN.
void ExpectSameDouble(double expected, double actual, const std::string& what)
{
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what << ": " << actual;
        return;
    }
    EXPECT_EQ(expected, actual) << what;
    EXPECT_EQ(std::signbit(expected), std::signbit(actual)) << what;
}

TEST(SscanfTest, OneDouble)
{
    struct Row { const char* input; int count; double value; };
    const Row rows[] = {
        {"1.5", 1, 1.5},       {"  \t 2.25", 1, 2.25}, {"\r7", 1, 7},         {"\n\v\f8", 1, 8},
        {"12abc", 1, 12},      {"1,5", 1, 1},          {"", -1, 0},           {" \t\r\n", -1, 0},
        {"abc", 0, 0},         {"+5", 1, 5},           {"-0", 1, -0.0},       {"inf", 1, kInf},
        {"-Infinity", 1, -kInf}, {"nan", 1, kNaN},     {"NAN", 1, kNaN},      {"1e999", 1, kInf},
        {"-1e999", 1, -kInf},  {"1e-999", 1, 0},       {"0x1p3", 1, 8},       {"-0X1.8P1", 1, -3},
        {"--5", 0, 0},         {"+-5", 0, 0},          {"-", 0, 0},           {".", 0, 0},
        {".5", 1, 0.5},        {"5.", 1, 5},           {"1e", 1, 1},          {"1e+", 1, 1},
        {"2E3", 1, 2000},      {"0xinf", 1, 0},        {"0x-1", 1, 0},        {"in", 0, 0},
    };
    for (const Row& r : rows) {
        double v = kUntouched;
        EXPECT_EQ(r.count, sscanf_s(r.input, "%lf", &v)) << '"' << r.input << '"';
        ExpectSameDouble(r.count == 1 ? r.value : kUntouched, v, std::string("\"") + r.input + '"');
    }
}

TEST(SscanfTest, ThreeDoubles)
{
    struct Row { const char* input; int count; double a, b, c; };
    const Row rows[] = {
        {"1.5 0.5 2.5", 3, 1.5, 0.5, 2.5},
        {"\t1\r\n2  3\r\n", 3, 1, 2, 3},
        {"1e5-2+3", 3, 1e5, -2, 3},  // a blank in the format also matches no blank
        {"1, 2, 3", 1, 1, kUntouched, kUntouched},
        {"1 2", 2, 1, 2, kUntouched},
        {"1 2 x", 2, 1, 2, kUntouched},
        {"1 2 3 4", 3, 1, 2, 3},
        {"x 2 3", 0, kUntouched, kUntouched, kUntouched},
        {"   ", -1, kUntouched, kUntouched, kUntouched},
    };
    for (const Row& r : rows) {
        double a = kUntouched, b = kUntouched, c = kUntouched;
        EXPECT_EQ(r.count, sscanf_s(r.input, "%lf %lf %lf", &a, &b, &c)) << r.input;
        ExpectSameDouble(r.a, a, r.input);
        ExpectSameDouble(r.b, b, r.input);
        ExpectSameDouble(r.c, c, r.input);
    }
}

TEST(SscanfTest, Int)
{
    struct Row { const char* input; int count; int value; };
    const Row rows[] = {
        {"42", 1, 42},           {"  -17x", 1, -17},      {"+5", 1, 5},          {"-0", 1, 0},
        {"1.9", 1, 1},           {"0x10", 1, 0},          {"2147483647", 1, INT_MAX},
        {"-2147483648", 1, INT_MIN}, {"2147483648", 1, INT_MAX}, {"-2147483649", 1, INT_MIN},
        {"4294967297", 1, INT_MAX},  {"-99999999999", 1, INT_MIN},
        {"99999999999999999999999999", 1, INT_MAX},
        {"", -1, -1},            {"\t ", -1, -1},         {"abc", 0, -1},        {"--5", 0, -1},
        {"- 5", 0, -1},          {"+", 0, -1},
    };
    for (const Row& r : rows) {
        int v = -1;
        EXPECT_EQ(r.count, sscanf_s(r.input, "%d", &v)) << r.input;
        EXPECT_EQ(r.value, v) << r.input;
    }
}

TEST(SscanfTest, LiteralsInFormat)
{
    struct Row { const char* format; const char* input; int count; int a, b; };
    const Row rows[] = {
        {"x=%d", "x=5", 1, 5, 0},      {"x=%d", "y=5", 0, 0, 0},   {"x=%d", "", -1, 0, 0},
        {"%d,%d", "1,2", 2, 1, 2},     {"%d,%d", "1;2", 1, 1, 0},  {"%d,%d", "1", 1, 1, 0},
        {"%d%%%d", "3 % 4", 2, 3, 4},  {"%d %d", "7", 1, 7, 0},    {"%s", "abc", 0, 0, 0},
    };
    for (const Row& r : rows) {
        int a = 0, b = 0;
        EXPECT_EQ(r.count, sscanf_s(r.input, r.format, &a, &b)) << r.format << " / " << r.input;
        EXPECT_EQ(r.a, a) << r.format << " / " << r.input;
        EXPECT_EQ(r.b, b) << r.format << " / " << r.input;
    }
}

TEST(ScanDoubleTest, StopsAtEndAndReportsWhereTheNumberEnds)
{
    // `limit` bounds the input (-1: whole text); `used` -1 means no number.
    struct Row { const char* input; int limit; int used; double value; };
    const Row rows[] = {
        {"1234", 2, 2, 12},        {"1e5", 2, 1, 1},          {"1e999", 4, 4, 1e99},
        {"1e999", -1, 5, kInf},    {"0x1p99999", -1, 9, kInf}, {"-0x1p3", -1, 6, -8},
        {"0x1p3", 2, 1, 0},        {"0xinf", -1, 1, 0},       {"0x-1", -1, 1, 0},
        {"0x.8p1", -1, 6, 1},      {"0x.p1", -1, 1, 0},       {"0xg", -1, 1, 0},
        {"-nan(7)x", -1, 7, kNaN}, {"infinityx", -1, 8, kInf}, {"infinity", 5, 3, kInf},
        {" 1", -1, -1, 0},         {"", -1, -1, 0},           {"-", -1, -1, 0},
        {"-5", 1, -1, 0},
    };
    for (const Row& r : rows) {
        const std::size_t length = r.limit < 0 ? std::strlen(r.input) : static_cast<std::size_t>(r.limit);
        double v = kUntouched;
        const char* end = ScanDouble(r.input, r.input + length, v);
        if (r.used < 0) {
            EXPECT_EQ(nullptr, end) << r.input;
            EXPECT_EQ(kUntouched, v) << r.input;
        } else {
            ASSERT_NE(nullptr, end) << r.input;
            EXPECT_EQ(r.used, end - r.input) << r.input;
            ExpectSameDouble(r.value, v, r.input);
        }
    }
}

TEST(SscanfTest, IgnoresCommaDecimalLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const auto useCommaLocale = [] {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"})
            if (std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0)
                return true;
        return false;
    };
    bool commaLocale = useCommaLocale();
    const testutil::CTempDir privateLocales("velkor-locale");
    bool usePrivate = false;
    if (!commaLocale && !privateLocales.Path().empty()) {
        // None installed: compile one from the system's locale sources into a
        // private folder (the setup script installs them with "locales").
        const std::string& dir = privateLocales.Path();
        if (std::system(("localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 2>/dev/null").c_str()) == 0) {
            setenv("LOCPATH", dir.c_str(), 1);
            commaLocale = useCommaLocale();
            usePrivate = true;
        }
    }
    const auto restore = [&] {
        std::setlocale(LC_NUMERIC, saved.c_str());
        if (usePrivate)
            unsetenv("LOCPATH");
    };
    if (!commaLocale) {
        restore();
        GTEST_SKIP() << "no comma-decimal locale available";
    }

    struct Row { const char* input; double value; };
    const Row rows[] = {{"1.5", 1.5}, {"1,5", 1}, {"2.5e999", kInf}, {"0x1.8p1", 3}, {"-0.25e-2", -0.0025}};
    for (const Row& r : rows) {
        double v = kUntouched;
        EXPECT_EQ(1, sscanf_s(r.input, "%lf", &v)) << r.input;
        ExpectSameDouble(r.value, v, r.input);
    }
    restore();
}

}  // namespace
