#include "host/DefaultsCommand.h"

#include "host/Console.h"
#include "host/HostContext.h"
#include "host/HostError.h"

#include <CLI/CLI.hpp>

CLI::App* CDefaultsCommand::Register(CLI::App& app)
{
    return app.add_subcommand("defaults", "print the parameter text of a new motion");
}

int CDefaultsCommand::Run(CHostContext& context)
{
    CConsole::Out(context.DefaultText());
    return EXIT_OK;
}
