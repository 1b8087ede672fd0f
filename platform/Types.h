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
