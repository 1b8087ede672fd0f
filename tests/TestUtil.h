// What every test program and the benchmarks share: a temporary folder that
// removes itself, files in it, a whole file read back, and Qt's offscreen
// platform for windows without a display.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace testutil {

// Windows run on Qt's offscreen platform unless the environment chose one;
// call before the application object exists. Returns true, so that a
// namespace-scope constant can run it before main.
inline bool UseOffscreenPlatform()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A new folder in /tmp ("/tmp/NAME-XXXXXX"), removed with everything in it
// (whatever its permissions) when the object goes. Path() is empty when the
// folder could not be made.
class CTempDir {
public:
    explicit CTempDir(const std::string& name = "velkor-test")
    {
        std::string pattern = "/tmp/" + name + "-XXXXXX";
        if (mkdtemp(pattern.data()))
            m_strPath = pattern;
    }
    ~CTempDir()
    {
        if (!m_strPath.empty())
            std::system(("chmod -R u+rwx '" + m_strPath + "' 2>/dev/null; rm -rf '" + m_strPath + "'").c_str());
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // A file NAME in the folder holding `bytes`; its path.
    std::string File(const std::string& name, const std::string& bytes) const
    {
        const std::string path = m_strPath + "/" + name;
        WriteFile(path, bytes);
        return path;
    }

private:
    std::string m_strPath;
};

}  // namespace testutil
