#include "host/InputFile.h"

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

std::string CInputFile::GetName() const { return m_strPath == kStandardInput ? "standard input" : m_strPath; }

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
        m_nFd = STDIN_FILENO;
    } else {
        do
            m_nFd = open(m_strPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        while (m_nFd < 0 && errno == EINTR);
        if (m_nFd < 0)
            return m_strOpenError = Fail(std::strerror(errno));
        m_bOwnFd = true;
    }
    struct stat info = {};
    if (fstat(m_nFd, &info) != 0) {
        const int error = errno;
        m_nFd = -1;  // never read from a descriptor that is not ours
        return m_strOpenError = Fail(standardInput && error == EBADF ? "it is closed" : std::strerror(error));
    }
    if (S_ISDIR(info.st_mode))
        return m_strOpenError = Fail(std::strerror(EISDIR));
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
            return Fail(std::strerror(reason));
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
