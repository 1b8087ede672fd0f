// CWindowSystem: the window system under the framework's windows (Qt
// Widgets). The framework creates the application object itself, once, the
// first time a window is needed; module code never does.
//
// Starting the window system does not change how numbers are read or
// written: the application object sets the process locale from the
// environment, and the numeric category (LC_NUMERIC) is put back to what it
// was right after ("C" in a program that never set it).
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

class CWindowSystem {
public:
    // TRUE when windows can be shown: DISPLAY, WAYLAND_DISPLAY or
    // QT_QPA_PLATFORM is set and not empty, and, where the X platform would
    // be used, the X display can be connected to. Otherwise FALSE, and
    // `message` (when given) receives one line that says so. A host calls this before
    // its first window, so that it can stop cleanly instead of the window
    // system aborting the process.
    static BOOL IsDisplayAvailable(CString* message = nullptr);

    // Creates the application object the first time it is called (a program
    // that created its own QApplication keeps it). FALSE, creating nothing,
    // when no display is available or the program's application object
    // cannot show windows.
    static BOOL EnsureApplication();

    // What the program does when the window system fails for good: the
    // application object cannot be created (QT_QPA_PLATFORM names a platform
    // that is not installed, or one that cannot reach its display, such as
    // "wayland" without a compositor), or the display is lost while windows
    // are open (the X server ended). Qt would abort the process in the first
    // case, and in the second end it with status 1, which a host would read
    // as a cancelled dialog. The handler gets one line and is expected to
    // end the program; should it return, Qt's own handling follows. Without
    // a handler (the default) Qt's handling is left as it is.
    using FailureHandler = void (*)(const char* message);
    static void SetFailureHandler(FailureHandler handler);

    // The installed font family that stands for a template's font face: the
    // face itself when installed; otherwise, for the classic dialog faces
    // ("MS Sans Serif", "MS Shell Dlg", "Microsoft Sans Serif", ...) and any
    // other missing face, "DejaVu Sans", whose average character width and
    // height at 8 point (7 x 13 pixels at 96 dots per inch) keep a template's
    // proportions; the system's general font when that is missing too.
    // Needs the application object.
    static CString ResolveFontFamily(const char* face);
};
