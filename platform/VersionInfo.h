// CVersionInfo: the version resource of a module: file and product version
// (four 16-bit parts each) and the string fields ("FileDescription", ...).
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

#include <array>
#include <map>
#include <string>

class CVersionInfo {
public:
    std::array<WORD, 4> m_FileVersion{};
    std::array<WORD, 4> m_ProductVersion{};
    std::map<std::string, std::string> m_Strings;

    // "1.0.0.1"
    static CString VersionText(const std::array<WORD, 4>& version);
    // The string field `name`, or the empty text.
    CString GetString(const char* name) const;
};
