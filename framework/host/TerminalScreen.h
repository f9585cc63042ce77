// The terminal host's output: the latest canvas drawn through curses when
// input lets it (RedrawThrottle), only the runs of cells that changed
// (CanvasDiff), each cell in its look for the terminal's depth
// (TerminalLook) with a stand-in for a character the terminal cannot show;
// the colour pairs made as needed; the cursor at the caret. After a new size
// or a stop the whole screen is drawn anew.
//
// Made once curses has started its screen; it sets up the colours.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/base/Geometry.h"
#include "framework/host/TerminalLook.h"
#include "framework/screen/Canvas.h"
#include "framework/screen/RedrawThrottle.h"

class TerminalScreen {
public:
    // The terminal's colours as its description and NO_COLOR (set and not
    // empty: attributes only) allow.
    TerminalScreen();

    // The size in cells, as curses knows it.
    CSize Cells() const;
    // Keeps the canvas as the latest and draws it, unless the throttle says
    // to wait: then the next DrawLatest draws it.
    void Present(const Canvas& canvas, RedrawThrottle::Clock::time_point now, bool inputPending, bool inPaste);
    // Draws the latest canvas unless it shows already; after the program
    // was stopped and continued, the whole screen.
    void DrawLatest();
    // The terminal has a new size: curses is told, and the next draw is of
    // the whole screen. The new size in cells.
    CSize Resize();
    // Rings the terminal's bell.
    void Bell();

private:
    // After a stop the terminal shows something else: the next draw is of
    // the whole screen.
    void TakeResume();
    // Whether the locale's character set has the character, as wide on the
    // terminal as on the canvas (CellWidth).
    bool Printable(char32_t ch);
    // The character itself, its stand-in, or a replacement character.
    char32_t Glyph(char32_t ch);
    // What a cell shows: the glyph, and the marks the terminal can show when
    // the glyph is the cell's own character.
    std::wstring CellText(char32_t glyph, char32_t own, std::u32string_view marks);
    // The curses colour pair of the colours, made on first use; 0 (the
    // default colours) when the terminal has no more.
    short PairOf(int fg, int bg);

    TerminalLook::Caps m_caps;
    bool m_defaultColours = false;  // whether -1 stands for the terminal's own colours
    std::vector<short> m_pairs;     // by (fg + 1) * 257 + (bg + 1); 0 not yet made
    short m_nextPair = 1;
    std::vector<signed char> m_printable;  // by code point of the BMP; -1 not yet known
    int m_cursor = -1;                     // the cursor's visibility as last set

    Canvas m_latest;  // the last canvas presented
    bool m_latestDrawn = true;
    Canvas m_shown;  // what the terminal shows
    bool m_shownValid = false;
    RedrawThrottle m_throttle;
};
