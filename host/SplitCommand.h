// CSplitCommand: `motionhost split FILE|- [--in-place]`: the segments of a
// parameter text's table that last more than 511 sampling periods or step
// beyond the signed 24-bit range, divided on their own cubic
// (CSegmentSplitter); standard error says how many points were added.
// Everything else as CTableCommand says.
#pragma once

#include "host/TableCommand.h"

class CSplitCommand : public CTableCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    const char* FailureStatus() const override
    {
        return "a segment is too steep to divide: it moves beyond the 24-bit step within one sampling period";
    }
    const char* Example() const override { return "split my-motion.pvt --in-place"; }

protected:
    CString Change(CInternalData& data) override;
};
