// CEditCommand: `motionhost edit FILE`: the module's editor
// (EditMotionSequence) on FILE's parameter text.
//
//   - FILE that does not exist: the editor starts from the module's default
//     text, and OK creates the file (permissions as a new file gets them).
//   - OK (the export returns 1): FILE is replaced atomically with the text
//     the editor wrote, after FILE's leading comment block (the comment and
//     blank lines before its first key; other comments are not kept, since
//     the editor writes its text anew) (CAtomicFile: temporary file in the same folder,
//     fsync, rename, the permissions and, where allowed, the owner kept).
//     Should that fail, the edited text is not lost: it is printed on
//     standard output after the one-line message (exit status 2).
//   - FILE changed on disk while the editor was open (another editor saved
//     it, say): FILE is not replaced, which would lose that change; the
//     edited text goes into a new file beside it, FILE.edited (or
//     FILE.edited.2, ... when that exists), and one line says so; exit
//     status 1.
//   - Cancel (0): FILE is left byte for byte, nothing is created; one line
//     on standard error says so; exit status 1.
//   - No display (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM): one line,
//     exit status 2, before anything is read or loaded. The display lost
//     while the editor is open: one line, exit status 2 (CProcessSetup).
//   - "-" is refused: standard input cannot be written back.
// Everything that would keep the result from being saved (FILE not a
// regular file, a folder or read-only file, a folder that does not exist,
// the module without the export) is said before FILE is read and the editor
// opens.
#pragma once

#include "host/Command.h"

#include <string>

class CEditCommand : public CCommand {
public:
    // The most names tried beside FILE for the edited text.
    static constexpr int kMaxEditedNames = 100;

    CLI::App* Register(CLI::App& app) override;
    const char* FailureStatus() const override
    {
        return "cancelled, or FILE changed on disk while it was edited (the edited text is saved beside it)";
    }
    const char* Example() const override { return "edit examples/multi-point.pvt"; }
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

private:
    std::string m_strPath;
};
