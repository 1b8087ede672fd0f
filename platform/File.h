// CFile: a file opened for reading, buffered.
//
// Reading one byte at a time costs no system call per byte: the file is read
// in blocks of kBufferSize bytes and Read serves small requests from the
// block; a request of a block or more goes straight into the caller's
// buffer.
//
// Opening (the constructor with a name throws, Open returns FALSE):
//   - Only regular files are opened. A directory is refused (accessDenied,
//     EISDIR), and so is anything else that is not a regular file: a device,
//     a pipe or a socket (invalidFile). The name is opened without blocking,
//     so that a pipe without a writer cannot make the open hang, and such a
//     file could otherwise be read forever (/dev/zero) or never end.
//   - Linux has no share modes that bind every program. The share flags
//     become advisory locks on the whole file, held until the file is
//     closed: shareDenyWrite takes shared locks (flock and an open file
//     description lock, so that writers using either kind are kept out),
//     shareExclusive, shareCompat and shareDenyRead take an exclusive flock
//     and a shared record lock, shareDenyNone takes none. When a program
//     already holds a conflicting lock the open fails with sharingViolation.
//     A program that writes without taking a lock is not kept out; reading
//     stays safe all the same (no memory mapping: a file cut short while it
//     is read just ends sooner). File systems without locks are read unlocked.
//   - Only reading is offered: modeWrite, modeReadWrite and modeCreate are
//     refused (genericException, ENOTSUP). typeText and typeBinary read the
//     bytes as they are; modeNoInherit is always in effect.
//
// Errors are thrown as CFileException pointers: a failed open by the
// constructor, and a failed read (hardIO, with the system's error number).
// When a read fails after some bytes of a request were delivered, Read
// returns those bytes and the next Read reports the error.
#pragma once

#include "platform/FileException.h"
#include "platform/Object.h"
#include "platform/String.h"
#include "platform/Types.h"

#include <memory>

class CFile : public CObject {
public:
    // Open flags, with the values the framework's callers know.
    enum OpenFlags : UINT {
        modeRead = 0x00000,
        modeWrite = 0x00001,
        modeReadWrite = 0x00002,
        shareCompat = 0x00000,
        shareExclusive = 0x00010,
        shareDenyWrite = 0x00020,
        shareDenyRead = 0x00030,
        shareDenyNone = 0x00040,
        modeNoInherit = 0x00080,
        modeCreate = 0x01000,
        modeNoTruncate = 0x02000,
        typeText = 0x04000,
        typeBinary = 0x08000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    static constexpr UINT kBufferSize = 64 * 1024;

    CFile();
    // Opens `fileName`; throws CFileException* when it cannot.
    CFile(LPCTSTR fileName, UINT openFlags);
    // Closes the file, if open; never throws.
    ~CFile() override;

    // Opens `fileName`. On failure returns FALSE and, when `error` is given,
    // fills it with the cause, the system's error number and the name.
    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // Reads up to `count` bytes; returns how many were read, fewer than
    // `count` only at the end of the file, 0 at the end.
    virtual UINT Read(void* buffer, UINT count);
    // Moves the read position; returns the new position. A position before
    // the start throws CFileException (badSeek).
    virtual unsigned long long Seek(long long offset, UINT from);
    unsigned long long SeekToBegin() { return Seek(0, begin); }
    // The read position: bytes consumed by Read since the start of the file.
    virtual unsigned long long GetPosition() const;
    virtual unsigned long long GetLength() const;
    // Closes the file and releases its locks.
    virtual void Close();
    // The same as Close, for use where no exception may escape.
    virtual void Abort();

    BOOL IsOpen() const { return m_hFile >= 0 ? TRUE : FALSE; }
    // The name as given to Open, and its last component.
    CString GetFilePath() const { return m_strFileName; }
    CString GetFileName() const;

private:
    [[noreturn]] void ThrowReadError(long osError) const;

    int m_hFile = -1;
    CString m_strFileName;
    std::unique_ptr<char[]> m_pBuffer;
    UINT m_nBufferPos = 0;  // next unread byte of the block
    UINT m_nBufferEnd = 0;  // end of the valid bytes of the block
};
