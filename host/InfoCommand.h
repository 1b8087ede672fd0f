// CInfoCommand: `motionhost info [--icon FILE.bmp]`: the module's class,
// type, order id, availability for the drive, version and description, one
// per line; --icon also writes the module's bitmap as a .bmp file.
#pragma once

#include "host/Command.h"

#include <string>

class CInfoCommand : public CCommand {
public:
    CLI::App* Register(CLI::App& app) override;
    const char* Example() const override { return "info --icon velkor.bmp"; }
    void ListFiles(CFileRoles& files) const override;
    int Run(CHostContext& context) override;

private:
    std::string m_strIcon;
};
