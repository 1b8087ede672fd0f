// CAtomicFile: replaces a file so that it is never seen half written: the
// new bytes go into a temporary file in the same folder, which is flushed to
// the disk (fsync), given the old file's permissions (and, where the system
// lets us, its owner and group) and renamed over the old file; the folder is
// flushed too. Until the rename the old file is untouched; on any failure,
// and when the object is destroyed without Commit, the temporary file is
// removed and the old file stays as it was.
//
//   - The temporary file is ".NAME.XXXXXX" beside NAME (hidden, and on the
//     same file system, so the rename is atomic), NAME cut short when the
//     whole would pass the folder's limit on a name's length. It is removed
//     when the program is interrupted (CTemporaryFiles); a process killed
//     outright before the rename leaves the old file and, at worst, that
//     temporary file.
//   - A new file gets the permissions a program creating it normally gives
//     (0666 without the bits of the process's umask).
//   - A symbolic link is followed: the file it points to is replaced and the
//     link stays. A hard link is not: the other names keep the old bytes
//     (rename makes a new file).
//   - Refused, with one line: an empty name, a folder, anything that is not
//     a regular file (a device such as /dev/null would otherwise be renamed
//     over), and a file we may not write (read-only), which the rename
//     would otherwise replace all the same.
//
// Test-only: when the environment variable MOTIONHOST_TEST_KILL_BEFORE_RENAME
// is set (to anything but the empty text), Commit stops the process with
// SIGKILL after the temporary file is complete and closed, just before the
// rename: what a crash or a kill at the worst moment leaves behind.
//
// Messages are one line: "cannot write PATH: reason".
#pragma once

#include "platform/String.h"

#include <cstddef>
#include <string>
#include <string_view>

class CAtomicFile {
public:
    static constexpr const char* kKillBeforeRenameVariable = "MOTIONHOST_TEST_KILL_BEFORE_RENAME";

    explicit CAtomicFile(std::string path);
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;
    // Discards the temporary file unless Commit succeeded.
    ~CAtomicFile();

    // Checks that the target could be replaced, creating nothing: a regular
    // file we may write, or a new name in a folder we may write. The empty
    // text, or one line. (For a host that asks a person for the new bytes
    // first and must not lose them at the end.)
    [[nodiscard]] CString Check();
    // Check, then creates the temporary file. The empty text, or one line.
    [[nodiscard]] CString Open();
    // Appends bytes to the temporary file. The empty text, or one line (the
    // temporary file is then discarded).
    [[nodiscard]] CString Write(const void* data, std::size_t size);
    // Flushes, sets the permissions and renames the temporary file over the
    // target. The empty text, or one line (the old file stays, the
    // temporary file is removed).
    [[nodiscard]] CString Commit();
    // Removes the temporary file; the target is not touched.
    void Discard();

    // Open, Write and Commit in one.
    [[nodiscard]] static CString Replace(const std::string& path, std::string_view bytes);

    // The path as given, and the temporary file's path (empty when none).
    const std::string& GetPath() const { return m_strPath; }
    const std::string& GetTempPath() const { return m_strTempPath; }

private:
    CString Fail(const std::string& reason);

    std::string m_strPath;    // as given, for messages
    std::string m_strTarget;  // the file replaced: the path with its links followed
    std::string m_strTempPath;
    int m_nFd = -1;
    int m_nSlot = -1;  // in CTemporaryFiles
    bool m_bExisted = false;
    unsigned m_nMode = 0;     // the permissions the result gets
    unsigned m_nUid = 0, m_nGid = 0;
};
