#include "host/TranslateCommand.h"

#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/InputFile.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"

#include <CLI/CLI.hpp>

CLI::App* CTranslateCommand::Register(CLI::App& app)
{
    CLI::App* command = app.add_subcommand(
        "translate", "print the motion-language lines that load and start the motion");
    command->add_option("FILE", m_strInput, CInputFile::Help())->required()->type_name("FILE");
    return command;
}

void CTranslateCommand::ListFiles(CFileRoles& files) const { files.AddInput("the input file", m_strInput); }

int CTranslateCommand::Run(CHostContext& context)
{
    using namespace module_exports;
    CInputFile input(m_strInput);
    ThrowIf(input.Open());
    CDK_Setup& setup = context.Setup();
    const auto translate = context.Module().Require<TranslateMotionSequenceFn>(kTranslateMotionSequence);
    CString params;
    ThrowIf(input.Read(params));
    CDK_Motion motion;
    CString out;
    if (translate(setup, motion, params, out)) {
        CConsole::Out(out);
        return EXIT_OK;
    }
    // The module's error text as it is, ended by a line feed for the terminal
    // (a validation message has none of its own).
    if (out.IsEmpty() || out[out.GetLength() - 1] != '\n')
        out += '\n';
    CConsole::Err(out.View());
    return EXIT_FAILED;
}
