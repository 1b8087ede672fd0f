// CEditCommand: `motionhost edit FILE`: the module's editor
// (EditMotionSequence) on FILE's parameter text.
//
//   - FILE that does not exist: the editor starts from the module's default
//     text, and OK creates the file (permissions as a new file gets them).
//   - OK (the export returns 1): FILE is replaced atomically with the text
//     the editor wrote (CAtomicFile: temporary file in the same folder,
//     fsync, rename, the permissions and, where allowed, the owner kept).
//     Should that fail, the edited text is not lost: it is printed on
//     standard output after the one-line message (exit status 2).
//   - Cancel (0): FILE is left byte for byte, nothing is created; one line
//     on standard error says so; exit status 1.
//   - No display (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM): one line,
//     exit status 2, before anything is read or loaded.
//   - "-" is refused: standard input cannot be written back.
// Everything that would keep the result from being saved (FILE unreadable,
// a folder or read-only file, a folder that does not exist, the module
// without the export) is said before the editor opens.
#pragma once

#include <functional>
#include <string>

class CDK_Setup;
class CModuleLoader;

class CEditCommand {
public:
    // `module` loads the module (once) or throws SHostError.
    static int Run(CDK_Setup& setup, const std::string& path, const std::function<const CModuleLoader&()>& module);
};
