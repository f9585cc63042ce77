// The parts of a window that its own WM_PAINT does not draw: the caption
// with its close box and OK button, the scroll bars, and the box drawn
// around a framed popup (a dialog, a dropped list) with the arrows that say
// where a cut popup goes on out of view. The window system calls these
// while it paints the window tree; they draw and decide nothing else.
#pragma once

#include "framework/win/DC.h"
#include "framework/win/Window.h"

// Draws the caption and scroll bars of hwnd into dc, whose origin is the
// window's top-left cell; cells is the window's size in cells.
void PaintNonClient(HWND hwnd, CDC& dc, const CRect& cells);

// Draws the frame over the edges of a client area of the given size (dc's
// origin at its top-left cell): a column at each side and the bottom row.
// hidden and offset are the cells of a cut popup's client area that do not
// show and how far it is scrolled; arrows show where more lies.
void PaintFrame(CDC& dc, CSize client, CSize hidden, CPoint offset);
