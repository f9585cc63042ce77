// The platform's window functions: creating and destroying windows,
// sending them messages, their state, text, geometry and scroll bars
// (SendMessage, ShowWindow, SetFocus, GetWindowRect, ...); CreateWindowEx,
// which needs the controls' classes, is in WindowCreation.h.
// They check the handle and hand the work to the window system.
#pragma once

#include <memory>

#include "framework/base/Geometry.h"
#include "framework/base/String.h"
#include "framework/base/Types.h"
#include "framework/base/WinUser.h"
#include "framework/win/Window.h"

// Makes a window whose class procedure is given (how a control makes the
// windows it is built of); CreateWindowEx (WindowCreation.h) finds the
// procedure by the class's name.
HWND CreateWindowWithProcedure(const CREATESTRUCT& cs, std::unique_ptr<WindowProcedure> proc,
                               WindowObject* attach = nullptr);
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
CRect GetClientRect(HWND hwnd);  // (0, 0, width, height)
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

// GetKeyState: negative while the key is held (the modifiers and the key of
// the event being dispatched).
short GetKeyState(int vk);

// Cell geometry of windows, as painting and hit-testing use it.
CRect GetWindowCells(HWND hwnd);  // screen cells of the whole window
CRect GetClientCells(HWND hwnd);  // screen cells of the client area
