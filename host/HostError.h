// SHostError: a usage or file error of a host command. Every command throws
// it (never returns an error text); main catches it once, prints it as one
// line ("motionhost: " + message) and exits with the status it carries.
//
// The framework's classes that the host uses (CInputFile, CAtomicFile) keep
// the framework's own style, an error text that is empty on success; their
// functions are [[nodiscard]], and ThrowIf turns such a text into this.
#pragma once

#include "platform/String.h"

#include <string>

// Exit statuses of motionhost.
enum tagExitStatus {
    EXIT_OK = 0,
    EXIT_FAILED = 1,  // the module or the command reports a failure (not valid, cancelled, nothing taken)
    EXIT_USAGE = 2,   // usage and file errors
};

struct SHostError {
    std::string message;
    int status = EXIT_USAGE;
};

// Throws SHostError with `error` when it is not empty.
inline void ThrowIf(const CString& error)
{
    if (!error.IsEmpty())
        throw SHostError{std::string(error.View())};
}
