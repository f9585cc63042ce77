// The few platform constants the compiler itself applies: the styles that
// each dialog control statement implies, menu and accelerator flags. They
// have the values of framework/base/WinUser.h, which the compiler cannot
// include because it is built without the framework.
#pragma once

#include <cstdint>

namespace rc::platform {

inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_CHILD = 0x40000000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_GROUP = 0x00020000;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000;
inline constexpr std::uint32_t DS_SETFONT = 0x0040;

inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
inline constexpr std::uint32_t BS_CHECKBOX = 0x2;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr std::uint32_t BS_RADIOBUTTON = 0x4;
inline constexpr std::uint32_t BS_3STATE = 0x5;
inline constexpr std::uint32_t BS_AUTO3STATE = 0x6;
inline constexpr std::uint32_t BS_GROUPBOX = 0x7;
inline constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9;
inline constexpr std::uint32_t BS_TYPEMASK = 0xF;
inline constexpr std::uint32_t SS_LEFT = 0x0;
inline constexpr std::uint32_t SS_CENTER = 0x1;
inline constexpr std::uint32_t SS_RIGHT = 0x2;
inline constexpr std::uint32_t SS_ICON = 0x3;
inline constexpr std::uint32_t SS_TYPEMASK = 0x1F;
inline constexpr std::uint32_t ES_LEFT = 0x0;
inline constexpr std::uint32_t ES_ALIGNMASK = 0x3;
inline constexpr std::uint32_t CBS_SIMPLE = 0x1;
inline constexpr std::uint32_t CBS_TYPEMASK = 0x3;
inline constexpr std::uint32_t LBS_NOTIFY = 0x1;

inline constexpr std::uint32_t MF_GRAYED = 0x0001;
inline constexpr std::uint32_t MF_DISABLED = 0x0002;
inline constexpr std::uint32_t MF_CHECKED = 0x0008;
inline constexpr std::uint32_t MF_POPUP = 0x0010;
inline constexpr std::uint32_t MF_MENUBARBREAK = 0x0020;
inline constexpr std::uint32_t MF_MENUBREAK = 0x0040;
inline constexpr std::uint32_t MF_SEPARATOR = 0x0800;
inline constexpr std::uint32_t MF_HELP = 0x4000;

inline constexpr std::uint8_t FVIRTKEY = 0x01;
inline constexpr std::uint8_t FNOINVERT = 0x02;
inline constexpr std::uint8_t FSHIFT = 0x04;
inline constexpr std::uint8_t FCONTROL = 0x08;
inline constexpr std::uint8_t FALT = 0x10;
inline constexpr std::uint8_t FACCEL_END = 0x80;

}  // namespace rc::platform
