// CException: base of the framework's exceptions. They are thrown as
// pointers (throw new ...), caught as CException*, and released with Delete().
#pragma once

#include "platform/MessageBox.h"
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
    // Tells the user what went wrong: the message (GetMessage) in a message
    // box of type `nType` (AfxMessageBox, through the prompt), and returns
    // the box's result (IDOK, ...). An exception without a message shows
    // string resource `nMessageID` instead, or, when that is 0 or not found,
    // "No error message is available.".
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;
    // Releases an exception caught as CException*.
    void Delete() { delete this; }
};
