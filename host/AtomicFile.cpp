#include "host/AtomicFile.h"

#include "host/HostText.h"
#include "host/TemporaryFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process's umask, read without changing it (umask() can only be read by
// setting it, which another thread could see); the usual 022 when the
// system does not say.
mode_t CurrentUmask()
{
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status))
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        std::fclose(status);
        if (found)
            return static_cast<mode_t>(mask & 0777);
    }
    return 022;
}

// The temporary file's name beside NAME: ".NAME.XXXXXX", with NAME cut
// short where that would pass the folder's limit on a name's length, so that
// every name that can be read can be written back.
std::string TemporaryName(const std::string& folder, const std::string& name)
{
    static constexpr std::size_t kAdded = 8;  // "." and ".XXXXXX"
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    const std::size_t max = limit > static_cast<long>(kAdded) ? static_cast<std::size_t>(limit) : NAME_MAX;
    return folder + "/." + name.substr(0, max - kAdded) + ".XXXXXX";
}

int CloseChecked(int fd)
{
    // close() must not be retried on EINTR on Linux: the descriptor is gone.
    return close(fd) == 0 || errno == EINTR ? 0 : -1;
}

}  // namespace

CAtomicFile::CAtomicFile(std::string path) : m_strPath(std::move(path)) {}

CAtomicFile::~CAtomicFile() { Discard(); }

CString CAtomicFile::Fail(const std::string& reason)
{
    Discard();
    return CString(std::string_view("cannot write " + CHostText::Name(m_strPath) + ": " + reason));
}

CString CAtomicFile::Check()
{
    Discard();
    if (m_strPath.empty())
        return Fail("no file name given");
    m_strTarget = m_strPath;
    struct stat info = {};
    if (lstat(m_strPath.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // Replace what the link points to, not the link.
        std::unique_ptr<char, decltype(&std::free)> resolved(realpath(m_strPath.c_str(), nullptr), &std::free);
        if (!resolved)
            return Fail(errno == ENOENT ? "it is a symbolic link to a file that does not exist" : CHostText::Reason(errno));
        m_strTarget = resolved.get();
    }
    m_bExisted = stat(m_strTarget.c_str(), &info) == 0;
    if (m_bExisted) {
        if (S_ISDIR(info.st_mode))
            return Fail(CHostText::Reason(EISDIR));
        if (!S_ISREG(info.st_mode))
            return Fail("not a regular file");
        // The rename would replace a file we may not write all the same.
        if (access(m_strTarget.c_str(), W_OK) != 0)
            return Fail(errno == EACCES ? "the file is read-only" : CHostText::Reason(errno));
        m_nMode = info.st_mode & 07777;
        m_nUid = info.st_uid;
        m_nGid = info.st_gid;
    } else if (errno != ENOENT) {
        return Fail(CHostText::Reason(errno));
    } else {
        m_nMode = 0666 & ~CurrentUmask();
    }
    const std::string folder = FolderOf(m_strTarget);
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return Fail(errno == ENOENT ? "the folder " + CHostText::Name(folder) + " does not exist"
                                    : std::string(CHostText::Reason(errno)));
    return CString();
}

CString CAtomicFile::Open()
{
    const CString error = Check();
    if (!error.IsEmpty())
        return error;
    std::string temp = TemporaryName(FolderOf(m_strTarget), NameOf(m_strTarget));
    m_nFd = CTemporaryFiles::Create(temp, m_nSlot);
    if (m_nFd < 0)
        return Fail(CHostText::Reason(errno));
    m_strTempPath = std::move(temp);
    return CString();
}

CString CAtomicFile::Write(const void* data, std::size_t size)
{
    if (m_nFd < 0)
        return Fail("the file is not open");
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(m_nFd, p, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return Fail(CHostText::Reason(errno));
        }
        p += written;
        size -= static_cast<std::size_t>(written);
    }
    return CString();
}

CString CAtomicFile::Commit()
{
    if (m_nFd < 0)
        return Fail("the file is not open");
    // The owner first: changing it clears set-user-id bits, which the mode
    // then puts back. Not being allowed to give the file away (we are not
    // its owner's superuser) is not an error: the group is tried alone.
    if (m_bExisted && fchown(m_nFd, m_nUid, m_nGid) != 0)
        (void)!fchown(m_nFd, static_cast<uid_t>(-1), m_nGid);
    if (fchmod(m_nFd, static_cast<mode_t>(m_nMode)) != 0)
        return Fail(CHostText::Reason(errno));
    if (fsync(m_nFd) != 0)
        return Fail(CHostText::Reason(errno));
    const int fd = m_nFd;
    m_nFd = -1;
    if (CloseChecked(fd) != 0)
        return Fail(CHostText::Reason(errno));
    if (const char* kill = std::getenv(kKillBeforeRenameVariable); kill && *kill)
        std::raise(SIGKILL);
    if (rename(m_strTempPath.c_str(), m_strTarget.c_str()) != 0)
        return Fail(CHostText::Reason(errno));
    m_strTempPath.clear();
    CTemporaryFiles::Forget(m_nSlot);
    m_nSlot = -1;
    // The rename itself reaches the disk with the folder.
    const int folder = open(FolderOf(m_strTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return CString();
}

void CAtomicFile::Discard()
{
    if (m_nFd >= 0) {
        close(m_nFd);
        m_nFd = -1;
    }
    if (!m_strTempPath.empty()) {
        unlink(m_strTempPath.c_str());
        m_strTempPath.clear();
    }
    CTemporaryFiles::Forget(m_nSlot);
    m_nSlot = -1;
}

CString CAtomicFile::Replace(const std::string& path, std::string_view bytes)
{
    CAtomicFile file(path);
    CString error = file.Open();
    if (error.IsEmpty())
        error = file.Write(bytes.data(), bytes.size());
    if (error.IsEmpty())
        error = file.Commit();
    return error;
}
