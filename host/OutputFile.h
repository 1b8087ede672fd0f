// COutputFile: an output of a host command (a preview's CSV or PNG, the
// module's icon):
//   - "-": standard output;
//   - the file standard output already writes (/dev/stdout, or its own name
//     while standard output is redirected to it, even with >>): written
//     through standard output's descriptor, so that a shell's append or
//     pipe is kept, never truncated or replaced;
//   - a device, pipe or socket that exists (/dev/null, a named pipe, a
//     shell's process substitution): written straight into, since it cannot
//     be replaced; a named pipe that nobody reads is refused at once rather
//     than waited for;
//   - otherwise a file replaced atomically (CAtomicFile): nothing is seen of
//     it until Commit, and a failure leaves the old file as it was.
//
// A command opens every output first (Open: the file is checked and its
// temporary file made, so that a folder that does not exist is said before
// anything is computed), writes them all, and only then commits them: a
// failure anywhere (a full device, a broken pipe) leaves every replaced file
// as it was. Failures throw SHostError with one line.
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
    // "standard output", or the name as messages show it.
    std::string GetName() const;

    void Open();
    void Write(const void* data, std::size_t size);
    // Makes the output visible: renames the file into place.
    void Commit();
    // Leaves the old file as it was (a stream: nothing to undo).
    void Discard();

private:
    [[noreturn]] void Fail(int error) const;

    std::string m_strPath;
    CAtomicFile m_File;
    int m_nStreamFd = -1;  // standard output, or a device opened by Open
    bool m_bOwnFd = false;
};
