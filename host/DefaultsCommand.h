// CDefaultsCommand: `motionhost defaults`: the module's parameter text of a
// new motion.
#pragma once

#include "host/Command.h"

class CDefaultsCommand : public CCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    int Run(CHostContext& context) override;
};
