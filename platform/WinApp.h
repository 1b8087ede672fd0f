// CWinApp: the application object of a module. Each module defines exactly
// one, as a static object: it exists from the module's load to its unload.
#pragma once

#include "platform/String.h"

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp() = default;

    const char* m_pszAppName;

private:
    CString m_strAppName;
};
