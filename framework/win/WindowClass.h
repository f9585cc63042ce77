// The generic window class: the default window procedure, which keeps the
// window text, font and icons, closes the window on WM_CLOSE, passes the
// wheel to the parent and paints the client area blank. Every control's
// class builds on it and hands it what it does not answer itself.
#pragma once

#include "framework/win/Window.h"
// Every class procedure works through the window functions.
#include "framework/win/WindowFunctions.h"

class CDC;

class WindowClass : public WindowProcedure {
public:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Paints the client area (WM_PAINT). The default fills it with blanks.
    virtual void Paint(HWND hwnd, CDC& dc);
    // What the dialog manager may do with keys while this window has the
    // focus: DLGC_* flags.
    virtual UINT DialogCode(HWND /*hwnd*/) { return 0; }
};

// WM_GETDLGCODE answers
inline constexpr UINT DLGC_WANTARROWS = 0x0001;
inline constexpr UINT DLGC_WANTTAB = 0x0002;
inline constexpr UINT DLGC_WANTALLKEYS = 0x0004;
inline constexpr UINT DLGC_HASSETSEL = 0x0008;
inline constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr UINT DLGC_WANTCHARS = 0x0080;
inline constexpr UINT DLGC_BUTTON = 0x2000;
