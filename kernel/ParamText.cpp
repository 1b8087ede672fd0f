#include "kernel/ParamText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A piece of the user's text for a message: quoted, at most 24 characters,
// bytes that are not printable shown as \xNN so that the message stays one
// readable line whatever the text holds.
std::string QuoteText(std::string_view s)
{
    constexpr std::size_t kShown = 24;
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (s.size() > kShown)
        out += "...";
    out += '"';
    return out;
}

std::string Named(const char* key) { return std::string("Parameter \"") + key + "\""; }

std::string LookupText(CDK_ParamText::tagFind found, const char* key, int line)
{
    switch (found) {
    case CDK_ParamText::PT_ABSENT:
        return Named(key) + " is missing.\n";
    case CDK_ParamText::PT_DUPLICATE:
        return Named(key) + " is given more than once (again on line " + std::to_string(line) + ").\n";
    case CDK_ParamText::PT_MALFORMED:
        return Named(key) + ": line " + std::to_string(line) + " has no \"=\" after the name.\n";
    case CDK_ParamText::PT_FOUND:
        break;
    }
    return {};
}

enum class NumberRead { ok, not_a_number, not_finite, out_of_range };

// One number of an array, from `p`, as the writer writes them: decimal, with
// an optional sign. Sets `end` past the number.
NumberRead ReadNumber(const char* p, const char* last, double& value, const char*& end)
{
    // Fast path for whole numbers of up to 15 digits (times and positions
    // mostly are): they are exact as doubles. Anything else, or a number
    // that goes on with a point, an exponent or more digits, is left to
    // from_chars.
    const char* q = p;
    const bool negative = q < last && *q == '-';
    if (q < last && (*q == '-' || *q == '+'))
        ++q;
    const char* const digits = q;
    std::uint64_t whole = 0;
    while (q < last && q - digits < 16 && static_cast<unsigned char>(*q - '0') < 10)
        whole = whole * 10 + static_cast<unsigned>(*q++ - '0');
    if (q > digits && q - digits <= 15 &&
        (q == last || (*q != '.' && *q != 'e' && *q != 'E' && static_cast<unsigned char>(*q - '0') >= 10))) {
        const auto magnitude = static_cast<double>(whole);
        value = negative ? -magnitude : magnitude;
        end = q;
        return NumberRead::ok;
    }

    q = p;
    if (q < last && *q == '+')
        ++q;
    if (q < last && (*q == '+' || (*q == '-' && p != q)))
        return NumberRead::not_a_number;
    const auto r = std::from_chars(q, last, value, std::chars_format::general);
    end = r.ptr;
    if (r.ec == std::errc::result_out_of_range)
        return NumberRead::out_of_range;
    if (r.ec != std::errc())
        return NumberRead::not_a_number;
    return std::isfinite(value) ? NumberRead::ok : NumberRead::not_finite;
}

}  // namespace

CString CDK_ParamText::LookupMessage(tagFind found, const char* key, int line)
{
    return CString(LookupText(found, key, line));
}

CString CDK_ParamText::Quote(std::string_view text) { return CString(QuoteText(text)); }

CDK_ParamText::tagFind CDK_ParamText::Find(std::string_view text, std::string_view key, std::string_view& value,
                                           int& line)
{
    tagFind result = PT_ABSENT;
    if (key.empty())
        return result;
    // Editors on other systems may start a text with a UTF-8 byte-order
    // mark; it would otherwise hide the first key.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const char* const begin = text.data() + (text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
    const char* const end = text.data() + text.size();
    int number = 0;
    for (const char* p = begin; p < end;) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (!eol)
            eol = end;
        ++number;
        const char* q = p;
        p = eol == end ? end : eol + 1;  // never point beyond the text
        while (q < eol && IsBlank(*q))
            ++q;
        // Cheap rejection first: most lines are other keys.
        if (static_cast<std::size_t>(eol - q) < key.size() || std::memcmp(q, key.data(), key.size()) != 0)
            continue;
        const char* r = q + key.size();
        if (r < eol && !IsBlank(*r) && *r != '=' && *r != '\r')
            continue;  // a longer name that begins with the key
        while (r < eol && IsBlank(*r))
            ++r;
        // The first problem in the order of the text is the one reported.
        if (r == eol || *r != '=') {
            line = number;
            return PT_MALFORMED;
        }
        if (result == PT_FOUND) {
            line = number;
            return PT_DUPLICATE;
        }
        result = PT_FOUND;
        line = number;
        value = TrimBlanks(std::string_view(r + 1, static_cast<std::size_t>(eol - r - 1)));
    }
    return result;
}

