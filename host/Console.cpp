#include "host/Console.h"

#include "host/HostError.h"
#include "host/HostText.h"
#include "host/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Straight to the descriptor, looping over short writes: a CSV of a gigabyte
// is written to standard output in large pieces without stdio's copies.
void WriteAll(int fd, const char* p, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, p, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw SHostError{std::string("cannot write ") + (fd == STDOUT_FILENO ? "standard output" : "standard error") +
                             ": " + CHostText::Reason(errno)};
        }
        p += written;
        size -= static_cast<std::size_t>(written);
    }
}

}  // namespace

void CConsole::Out(std::string_view bytes) { Out(bytes.data(), bytes.size()); }

void CConsole::Out(const void* data, std::size_t size)
{
    // Standard output was closed when the program started: what the
    // command would print is lost, which is an error, not silence.
    if (CStandardStreams::WasClosed(STDOUT_FILENO))
        throw SHostError{"cannot write standard output: it is closed"};
    std::fflush(stdout);
    WriteAll(STDOUT_FILENO, static_cast<const char*>(data), size);
}

void CConsole::Err(std::string_view bytes)
{
    std::fflush(stderr);
    WriteAll(STDERR_FILENO, bytes.data(), bytes.size());
}

void CConsole::Say(std::string_view line)
{
    std::string text(kPrefix);
    text += line;
    text += '\n';
    Err(text);
}

void CConsole::Warn(std::string_view text, std::string_view context)
{
    std::string lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty()) {
            lines += kWarningPrefix;
            if (!context.empty())
                (lines += context) += ": ";
            (lines += line) += '\n';
        }
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    if (!lines.empty())
        Err(lines);
}
