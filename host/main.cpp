// motionhost: loads a motion module and calls its exports by name.
//
//   motionhost [--module PATH] [--setup FILE] info [--icon FILE.bmp]
//   motionhost [--module PATH] [--setup FILE] defaults
//   motionhost [--module PATH] [--setup FILE] translate FILE|-
//
// Exit status: 0 success, 1 the module reports an error, 2 usage or file
// errors. Every usage or file error is one line on standard error, printed
// before any output (an input text is checked, and an icon file created,
// first). Input texts are read with CInputFile: at most 1 GiB.
#include "host/InputFile.h"
#include "host/ModuleLoader.h"
#include "kernel/ModuleExports.h"
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "platform/Dib.h"
#include "platform/ModuleResources.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <limits.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

// A usage or file error: one line on standard error.
struct SHostError {
    std::string message;
};

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

void WriteBytes(std::FILE* to, const CString& text)
{
    if (std::fwrite(text.GetString(), 1, static_cast<std::size_t>(text.GetLength()), to) !=
            static_cast<std::size_t>(text.GetLength()) ||
        std::fflush(to) != 0)
        throw SHostError{std::string("cannot write the output: ") + std::strerror(errno)};
}

// An output file, created when it is opened, so that a folder that does not
// exist is reported before anything is printed.
class COutputFile {
public:
    explicit COutputFile(std::string path) : m_strPath(std::move(path)), m_pFile(std::fopen(m_strPath.c_str(), "wb"))
    {
        if (!m_pFile)
            throw SHostError{"cannot write " + m_strPath + ": " + std::strerror(errno)};
    }
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;
    ~COutputFile()
    {
        if (m_pFile)
            std::fclose(m_pFile);
    }
    void Write(const std::vector<BYTE>& bytes)
    {
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), m_pFile) == bytes.size();
        const bool closed = std::fclose(m_pFile) == 0;
        m_pFile = nullptr;
        if (!written || !closed)
            throw SHostError{"cannot write " + m_strPath + ": " + std::strerror(errno)};
    }

private:
    std::string m_strPath;
    std::FILE* m_pFile;
};

template <typename Fn>
Fn Require(const CModuleLoader& module, const char* name)
{
    CString error;
    const Fn fn = module.Find<Fn>(name, error);
    if (!fn)
        throw SHostError{error.GetString()};
    return fn;
}

int Info(const CModuleLoader& module, CDK_Setup& setup, const std::string& iconPath)
{
    using namespace module_exports;
    const char* className = Require<GetClassNameFn>(module, kGetClassName)();
    const char* name = Require<GetNameFn>(module, kGetName)();
    const int orderId = Require<GetOrderIDFn>(module, kGetOrderID)();
    const int enabled = Require<IsEnabledFn>(module, kIsEnabled)(setup);
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
    WriteBytes(stdout, text);
    if (icon)
        icon->Write(CDib::ToBmpFile(*dib));
    return 0;
}

int Defaults(const CModuleLoader& module, CDK_Setup& setup)
{
    using namespace module_exports;
    CDK_Motion motion;
    CString text;
    Require<GetDefaultParametersFn>(module, kGetDefaultParameters)(setup, motion, text);
    WriteBytes(stdout, text);
    return 0;
}

int Translate(const CModuleLoader& module, CDK_Setup& setup, CInputFile& input)
{
    using namespace module_exports;
    const auto translate = Require<TranslateMotionSequenceFn>(module, kTranslateMotionSequence);
    CString params;
    const CString error = input.Read(params);
    if (!error.IsEmpty())
        throw SHostError{error.GetString()};
    CDK_Motion motion;
    CString out;
    if (translate(setup, motion, params, out)) {
        WriteBytes(stdout, out);
        return 0;
    }
    // The module's error text as it is, ended by a line feed for the terminal
    // (a validation message has none of its own).
    if (out.IsEmpty() || out[out.GetLength() - 1] != '\n')
        out += '\n';
    WriteBytes(stderr, out);
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

    std::string iconPath;
    CLI::App* info = app.add_subcommand("info", "print the module's identity, availability and version");
    CLI::Option* iconOption = info->add_option("--icon", iconPath, "also write the module's bitmap to this .bmp file");
    app.add_subcommand("defaults", "print the default parameter text of a new motion");
    std::string input;
    CLI::App* translate = app.add_subcommand("translate", "print the motion-language text of a parameter text");
    translate
        ->add_option("FILE", input,
                     "the parameter text, or - for standard input (at most " +
                         CInputFile::DescribeSize(CInputFile::kMaxSize) + ")")
        ->required();

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
    // An empty name would silently mean the default.
    for (const CLI::Option* option : {moduleOption, setupOption, iconOption})
        if (option->count() > 0 && option->as<std::string>().empty())
            return Usage(option->get_name() + " needs a file name, not an empty text");

    try {
        // The input is checked before any other file is opened: a closed
        // standard input would otherwise be taken by the next one.
        CInputFile inputFile(input);
        if (*translate) {
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
        CModuleLoader module;
        const CString error = module.Load(modulePath.c_str());
        if (!error.IsEmpty())
            throw SHostError{error.GetString()};

        if (*info)
            return Info(module, setup, iconPath);
        if (app.got_subcommand("defaults"))
            return Defaults(module, setup);
        return Translate(module, setup, inputFile);
    } catch (const SHostError& e) {
        std::fprintf(stderr, "motionhost: %s\n", e.message.c_str());
        return kUsage;
    }
}