bool CDK_ParamText::ParseInt(std::string_view text, int& value)
{
    const char* p = text.data();
    const char* const last = p + text.size();
    if (p < last && *p == '+')
        ++p;
    if (p == last || (*p == '-' && p != text.data()))
        return false;
    int v = 0;
    const auto r = std::from_chars(p, last, v);
    if (r.ec != std::errc() || r.ptr != last)
        return false;
    value = v;
    return true;
}

bool CDK_ParamText::ParseDouble(std::string_view text, double& value)
{
    double v = 0;
    const char* end = nullptr;
    if (text.empty() || ReadNumber(text.data(), text.data() + text.size(), v, end) != NumberRead::ok ||
        end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

CString CDK_ParamText::ReadInt(const CString& text, const char* key, int& value, int low, int high)
{
    std::string_view found;
    int line = 0;
    const tagFind result = Find(text.View(), key, found, line);
    if (result != PT_FOUND)
        return LookupMessage(result, key, line);
    int v = 0;
    if (!ParseInt(found, v)) {
        // A whole number too long for 32 bits is out of range, not malformed.
        std::string_view digits = found;
        if (!digits.empty() && (digits.front() == '+' || digits.front() == '-'))
            digits.remove_prefix(1);
        const bool whole = !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
        if (whole)
            return CString(Named(key) + " must be between " + std::to_string(low) + " and " + std::to_string(high) +
                           ", not " + QuoteText(found) + ".\n");
        return CString(Named(key) + " must be a whole number, not " + QuoteText(found) + ".\n");
    }
    if (v < low || v > high)
        return CString(Named(key) + " must be between " + std::to_string(low) + " and " + std::to_string(high) +
                       ", not " + std::to_string(v) + ".\n");
    value = v;
    return CString();
}

bool CDK_ParamText::ReadOptionalInt(const CString& text, const char* key, int& value, int low, int high)
{
    std::string_view found;
    int line = 0;
    int v = 0;
    if (Find(text.View(), key, found, line) != PT_FOUND || !ParseInt(found, v) || v < low || v > high)
        return false;
    value = v;
    return true;
}

CString CDK_ParamText::ReadDoubles(const CString& text, const char* key, std::vector<double>& values)
{
    values.clear();
    std::string_view found;
    int line = 0;
    const tagFind result = Find(text.View(), key, found, line);
    if (result != PT_FOUND)
        return LookupMessage(result, key, line);
    if (found.empty())
        return CString();  // an array without values

    // Values are separated by commas: at least one value per two bytes.
    values.reserve(found.size() / 2 + 1);
    const char* p = found.data();
    const char* const last = p + found.size();
    std::string first_error;
    std::size_t bad = 0;
    for (std::size_t index = 1;; ++index) {
        while (p < last && IsBlank(*p))
            ++p;
        const char* token = p;
        double v = 0;
        const char* end = p;
        NumberRead outcome = ReadNumber(p, last, v, end);
        if (outcome == NumberRead::ok) {
            while (end < last && IsBlank(*end))
                ++end;
            if (end != last && *end != ',')
                outcome = NumberRead::not_a_number;  // junk after the number
        }
        // The value's text ends at the next comma (only searched for when
        // the number did not end there).
        const char* comma = nullptr;
        if (outcome == NumberRead::ok)
            comma = end == last ? nullptr : end;
        else
            comma = static_cast<const char*>(std::memchr(token, ',', static_cast<std::size_t>(last - token)));
        const char* stop = comma ? comma : last;
        if (outcome == NumberRead::ok) {
            values.push_back(v);
        } else if (bad++ == 0) {
            const std::string_view shown = TrimBlanks(std::string_view(token, static_cast<std::size_t>(stop - token)));
            const std::string where = Named(key) + ": value " + std::to_string(index);
            if (shown.empty())
                first_error = where + " is empty";
            else if (outcome == NumberRead::not_finite)
                first_error = where + " (" + QuoteText(shown) + ") is not a finite number";
            else if (outcome == NumberRead::out_of_range)
                first_error = where + " (" + QuoteText(shown) + ") is out of range";
            else
                first_error = where + " (" + QuoteText(shown) + ") is not a number";
        }
        if (!comma)
            break;
        p = comma + 1;
    }
    if (bad == 0)
        return CString();
    values.clear();
    if (bad > 1)
        first_error += " (and " + std::to_string(bad - 1) + " more bad value" + (bad > 2 ? "s" : "") + ")";
    return CString(first_error + ".\n");
}

bool CDK_ParamText::ReadOptionalText(const CString& text, const char* key, CString& value)
{
    std::string_view found;
    int line = 0;
    if (Find(text.View(), key, found, line) != PT_FOUND)
        return false;
    value = CString(found);
    return true;
}

void CDK_ParamText::AppendText(CString& text, const char* key, std::string_view value)
{
    text += key;
    text += " = ";
    text += value;
    text += '\n';
}

void CDK_ParamText::AppendInt(CString& text, const char* key, int value)
{
    AppendText(text, key, std::to_string(value));
}

void CDK_ParamText::AppendDoubles(CString& text, const char* key, const double* values, std::size_t count)
{
    // Room for the longest values up front: the text then grows once, and
    // pages that the values do not fill are never touched.
    const std::size_t room = static_cast<std::size_t>(text.GetLength()) + std::strlen(key) + 4 +
                             count * static_cast<std::size_t>(kMaxDoubleLength + 2);
    if (room < static_cast<std::size_t>(std::numeric_limits<int>::max()))
        text.Preallocate(static_cast<int>(room));
    text += key;
    text += " =";
    // Write through a local buffer in large pieces: one append per 8 KiB.
    char buffer[8192];
    char* p = buffer;
    for (std::size_t i = 0; i < count; ++i) {
        if (p > buffer + sizeof buffer - kMaxDoubleLength - 2) {
            text.Append(buffer, static_cast<int>(p - buffer));
            p = buffer;
        }
        *p++ = i == 0 ? ' ' : ',';
        if (i != 0)
            *p++ = ' ';
        p = FormatDouble(p, values[i]);
    }
    *p++ = '\n';
    text.Append(buffer, static_cast<int>(p - buffer));
}

char* CDK_ParamText::FormatDouble(char* first, double value)
{
    char* const last = first + kMaxDoubleLength;
    // Whole numbers below 2^53 are written as integers ("100000", not the
    // shorter "1e+05"), which reads better and reads back exactly; -0 keeps
    // its sign.
    constexpr double kExactIntegers = 9007199254740992.0;  // 2^53
    if (value == 0.0 && std::signbit(value)) {
        std::memcpy(first, "-0", 2);
        return first + 2;
    }
    if (std::fabs(value) < kExactIntegers && value == std::trunc(value))
        return std::to_chars(first, last, static_cast<std::int64_t>(value)).ptr;
    return std::to_chars(first, last, value).ptr;
}

CString CDK_ParamText::FormatDouble(double value)
{
    char buffer[kMaxDoubleLength];
    return CString(buffer, static_cast<int>(FormatDouble(buffer, value) - buffer));
}
