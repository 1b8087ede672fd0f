// CInputFile: the whole of an input text for a host command, read from a
// file or, for "-", from standard input, with a one-line message for every
// input that is not a readable text:
//   - a file that cannot be opened, and a directory (given as FILE or as
//     standard input);
//   - a named input that is not a regular file: a named pipe (which may
//     never be written to: the open does not wait for a writer), a device
//     (/dev/zero would never end), a socket. Standard input may also be a
//     pipe, a socket, a terminal or /dev/null (an empty text), as a shell
//     gives it;
//   - a closed standard input (not an empty text);
//   - a text larger than the limit, kMaxSize (1 GiB) unless told otherwise:
//     far above any real table (a million points is about 30 MB), and the
//     end of endless sources such as /dev/zero. A regular file's size is
//     checked before it is read; anything else is refused as soon as more
//     than the limit has arrived.
//
// Open() is best called first thing: when standard input is closed, the
// next file the program opens would take its place.
#pragma once

#include "platform/String.h"

#include <cstdint>
#include <string>

class CInputFile {
public:
    static constexpr std::int64_t kMaxSize = std::int64_t{1} << 30;
    static constexpr const char* kStandardInput = "-";

    explicit CInputFile(std::string path, std::int64_t maxSize = kMaxSize);
    CInputFile(const CInputFile&) = delete;
    CInputFile& operator=(const CInputFile&) = delete;
    ~CInputFile();

    // Checks that the input can be read. The empty text, or one line
    // ("cannot read PATH: ..."); calling it again gives the same answer.
    [[nodiscard]] CString Open();
    // Reads the whole input into `text` (opening it first when needed). The
    // empty text, or one line; `text` is then empty.
    [[nodiscard]] CString Read(CString& text);

    // "standard input", or the path as given.
    std::string GetName() const;
    // The help text of a command's input argument.
    static std::string Help();
    // "1 GiB" and the like, for messages and help texts.
    static std::string DescribeSize(std::int64_t bytes);

private:
    CString Fail(const std::string& reason) const;

    std::string m_strPath;
    std::int64_t m_nMaxSize;
    int m_nFd = -1;
    bool m_bOwnFd = false;
    bool m_bRegular = false;
    std::int64_t m_nExpected = 0;  // a regular file's size from the offset
    CString m_strOpenError;
    bool m_bOpened = false;
};
