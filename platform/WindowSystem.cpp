#include "platform/WindowSystem.h"

#include <QApplication>
#include <QFontDatabase>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// The application object keeps references to these for its whole life.
int s_argc = 1;
char s_argv0[] = "velkor";
char* s_argv[] = {s_argv0, nullptr};

}  // namespace

BOOL CWindowSystem::IsDisplayAvailable(CString* message)
{
    if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM"))
        return TRUE;
    if (message)
        *message = "no display available: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen";
    return FALSE;
}

BOOL CWindowSystem::EnsureApplication()
{
    if (QCoreApplication* existing = QCoreApplication::instance())
        return qobject_cast<QApplication*>(existing) ? TRUE : FALSE;
    if (!IsDisplayAvailable())
        return FALSE;
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    const std::string savedNumeric = numeric ? numeric : "C";
    // Never deleted: windows may be made and destroyed until the process
    // ends, from any module.
    auto* app = new QApplication(s_argc, s_argv);
    std::setlocale(LC_NUMERIC, savedNumeric.c_str());
    // Dialogs run their own loops; closing the last window must not end them.
    app->setQuitOnLastWindowClosed(false);
    return TRUE;
}

CString CWindowSystem::ResolveFontFamily(const char* face)
{
    const QString requested = QString::fromUtf8(face ? face : "");
    if (!requested.isEmpty() && QFontDatabase::hasFamily(requested))
        return CString(requested.toUtf8().constData());
    if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans")))
        return "DejaVu Sans";
    return CString(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toUtf8().constData());
}
