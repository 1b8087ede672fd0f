// CImportCommand: `motionhost import POINTS [--into FILE]`: a points file
// read with exactly the editor's import rules (CImportReader, the reader of
// "Import From File"), into the table of a record as the editor holds it.
//
// The record: FILE read with errors ignored and normalised, as the editor
// opens it (its reading messages are warnings, except the validation of the
// table the import replaces), or the module's default text when no FILE is
// given. The points are read in that record's display units; the import
// ends as the editor's does, with the preview's removal of points that do
// not advance by a whole sampling period (an imported table has none: its
// times are whole sampling periods and strictly increasing).
//
// Output: the record's parameter text (WriteParameters) on standard output,
// or, with --into, in place of FILE, written atomically with its
// permissions kept; FILE's other parameters stay (comments and unknown keys
// do not: the text is written anew, as the editor's OK writes it).
// Standard error: each skipped line as "POINTS:LINE: skipped: REASON", the
// first kListedSkips of them and then how many more, and how many points
// were taken; a warning when the new table would not pass validation.
//
// Exit status: 0 when at least one point was taken; 1 when none was (then
// nothing is printed or written: FILE keeps its table); 2 when POINTS cannot
// be read (the file exception's message, one line; a read error part way
// leaves FILE untouched too) or FILE cannot be read or written.
#pragma once

#include "platform/String.h"

#include <cstddef>
#include <functional>
#include <string>

class CDK_Setup;

class CImportCommand {
public:
    static constexpr std::size_t kListedSkips = 20;

    // `defaultText` gives the module's default parameter text; it is called
    // only when `into` is empty. Throws SHostError for file errors.
    static int Run(CDK_Setup& setup, const std::string& points, const std::string& into,
                   const std::function<CString()>& defaultText);
};
