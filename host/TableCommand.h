// CTableCommand: a command that changes the point table of a parameter
// text: `velocities` and `split`. The text is read from FILE or standard
// input ("-") with no module loaded, into a record as the editor opens it
// (reading messages are warnings, except the table check, which the change
// may well be meant to fix; the columns normalised). Then the command's
// change; the new table's check, a warning when it still fails; and the
// text as the record writes it (every key kept in the record's own form;
// comments and unknown keys are not kept) on standard output, or, with
// --in-place, in place of FILE, written atomically with its permissions
// kept. Standard error ends with one line of the trajectory report on the
// new table.
//
// Exit status 1, with nothing printed or written, when the change refuses
// the table; 2 for usage and file errors.
#pragma once

#include "host/Command.h"
#include "platform/String.h"

#include <string>

class CInternalData;

class CTableCommand : public CCommand {
public:
    bool UsesModule() const override { return false; }
    void Validate() override;
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

    // The messages of reading a text into `data`, without the table check
    // that ReadParameters collects last (CheckPoints gives it again).
    static CString ReadingMessages(CInternalData& data, const CString& errors);
    // Whether `text` holds something other than blank space and comments but
    // none of a motion's keys: then it is not a parameter text.
    static bool IsOtherText(const CString& text);
    // The trajectory report's line on a table, for standard error.
    static std::string ReportLine(CInternalData& data);

protected:
    // Adds FILE and --in-place to the command.
    void AddFileOptions(CLI::App& command);
    // Changes the table of `data`: the empty text, or the message of a
    // refusal (then nothing is printed or written, exit status 1).
    virtual CString Change(CInternalData& data) = 0;
    // Whether Change reads the velocity column (velocities computes it).
    virtual bool ReadsVelocities() const { return true; }

    std::string m_strInput;
    bool m_bInPlace = false;

private:
    // Empty when the three point columns hold as many values (a velocity
    // column of another length is replaced by zeros when the command does
    // not read it); otherwise the refusal.
    std::string UnevenColumns(CInternalData& data) const;
};
