// Basic types of the application framework, with the widths the module's
// code is written for: BOOL and UINT are 32 bits, DWORD is 32 bits unsigned,
// WORD is 16 bits unsigned.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using LONGLONG = std::int64_t;
using LPCSTR = const char*;
using LPCTSTR = const char*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Module handle: the load address of a shared object, as the platform's
// resource search knows it.
using HMODULE = const void*;

// Message parameters and results: pointer-sized, as the window procedures of
// the framework pass them.
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;

// Window handle: an opaque value naming one window (a dialog or one of its
// controls). Never dereferenced; a handle of a window that no longer exists
// names nothing (CWnd::FromHandle gives null for it).
struct HWND__;
using HWND = HWND__*;

constexpr WORD LOWORD(std::uintptr_t value) { return static_cast<WORD>(value & 0xFFFFu); }
constexpr WORD HIWORD(std::uintptr_t value) { return static_cast<WORD>((value >> 16) & 0xFFFFu); }
// A command's WPARAM: the control id in the low word, the notification code
// in the high word.
constexpr WPARAM MAKEWPARAM(std::uint32_t low, std::uint32_t high)
{
    return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr LRESULT MAKELRESULT(std::uint32_t low, std::uint32_t high)
{
    return static_cast<LRESULT>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
