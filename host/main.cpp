// motionhost: loads a motion module and calls its exports by name.
//
//   motionhost [--module PATH] [--setup FILE] info [--icon FILE.bmp]
//   motionhost [--module PATH] [--setup FILE] defaults
//   motionhost [--module PATH] [--setup FILE] translate FILE|-
//
// Exit status: 0 success, 1 the module reports an error, 2 usage or file
// errors.
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
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits.h>
#include <string>
#include <unistd.h>

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

CString ReadInput(const std::string& path)
{
    std::string bytes;
    if (path == "-") {
        std::cin >> std::noskipws;
        bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad())
            throw SHostError{"cannot read standard input"};
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            throw SHostError{"cannot read " + path + ": " + std::strerror(errno)};
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad())
            throw SHostError{"cannot read " + path + ": " + std::strerror(errno)};
    }
    return CString(std::string_view(bytes));
}

void WriteBytes(std::FILE* to, const CString& text)
{
    if (std::fwrite(text.GetString(), 1, static_cast<std::size_t>(text.GetLength()), to) !=
            static_cast<std::size_t>(text.GetLength()) ||
        std::fflush(to) != 0)
        throw SHostError{std::string("cannot write the output: ") + std::strerror(errno)};
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw SHostError{"cannot write " + path + ": " + std::strerror(errno)};
}

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
    if (!iconPath.empty()) {
        const std::vector<BYTE>* dib = resources ? resources->FindBitmap("MODULEICON") : nullptr;
        if (!dib)
            throw SHostError{"the module has no bitmap \"MODULEICON\""};
        WriteFile(iconPath, CDib::ToBmpFile(*dib));
    }
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

int Translate(const CModuleLoader& module, CDK_Setup& setup, const std::string& path)
{
    using namespace module_exports;
    const auto translate = Require<TranslateMotionSequenceFn>(module, kTranslateMotionSequence);
    CString params = ReadInput(path);
    CDK_Motion motion;
    CString out;
    if (translate(setup, motion, params, out)) {
        WriteBytes(stdout, out);
        return 0;
    }
    // The module's error text as it is, ended by a line feed for the terminal.
    if (out.IsEmpty() || out[out.GetLength() - 1] != '\n')
        out += '\n';
    WriteBytes(stderr, out);
    return kFailed;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"motionhost: loads a motion module and calls its exports by name."};
    app.require_subcommand(1);
    std::string modulePath = DefaultModulePath();
    std::string setupPath;
    app.add_option("--module", modulePath, "the motion module to load (default: Velkor.so beside motionhost)");
    app.add_option("--setup", setupPath, "the drive setup file (default: the embedded default drive)");

    std::string iconPath;
    CLI::App* info = app.add_subcommand("info", "print the module's identity, availability and version");
    info->add_option("--icon", iconPath, "also write the module's bitmap to this .bmp file");
    app.add_subcommand("defaults", "print the default parameter text of a new motion");
    std::string input;
    CLI::App* translate = app.add_subcommand("translate", "print the motion-language text of a parameter text");
    translate->add_option("FILE", input, "the parameter text, or - for standard input")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::fprintf(stderr, "motionhost: %s (see motionhost --help)\n", e.what());
        return kUsage;
    }

    try {
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
        return Translate(module, setup, input);
    } catch (const SHostError& e) {
        std::fprintf(stderr, "motionhost: %s\n", e.message.c_str());
        return kUsage;
    }
}
