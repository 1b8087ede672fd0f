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
// Checked before anything is read: POINTS is a regular file of at most
// 1 GiB; FILE can be replaced (a regular file we may write, or a new name
// in a folder we may write), is at most 1 GiB and, when it holds anything
// but blank space and comments, holds at least one key of a motion (a file
// of other text is not a parameter text, and would be lost).
//
// With --velocities spline|monotone: a line of two numbers (position, time)
// is a point line too, and after the import the velocity column is computed
// from the positions (CVelocityGenerator), replacing the velocities of
// three-number lines; standard error ends with the trajectory report's
// line. Without it the import is exactly the editor's.
//
// Exit status: 0 when at least one point was taken; 1 when none was (then
// nothing is printed or written: FILE keeps its table); 2 when POINTS cannot
// be read (the file exception's message, one line; a read error part way
// leaves FILE untouched too) or FILE cannot be read or written.
#pragma once

#include "host/Command.h"
#include "platform/String.h"

#include <cstddef>
#include <memory>
#include <string>

class CAtomicFile;
class CInternalData;

class CImportCommand : public CCommand {
public:
    static constexpr std::size_t kListedSkips = 20;

    CLI::App* Register(CLI::App& app) override;
    const char* FailureStatus() const override { return "no point was taken (nothing is printed or written)"; }
    const char* Example() const override { return "import examples/import-points.txt --into my-motion.pvt"; }
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

private:
    CString TargetText(CHostContext& context, std::unique_ptr<CAtomicFile>& output) const;
    // With --velocities: the velocity column from the imported positions.
    void ComputeVelocities(CInternalData& data) const;
    // With --velocities: the trajectory report's line on standard error.
    void ReportTable(CInternalData& data) const;

    std::string m_strPoints;
    std::string m_strInto;
    std::string m_strVelocities;
};
