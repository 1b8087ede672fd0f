// motionhost: loads a motion module and calls its exports by name.
//
//   motionhost [--module PATH] [--setup FILE] info [--icon FILE.bmp]
//   motionhost [--module PATH] [--setup FILE] defaults
//   motionhost [--module PATH] [--setup FILE] translate FILE|-
//   motionhost [--module PATH] [--setup FILE] edit FILE
//   motionhost [--setup FILE] preview FILE|- [--csv OUT|-] [--png OUT|-] [--size WxH]
//   motionhost [--module PATH] [--setup FILE] import POINTS [--into FILE]
//
// Exit status: 0 success, 1 the module reports an error (translation failed,
// editor cancelled, no point imported), 2 usage or file errors. Every usage
// or file error is one line on standard error, printed before any output (an
// input text is checked, and every output file's folder, first). Input texts
// are read with CInputFile: at most 1 GiB. Files are written with
// CAtomicFile: a failure or a kill leaves the old file as it was.
//
// The module is loaded only by the commands that call it: preview runs the
// module's own preview code linked into the host (the exports offer none),
// and import needs the module only for the default text when no FILE is
// given.
#include "host/Console.h"
#include "host/EditCommand.h"
#include "host/HostError.h"
#include "host/ImportCommand.h"
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "host/OutputFile.h"
#include "host/PreviewCommand.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/Dib.h"
#include "platform/Exception.h"
#include "platform/ModuleResources.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits.h>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

