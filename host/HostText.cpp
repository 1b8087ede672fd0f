#include "host/HostText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

}  // namespace

std::string CHostText::Location(std::string_view path)
{
    if (std::none_of(path.begin(), path.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
        return std::string(path);
    return Name(path);
}

std::string CHostText::Reason(int error)
{
    std::string reason = std::strerror(error);
    // "No such file or directory": a sentence's start, not a continuation;
    // an acronym ("I/O error") is left as it is.
    if (reason.size() > 1 && reason[0] >= 'A' && reason[0] <= 'Z' && !(reason[1] >= 'A' && reason[1] <= 'Z') &&
        reason[1] != '/')
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

std::string CHostText::Name(std::string_view path)
{
    std::string out = "\"";
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        default:
            if (IsControl(c)) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                out += hex;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string CHostText::Plural(long long count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
