#include "platform/FileException.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// What the user was doing with the file when the cause arose.
const char* Action(int cause)
{
    switch (cause) {
    case CFileException::fileNotFound:
    case CFileException::badPath:
    case CFileException::tooManyOpenFiles:
    case CFileException::accessDenied:
    case CFileException::invalidFile:
    case CFileException::sharingViolation: return "Cannot open";
    case CFileException::hardIO:
    case CFileException::endOfFile: return "Cannot read";
    case CFileException::badSeek: return "Cannot move within";
    case CFileException::directoryFull:
    case CFileException::diskFull: return "Cannot write";
    case CFileException::lockViolation: return "Cannot lock";
    case CFileException::removeCurrentDir: return "Cannot remove";
    default: return "Cannot use";
    }
}

const char* CauseReason(int cause)
{
    switch (cause) {
    case CFileException::none: return "no error was reported";
    case CFileException::fileNotFound: return "there is no such file";
    case CFileException::badPath: return "the path is not valid";
    case CFileException::tooManyOpenFiles: return "too many files are open";
    case CFileException::accessDenied: return "access is denied";
    case CFileException::invalidFile: return "it is not a regular file";
    case CFileException::removeCurrentDir: return "it is the current directory";
    case CFileException::directoryFull: return "the directory is full";
    case CFileException::badSeek: return "that position cannot be reached";
    case CFileException::hardIO: return "input/output error";
    case CFileException::sharingViolation: return "another program has locked it for writing";
    case CFileException::lockViolation: return "a part of it is locked";
    case CFileException::diskFull: return "the disk is full";
    case CFileException::endOfFile: return "it ends before the data it should hold";
    default: return "an unexpected error occurred";
    }
}

// The system's reason in words that read well after "Cannot open ...: ".
std::string OsReason(long osError)
{
    switch (osError) {
    case ENOENT: return "there is no such file";
    case ENOTDIR: return "a part of the path is not a directory";
    case EISDIR: return "it is a directory, not a file";
    case EACCES: return "permission denied";
    case EPERM: return "the operation is not permitted";
    case ENAMETOOLONG: return "the name is too long";
    case ELOOP: return "too many symbolic links in the path";
    case EMFILE:
    case ENFILE: return "too many files are open";
    case EIO: return "input/output error";
    case EROFS: return "the file system is read-only";
    case ENOSPC: return "the disk is full";
    case ENOMEM: return "there is not enough memory";
    case EOVERFLOW:
    case EFBIG: return "the file is too large";
    case ETXTBSY: return "the file is in use";
    case ENXIO: return "no such device or address";
    case ENODEV: return "no such device";
    case ESTALE: return "the file handle is stale (the file was removed on the server)";
    default: break;
    }
    const char* text = osError > 0 && osError < 100000 ? strerrordesc_np(static_cast<int>(osError)) : nullptr;
    if (!text)
        return "system error " + std::to_string(osError);
    std::string reason(text);
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z' && !(reason.size() > 1 && reason[1] >= 'A' && reason[1] <= 'Z'))
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

// The name as it goes into a one-line message: control characters (a name
// may hold a line feed) become '?'.
std::string PrintableName(const CString& name)
{
    std::string out(name.View());
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return out;
}

}  // namespace

CFileException::CFileException(int cause, long osError, LPCTSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

CString CFileException::GetMessage() const
{
    std::string text = Action(m_cause);
    if (m_strFileName.IsEmpty())
        text += " an unnamed file";
    else
        text += " \"" + PrintableName(m_strFileName) + "\"";
    text += ": ";
    // A sharing violation is ours to explain: the system only says that the
    // lock would block.
    if (m_lOsError > 0 && m_cause != sharingViolation && m_cause != invalidFile)
        text += OsReason(m_lOsError);
    else
        text += CauseReason(m_cause);
    text += '.';
    return CString(text);
}

int CFileException::OsErrorToException(long osError)
{
    switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return accessDenied;
    case EWOULDBLOCK: return sharingViolation;
    case EIO: return hardIO;
    case ENOSPC:
    case EDQUOT: return diskFull;
    case ESPIPE: return badSeek;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(long osError, LPCTSTR fileName)
{
    throw new CFileException(OsErrorToException(osError), osError, fileName);
}
