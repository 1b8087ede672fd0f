// COutputFile: an output of a host command (a preview's CSV or PNG, the
// module's icon):
//   - "-": standard output;
//   - a device, pipe or socket that exists (/dev/null, /dev/stdout, a named
//     pipe, a shell's process substitution): written straight into, since
//     it cannot be replaced;
//   - otherwise a file replaced atomically (CAtomicFile): nothing is seen of
//     it until Commit, and a failure leaves the old file as it was.
//
// Open checks the file and creates its temporary file, so that a folder
// that does not exist is reported before anything is computed or printed.
// Failures throw SHostError with one line.
#pragma once

#include "host/AtomicFile.h"

#include <cstddef>
#include <string>

class COutputFile {
public:
    static constexpr const char* kStandardOutput = "-";

    explicit COutputFile(std::string path);
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;
    ~COutputFile();

    bool IsStandardOutput() const { return m_strPath == kStandardOutput; }
    const std::string& GetPath() const { return m_strPath; }

    void Open();
    void Write(const void* data, std::size_t size);
    // Makes the output visible: renames the file into place.
    void Commit();
    // Leaves the old file as it was (a stream: nothing to undo).
    void Discard();

private:
    std::string m_strPath;
    CAtomicFile m_File;
    int m_nStreamFd = -1;  // standard output, or a device opened by Open
    bool m_bOwnFd = false;
};
