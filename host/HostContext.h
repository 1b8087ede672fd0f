// CHostContext: what every command of motionhost works with: the global
// options, the drive setup and the module, loaded on first use.
#pragma once

#include "host/ModuleLoader.h"
#include "kernel/Setup.h"
#include "platform/String.h"

#include <string>

class CHostContext {
public:
    // `modulePath` empty: Velkor.so beside the program; `setupPath` empty:
    // the embedded default drive.
    CHostContext(std::string modulePath, std::string setupPath);
    CHostContext(const CHostContext&) = delete;
    CHostContext& operator=(const CHostContext&) = delete;

    const std::string& GetModulePath() const { return m_strModulePath; }
    const std::string& GetSetupPath() const { return m_strSetupPath; }

    // The setup: read from the setup file the first time. Throws SHostError.
    CDK_Setup& Setup();
    // The module, loaded the first time. Throws SHostError.
    const CModuleLoader& Module();
    // The module's default parameter text of a new motion.
    CString DefaultText();

    // Velkor.so beside the running program, or in ../lib/velkor from it
    // (where an install puts it).
    static std::string DefaultModulePath();

private:
    std::string m_strModulePath;
    std::string m_strSetupPath;
    CDK_Setup m_Setup;
    bool m_bSetupLoaded = false;
    CModuleLoader m_Module;
    bool m_bModuleLoaded = false;
};
