// CConsole: what the host says on its two outputs. Everything it prints
// goes through here, so that the order of the texts on a terminal is the
// order they were written in, and a failed write is an error, not silence.
#pragma once

#include "platform/String.h"

#include <cstddef>
#include <string_view>

class CConsole {
public:
    // The prefix of every line the host itself says on standard error.
    static constexpr const char* kPrefix = "motionhost: ";
    static constexpr const char* kWarningPrefix = "motionhost: warning: ";

    // Writes the bytes as they are to standard output, or to standard
    // error; throws SHostError when they cannot be written.
    static void Out(std::string_view bytes);
    static void Out(const CString& text) { Out(text.View()); }
    static void Out(const void* data, std::size_t size);
    static void Err(std::string_view bytes);

    // One line of the host's own on standard error: the prefix, the text,
    // a line feed.
    static void Say(std::string_view line);
    // Each line of `text` (a message may hold several) as a warning: the
    // warning prefix, `context` and ": " when given, the line, a line feed.
    // Empty lines are left out.
    static void Warn(std::string_view text, std::string_view context = {});
};
