// CDefaultsCommand: `motionhost defaults`: the module's parameter text of a
// new motion.
#pragma once

#include "host/Command.h"

class CDefaultsCommand : public CCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    const char* Example() const override { return "defaults > new-motion.pvt"; }
    int Run(CHostContext& context) override;
};
