// CTemporaryFiles: the temporary files of outputs being written, removed
// when the program is interrupted.
//
// A temporary file of an atomic replacement (".NAME.XXXXXX" beside NAME)
// would otherwise stay behind, hundreds of megabytes of it, after the
// ordinary ways a command line program ends early: Ctrl-C (SIGINT), `timeout`
// or a shutdown (SIGTERM), a closed terminal (SIGHUP), a reader that went
// away (SIGPIPE: `preview big.pvt --csv - --png p.png | head -1`). The
// handlers remove every registered file, then end the program by the same
// signal with its default action, so that the caller sees how it ended. The
// old file is never touched: it is replaced only by the rename of a
// complete temporary file.
//
// The handlers use only async-signal-safe calls (unlink, sigaction, raise)
// on storage that never moves; a file is registered before its path could
// be left behind and unregistered only once it is gone or renamed.
#pragma once

#include <string>

class CTemporaryFiles {
public:
    // Registered at most at once; a file beyond them is still removed by
    // its owner, only not on a signal.
    static constexpr int kSlots = 16;

    // Installs the handlers for SIGINT, SIGTERM, SIGHUP and SIGPIPE (a
    // signal that the program was started with ignored stays ignored).
    static void InstallSignalHandlers();
    // Creates a temporary file from `path` (ending in "XXXXXX", which
    // mkostemp replaces) and registers it, with the handled signals held
    // back in between, so that no signal finds it created but unknown.
    // Returns its descriptor (close-on-exec) and its slot (-1: not
    // registered), or -1 with errno set.
    static int Create(std::string& path, int& slot);
    // Registers a file; returns its slot, or -1 when every slot is taken or
    // the path is too long to keep.
    static int Add(const char* path);
    // Forgets the file of `slot` (-1: nothing).
    static void Forget(int slot);
    // Removes every registered file and forgets them: for a path that ends
    // the program without unwinding. Async-signal-safe.
    static void RemoveAll();
};
