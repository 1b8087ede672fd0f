#include "host/InfoCommand.h"

#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/OutputFile.h"
#include "kernel/ModuleExports.h"
#include "platform/Dib.h"
#include "platform/ModuleResources.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <vector>

CLI::App* CInfoCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "info", "print the module's identity, its availability for the drive and its version");
    command->add_option("--icon", m_strIcon, "also write the module's 16 x 16 bitmap to OUT as a .bmp file")
        ->type_name("OUT");
    return command;
}

void CInfoCommand::ListFiles(CFileRoles& files) const { files.AddOutput("--icon", m_strIcon); }

int CInfoCommand::Run(CHostContext& context)
{
    using namespace module_exports;
    const CModuleLoader& module = context.Module();
    const char* className = module.Require<GetClassNameFn>(kGetClassName)();
    const char* name = module.Require<GetNameFn>(kGetName)();
    const int orderId = module.Require<GetOrderIDFn>(kGetOrderID)();
    const int enabled = module.Require<IsEnabledFn>(kIsEnabled)(context.Setup());
    const CModuleResources* resources = module.GetResources();
    // The icon's file is created before anything is printed: a bad path
    // gives one line and no output.
    const std::vector<BYTE>* dib = nullptr;
    std::unique_ptr<COutputFile> icon;
    if (!m_strIcon.empty()) {
        dib = resources ? resources->FindBitmap("MODULEICON") : nullptr;
        if (!dib)
            throw SHostError{"the module has no bitmap \"MODULEICON\""};
        icon = std::make_unique<COutputFile>(m_strIcon);
        icon->Open();
    }
    CString text;
    text.Format("class: %s\ntype: %s\norder id: %d\nenabled: %s\n", className ? className : "",
                name ? name : "", orderId, enabled ? "yes" : "no");
    if (resources) {
        text.AppendFormat("version: %s\n", CVersionInfo::VersionText(resources->m_Version.m_FileVersion).GetString());
        text.AppendFormat("description: %s\n", resources->m_Version.GetString("FileDescription").GetString());
    } else {
        text += "version: none\ndescription: none\n";
    }
    if (icon) {
        const std::vector<BYTE> bmp = CDib::ToBmpFile(*dib);
        icon->Write(bmp.data(), bmp.size());
    }
    CConsole::Out(text);
    if (icon)
        icon->Commit();
    return EXIT_OK;
}
