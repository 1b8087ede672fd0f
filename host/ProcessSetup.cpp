#include "host/ProcessSetup.h"

#include "host/Console.h"
#include "host/HostError.h"
#include "host/StandardStreams.h"
#include "host/TemporaryFiles.h"
#include "platform/WindowSystem.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QtMessageHandler s_QtHandler = nullptr;

void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg)
        return;
    if (s_QtHandler)
        s_QtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// Ends the program at once, from wherever the window system failed (inside
// Qt, possibly inside a modal dialog's loop): nothing is unwound.
void OnWindowSystemFailure(const char* message)
{
    CTemporaryFiles::RemoveAll();
    char line[512];
    const int length = std::snprintf(line, sizeof line, "%s%s\n", CConsole::kPrefix, message);
    if (length > 0)
        (void)!write(STDERR_FILENO, line, static_cast<std::size_t>(length) < sizeof line ? length : sizeof line - 1);
    _exit(EXIT_USAGE);
}

}  // namespace

void CProcessSetup::Prepare()
{
    CStandardStreams::Secure();
    CTemporaryFiles::InstallSignalHandlers();
    s_QtHandler = qInstallMessageHandler(QuietQtMessages);
    CWindowSystem::SetFailureHandler(OnWindowSystemFailure);
}
