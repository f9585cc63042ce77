// Constants for resource scripts beyond those of the window system:
// language ids, the values of a version record, and the menu-bar record's
// "no image" marker.
//
// Like WinUser.h, every constant stands on a line of its own in the form
//   inline constexpr TYPE NAME = VALUE;
// so that tessel-rc can read it.
#pragma once

#include "framework/base/Types.h"

// Languages (LANGUAGE primary, sublanguage)
inline constexpr WORD LANG_NEUTRAL = 0x00;
inline constexpr WORD LANG_GERMAN = 0x07;
inline constexpr WORD LANG_ENGLISH = 0x09;
inline constexpr WORD SUBLANG_NEUTRAL = 0x00;
inline constexpr WORD SUBLANG_DEFAULT = 0x01;
inline constexpr WORD SUBLANG_ENGLISH_US = 0x01;
inline constexpr WORD SUBLANG_GERMAN = 0x01;
inline constexpr WORD SUBLANG_GERMAN_SWISS = 0x02;

// The language ids that result, as resources record them
inline constexpr WORD LANGID_ENGLISH_US = 1033;
inline constexpr WORD LANGID_GERMAN_SWISS = 2055;

// Version records
inline constexpr WORD VS_VERSION_INFO = 1;
inline constexpr DWORD VS_FFI_FILEFLAGSMASK = 0x0000003F;
inline constexpr DWORD VOS__WINDOWS32 = 0x00000004;
inline constexpr DWORD VFT_APP = 0x00000001;
inline constexpr DWORD VFT2_UNKNOWN = 0x00000000;
inline constexpr WORD CODEPAGE_UNICODE = 1200;

// A menu-bar button without an image
inline constexpr WORD I_IMAGENONE = 0xFFFE;
