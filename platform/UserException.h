// CUserException: an operation stopped because of something the user must
// correct, after the user was told. CDataExchange::Fail throws it and
// CWnd::UpdateData catches it; it carries no message of its own.
#pragma once

#include "platform/Exception.h"

class CUserException : public CException {
public:
    CString GetMessage() const override { return "The operation was stopped."; }
};
