#include "platform/Exception.h"

#include "platform/ResourceRegistry.h"

#include <algorithm>
#include <cstring>

BOOL CException::GetErrorMessage(char* buffer, UINT maxLength, UINT* helpContext) const
{
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxLength == 0)
        return FALSE;
    const CString text = GetMessage();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(text.GetLength()), maxLength - 1);
    std::memcpy(buffer, text.GetString(), n);
    buffer[n] = '\0';
    return TRUE;
}

int CException::ReportError(UINT nType, UINT nMessageID) const
{
    CString text = GetMessage();
    if (text.IsEmpty() && nMessageID != 0) {
        if (const char* resource = CResourceRegistry::Instance().FindString(nMessageID))
            text = resource;
    }
    if (text.IsEmpty())
        text = "No error message is available.";
    return AfxMessageBox(text, nType);
}
