#include "host/InputFile.h"

#include "host/HostText.h"
#include "host/StandardStreams.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Read in large pieces: a big table costs few system calls.
constexpr std::size_t kChunk = std::size_t{1} << 20;

bool IsNullDevice(const struct stat& info)
{
    struct stat null = {};
    return S_ISCHR(info.st_mode) && stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
           info.st_rdev == null.st_rdev;
}

// Why an input of this kind is not read, or the empty text. A named input
// must be a regular file: a named pipe may never be written to, and a
// device may never end (/dev/zero). Standard input may also be a pipe, a
// socket, a terminal or /dev/null (an empty text): whatever a shell gives it.
std::string KindProblem(const struct stat& info, bool standardInput)
{
    if (S_ISDIR(info.st_mode))
        return CHostText::Reason(EISDIR);
    if (S_ISREG(info.st_mode))
        return {};
    if (standardInput && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) || isatty(STDIN_FILENO) ||
                          IsNullDevice(info)))
        return {};
    if (S_ISFIFO(info.st_mode))
        return "it is a named pipe, not a regular file (give - and redirect standard input from it)";
    if (S_ISSOCK(info.st_mode))
        return "it is a socket, not a regular file";
    return "it is a device, not a regular file";
}

}  // namespace

CInputFile::CInputFile(std::string path, std::int64_t maxSize)
    // A text is a CString, whose length is an int.
    : m_strPath(std::move(path)), m_nMaxSize(std::clamp<std::int64_t>(maxSize, 0, INT_MAX))
{
}

CInputFile::~CInputFile()
{
    if (m_bOwnFd && m_nFd >= 0)
        close(m_nFd);
}

std::string CInputFile::GetName() const
{
    return m_strPath == kStandardInput ? "standard input" : CHostText::Name(m_strPath);
}

std::string CInputFile::Help()
{
    return "the parameter text, or - for standard input (at most " + DescribeSize(kMaxSize) + ")";
}

std::string CInputFile::DescribeSize(std::int64_t bytes)
{
    for (const auto& [unit, name] : {std::pair<std::int64_t, const char*>{std::int64_t{1} << 30, " GiB"},
                                     {std::int64_t{1} << 20, " MiB"},
                                     {std::int64_t{1} << 10, " KiB"}})
        if (bytes >= unit && bytes % unit == 0)
            return std::to_string(bytes / unit) + name;
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

CString CInputFile::Fail(const std::string& reason) const
{
    return CString(std::string_view("cannot read " + GetName() + ": " + reason));
}

CString CInputFile::Open()
{
    if (m_bOpened)
        return m_strOpenError;
    m_bOpened = true;
    const bool standardInput = m_strPath == kStandardInput;
    if (standardInput) {
        if (CStandardStreams::WasClosed(STDIN_FILENO))
            return m_strOpenError = Fail("it is closed");
        m_nFd = STDIN_FILENO;
    } else {
        // Without blocking: a named pipe without a writer would hold the
        // open for ever.
        do
            m_nFd = open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        while (m_nFd < 0 && errno == EINTR);
        if (m_nFd < 0)
            return m_strOpenError = Fail(CHostText::Reason(errno));
        m_bOwnFd = true;
    }
    struct stat info = {};
    if (fstat(m_nFd, &info) != 0) {
        const int error = errno;
        m_nFd = -1;  // never read from a descriptor that is not ours
        return m_strOpenError = Fail(standardInput && error == EBADF ? "it is closed" : CHostText::Reason(error));
    }
    if (const std::string problem = KindProblem(info, standardInput); !problem.empty())
        return m_strOpenError = Fail(problem);
    if (!standardInput)
        fcntl(m_nFd, F_SETFL, fcntl(m_nFd, F_GETFL) & ~O_NONBLOCK);
    m_bRegular = S_ISREG(info.st_mode);
    if (m_bRegular) {
        // What is left from the current offset (standard input may have been
        // read from before).
        const off_t offset = lseek(m_nFd, 0, SEEK_CUR);
        const std::int64_t left = info.st_size - (offset > 0 ? offset : 0);
        if (left > m_nMaxSize)
            return m_strOpenError = Fail("more than " + DescribeSize(m_nMaxSize) + ", the limit for an input text");
        m_nExpected = left;
    }
    return CString();
}

CString CInputFile::Read(CString& text)
{
    text = CString();
    const CString error = Open();
    if (!error.IsEmpty())
        return error;
    if (m_nExpected > 0)
        text.Preallocate(static_cast<int>(m_nExpected));  // at most the limit, an int
    const std::unique_ptr<char[]> buffer(new char[kChunk]);
    std::int64_t total = 0;
    for (;;) {
        const ssize_t count = read(m_nFd, buffer.get(), kChunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int reason = errno;
            text = CString();
            return Fail(CHostText::Reason(reason));
        }
        if (count == 0)
            return CString();
        total += count;
        if (total > m_nMaxSize) {
            text = CString();
            return Fail("more than " + DescribeSize(m_nMaxSize) + ", the limit for an input text");
        }
        text.Append(buffer.get(), static_cast<int>(count));
    }
}
