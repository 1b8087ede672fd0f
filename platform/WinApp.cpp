#include "platform/WinApp.h"

CWinApp::CWinApp(const char* appName) : m_pszAppName(nullptr), m_strAppName(appName)
{
    m_pszAppName = m_strAppName.GetString();
}
