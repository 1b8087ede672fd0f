// Messages to windows and the notifications controls send to their dialog.
//
// SendMessageA(hwnd, message, wParam, lParam) runs one of the messages below
// on the window `hwnd` at once and returns its result; a null or stale
// handle, or a message the window does not know, returns 0 (CB_ERR for the
// combo-box messages that report an index). Texts are 8-bit (UTF-8) and text
// positions count bytes.
#pragma once

#include "platform/Types.h"

// Any window.
constexpr UINT WM_SETTEXT = 0x000C;        // lParam: const char*; returns TRUE
constexpr UINT WM_GETTEXT = 0x000D;        // wParam: buffer size, lParam: char*; returns bytes copied
constexpr UINT WM_GETTEXTLENGTH = 0x000E;  // returns the text's length in bytes

// Edit controls.
// EM_GETSEL: the selection as MAKELRESULT(start, end); wParam and lParam,
// when not 0, are DWORD* that receive start and end.
constexpr UINT EM_GETSEL = 0x00B0;
// EM_SETSEL: selects from wParam to lParam (the caret goes to lParam); an
// end of -1 means the end of the text, a start of -1 removes the selection.
// The selection of an edit without the focus is kept (not shown) until it
// takes the focus again.
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_SCROLLCARET = 0x00B7;  // scrolls the caret into view
// EM_GETMODIFY: nonzero when the user changed the edit's text since the
// program last set it (WM_SETTEXT, SetWindowText) or cleared the flag;
// EM_SETMODIFY sets the flag to wParam != 0. Typing, deleting, pasting and
// cutting set it; a new text from the program clears it.
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;

// Buttons.
constexpr UINT BM_GETCHECK = 0x00F0;  // returns BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
constexpr UINT BM_SETCHECK = 0x00F1;  // wParam: the check state; sends no notification
constexpr UINT BM_CLICK = 0x00F5;     // clicks the button as the user would (BN_CLICKED)
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr int BST_INDETERMINATE = 2;

// Combo boxes. Indexes count from 0; CB_ERR reports a failure.
constexpr int CB_ERR = -1;
constexpr UINT CB_ADDSTRING = 0x0143;     // lParam: const char*; returns the new item's index
constexpr UINT CB_DELETESTRING = 0x0144;  // wParam: index; returns the remaining count
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;     // returns the selected index or CB_ERR
constexpr UINT CB_INSERTSTRING = 0x014A;  // wParam: index (-1 appends), lParam: const char*
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;  // wParam: index to search after (-1: all), lParam: text
// CB_SETCURSEL: selects item wParam without a notification; -1 (or an index
// outside the list, which returns CB_ERR) leaves no item selected.
constexpr UINT CB_SETCURSEL = 0x014E;

// Notification codes: the high word of a command's WPARAM (MAKEWPARAM(id, code)).
constexpr UINT BN_CLICKED = 0;         // the user clicked or pressed a button, check box or radio button
constexpr UINT EN_SETFOCUS = 0x0100;   // an edit took the keyboard focus
constexpr UINT EN_KILLFOCUS = 0x0200;  // an edit lost the keyboard focus
constexpr UINT EN_CHANGE = 0x0300;     // the user changed an edit's text
constexpr UINT CBN_SELCHANGE = 1;      // the user chose an item of a combo box
constexpr UINT CBN_SETFOCUS = 3;
constexpr UINT CBN_KILLFOCUS = 4;

// The window (dialog control) that has the keyboard focus, or null. While a
// dialog runs and before its window is active (during OnInitDialog), it is
// the control that dialog gave the focus to last.
HWND GetFocus();

// TRUE when `hwnd` names an existing window.
BOOL IsWindow(HWND hwnd);

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
