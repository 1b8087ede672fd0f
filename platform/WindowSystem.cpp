#include "platform/WindowSystem.h"

#include <QApplication>
#include <QFontDatabase>

#include <dlfcn.h>

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

// Qt ends the process (abort) when its platform cannot connect to the
// display it was pointed at. Where Qt would pick the X platform (no
// QT_QPA_PLATFORM or "xcb", no WAYLAND_DISPLAY) the display is tried first
// with the X protocol library Qt's platform uses itself, loaded at run time:
// TRUE when the connection works, or when the library is not there to ask
// (then Qt decides).
bool CanConnectToXDisplay(const char* display)
{
    void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb)
        return true;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool ok = true;
    if (connect && hasError && disconnect) {
        // Never null: a failed connection is an object in an error state.
        void* connection = connect(display, nullptr);
        ok = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
    }
    dlclose(xcb);
    return ok;
}

bool WouldUseX()
{
    if (IsSet("WAYLAND_DISPLAY"))
        return false;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return !platform || !*platform || std::string(platform).rfind("xcb", 0) == 0;
}

}  // namespace

BOOL CWindowSystem::IsDisplayAvailable(CString* message)
{
    if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY") && !IsSet("QT_QPA_PLATFORM")) {
        if (message)
            *message = "no display available: set DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM=offscreen";
        return FALSE;
    }
    if (WouldUseX()) {
        const char* display = std::getenv("DISPLAY");
        if (!CanConnectToXDisplay(display)) {
            if (message)
                *message = CString("cannot open the X display \"") + (display ? display : "") +
                           "\": start an X server there, or set QT_QPA_PLATFORM=offscreen";
            return FALSE;
        }
    }
    return TRUE;
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
