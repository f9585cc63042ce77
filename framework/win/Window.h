// The ground floor of the window system: a window (HWND points at one) and
// the records the platform's calls pass around (CREATESTRUCT, SCROLLINFO,
// MSG).
//
// A window belongs to the system; its parent owns it, and top-level windows
// belong to the desktop. Each window has a window class, named as on the
// platform ("EDIT", "BUTTON", "STATIC", "COMBOBOX", "LISTBOX", or a generic
// class), whose procedure keeps the control's own state (WindowClass.h). A
// C++ CWnd object may be attached to a window; messages then go to the
// CWnd's message map first and reach the class procedure as default
// processing. The functions the platform has for windows are in
// WindowFunctions.h.
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

// What the window system asks of a window's class: its procedure, which
// answers every message the window gets (WindowClass is the generic one,
// and the controls build on it), and whether the window system draws a
// frame over the client area's edges.
class WindowProcedure {
public:
    virtual ~WindowProcedure() = default;
    virtual LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // Whether the client area is edged by a frame that the window system
    // draws over it and keeps the children inside: a column at each side
    // and the bottom row (a popup dialog's box).
    virtual bool Framed(HWND /*hwnd*/) const { return false; }
};

// The C++ object attached to a window (a CWnd, the one kind there is), as
// the window system sees it; the names are the platform's, as CWnd has
// them. It holds the window's handle, gets every
// message sent to the window before the class procedure does, is offered
// the keys meant for the window or a window inside it before they are
// dispatched, and hears when the window is gone.
class WindowObject {
public:
    virtual ~WindowObject() = default;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // TRUE when the object took the message (it is then not dispatched).
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
    // Called after the window is gone.
    virtual void PostNcDestroy() = 0;

    HWND m_hWnd = nullptr;
};

struct Window {
    CString className;
    HWND parent = nullptr;                          // child windows: the parent, which owns them
    HWND owner = nullptr;                           // top-level windows: the window they belong to
    std::vector<std::unique_ptr<Window>> children;  // bottom to top
    std::unique_ptr<WindowProcedure> proc;          // the class procedure
    WindowObject* wnd = nullptr;                    // the attached object, if any
    std::unique_ptr<WindowObject> tempWnd;          // a plain CWnd for FromHandle
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
    // (PopupViewport::ViewOffset gives what holds at the screen's size).
    CPoint viewOffset;
    bool destroying = false;
};

// A rectangle of pixels in cells, each edge rounded to the nearest cell
// edge: how painting and hit-testing see a window.
CRect CellRectFromPixels(const CRect& px);

// What a window's own fields say, for the window system's parts; the window
// functions check the handle first and answer the same.

// The window itself for a top-level window, else its top-level ancestor.
HWND TopLevelOf(HWND hwnd);
// Whether ancestor is hwnd's parent, or its parent's, and so on.
bool IsDescendantOf(HWND hwnd, HWND ancestor);
// The client area in pixels, (0, 0, width, height): the window less its
// caption and scroll bars.
CRect ClientRectOf(HWND hwnd);
// Whether the window system draws a frame over the client area's edges.
bool IsFramed(HWND hwnd);
