// CFileException: a file that cannot be opened or read. Thrown as a pointer
// by CFile (throw new CFileException(...)), caught as CException* and
// released with Delete().
//
// The message is one line that says what failed, with the file's name and
// the reason, for example
//   Cannot open "/home/ann/points.txt": there is no such file.
//   Cannot read "/mnt/stick/points.txt": input/output error.
// It is exactly the text the framework's message box shows for it.
#pragma once

#include "platform/Exception.h"

class CFileException : public CException {
public:
    // The causes, with the values the framework's callers know.
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    // `osError` is the operating system's error number (errno), or 0 when
    // the system reported none (a file that is not a regular file, a lock
    // held by another program).
    explicit CFileException(int cause = none, long osError = -1, LPCTSTR fileName = nullptr);

    CString GetMessage() const override;

    // The cause that fits an operating system error number on opening.
    static int OsErrorToException(long osError);
    // Throws the exception for `osError` on opening `fileName`.
    [[noreturn]] static void ThrowOsError(long osError, LPCTSTR fileName = nullptr);

    int m_cause;
    long m_lOsError;
    CString m_strFileName;
};
