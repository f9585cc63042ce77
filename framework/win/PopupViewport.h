// Where windows show on the screen, and the view of a popup larger than it.
//
// A popup that does not fit the screen shows moved onto it and cut to its
// size, in whole cells, with its client area scrolled (the window's
// viewOffset, kept within what is cut off); any other top-level window
// shows where its rectangle says, and a child inside its parent's client
// area as that shows. The rectangles themselves stay as the program set
// them, so a larger screen shows more again. Every window passed in is one
// the window tree knows.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/win/Window.h"

class Host;

class PopupViewport {
public:
    // The host whose screen the windows show on; none: 80 x 24 cells.
    void SetHost(const Host* host) { m_host = host; }
    CSize ScreenCells() const;
    CSize ScreenPixels() const;

    // Where a window shows, in screen pixels.
    CRect WindowRect(HWND hwnd) const;
    // Screen pixels of a point in a window's client area.
    CPoint ClientToScreen(HWND hwnd, CPoint p) const;
    // The screen cells of the whole window and of its client area.
    CRect WindowCells(HWND hwnd) const;
    CRect ClientCells(HWND hwnd) const;
    // The screen cell of a window's client-area origin (scrolled, for a cut
    // popup).
    CPoint ClientOriginCell(HWND hwnd) const;
    // The screen cells where a window's children show: its client area,
    // less the frame of a framed window.
    CRect ChildArea(HWND hwnd) const;

    // Where a top-level window shows, in screen pixels: cut to the screen,
    // for a popup that does not fit it.
    CRect ShownRect(HWND hwnd) const;
    // Cells of a cut popup's client area that do not show, across and down.
    CSize HiddenCells(HWND hwnd) const;
    // The cells of a top-level window's client area scrolled out of view to
    // the left and above; none while the window shows whole.
    CPoint ViewOffset(HWND hwnd) const;
    // Scrolls a cut popup's client area by cells, as far as it goes; false
    // when it did not move.
    bool ScrollView(HWND hwnd, int dx, int dy);
    // Scrolls the cut popup that holds the focus so that the focused control
    // shows inside its frame (its top-left part, if it is larger).
    void RevealFocus(HWND focus);

private:
    const Host* m_host = nullptr;
};
