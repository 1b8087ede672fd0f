#include "kernel/ArrayParameter.h"

#include "kernel/Setup.h"
#include "kernel/Value.h"
#include "platform/ArrayOps.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// Whole numbers below this are printed as integers, which is what twelve
// significant digits give for them.
constexpr double kPrintedIntegers = 1e12;

char* PrintInteger(char* first, double value)
{
    return std::to_chars(first, first + CDK_ArrayParameter::kMaxPrintLength, static_cast<std::int64_t>(value)).ptr;
}

bool IsPrintedAsInteger(double value) { return std::fabs(value) < kPrintedIntegers && value == std::trunc(value); }

// Writes the `count` lowest decimal digits of `digits`, leading zeros
// included, two digits at a time.
char* PrintDigits(char* p, std::uint64_t digits, int count)
{
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    int i = count;
    for (; i >= 2; i -= 2, digits /= 100) {
        const auto pair = static_cast<std::size_t>(digits % 100) * 2;
        p[i - 1] = kPairs[pair + 1];
        p[i - 2] = kPairs[pair];
    }
    if (i == 1)
        p[0] = static_cast<char>('0' + digits % 10);
    return p + count;
}

// Drops the trailing zero digits of `digits` (`count` digits, not 0), as
// %g does: 8, 4, 2 and 1 at a time cover up to 15 of them.
void DropTrailingZeros(std::uint64_t& digits, int& count)
{
    for (const auto& [power, zeros] : {std::pair<std::uint64_t, int>{100000000, 8}, {10000, 4}, {100, 2}, {10, 1}})
        if (count > zeros && digits % power == 0) {
            digits /= power;
            count -= zeros;
        }
}

// The value with twelve significant digits, exactly as printf's "%.12g"
// writes it in the C locale. Display values are printed for every point of
// big tables, so the common magnitudes take a fast path: the twelve digits
// come from one scaling by a power of ten (exact for these powers) and a
// rounding; when the scaled value lies so close to a rounding boundary that
// the scaling's own rounding could tip it, the library's exact conversion
// decides instead.
char* PrintSignificant12(char* first, double value)
{
    // Powers of ten up to 10^22 are exact doubles.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kLastPower = 22;
    const double a = std::fabs(value);
    const auto exact = [&] {
        return std::to_chars(first, first + CDK_ArrayParameter::kMaxPrintLength, value, std::chars_format::general, 12).ptr;
    };
    if (!(a >= 1e-5 && a < 1e15))
        return exact();
    // Decimal exponent e with 10^e <= a < 10^(e+1), then the twelve digits
    // m = a * 10^(11 - e), which lie in [10^11, 10^12).
    // The binary exponent gives e up to one; the scaling below corrects it.
    const int binary = static_cast<int>((std::bit_cast<std::uint64_t>(a) >> 52) & 0x7ff) - 1023;
    int e = binary >= 0 ? (binary * 1233) >> 12 : -((-binary * 1233) >> 12) - 1;
    double m = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int k = 11 - e;  // -4 ... 17: e is within one of -5 ... 14
        if (k > kLastPower || k < -kLastPower)
            return exact();
        m = k >= 0 ? a * kPowers[k] : a / kPowers[-k];
        if (m >= 1e12)
            ++e;
        else if (m < 1e11)
            --e;
        else
            break;
    }
    if (!(m >= 1e11 && m < 1e12))
        return exact();
    const double whole = std::floor(m);
    const double fraction = m - whole;  // exact: m < 2^53
    if (std::fabs(fraction - 0.5) < 1e-3)
        return exact();
    auto digits = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    if (digits == 1000000000000ULL) {
        digits = 100000000000ULL;
        ++e;
    }
    int count = 12;
    DropTrailingZeros(digits, count);
    char* p = first;
    if (value < 0)
        *p++ = '-';
    char buffer[12] = {};
    PrintDigits(buffer, digits, count);
    if (e < -4 || e >= 12) {
        *p++ = buffer[0];
        if (count > 1) {
            *p++ = '.';
            p = std::copy(buffer + 1, buffer + count, p);
        }
        *p++ = 'e';
        *p++ = e < 0 ? '-' : '+';
        return PrintDigits(p, static_cast<std::uint64_t>(std::abs(e)), 2);  // e is -5 or 12 ... 14 here
    }
    if (e >= 0) {
        const int whole_digits = e + 1;
        for (int i = 0; i < whole_digits; ++i)
            *p++ = i < count ? buffer[i] : '0';
        if (count > whole_digits) {
            *p++ = '.';
            p = std::copy(buffer + whole_digits, buffer + count, p);
        }
        return p;
    }
    *p++ = '0';
    *p++ = '.';
    for (int i = -1; i > e; --i)
        *p++ = '0';
    return std::copy(buffer, buffer + count, p);
}

// A multiple of 1/65536 written out exactly: the whole part, then up to
// sixteen decimals (1/65536 = 0.0000152587890625), in plain notation.
char* PrintExactSixteenths(char* first, double value)
{
    const double scaled = std::fabs(value) * 65536.0;  // a whole number below 2^32
    const auto raw = static_cast<std::uint64_t>(scaled);
    char* p = first;
    if (value < 0)
        *p++ = '-';
    p = std::to_chars(p, p + 12, raw >> 16).ptr;
    std::uint64_t decimals = (raw & 0xffff) * 152587890625ULL;  // the fraction times 10^16
    if (decimals != 0) {
        int count = 16;
        DropTrailingZeros(decimals, count);
        *p++ = '.';
        p = PrintDigits(p, decimals, count);
    }
    return p;
}

}  // namespace

