#include "platform/WindowSystem.h"

#include <QApplication>
#include <QFontDatabase>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

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
// with the X protocol library Qt's platform uses itself, loaded at run time.
//
// The connection that answered is kept open until the application object
// has its own: an X server that resets when its last client leaves (a plain
// Xvfb, as xvfb-run starts it) would otherwise reset just as Qt connects,
// and Qt would abort, or lose its first window. One probe serves every
// caller (the host, the module's export, the application object).
class CXProbe {
public:
    // TRUE when the connection works, or when the library is not there to
    // ask (then Qt decides).
    bool Connect(const char* display)
    {
        if (m_pConnection && m_HasError(m_pConnection) == 0)
            return true;
        Release();
        m_pLibrary = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!m_pLibrary)
            return true;
        using Connect = void* (*)(const char*, int*);
        auto connect = reinterpret_cast<Connect>(dlsym(m_pLibrary, "xcb_connect"));
        m_HasError = reinterpret_cast<HasError>(dlsym(m_pLibrary, "xcb_connection_has_error"));
        m_Disconnect = reinterpret_cast<Disconnect>(dlsym(m_pLibrary, "xcb_disconnect"));
        if (!connect || !m_HasError || !m_Disconnect) {
            Release();
            return true;
        }
        // Never null: a failed connection is an object in an error state.
        // What the library prints on a refusal ("Authorization required,
        // but no authorization protocol specified", and an empty line) is
        // kept for the one-line message instead.
        m_strRefusal = CaptureStandardError([&] { m_pConnection = connect(display, nullptr); });
        if (m_pConnection && m_HasError(m_pConnection) == 0)
            return true;
        Release();
        return false;
    }
    // The first line the library printed on the last failed connection.
    const std::string& GetRefusal() const { return m_strRefusal; }
    void Release()
    {
        if (m_pConnection)
            m_Disconnect(m_pConnection);
        m_pConnection = nullptr;
        if (m_pLibrary)
            dlclose(m_pLibrary);
        m_pLibrary = nullptr;
    }

private:
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    template <typename Fn>
    static std::string CaptureStandardError(Fn fn)
    {
        int fds[2];
        const int saved = dup(STDERR_FILENO);
        if (saved < 0 || pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
            if (saved >= 0)
                close(saved);
            fn();
            return {};
        }
        dup2(fds[1], STDERR_FILENO);
        close(fds[1]);
        fn();
        dup2(saved, STDERR_FILENO);
        close(saved);
        char text[512];
        const ssize_t n = read(fds[0], text, sizeof text);
        close(fds[0]);
        const std::string captured(text, n > 0 ? static_cast<std::size_t>(n) : 0);
        return captured.substr(0, captured.find('\n'));
    }

    std::string m_strRefusal;
    void* m_pLibrary = nullptr;
    void* m_pConnection = nullptr;
    HasError m_HasError = nullptr;
    Disconnect m_Disconnect = nullptr;
};

CXProbe& XProbe()
{
    static CXProbe probe;
    return probe;
}

CWindowSystem::FailureHandler s_pfnFailure = nullptr;
QtMessageHandler s_PreviousHandler = nullptr;
bool s_bStarting = false;          // the application object is being created
bool s_bPlatformNotFound = false;  // its platform plugin was not found

// The platform Qt starts: QT_QPA_PLATFORM's first choice, else the X one.
std::string PlatformName()
{
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    std::string name = chosen && *chosen ? chosen : IsSet("WAYLAND_DISPLAY") ? "wayland" : "xcb";
    return name.substr(0, name.find_first_of(";:"));
}

std::string StartFailure()
{
    const std::string platform = PlatformName();
    return "cannot start the window system: the platform \"" + platform + "\"" +
           (IsSet("QT_QPA_PLATFORM") ? " that QT_QPA_PLATFORM names" : "") +
           (s_bPlatformNotFound ? " is not installed" : " could not reach its display");
}

// Watches Qt's messages for the two failures that Qt handles by ending the
// process (see SetFailureHandler); every message goes on to the handler that
// was installed before.
void WatchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (s_bStarting && message.startsWith(QStringLiteral("Could not find the Qt platform plugin")))
        s_bPlatformNotFound = true;
    if (s_pfnFailure && s_bStarting && type == QtFatalMsg)
        s_pfnFailure(StartFailure().c_str());
    if (s_pfnFailure && message.startsWith(QStringLiteral("The X11 connection broke")))
        s_pfnFailure("the display was lost: the X server ended or closed the connection");
    if (s_PreviousHandler)
        s_PreviousHandler(type, context, message);
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
        if (!XProbe().Connect(display)) {
            const CString name = CString("the X display \"") + (display ? display : "") + "\"";
            if (message && XProbe().GetRefusal().find("uthoriz") != std::string::npos)
                *message = name + " refused the connection: not authorised (XAUTHORITY must name the server's "
                                  "cookie file)";
            else if (message)
                *message = "cannot open " + name + ": start an X server there, or set QT_QPA_PLATFORM=offscreen";
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
    const QtMessageHandler previous = qInstallMessageHandler(WatchMessages);
    if (previous != WatchMessages)
        s_PreviousHandler = previous;
    // Never deleted: windows may be made and destroyed until the process
    // ends, from any module.
    s_bStarting = true;
    auto* app = new QApplication(s_argc, s_argv);
    s_bStarting = false;
    // The application has its own connection to the display now.
    XProbe().Release();
    std::setlocale(LC_NUMERIC, savedNumeric.c_str());
    // Dialogs run their own loops; closing the last window must not end them.
    app->setQuitOnLastWindowClosed(false);
    return TRUE;
}

void CWindowSystem::SetFailureHandler(FailureHandler handler) { s_pfnFailure = handler; }

CString CWindowSystem::ResolveFontFamily(const char* face)
{
    const QString requested = QString::fromUtf8(face ? face : "");
    if (!requested.isEmpty() && QFontDatabase::hasFamily(requested))
        return CString(requested.toUtf8().constData());
    if (QFontDatabase::hasFamily(QStringLiteral("DejaVu Sans")))
        return "DejaVu Sans";
    return CString(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toUtf8().constData());
}
