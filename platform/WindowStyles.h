// Window, dialog and control styles, with the values a dialog template
// stores. A control's kind follows from its class (CDialogItem) and the type
// bits of its style, as the dialog manager reads them.
#pragma once

#include "platform/Types.h"

// Every window.
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_CHILD = 0x40000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr DWORD WS_DISABLED = 0x08000000u;
constexpr DWORD WS_CAPTION = 0x00C00000u;  // a title bar
constexpr DWORD WS_BORDER = 0x00800000u;
constexpr DWORD WS_VSCROLL = 0x00200000u;
constexpr DWORD WS_HSCROLL = 0x00100000u;
constexpr DWORD WS_SYSMENU = 0x00080000u;  // the window menu and the close box
constexpr DWORD WS_GROUP = 0x00020000u;    // the first control of a group
constexpr DWORD WS_TABSTOP = 0x00010000u;  // the Tab key stops at the control

// Extended styles.
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200u;  // sunken edge

// Dialogs.
constexpr DWORD DS_SETFONT = 0x0040u;     // the template names the dialog's font
constexpr DWORD DS_MODALFRAME = 0x0080u;  // a dialog frame: fixed size
constexpr DWORD DS_CENTER = 0x0800u;
constexpr DWORD DS_CONTEXTHELP = 0x2000u; // a context-help button in the title bar

// Buttons (class Button). The low four bits are the type.
constexpr DWORD BS_TYPEMASK = 0x000Fu;
constexpr DWORD BS_PUSHBUTTON = 0x0000u;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001u;
constexpr DWORD BS_CHECKBOX = 0x0002u;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003u;
constexpr DWORD BS_RADIOBUTTON = 0x0004u;
constexpr DWORD BS_3STATE = 0x0005u;
constexpr DWORD BS_AUTO3STATE = 0x0006u;
constexpr DWORD BS_GROUPBOX = 0x0007u;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009u;
constexpr DWORD BS_MULTILINE = 0x2000u;  // the caption wraps onto several lines

// Edit controls (class Edit).
constexpr DWORD ES_LEFT = 0x0000u;
constexpr DWORD ES_CENTER = 0x0001u;
constexpr DWORD ES_RIGHT = 0x0002u;
constexpr DWORD ES_MULTILINE = 0x0004u;
constexpr DWORD ES_AUTOVSCROLL = 0x0040u;
constexpr DWORD ES_AUTOHSCROLL = 0x0080u;
constexpr DWORD ES_READONLY = 0x0800u;
constexpr DWORD ES_WANTRETURN = 0x1000u;  // multi-line: Enter starts a new line

// Static controls (class Static). The low five bits are the type.
constexpr DWORD SS_TYPEMASK = 0x001Fu;
constexpr DWORD SS_LEFT = 0x0000u;    // left-aligned, words wrap
constexpr DWORD SS_CENTER = 0x0001u;  // centred, words wrap
constexpr DWORD SS_RIGHT = 0x0002u;   // right-aligned, words wrap
constexpr DWORD SS_LEFTNOWORDWRAP = 0x000Cu;
constexpr DWORD SS_NOPREFIX = 0x0080u;    // "&" is shown, not a mnemonic
constexpr DWORD SS_CENTERIMAGE = 0x0200u; // one line, centred vertically

// Combo boxes (class ComboBox). The low two bits are the type.
constexpr DWORD CBS_TYPEMASK = 0x0003u;
constexpr DWORD CBS_DROPDOWN = 0x0002u;      // an edit field and a list
constexpr DWORD CBS_DROPDOWNLIST = 0x0003u;  // a list only
