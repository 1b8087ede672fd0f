#include "platform/Runtime.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// strtod in the "C" locale, for the rare numbers outside the double range
// that from_chars declines to round.
double StrtodC(const char* first, const char* last)
{
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string copy(first, last);
    return strtod_l(copy.c_str(), nullptr, c_locale);
}

// from_chars from `first`; a number beyond the double range goes to strtod
// (from `start`, which includes a "0x" prefix) for its infinity or zero.
// Returns the end of the number, or nullptr when there is none.
const char* FromChars(const char* first, const char* start, const char* last, std::chars_format format, double& value)
{
    double v = 0;
    const auto r = std::from_chars(first, last, v, format);
    if (r.ec == std::errc()) {
        value = v;
        return r.ptr;
    }
    if (r.ec == std::errc::result_out_of_range) {
        value = StrtodC(start, r.ptr);
        return r.ptr;
    }
    return nullptr;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The common decimal numbers, read exactly as strtod reads them but without
// its general machinery: digits with an optional point and exponent whose
// digits, taken as a whole number m, stay within 2^53, and whose power of
// ten 10^k lies within 10^-22 ... 10^22. Both m and 10^k are then exact
// doubles, so the one multiplication or division m * 10^k is the correctly
// rounded value of the decimal text, as strtod gives it. Returns the end of
// the number, or nullptr when it is not of that kind (the general path then
// reads it; it also decides what is no number at all).
const char* ScanSimpleDecimal(const char* p, const char* last, double& value)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kLastPower = 22;
    constexpr std::uint64_t kMaxMantissa = std::uint64_t{1} << 53;
    constexpr int kMaxExponent = 100000;  // far beyond any power read here; keeps the sum below from overflowing
    std::uint64_t mantissa = 0;
    int scale = 0;
    bool digits = false;
    for (; p < last && IsDigit(*p); ++p, digits = true) {
        if (mantissa > kMaxMantissa)
            return nullptr;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    if (p < last && *p == '.') {
        for (++p; p < last && IsDigit(*p); ++p, digits = true, --scale) {
            if (mantissa > kMaxMantissa || scale < -kMaxExponent)
                return nullptr;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    if (!digits)
        return nullptr;
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* e = p + 1;
        const bool negative = e < last && *e == '-';
        if (e < last && (*e == '+' || *e == '-'))
            ++e;
        // An "e" without exponent digits ends the number before the "e".
        if (e < last && IsDigit(*e)) {
            int exponent = 0;
            for (; e < last && IsDigit(*e); ++e) {
                if (exponent > kMaxExponent)
                    return nullptr;
                exponent = exponent * 10 + (*e - '0');
            }
            scale += negative ? -exponent : exponent;
            p = e;
        }
    }
    if (mantissa > kMaxMantissa || scale < -kLastPower || scale > kLastPower)
        return nullptr;
    const double m = static_cast<double>(mantissa);
    value = scale >= 0 ? m * kPowers[scale] : m / kPowers[-scale];
    return p;
}

const char* ScanUnsignedDouble(const char* p, const char* last, double& value)
{
    if (last - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        // A hexadecimal number needs a digit after "0x" (or after "0x."):
        // from_chars would also take a sign, "inf" or "nan" there, which
        // strtod reads as the number "0" followed by an "x".
        const bool digit = last - p >= 3 &&
                           (IsHexDigit(p[2]) || (p[2] == '.' && last - p >= 4 && IsHexDigit(p[3])));
        if (!digit) {
            value = 0;
            return p + 1;
        }
        const char* end = FromChars(p + 2, p, last, std::chars_format::hex, value);
        if (end)
            return end;
        value = 0;  // cannot happen after a digit; read the "0" as strtod would
        return p + 1;
    }
    if (const char* end = ScanSimpleDecimal(p, last, value))
        return end;
    return FromChars(p, p, last, std::chars_format::general, value);
}

}  // namespace

const char* ScanDouble(const char* first, const char* last, double& value)
{
    if (!first || first >= last)
        return nullptr;
    const char* p = first;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    // from_chars takes a sign of its own; a second sign is not a number.
    if (p == last || *p == '+' || *p == '-')
        return nullptr;
    double v = 0;
    const char* end = ScanUnsignedDouble(p, last, v);
    if (!end)
        return nullptr;
    value = negative ? -v : v;
    return end;
}

namespace {

const char* ScanInt(const char* p, const char* last, int& value)
{
    bool negative = false;
    if (p < last && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == last || *p < '0' || *p > '9')
        return nullptr;
    // Accumulate the magnitude, saturating one past INT_MAX so that INT_MIN
    // is reachable; no signed overflow can occur.
    constexpr long long limit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; p < last && *p >= '0' && *p <= '9'; ++p)
        if (magnitude < limit)
            magnitude = std::min(limit, magnitude * 10 + (*p - '0'));
    if (negative)
        value = static_cast<int>(-magnitude);
    else
        value = static_cast<int>(std::min<long long>(magnitude, INT_MAX));
    return p;
}

}  // namespace

int sscanf_s(const char* buffer, const char* format, ...)
{
    if (!buffer || !format)
        return -1;
    const char* in = buffer;
    const char* const last = buffer + std::strlen(buffer);
    int stored = 0;
    bool converted_any = false;

    va_list args;
    va_start(args, format);
    for (const char* f = format; *f;) {
        if (IsBlank(*f)) {
            while (IsBlank(*f))
                ++f;
            while (in < last && IsBlank(*in))
                ++in;
            continue;
        }
        if (*f != '%' || f[1] == '%') {
            const char expected = *f == '%' ? '%' : *f;
            if (*f == '%') {
                while (in < last && IsBlank(*in))
                    ++in;
            }
            if (in == last) {
                va_end(args);
                return converted_any ? stored : -1;
            }
            if (*in != expected)
                break;
            ++in;
            f += *f == '%' ? 2 : 1;
            continue;
        }
        // A conversion: skip blank space in the input first.
        while (in < last && IsBlank(*in))
            ++in;
        if (in == last) {
            va_end(args);
            return converted_any ? stored : -1;
        }
        if (f[1] == 'l' && f[2] == 'f') {
            double v = 0;
            const char* end = ScanDouble(in, last, v);
            if (!end)
                break;
            *va_arg(args, double*) = v;
            in = end;
            f += 3;
        } else if (f[1] == 'd') {
            int v = 0;
            const char* end = ScanInt(in, last, v);
            if (!end)
                break;
            *va_arg(args, int*) = v;
            in = end;
            f += 2;
        } else {
            break;  // a conversion this runtime does not offer
        }
        ++stored;
        converted_any = true;
    }
    va_end(args);
    return stored;
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;  // |product| < 2^62
    const long long d = denominator;
    const bool negative = (product < 0) != (d < 0);
    const unsigned long long magnitude = product < 0 ? 0ULL - static_cast<unsigned long long>(product)
                                                     : static_cast<unsigned long long>(product);
    const unsigned long long divisor = d < 0 ? 0ULL - static_cast<unsigned long long>(d)
                                             : static_cast<unsigned long long>(d);
    const unsigned long long quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > static_cast<unsigned long long>(INT_MAX) + (negative ? 1 : 0))
        return -1;
    return negative ? static_cast<int>(0LL - static_cast<long long>(quotient)) : static_cast<int>(quotient);
}
