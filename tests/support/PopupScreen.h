// What a person sees of the active popup window (a dialog or message box)
// on the headless screen: for the tests of popups cut by a small screen.
#pragma once

#include <string_view>

#include "framework/host/HeadlessHost.h"
#include "framework/win/WindowSystem.h"

// Whether the text shows inside the active window's frame: below its
// caption, between its sides and above its bottom edge.
inline bool ShowsInFrame(HeadlessHost& host, std::u16string_view text)
{
    CPoint at = host.Find(text);
    CRect frame = GetWindowCells(WindowSystem::Get().ActiveTopLevel());
    return at.x > frame.left && at.x + int(text.size()) < frame.right && at.y > frame.top && at.y < frame.bottom - 1;
}

// The active window's caption row as it shows: the caption at its left end,
// the close box at its right.
inline bool ShowsCaptionAndCloseBox(HeadlessHost& host, std::u16string_view caption)
{
    CRect frame = GetWindowCells(WindowSystem::Get().ActiveTopLevel());
    const Canvas& screen = host.Screen();
    std::u16string row;
    for (int x = frame.left; x < frame.right && screen.Contains(x, frame.top); ++x)
        row += screen.At(x, frame.top).ch;
    return row.size() > caption.size() + 3 && row.substr(1, caption.size()) == caption
        && row.substr(row.size() - 3) == u"[x]";
}
