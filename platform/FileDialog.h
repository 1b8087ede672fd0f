// CFileDialog: the choice of a file to open, through the installed prompt
// (CPrompt::ChooseFileToOpen; the window system's prompt shows Qt's file
// dialog, a test's prompt answers from its script).
//
//   CFileDialog dlg(TRUE, NULL, NULL, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
//                   "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", this);
//   if (dlg.DoModal() == IDOK)
//       Open(dlg.GetPathName());
//
// The filter, the flags, the default extension and the initial file name
// reach the prompt unchanged. With OFN_FILEMUSTEXIST only an existing file
// can be chosen; OFN_HIDEREADONLY, OFN_OVERWRITEPROMPT and OFN_READONLY have
// no effect on a file to open (there is no read-only check box).
//
// Only files to open are chosen here: a dialog made for saving
// (bOpenFileDialog FALSE) asks nothing; its DoModal tells the user that a
// file cannot be chosen for saving in this program and returns IDCANCEL.
#pragma once

#include "platform/MessageBox.h"
#include "platform/Prompt.h"
#include "platform/String.h"
#include "platform/Types.h"

class CWnd;

class CFileDialog {
public:
    // `lpszDefExt`: the extension added to a name typed without one (without
    // the "."); `lpszFileName`: the file (or folder) the choice starts from;
    // `lpszFilter`: pairs of description and patterns, each ended by "|",
    // the list ended by another "|"; `pParentWnd`: the owner, null for the
    // innermost modal dialog (CDialog::GetModalDialog) or none.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    virtual ~CFileDialog() = default;

    // Lets the user choose; IDOK with the chosen file, IDCANCEL when the user
    // cancelled (the previous choice is kept) or there is no display.
    virtual INT_PTR DoModal();

    // The chosen file's full path as the prompt gave it ("" before a choice).
    CString GetPathName() const { return m_strPathName; }
    // Its name without the folder: "points.txt" for "/home/ann/points.txt".
    CString GetFileName() const;
    // Its extension without the ".": "txt" ("" when the name has none).
    CString GetFileExt() const;

    // What the prompt is asked; may be changed before DoModal.
    CPrompt::CFileRequest m_Request;

private:
    BOOL m_bOpenFileDialog;
    CWnd* m_pParentWnd;
    CString m_strPathName;
};
