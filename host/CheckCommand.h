// CCheckCommand: `motionhost check FILE [--json] [--max-velocity V]
// [--max-acceleration A]`: the trajectory report of a parameter text
// (CTrajectoryReport): every problem of its point table, the peak velocity
// and acceleration and the overshoots from the drive's own samples, and the
// segments beyond the limits.
//
// The table is judged as the text gives it (not normalised as the editor
// opens it: a first point off the origin is a problem, not repaired). The
// other messages of reading the text (a bad option, an event, a column the
// kernel refuses) are warnings on standard error: `translate` judges the
// whole text, `check` the point table.
//
// Limits are in the text's display units (the velocity unit; the velocity
// unit per time unit); without the options, the setup's maxVelocity and
// maxAcceleration (internal units) are used, converted.
//
// Output on standard output: a table for a person (one row per point, then a
// summary), or with --json one JSON document (docs/check.md).
// Exit status: 0 when the table has no problem and no segment exceeds a
// limit; 1 otherwise, and also when limits are given but the trajectory is
// too long to sample (they could not be checked: a warning says so);
// 2 for usage and file errors. Overshoots are findings, not failures.
#pragma once

#include "host/Command.h"

#include <string>

namespace CLI {
class Option;
}

class CCheckCommand : public CCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    const char* FailureStatus() const override
    {
        return "the table has a problem or a segment exceeds a limit (the report is printed all the same)";
    }
    const char* Example() const override { return "check examples/multi-point.pvt --max-velocity 3000"; }
    bool UsesModule() const override { return false; }
    void Validate() override;
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

private:
    std::string m_strInput;
    bool m_bJson = false;
    double m_dMaxVelocity = 0;
    double m_dMaxAcceleration = 0;
    CLI::Option* m_pMaxVelocity = nullptr;
    CLI::Option* m_pMaxAcceleration = nullptr;
};
