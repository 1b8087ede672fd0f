#include "platform/File.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr UINT kAccessMask = 0x3;       // modeRead, modeWrite, modeReadWrite
constexpr UINT kShareMask = 0x70;       // shareCompat ... shareDenyNone

// Closes a descriptor; a read-only descriptor has nothing to flush, so an
// error from close() loses nothing and is not reported.
void CloseQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

// A lock that another program holds: fcntl says EACCES or EAGAIN, flock
// says EWOULDBLOCK.
bool IsConflict(int error) { return error == EWOULDBLOCK || error == EAGAIN || error == EACCES; }

// Takes the advisory locks the share mode asks for. Returns 0, or the error
// number of a conflicting lock. A file system without locks reads unlocked.
int Lock(int fd, UINT share)
{
    if (share == CFile::shareDenyNone)
        return 0;
    const bool exclusive = share != CFile::shareDenyWrite;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0 && IsConflict(errno))
        return errno;
    // A record lock for writers that use fcntl or lockf. A write lock would
    // need a descriptor open for writing, so it is a read lock in every mode.
    struct flock range {};
    range.l_type = F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 0;  // the whole file, however long it grows
    if (::fcntl(fd, F_OFD_SETLK, &range) != 0 && IsConflict(errno))
        return errno;
    return 0;
}

void Fill(CFileException* error, int cause, long osError, LPCTSTR fileName)
{
    if (!error)
        return;
    error->m_cause = cause;
    error->m_lOsError = osError;
    error->m_strFileName = fileName;
}

}  // namespace

CFile::CFile() = default;

CFile::CFile(LPCTSTR fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw new CFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    Abort();
    const char* name = fileName ? fileName : "";
    if ((openFlags & kAccessMask) != modeRead || (openFlags & (modeCreate | modeNoTruncate)) != 0) {
        Fill(error, CFileException::genericException, ENOTSUP, name);
        return FALSE;
    }
    if (!*name) {
        Fill(error, CFileException::fileNotFound, ENOENT, name);
        return FALSE;
    }
    // Non-blocking, so that opening a pipe without a writer returns at once;
    // the descriptor is made blocking again once it is known to be a file.
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int e = errno;
        Fill(error, CFileException::OsErrorToException(e), e, name);
        return FALSE;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        CloseQuietly(fd);
        Fill(error, CFileException::OsErrorToException(e), e, name);
        return FALSE;
    }
    if (S_ISDIR(st.st_mode) || !S_ISREG(st.st_mode)) {
        CloseQuietly(fd);
        if (S_ISDIR(st.st_mode))
            Fill(error, CFileException::accessDenied, EISDIR, name);
        else
            Fill(error, CFileException::invalidFile, 0, name);
        return FALSE;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int e = errno;
        CloseQuietly(fd);
        Fill(error, CFileException::genericException, e, name);
        return FALSE;
    }
    if (const int e = Lock(fd, openFlags & kShareMask)) {
        CloseQuietly(fd);
        Fill(error, CFileException::sharingViolation, e, name);
        return FALSE;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);  // a hint; its failure changes nothing
    m_hFile = fd;
    m_strFileName = name;
    if (!m_pBuffer)
        m_pBuffer = std::make_unique<char[]>(kBufferSize);
    m_nBufferPos = m_nBufferEnd = 0;
    return TRUE;
}

void CFile::ThrowReadError(long osError) const
{
    throw new CFileException(CFileException::hardIO, osError, m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile < 0)
        ThrowReadError(EBADF);
    if (count == 0)
        return 0;
    if (!buffer)
        ThrowReadError(EFAULT);
    char* out = static_cast<char*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (m_nBufferPos < m_nBufferEnd) {
            const UINT n = std::min(count - done, m_nBufferEnd - m_nBufferPos);
            std::memcpy(out + done, m_pBuffer.get() + m_nBufferPos, n);
            m_nBufferPos += n;
            done += n;
            continue;
        }
        // The block is used up. A request of a block or more is read straight
        // into the caller's buffer; a smaller one refills the block.
        const UINT want = count - done;
        const bool direct = want >= kBufferSize;
        char* target = direct ? out + done : m_pBuffer.get();
        const std::size_t size = direct ? std::min<UINT>(want, 1u << 30) : kBufferSize;
        const ssize_t got = ::read(m_hFile, target, size);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            if (done > 0)
                return done;  // the next Read meets the error again and reports it
            ThrowReadError(errno);
        }
        if (got == 0)
            break;  // end of file
        if (direct) {
            done += static_cast<UINT>(got);
        } else {
            m_nBufferPos = 0;
            m_nBufferEnd = static_cast<UINT>(got);
        }
    }
    return done;
}

unsigned long long CFile::Seek(long long offset, UINT from)
{
    if (m_hFile < 0)
        throw new CFileException(CFileException::badSeek, EBADF, m_strFileName);
    off_t target = 0;
    int whence = SEEK_SET;
    switch (from) {
    case begin: target = offset; break;
    case current: {
        const unsigned long long position = GetPosition();
        // No signed overflow: a position beyond what off_t holds is refused.
        if ((offset > 0 && position > static_cast<unsigned long long>(LLONG_MAX - offset)) ||
            (offset < 0 && static_cast<unsigned long long>(-(offset + 1)) >= position))
            throw new CFileException(CFileException::badSeek, EINVAL, m_strFileName);
        target = static_cast<off_t>(static_cast<long long>(position) + offset);
        break;
    }
    case end:
        target = offset;
        whence = SEEK_END;
        break;
    default: throw new CFileException(CFileException::badSeek, EINVAL, m_strFileName);
    }
    const off_t result = ::lseek(m_hFile, target, whence);
    if (result < 0)
        throw new CFileException(CFileException::badSeek, errno, m_strFileName);
    m_nBufferPos = m_nBufferEnd = 0;
    return static_cast<unsigned long long>(result);
}

unsigned long long CFile::GetPosition() const
{
    if (m_hFile < 0)
        throw new CFileException(CFileException::badSeek, EBADF, m_strFileName);
    const off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
    if (position < 0)
        throw new CFileException(CFileException::badSeek, errno, m_strFileName);
    // The block's unread bytes lie before the system's position.
    return static_cast<unsigned long long>(position) - (m_nBufferEnd - m_nBufferPos);
}

unsigned long long CFile::GetLength() const
{
    struct stat st {};
    if (m_hFile < 0 || ::fstat(m_hFile, &st) != 0)
        throw new CFileException(CFileException::genericException, m_hFile < 0 ? EBADF : errno, m_strFileName);
    return static_cast<unsigned long long>(st.st_size);
}

void CFile::Close() { Abort(); }

void CFile::Abort()
{
    CloseQuietly(m_hFile);
    m_hFile = -1;
    m_nBufferPos = m_nBufferEnd = 0;
}

CString CFile::GetFileName() const
{
    const std::string_view path = m_strFileName.View();
    const std::size_t slash = path.rfind('/');
    return CString(slash == std::string_view::npos ? path : path.substr(slash + 1));
}
