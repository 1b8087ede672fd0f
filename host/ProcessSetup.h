// CProcessSetup: what motionhost makes safe before it does anything else.
//   - Descriptors 0, 1 and 2 are open (CStandardStreams), so that no output
//     file takes a standard number.
//   - SIGINT, SIGTERM, SIGHUP and SIGPIPE remove the temporary files of
//     outputs being written (CTemporaryFiles).
//   - Qt's debug and warning messages are not shown: they concern its
//     session environment (no XDG_RUNTIME_DIR under ssh or in CI), never
//     the command's work; critical and fatal ones are.
//   - A window system that cannot start (a bad QT_QPA_PLATFORM) or loses
//     its display while the editor is open ends the program with one line
//     and exit status 2 instead of an abort, or a status that reads as
//     "cancelled"; the temporary files are removed first.
#pragma once

class CProcessSetup {
public:
    static void Prepare();
};
