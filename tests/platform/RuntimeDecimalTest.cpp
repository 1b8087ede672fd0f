// Decimal numbers as "%lf" reads them: the value and the end of the number
// are exactly strtod's (in the C locale), for the common short numbers that
// take the quick path and for the long, tiny or huge ones beside them.
#include "platform/Runtime.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <random>
#include <string>

namespace {

void ExpectAsStrtod(const std::string& text)
{
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* strtodEnd = nullptr;
    const double expected = strtod_l(text.c_str(), &strtodEnd, c_locale);
    double value = -777;
    const char* end = ScanDouble(text.data(), text.data() + text.size(), value);
    if (strtodEnd == text.c_str()) {
        EXPECT_EQ(nullptr, end) << text;
        return;
    }
    ASSERT_NE(nullptr, end) << text;
    EXPECT_EQ(strtodEnd - text.c_str(), end - text.data()) << text;
    // Bit for bit: the sign of zero included.
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected), std::bit_cast<std::uint64_t>(value)) << text;
}

TEST(ScanDoubleTest, BoundariesOfTheQuickPath)
{
    const char* const texts[] = {
        "9007199254740992",   "9007199254740993",   "9007199254740991.5", "90071992547409921", "1e22", "1e23",
        "1e-22",              "1e-23",              "123.456e-20",        "0.1",               "0.3", "2.675",
        "1.7976931348623157e308", "4.9e-324", "1e-400", "1e400", "-0", "-0.0e5", "0e999999999999", "1e+",
        "1e-", "1.e5", ".5e1", "5.", ".", "e5", "00000000000000000000000000000000000001", "1.5.3", "1ee5",
        "12345678901234567890", "0.000000000000000000000000000001", "3.14159265358979323846264338327950288",
        "-12.5E+3x", "+7", "1e0000000000000000000000000003", "1e99999999999999999999",
    };
    for (const char* text : texts)
        ExpectAsStrtod(text);
}

TEST(ScanDoubleTest, RandomDecimalsReadAsStrtodReadsThem)
{
    std::mt19937_64 rng(2024);
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); };
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (pick(4) == 0)
            text += '-';
        const int whole = pick(20);
        for (int d = 0; d < whole; ++d)
            text += static_cast<char>('0' + pick(10));
        if (pick(3) != 0) {
            text += '.';
            const int fraction = pick(20);
            for (int d = 0; d < fraction; ++d)
                text += static_cast<char>('0' + pick(10));
        }
        if (pick(3) == 0) {
            text += pick(2) ? 'e' : 'E';
            const int sign = pick(3);
            if (sign)
                text += sign == 1 ? '+' : '-';
            const int digits = pick(4);  // 0: an "e" that ends the number before it
            for (int d = 0; d < digits; ++d)
                text += static_cast<char>('0' + pick(10));
        }
        if (text.empty())
            continue;  // strtod would skip the blank before a following number; ScanDouble does not
        if (pick(2))
            text += " 7";
        ExpectAsStrtod(text);
        if (HasFailure())
            break;
    }
}

}  // namespace
