#include "host/HostText.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

}  // namespace

std::string CHostText::Name(std::string_view path)
{
    if (std::none_of(path.begin(), path.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
        return std::string(path);
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
