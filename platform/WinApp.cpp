#include "platform/WinApp.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

// Every live application object, in construction order.
std::vector<CWinApp*>& Apps()
{
    static auto* apps = new std::vector<CWinApp*>();  // outlives every application object
    return *apps;
}

}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(nullptr), m_strAppName(appName)
{
    m_pszAppName = m_strAppName.GetString();
    Apps().push_back(this);
}

CWinApp::~CWinApp()
{
    std::vector<CWinApp*>& apps = Apps();
    apps.erase(std::remove(apps.begin(), apps.end(), this), apps.end());
}

CWinApp* AfxGetApp()
{
    const std::vector<CWinApp*>& apps = Apps();
    return apps.empty() ? nullptr : apps.back();
}

const char* AfxGetAppName()
{
    const CWinApp* app = AfxGetApp();
    if (app && app->m_pszAppName && *app->m_pszAppName)
        return app->m_pszAppName;
    return program_invocation_short_name;
}
