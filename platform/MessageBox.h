// Message boxes and the command ids of the standard buttons.
#pragma once

#include "platform/Types.h"

// Standard command ids: the results of DoModal and of message boxes, and the
// ids of the dialogs' OK and Cancel buttons.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message box types: the buttons (low four bits), the icon, the default button.
constexpr UINT MB_OK = 0x0000u;
constexpr UINT MB_OKCANCEL = 0x0001u;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002u;
constexpr UINT MB_YESNOCANCEL = 0x0003u;
constexpr UINT MB_YESNO = 0x0004u;
constexpr UINT MB_RETRYCANCEL = 0x0005u;
constexpr UINT MB_TYPEMASK = 0x000Fu;
constexpr UINT MB_ICONHAND = 0x0010u;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x0020u;
constexpr UINT MB_ICONEXCLAMATION = 0x0030u;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x0040u;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x00F0u;
constexpr UINT MB_DEFBUTTON1 = 0x0000u;
constexpr UINT MB_DEFBUTTON2 = 0x0100u;
constexpr UINT MB_DEFBUTTON3 = 0x0200u;
constexpr UINT MB_DEFMASK = 0x0F00u;

// Shows `text` in a message box captioned with the application's name
// (AfxGetAppName) and returns the id of the button that closed it (IDOK,
// IDCANCEL, IDYES, ...). It goes through the installed prompt
// (CPrompt::Get().MessageBox) with `type` unchanged; the window system's
// prompt adds the usual icon when `type` names none (a warning for MB_OK and
// MB_OKCANCEL, a question for the yes/no types).
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
