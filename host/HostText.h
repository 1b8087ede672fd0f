// CHostText: how motionhost writes the names and values of a user's command
// line into its one-line messages.
#pragma once

#include <string>
#include <string_view>

class CHostText {
public:
    // A file name as a message shows it: in double quotes, with a quote, a
    // backslash and every byte that would break the line or the terminal
    // escaped ("no\nfile", "\x1b"): a message is always one line.
    static std::string Name(std::string_view path);
    // A file name at the start of a "FILE:LINE: ..." location, as compilers
    // and grep write it: as it is, quoted as Name only when it holds such a
    // byte.
    static std::string Location(std::string_view path);
    // The system's reason for an error number, as the rest of a sentence:
    // "no such file or directory".
    static std::string Reason(int error);
    // "1 point", "2 points".
    static std::string Plural(long long count, const char* one, const char* many);
};
