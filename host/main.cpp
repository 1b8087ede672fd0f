// motionhost: loads a motion module and calls its exports by name.
//
//   motionhost [--module PATH] [--setup FILE] COMMAND [ARGUMENTS] [OPTIONS]
//
// main makes the process safe (CProcessSetup), parses the command line
// (CCommandLine: one class per command, host/*Command.h), checks that no
// output is one of the command's inputs, and runs the command. Every
// command reports usage and file errors by throwing SHostError, caught here
// once and printed as one line; the exit status is 0 for success, 1 when the
// module or the command refuses (each command's help says when), 2 for usage
// and file errors.
#include "host/CommandLine.h"
#include "host/Console.h"
#include "host/FileRoles.h"
#include "host/HostContext.h"
#include "host/HostError.h"
#include "host/ProcessSetup.h"
#include "platform/Exception.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

int Say(const std::string& message, int status)
{
    std::fprintf(stderr, "%s%s\n", CConsole::kPrefix, message.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    CProcessSetup::Prepare();
    CCommandLine line;
    if (const int status = line.Parse(argc, argv); status >= 0)
        return status;
    try {
        CHostContext context(line.GetModulePath(), line.GetSetupPath());
        CFileRoles files;
        files.AddInput("the setup file", context.GetSetupPath());
        files.AddInput("the module", context.GetModulePath());
        line.GetCommand().ListFiles(files);
        files.Check();
        return line.GetCommand().Run(context);
    } catch (const SHostError& e) {
        return Say(e.message, e.status);
    } catch (const std::bad_alloc&) {
        return Say("not enough memory", EXIT_USAGE);
    } catch (CException* e) {
        const CString message = e->GetMessage();
        e->Delete();
        return Say(std::string(message.View()), EXIT_USAGE);
    }
}
