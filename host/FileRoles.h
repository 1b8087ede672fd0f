// CFileRoles: the files a command line names, by their role, checked before
// the command reads or writes anything: no output may be the same file
// (device and inode, so also through another name, a link or standard
// input) as an input, which it would replace: the parameter text, the
// points file, the setup file, the module, or the file on standard input.
#pragma once

#include <string>
#include <vector>

class CFileRoles {
public:
    // `what` names the role in a message ("the input file", "the setup
    // file"); "-" stands for standard input.
    void AddInput(const std::string& what, const std::string& path);
    // `option` names the output in a message ("--csv", "edit FILE"). "-"
    // (standard output) replaces no file.
    void AddOutput(const std::string& option, const std::string& path);
    // Throws SHostError when an output is one of the inputs.
    void Check() const;

private:
    struct SFile {
        std::string role;
        std::string path;
    };
    std::vector<SFile> m_Inputs;
    std::vector<SFile> m_Outputs;
};
