#include "platform/FileDialog.h"

#include "platform/Dialog.h"

#include <string_view>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_pParentWnd(pParentWnd)
{
    m_Request.m_strDefExt = lpszDefExt ? lpszDefExt : "";
    m_Request.m_strInitialPath = lpszFileName ? lpszFileName : "";
    m_Request.m_dwFlags = dwFlags;
    m_Request.m_strFilter = lpszFilter ? lpszFilter : "";
}

INT_PTR CFileDialog::DoModal()
{
    if (!m_bOpenFileDialog) {
        // Nothing in this program saves through a file dialog; say so rather
        // than pretend a choice was made.
        AfxMessageBox("A file cannot be chosen for saving in this program.", MB_OK | MB_ICONEXCLAMATION);
        return IDCANCEL;
    }
    CWnd* owner = m_pParentWnd ? m_pParentWnd : CDialog::GetModalDialog();
    CString path;
    if (!CPrompt::Get().ChooseFileToOpen(owner, m_Request, path) || path.IsEmpty())
        return IDCANCEL;
    m_strPathName = path;
    return IDOK;
}

CString CFileDialog::GetFileName() const
{
    const std::string_view path = m_strPathName.View();
    const std::size_t slash = path.find_last_of('/');
    return CString(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const std::string_view view = name.View();
    const std::size_t dot = view.find_last_of('.');
    return CString(dot == std::string_view::npos ? std::string_view() : view.substr(dot + 1));
}
