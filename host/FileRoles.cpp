#include "host/FileRoles.h"

#include "host/HostError.h"
#include "host/HostText.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kStandard = "-";

// The regular file behind a path (links followed), or behind standard input.
bool Identify(const std::string& path, struct stat& info)
{
    const int result = path == kStandard ? fstat(STDIN_FILENO, &info) : stat(path.c_str(), &info);
    return result == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void CFileRoles::AddInput(const std::string& what, const std::string& path)
{
    if (!path.empty())
        m_Inputs.push_back({what, path});
}

void CFileRoles::AddOutput(const std::string& option, const std::string& path)
{
    if (!path.empty() && path != kStandard)
        m_Outputs.push_back({option, path});
}

void CFileRoles::Check() const
{
    for (const SFile& output : m_Outputs) {
        struct stat out = {};
        if (!Identify(output.path, out))
            continue;  // a new file, or a device: nothing to lose
        for (const SFile& input : m_Inputs) {
            struct stat in = {};
            if (Identify(input.path, in) && in.st_dev == out.st_dev && in.st_ino == out.st_ino)
                throw SHostError{output.role + " " + CHostText::Name(output.path) + " is " + input.role +
                                 (input.path == kStandard ? " on standard input" : "") +
                                 ", which it would replace"};
        }
    }
}
