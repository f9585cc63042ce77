// The window system: windows, their tree, and the platform's window
// functions (SendMessage, CreateWindowEx, ShowWindow, SetFocus, ...).
//
// A window (HWND) belongs to the system; its parent owns it, and top-level
// windows belong to the desktop. Each window has a window class, named as
// on the platform ("EDIT", "BUTTON", "STATIC", "COMBOBOX", "LISTBOX", or a
// generic class), whose procedure keeps the control's own state. A C++ CWnd
// object may be attached to a window; messages then go to the CWnd's
// message map first and reach the class procedure as default processing.
//
// Geometry is in pixels. Painting happens in character cells: the host
// says how many pixels a cell stands for, and a window's cells are its
// pixel rectangle rounded to the nearest cell edges.
#pragma once

#include <memory>
#include <vector>

#include "framework/base/Geometry.h"
#include "framework/base/String.h"
#include "framework/base/Types.h"
#include "framework/base/WinUser.h"

class CWnd;
class CDC;

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HWND hwndParent = nullptr;
    UINT id = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0;
    DWORD dwExStyle = 0;
    CString lpszName;
    CString lpszClass;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct SCROLLINFO {
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// The procedure of a window class, with the state it keeps for one window.
// The base class is the default window procedure: it keeps the window text
// and answers the generic messages.
class WindowClass {
public:
    virtual ~WindowClass() = default;
    virtual LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Paints the client area (WM_PAINT). The default fills it with blanks.
    virtual void Paint(HWND hwnd, CDC& dc);
    // What the dialog manager may do with keys while this window has the
    // focus: DLGC_* flags.
    virtual UINT DialogCode(HWND /*hwnd*/) { return 0; }
    // Whether the client area is edged by a frame that the window system
    // draws over it and keeps the children inside: a column at each side
    // and the bottom row (a popup dialog's box).
    virtual bool Framed(HWND /*hwnd*/) const { return false; }
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

struct Window {
    Window();
    ~Window();

    CString className;
    HWND parent = nullptr;  // child windows: the parent, which owns them
    HWND owner = nullptr;   // top-level windows: the window they belong to
    std::vector<std::unique_ptr<Window>> children;  // bottom to top
    std::unique_ptr<WindowClass> proc;
    CWnd* wnd = nullptr;                  // the attached object, if any
    std::unique_ptr<CWnd> tempWnd;        // a plain wrapper for FromHandle
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    CString text;
    CRect rect;  // pixels: parent's client coordinates, or the screen's
    HFONT font = nullptr;
    HICON iconSmall = nullptr;
    HICON iconBig = nullptr;
    SCROLLINFO scroll[2];
    // A popup larger than the screen shows part of its client area: the
    // cells scrolled out of view to the left and above, as last set
    // (WindowSystem::ViewOffset gives what holds at the screen's size).
    CPoint viewOffset;
    bool destroying = false;
};

// Window functions
HWND CreateWindowEx(DWORD exStyle, const CString& className, const CString& name, DWORD style, int x, int y,
                    int cx, int cy, HWND parent, UINT id, void* param, CWnd* attach = nullptr);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT CallDefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);  // visible with all its ancestors
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetParent(HWND hwnd);
// GW_CHILD: the first (bottom) child; GW_HWNDNEXT: the next sibling above;
// GW_OWNER: the owner of a top-level window.
HWND GetWindow(HWND hwnd, UINT cmd);
CString GetClassName(HWND hwnd);
// GWL_STYLE or GWL_ID.
LONG GetWindowLong(HWND hwnd, int index);
HWND GetDlgItem(HWND hwnd, int id);
int GetDlgCtrlID(HWND hwnd);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetTopLevel(HWND hwnd);
BOOL SetWindowText(HWND hwnd, const CString& text);
CString GetWindowText(HWND hwnd);
int GetWindowTextLength(HWND hwnd);
BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL repaint = TRUE);
CRect GetClientRect(HWND hwnd);          // (0, 0, width, height)
// Screen pixels, where the window shows: a popup that does not fit the
// screen shows moved onto it and cut to its size, with its client area
// scrolled (ClientToScreen follows the scrolling).
CRect GetWindowRect(HWND hwnd);
CPoint ClientToScreen(HWND hwnd, CPoint p);
BOOL InvalidateRect(HWND hwnd, const CRect* rect, BOOL erase);
void MessageBeep(UINT type);
// An icon resource's handle, or nullptr when no module has such an icon.
HICON LoadIcon(UINT id);
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, BOOL redraw = TRUE);
SCROLLINFO GetScrollInfo(HWND hwnd, int bar);

// Cell geometry of windows, as painting and hit-testing use it.
CRect CellRectFromPixels(const CRect& px);
CRect GetWindowCells(HWND hwnd);  // screen cells of the whole window
CRect GetClientCells(HWND hwnd);  // screen cells of the client area
