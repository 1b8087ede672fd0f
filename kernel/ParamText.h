// CDK_ParamText: the syntax of parameter texts (docs/parameter-text.md).
//
// A parameter text is 8-bit and line-oriented; lines end with "\n" or
// "\r\n"; a UTF-8 byte-order mark at the start is skipped. Each line is
// blank, a comment starting with "#", or an entry
//     KEY = VALUE
// with blank space allowed around the key, the "=" and the value. A key is a
// run of characters other than blank space and "=". Array values are
// separated by commas; numbers are written in the C locale (a full stop
// is the decimal separator) and read back bit for bit.
//
// Readers never stop early and never throw: each problem becomes one message
// line (ending with "\n") that names the key.
#pragma once

#include "platform/String.h"

#include <cstddef>
#include <string_view>
#include <vector>

class CDK_ParamText {
public:
    enum tagFind {
        PT_ABSENT,     // no line has the key
        PT_FOUND,      // exactly one entry: `value` is its value text, trimmed
        PT_DUPLICATE,  // more than one entry has the key
        PT_MALFORMED,  // a line starts with the key but has no "=" after it
    };
    // Looks up `key`. `line` receives the 1-based number of the entry's
    // line (the second entry for PT_DUPLICATE, the bad line for PT_MALFORMED).
    static tagFind Find(std::string_view text, std::string_view key, std::string_view& value, int& line);

    // The message for a lookup that did not give PT_FOUND (empty for PT_FOUND).
    static CString LookupMessage(tagFind found, const char* key, int line);
    // A piece of the user's text for a message: quoted, shortened, with bytes
    // that are not printable shown as \xNN.
    static CString Quote(std::string_view text);

    // A whole value text as a decimal 32-bit integer (optional sign).
    static bool ParseInt(std::string_view text, int& value);
    // A whole value text as a finite number.
    static bool ParseDouble(std::string_view text, double& value);

    // Mandatory integer in [low, high]. Returns the empty text, or a message.
    // On a message `value` is unchanged.
    static CString ReadInt(const CString& text, const char* key, int& value, int low, int high);
    // Optional integer: returns true and sets `value` when the key is present
    // once with an integer in [low, high]; otherwise false, value unchanged.
    static bool ReadOptionalInt(const CString& text, const char* key, int& value, int low, int high);
    // Comma-separated finite numbers. On success `values` holds them all;
    // on a message it is empty. An absent key is a message.
    static CString ReadDoubles(const CString& text, const char* key, std::vector<double>& values);
    // Optional plain value (no message): true and `value` set when present once.
    static bool ReadOptionalText(const CString& text, const char* key, CString& value);

    static void AppendInt(CString& text, const char* key, int value);
    static void AppendText(CString& text, const char* key, std::string_view value);
    static void AppendDoubles(CString& text, const char* key, const double* values, std::size_t count);

    // The shortest text that reads back as exactly `value` (C locale).
    // `first` must have room for kMaxDoubleLength characters; returns the end.
    static constexpr int kMaxDoubleLength = 32;
    static char* FormatDouble(char* first, double value);
    static CString FormatDouble(double value);
};