CDK_ArrayParameter::CDK_ArrayParameter(CDK_Setup& setup)
    : m_pSetup(&setup), m_dMin(CDK_Value::GetTypeMin(DK_INT32)), m_dMax(CDK_Value::GetTypeMax(DK_INT32))
{
}

void CDK_ArrayParameter::Bind(const char* name, const char* key)
{
    m_strName = name;
    m_strKey = key;
    const CDK_Variable* variable = m_pSetup->FindVariable(key, 1);
    m_Type = variable ? variable->m_Type : DK_INT32;
    m_Quantity = variable ? variable->m_Quantity : DK_QTY_NONE;
    m_dMin = CDK_Value::GetTypeMin(m_Type);
    m_dMax = CDK_Value::GetTypeMax(m_Type);
    const int unit = variable ? m_pSetup->GetUnits().Find(m_Quantity, variable->m_strDefaultUnit) : 0;
    SelectUnit(unit < 0 ? 0 : unit);
}

void CDK_ArrayParameter::UnitToIU(double& value) const
{
    if (m_dFactor == 1.0)
        return;
    const double iu = value / m_dFactor;
    // A display value q * f comes back as q within about two ulps (one
    // rounding in each direction, the factor's own rounding cancels); a
    // decimal typed as shown adds one more. Four ulps, relative, are far
    // below any step a drive type has for values up to 2^52 steps.
    constexpr double kTolerance = 4.0 * std::numeric_limits<double>::epsilon();
    constexpr double kExactSteps = 4503599627370496.0;  // 2^52: every double beyond is a whole number
    const double steps = 1.0 / CDK_Value::GetTypeResolution(m_Type);  // a power of two: exact scaling
    const double scaled = iu * steps;
    if (!(std::fabs(scaled) < kExactSteps)) {  // also NaN and infinities
        value = iu;
        return;
    }
    const double snapped = std::round(scaled) / steps;
    value = snapped != 0.0 && std::fabs(iu - snapped) <= kTolerance * std::fabs(snapped) ? snapped : iu;
}

void CDK_ArrayParameter::ThrowBadIndex() { throw new CInvalidArgException(); }

void CDK_ArrayParameter::SetValuesCount(int count) { array_ops::Resize(m_Values, count); }

double CDK_ArrayParameter::GetValue(int index) const
{
    double value = GetValueInInternalUnit(index);
    IUToUnit(value);
    return value;
}

void CDK_ArrayParameter::SetValue(int index, double value)
{
    UnitToIU(value);
    SetValueInInternalUnit(index, value);
}

void CDK_ArrayParameter::SetValueInInternalUnit(int index, double value)
{
    CheckIndex(index);
    m_Values[static_cast<std::size_t>(index)] = value;
}

void CDK_ArrayParameter::InsertValueAt(int index, double value)
{
    UnitToIU(value);
    array_ops::Insert(m_Values, index, value, 1);
}

void CDK_ArrayParameter::RemoveValueAt(int index, int count) { array_ops::Remove(m_Values, index, count); }

double CDK_ArrayParameter::GetMin() const
{
    double value = m_dMin;
    IUToUnit(value);
    return value;
}

double CDK_ArrayParameter::GetMax() const
{
    double value = m_dMax;
    IUToUnit(value);
    return value;
}

CString CDK_ArrayParameter::GetSelectedUnit() const { return GetUnitName(m_nUnit); }

BOOL CDK_ArrayParameter::SelectUnit(const char* name)
{
    return SelectUnit(m_pSetup->GetUnits().Find(m_Quantity, name));
}

BOOL CDK_ArrayParameter::SelectUnit(int index)
{
    if (index < 0 || index >= GetUnitsCount())
        return FALSE;
    m_nUnit = index;
    m_dFactor = m_pSetup->GetUnits().GetFactor(m_Quantity, index);
    return TRUE;
}

int CDK_ArrayParameter::GetUnitsCount() const { return m_pSetup->GetUnits().GetCount(m_Quantity); }

CString CDK_ArrayParameter::GetUnitName(int index) const
{
    const char* name = m_pSetup->GetUnits().GetName(m_Quantity, index);
    return CString(name ? name : "");
}

char* CDK_ArrayParameter::PrintValue(int index, char* first) const
{
    const double value = GetValue(index);
    if (value == 0.0) {  // never "-0" for people
        *first = '0';
        return first + 1;
    }
    if (IsPrintedAsInteger(value))
        return PrintInteger(first, value);
    return PrintSignificant12(first, value);
}

char* CDK_ArrayParameter::PrintValueForDRL(int index, char* first) const
{
    const double value = CDK_Value::Quantize(m_Type, GetValueInInternalUnit(index));
    if (value == 0.0) {
        *first = '0';
        return first + 1;
    }
    // Every type's values are whole numbers but for the fixed-point type,
    // whose values are multiples of 1/65536: those are written exactly, in
    // plain notation, as the motion language reads them.
    if (value == std::trunc(value))
        return PrintInteger(first, value);
    return PrintExactSixteenths(first, value);
}

CString CDK_ArrayParameter::PrintValue(int index) const
{
    char buffer[kMaxPrintLength];
    return CString(buffer, static_cast<int>(PrintValue(index, buffer) - buffer));
}

CString CDK_ArrayParameter::PrintValueForDRL(int index) const
{
    char buffer[kMaxPrintLength];
    return CString(buffer, static_cast<int>(PrintValueForDRL(index, buffer) - buffer));
}
