// CException: base of the framework's exceptions. They are thrown as
// pointers (throw new ...), caught as CException*, and released with Delete().
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

class CException {
public:
    CException() = default;
    CException(const CException&) = delete;
    CException& operator=(const CException&) = delete;
    virtual ~CException() = default;

    // Copies the message into `buffer` (always NUL-terminated when maxLength > 0).
    virtual BOOL GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext = nullptr) const;
    // The message as a text.
    virtual CString GetMessage() const = 0;
    // Releases an exception caught as CException*.
    void Delete() { delete this; }
};
