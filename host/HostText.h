// CHostText: how motionhost writes the names and values of a user's command
// line into its one-line messages.
#pragma once

#include <string>
#include <string_view>

class CHostText {
public:
    // A file name as a message shows it: as it is, unless it holds a byte
    // that would break the line or the terminal (a line feed, a control
    // byte); then in double quotes with such bytes escaped ("no\nfile",
    // "\x1b"), and a quote or backslash escaped too. A message is always one
    // line.
    static std::string Name(std::string_view path);
    // "1 point", "2 points".
    static std::string Plural(long long count, const char* one, const char* many);
};
