#include "host/OutputFile.h"

#include "host/HostError.h"
#include "host/HostText.h"
#include "host/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether `info` is the file (or device) standard output writes.
bool IsStandardOutputFile(const struct stat& info)
{
    struct stat out = {};
    if (CStandardStreams::WasClosed(STDOUT_FILENO) || fstat(STDOUT_FILENO, &out) != 0)
        return false;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return (info.st_mode & S_IFMT) == (out.st_mode & S_IFMT) && info.st_rdev == out.st_rdev;
    return info.st_dev == out.st_dev && info.st_ino == out.st_ino;
}

}  // namespace

COutputFile::COutputFile(std::string path) : m_strPath(path), m_File(std::move(path)) {}

COutputFile::~COutputFile()
{
    if (m_bOwnFd && m_nStreamFd >= 0)
        close(m_nStreamFd);
}

std::string COutputFile::GetName() const
{
    return IsStandardOutput() ? std::string("standard output") : CHostText::Name(m_strPath);
}

void COutputFile::Fail(int error) const
{
    throw SHostError{"cannot write " + GetName() + ": " +
                     (error == ENXIO ? std::string("no program reads the named pipe") : CHostText::Reason(error))};
}

void COutputFile::Open()
{
    struct stat info = {};
    const bool exists = !IsStandardOutput() && stat(m_strPath.c_str(), &info) == 0;
    if (IsStandardOutput() || (exists && IsStandardOutputFile(info))) {
        if (CStandardStreams::WasClosed(STDOUT_FILENO))
            throw SHostError{"cannot write " + GetName() + ": standard output is closed"};
        m_nStreamFd = STDOUT_FILENO;
        return;
    }
    if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        // Without blocking: a named pipe that nobody reads fails at once.
        do
            m_nStreamFd = open(m_strPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        while (m_nStreamFd < 0 && errno == EINTR);
        if (m_nStreamFd < 0)
            Fail(errno);
        fcntl(m_nStreamFd, F_SETFL, fcntl(m_nStreamFd, F_GETFL) & ~O_NONBLOCK);
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
            Fail(errno);
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
            Fail(errno);
    }
}

void COutputFile::Discard() { m_File.Discard(); }
