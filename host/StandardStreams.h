// CStandardStreams: descriptors 0, 1 and 2 made safe at start-up.
//
// A program started with one of them closed would give that number to the
// next file it opens: an output's temporary file would then receive the
// messages meant for standard error, or the CSV meant for standard output.
// Secure() opens /dev/null onto every one that is closed (before anything
// else is opened) and remembers which were closed, so that a command that
// needs standard input or output can still say that it is closed instead of
// reading or writing nothing.
#pragma once

class CStandardStreams {
public:
    // Call first thing in main.
    static void Secure();
    // Whether descriptor fd (0, 1 or 2) was closed when Secure ran.
    static bool WasClosed(int fd);
};
