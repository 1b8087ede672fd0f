// CWinApp: the application object of a module. Each module defines exactly
// one, as a static object: it exists from the module's load to its unload.
#pragma once

#include "platform/String.h"

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    const char* m_pszAppName;

private:
    CString m_strAppName;
};

// The application object constructed last of those that exist, or null.
CWinApp* AfxGetApp();
// Its name, or the program's name when there is no application object;
// message boxes are captioned with it.
const char* AfxGetAppName();
