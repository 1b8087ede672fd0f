// CInvalidArgException: an argument outside what the operation accepts, such
// as an element index outside an array.
#pragma once

#include "platform/Exception.h"

class CInvalidArgException : public CException {
public:
    CString GetMessage() const override { return "Invalid argument."; }
};
