// CVelocitiesCommand: `motionhost velocities FILE|- --method spline|monotone
// [--in-place]`: the velocity column of a parameter text computed from its
// times and positions (CVelocityGenerator), quantised as the column holds
// it; everything else as CTableCommand says. A point that does not pass the
// previous one by a whole sampling period is refused with the table check's
// message for it.
#pragma once

#include "host/TableCommand.h"

#include <string>

namespace CLI {
class Validator;
}

class CVelocitiesCommand : public CTableCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    const char* FailureStatus() const override
    {
        return "a point does not pass the previous one by a whole sampling period (nothing is printed or written)";
    }
    const char* Example() const override { return "velocities my-motion.pvt --method spline --in-place"; }

    // The --method option's help text, shared with import --velocities.
    static std::string MethodHelp();
    // Accepts the names of the methods; any other value is refused with
    // "--method: expected spline or monotone, not "NAME"".
    static CLI::Validator MethodCheck();
    static const char* const kMethods[2];

protected:
    CString Change(CInternalData& data) override;
    bool ReadsVelocities() const override { return false; }

private:
    std::string m_strMethod;
};
