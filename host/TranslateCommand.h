// CTranslateCommand: `motionhost translate FILE|-`: the motion-language text
// of a parameter text exactly as the module returns it; when the module
// refuses the motion, its messages on standard error (ended by a line feed)
// and exit status 1.
#pragma once

#include "host/Command.h"

#include <string>

class CTranslateCommand : public CCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    const char* FailureStatus() const override
    {
        return "the module refuses the motion: its messages on standard error";
    }
    const char* Example() const override { return "translate examples/multi-point.pvt"; }
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

private:
    std::string m_strInput;
};