std::string Directory(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string DefaultModulePath()
{
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "Velkor.so";
    exe[n] = '\0';
    return Directory(exe) + "/Velkor.so";
}

int Info(const CModuleLoader& module, CDK_Setup& setup, const std::string& iconPath)
{
    using namespace module_exports;
    const char* className = module.Require<GetClassNameFn>(kGetClassName)();
    const char* name = module.Require<GetNameFn>(kGetName)();
    const int orderId = module.Require<GetOrderIDFn>(kGetOrderID)();
    const int enabled = module.Require<IsEnabledFn>(kIsEnabled)(setup);
    const CModuleResources* resources = module.GetResources();
    // The icon's file is created before anything is printed: a bad path
    // gives one line and no output.
    const std::vector<BYTE>* dib = nullptr;
    std::unique_ptr<COutputFile> icon;
    if (!iconPath.empty()) {
        dib = resources ? resources->FindBitmap("MODULEICON") : nullptr;
        if (!dib)
            throw SHostError{"the module has no bitmap \"MODULEICON\""};
        icon = std::make_unique<COutputFile>(iconPath);
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
    CConsole::Out(text);
    if (icon) {
        const std::vector<BYTE> bmp = CDib::ToBmpFile(*dib);
        icon->Write(bmp.data(), bmp.size());
        icon->Commit();
    }
    return 0;
}

int Defaults(const CModuleLoader& module, CDK_Setup& setup)
{
    using namespace module_exports;
    CDK_Motion motion;
    CString text;
    module.Require<GetDefaultParametersFn>(kGetDefaultParameters)(setup, motion, text);
    CConsole::Out(text);
    return 0;
}

int Translate(const CModuleLoader& module, CDK_Setup& setup, CInputFile& input)
{
    using namespace module_exports;
    const auto translate = module.Require<TranslateMotionSequenceFn>(kTranslateMotionSequence);
    CString params;
    const CString error = input.Read(params);
    if (!error.IsEmpty())
        throw SHostError{error.GetString()};
    CDK_Motion motion;
    CString out;
    if (translate(setup, motion, params, out)) {
        CConsole::Out(out);
        return 0;
    }
    // The module's error text as it is, ended by a line feed for the terminal
    // (a validation message has none of its own).
    if (out.IsEmpty() || out[out.GetLength() - 1] != '\n')
        out += '\n';
    CConsole::Err(out.View());
    return kFailed;
}

// The command line's first word when it names no command: "motionhost
// frobnicate" is an unknown command, not a missing one.
std::string UnknownCommand(const CLI::App& app)
{
    if (!app.get_subcommands().empty())
        return {};
    for (const std::string& word : app.remaining(false))
        if (!word.empty() && word[0] != '-')
            return word;
    return {};
}

std::string CommandNames(const CLI::App& app)
{
    std::string names;
    const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
    for (std::size_t i = 0; i < commands.size(); ++i)
        names += (i == 0 ? "" : i + 1 == commands.size() ? " or " : ", ") + commands[i]->get_name();
    return names;
}

int Usage(const std::string& message)
{
    std::fprintf(stderr, "motionhost: %s (see motionhost --help)\n", message.c_str());
    return kUsage;
}

bool SameFile(const std::string& a, const std::string& b)
{
    struct stat first = {}, second = {};
    return a == b || (stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
                      first.st_ino == second.st_ino);
}

// Both outputs of a preview on standard output, or in one file, would spoil
// each other; an output in place of the input would lose the motion.
std::string CheckPreviewOutputs(const std::string& input, const std::string& csv, const std::string& png)
{
    const std::string kStdout = COutputFile::kStandardOutput;
    if (!csv.empty() && !png.empty()) {
        if (csv == kStdout && png == kStdout)
            return "--csv and --png cannot both write standard output";
        if (SameFile(csv, png))
            return "--csv and --png name the same file";
    }
    for (const auto& [option, path] : {std::pair<const char*, const std::string&>{"--csv", csv}, {"--png", png}})
        if (!path.empty() && path != kStdout && input != CInputFile::kStandardInput && SameFile(path, input))
            return std::string(option) + " names the input file " + input;
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"motionhost: loads a motion module and calls its exports by name."};
    app.require_subcommand(1);
    std::string modulePath = DefaultModulePath();
    std::string setupPath;
    CLI::Option* moduleOption =
        app.add_option("--module", modulePath, "the motion module to load (default: Velkor.so beside motionhost)");
    CLI::Option* setupOption =
        app.add_option("--setup", setupPath, "the drive setup file (default: the embedded default drive)");
    const std::string inputHelp =
        "the parameter text, or - for standard input (at most " + CInputFile::DescribeSize(CInputFile::kMaxSize) + ")";

    std::string iconPath;
    CLI::App* info = app.add_subcommand("info", "print the module's identity, availability and version");
    CLI::Option* iconOption = info->add_option("--icon", iconPath, "also write the module's bitmap to this .bmp file");
    CLI::App* defaults = app.add_subcommand("defaults", "print the default parameter text of a new motion");
    std::string input;
    CLI::App* translate = app.add_subcommand("translate", "print the motion-language text of a parameter text");
    translate->add_option("FILE", input, inputHelp)->required();

    std::string editPath;
    CLI::App* edit = app.add_subcommand(
        "edit", "open the module's editor on a parameter text file; OK saves it (atomically), Cancel leaves it");
    edit->add_option("FILE", editPath, "the parameter text file (created on OK when it does not exist)")->required();

    CPreviewCommand::SOptions previewOptions;
    std::string sizeText;
    CLI::App* preview = app.add_subcommand(
        "preview", "the trajectory as the editor previews it: CSV of the samples, a PNG of the graph, or a summary");
    preview->add_option("FILE", input, inputHelp)->required();
    CLI::Option* csvOption =
        preview->add_option("--csv", previewOptions.csv, "write the samples as CSV to OUT (- for standard output)");
    CLI::Option* pngOption =
        preview->add_option("--png", previewOptions.png, "draw the graph into the PNG file OUT (- for standard output)");
    preview
        ->add_option("--size", sizeText,
                     "the picture's size in pixels (default " + std::to_string(CPreviewCommand::kDefaultWidth) + "x" +
                         std::to_string(CPreviewCommand::kDefaultHeight) + ")")
        ->needs(pngOption);

    std::string pointsPath, intoPath;
    CLI::App* import = app.add_subcommand(
        "import", "read a points file with the editor's import rules and print the parameter text, or put it into FILE");
    import->add_option("POINTS", pointsPath, "the points file: position, velocity and time on each line")->required();
    CLI::Option* intoOption = import->add_option(
        "--into", intoPath, "replace the table of this parameter text file (atomically), keeping its other parameters");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        const std::string unknown = UnknownCommand(app);
        if (!unknown.empty())
            return Usage("unknown command " + unknown);
        if (app.get_subcommands().empty() && dynamic_cast<const CLI::RequiredError*>(&e))
            return Usage("a command is required: " + CommandNames(app));
        return Usage(e.what());
    }
    // An empty name would silently mean the default, or nothing.
    for (const CLI::Option* option : {moduleOption, setupOption, iconOption, csvOption, pngOption, intoOption})
        if (option->count() > 0 && option->as<std::string>().empty())
            return Usage(option->get_name() + " needs a file name, not an empty text");
    if (*preview) {
        if (!sizeText.empty()) {
            const std::string error = CPreviewCommand::ParseSize(sizeText, previewOptions.width, previewOptions.height);
            if (!error.empty())
                return Usage(error);
        }
        if (const std::string error = CheckPreviewOutputs(input, previewOptions.csv, previewOptions.png); !error.empty())
            return Usage(error);
    }

    try {
        // The input is checked before any other file is opened: a closed
        // standard input would otherwise be taken by the next one.
        CInputFile inputFile(input);
        if (*translate || *preview) {
            const CString error = inputFile.Open();
            if (!error.IsEmpty())
                throw SHostError{error.GetString()};
        }
        CDK_Setup setup;
        if (!setupPath.empty()) {
            const CString error = setup.LoadFromFile(setupPath.c_str());
            if (!error.IsEmpty())
                throw SHostError{error.GetString()};
        }
        // The module, loaded once by the first command step that needs it.
        CModuleLoader module;
        bool loaded = false;
        const auto loadModule = [&]() -> const CModuleLoader& {
            if (!loaded) {
                const CString error = module.Load(modulePath.c_str());
                if (!error.IsEmpty())
                    throw SHostError{error.GetString()};
                loaded = true;
            }
            return module;
        };

        if (*info)
            return Info(loadModule(), setup, iconPath);
        if (*defaults)
            return Defaults(loadModule(), setup);
        if (*translate)
            return Translate(loadModule(), setup, inputFile);
        if (*edit)
            return CEditCommand::Run(setup, editPath, loadModule);
        if (*preview)
            return CPreviewCommand::Run(setup, inputFile, previewOptions);
        return CImportCommand::Run(setup, pointsPath, intoPath, [&]() {
            CDK_Motion motion;
            CString text;
            loadModule().Require<module_exports::GetDefaultParametersFn>(module_exports::kGetDefaultParameters)(
                setup, motion, text);
            return text;
        });
    } catch (const SHostError& e) {
        std::fprintf(stderr, "motionhost: %s\n", e.message.c_str());
        return kUsage;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "motionhost: not enough memory\n");
        return kUsage;
    } catch (CException* e) {
        const CString message = e->GetMessage();
        e->Delete();
        std::fprintf(stderr, "motionhost: %s\n", message.GetString());
        return kUsage;
    }
}
