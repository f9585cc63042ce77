// Basic value types of the emulated platform API.
//
// The programs are written against a classic Windows-style application
// framework. These are the integer and handle types its signatures use,
// with the same widths as on that platform.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WCHAR = char16_t;
using TCHAR = char16_t;
using LPCTSTR = const char16_t*;
using LPTSTR = char16_t*;
using LPCSTR = const char*;
using LPSTR = char*;
using UINT_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

inline constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr DWORD MAKELONG(WORD lo, WORD hi) { return DWORD(lo) | (DWORD(hi) << 16); }
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return MAKELONG(lo, hi); }
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }

// A window handle names a window of the window system (see win/WindowSystem.h);
// the C++ object that may be attached to it is a CWnd.
struct Window;
using HWND = Window*;

// Icons and fonts are resources looked up by number; a handle is the id.
struct IconTag;
using HICON = const IconTag*;
struct FontTag;
using HFONT = const FontTag*;
