#include "host/OutputFile.h"

#include "host/HostError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void ThrowIf(const CString& error)
{
    if (!error.IsEmpty())
        throw SHostError{error.GetString()};
}

}  // namespace

COutputFile::COutputFile(std::string path) : m_strPath(path), m_File(std::move(path)) {}

COutputFile::~COutputFile()
{
    if (m_bOwnFd && m_nStreamFd >= 0)
        close(m_nStreamFd);
}

void COutputFile::Open()
{
    if (IsStandardOutput()) {
        m_nStreamFd = STDOUT_FILENO;
        return;
    }
    struct stat info = {};
    if (stat(m_strPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        do
            m_nStreamFd = open(m_strPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        while (m_nStreamFd < 0 && errno == EINTR);
        if (m_nStreamFd < 0)
            throw SHostError{"cannot write " + m_strPath + ": " + std::strerror(errno)};
        m_bOwnFd = true;
        return;
    }
    ThrowIf(m_File.Open());
}

void COutputFile::Write(const void* data, std::size_t size)
{
    if (m_nStreamFd < 0) {
        ThrowIf(m_File.Write(data, size));
        return;
    }
    if (m_nStreamFd == STDOUT_FILENO)
        std::fflush(stdout);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(m_nStreamFd, p, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            throw SHostError{(IsStandardOutput() ? std::string("cannot write the output") : "cannot write " + m_strPath) +
                             ": " + std::strerror(errno)};
        }
        p += written;
        size -= static_cast<std::size_t>(written);
    }
}

void COutputFile::Commit()
{
    if (m_nStreamFd < 0) {
        ThrowIf(m_File.Commit());
    } else if (m_bOwnFd) {
        const int fd = m_nStreamFd;
        m_nStreamFd = -1;
        m_bOwnFd = false;
        if (close(fd) != 0 && errno != EINTR)
            throw SHostError{"cannot write " + m_strPath + ": " + std::strerror(errno)};
    }
}

void COutputFile::Discard() { m_File.Discard(); }
