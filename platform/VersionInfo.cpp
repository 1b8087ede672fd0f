#include "platform/VersionInfo.h"

CString CVersionInfo::VersionText(const std::array<WORD, 4>& v)
{
    CString text;
    text.Format("%u.%u.%u.%u", unsigned{v[0]}, unsigned{v[1]}, unsigned{v[2]}, unsigned{v[3]});
    return text;
}

CString CVersionInfo::GetString(const char* name) const
{
    const auto it = m_Strings.find(name ? name : "");
    return it == m_Strings.end() ? CString() : CString(it->second);
}
