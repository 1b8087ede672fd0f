// CPrompt: everything that waits for a person goes through the installed
// prompt: message boxes (AfxMessageBox, the range message of DDV_MinMaxInt),
// the choice of a file to open (CFileDialog), and the start of every
// dialog's modal run.
//
// This class is the window system's prompt: it shows Qt's message box and
// file dialog, and lets a dialog's modal run go on. A test installs a
// prompt of its own that answers at once and records what was asked; from
// OnModalStart it can drive the dialog that starts (type into it, click,
// press Enter) and end it, a nested dialog included.
//
//   class CScripted : public CPrompt {
//       int MessageBox(CWnd*, const char* text, const char* caption, UINT type, UINT) override;
//       void OnModalStart(CDialog* dialog) override;
//   };
//   CScripted script;
//   CPrompt* previous = CPrompt::Install(&script);
//   ...
//   CPrompt::Install(previous);
#pragma once

#include "platform/String.h"
#include "platform/Types.h"

class CDialog;
class CWnd;

// Flags of the choice of a file (CFileRequest::m_dwFlags).
constexpr DWORD OFN_READONLY = 0x00000001u;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002u;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004u;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800u;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000u;

class CPrompt {
public:
    // What a file-open choice asks.
    struct CFileRequest {
        CString m_strTitle;        // empty: "Open"
        // Pairs of description and patterns, each ended by "|", the list
        // ended by another "|": "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||".
        // Several patterns are separated by ";".
        CString m_strFilter;
        int m_nFilterIndex = 1;    // the pair chosen first, from 1
        DWORD m_dwFlags = 0;       // OFN_*
        CString m_strDefExt;       // extension added to a name typed without one
        CString m_strInitialPath;  // a folder, or a file to start from
    };

    CPrompt() = default;
    CPrompt(const CPrompt&) = delete;
    CPrompt& operator=(const CPrompt&) = delete;
    virtual ~CPrompt();

    // The prompt in use: the installed one, else the window system's.
    static CPrompt& Get();
    // Installs `prompt` (null: the window system's again) and returns the
    // one installed before (null when it was the window system's). The
    // installer keeps `prompt` alive while it is installed.
    static CPrompt* Install(CPrompt* prompt);

    // Shows `text` and returns the id of the button chosen (IDOK, IDCANCEL,
    // IDYES, ...). `owner` is the dialog the box belongs to, or null. With no
    // display, the window system's prompt writes the text to the standard
    // error stream and returns 0.
    virtual int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type, UINT helpId);
    // Lets the user choose a file to open. TRUE with the chosen file's path
    // in `path`; FALSE (path untouched) when the user cancelled or there is
    // no display.
    virtual BOOL ChooseFileToOpen(CWnd* owner, const CFileRequest& request, CString& path);
    // Called when `dialog` is shown and its modal run starts, before it waits
    // for the user; the dialog may be ended from here (EndDialog, or a click
    // on its OK button). The window system's prompt does nothing.
    virtual void OnModalStart(CDialog* dialog);

    // A filter in the form above as Qt's file dialogs take it:
    // "Text Files (*.txt);;All Files (*)" ("*.*" matches every file; a
    // description's own parenthesised patterns are replaced).
    static CString ToQtFilter(const char* filter);
};
