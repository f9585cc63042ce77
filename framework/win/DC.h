// CDC: a drawing surface over the screen canvas, in character cells.
//
// Coordinates are cells relative to the window's client area; everything
// drawn is clipped to the part of the client area that is visible.
#pragma once

#include <string_view>

#include "framework/base/Geometry.h"
#include "framework/base/String.h"
#include "framework/screen/Canvas.h"

class CDC {
public:
    CDC(Canvas* canvas, CPoint origin, CRect clip)
        : m_canvas(canvas), m_origin(origin), m_clip(clip), m_size(clip.right - origin.x, clip.bottom - origin.y)
    {}
    // A surface over a client area of `size` cells of which the clip may
    // show only a part.
    CDC(Canvas* canvas, CPoint origin, CRect clip, CSize size)
        : m_canvas(canvas), m_origin(origin), m_clip(clip), m_size(size)
    {}
    virtual ~CDC() = default;

    // Writes text starting at (x, y), a character (a surrogate pair joined)
    // in the cells its width gives it: a wide character in two, or as a
    // blank where an edge of the clip or the screen cuts it; a mark or
    // another character of no width on the cell of the character before it
    // (in a cell of its own when the text starts with it). Returns the
    // number of cells used.
    int TextOut(int x, int y, std::u16string_view text, std::uint16_t attr = ATTR_NORMAL);
    // Writes text into a box of width cells, left, centred or right: as many
    // whole characters as fit.
    void TextInBox(int x, int y, int width, std::u16string_view text, std::uint16_t attr, int align = 0);
    void FillRect(const CRect& cells, std::uint16_t attr, char16_t ch = u' ');
    void SetCell(int x, int y, const Cell& cell);
    // Adds attribute bits to cells already drawn (greying, inactive windows).
    void AddAttr(const CRect& cells, std::uint16_t attr);
    void SetCaret(int x, int y);
    // Draws an icon resource (LoadIcon) in block characters, two pixel rows
    // to a cell, scaled down to fit the box of width x height cells at (x, y).
    void DrawIcon(int x, int y, int width, int height, HICON icon);

    // The client area's size in cells, however much of it shows.
    CSize Size() const { return m_size; }
    CPoint Origin() const { return m_origin; }

protected:
    // Whether the screen cell is in the clip and on the canvas.
    bool Visible(int sx, int sy) const;
    // Puts one character of width 1 or 2 at (x, y); whether it shows whole.
    bool PutCharacter(int x, int y, char32_t cp, int width, std::uint16_t attr);
    // Writes Latin units of one cell each from screen cell (sx, sy) on, as
    // far as the clip and the canvas let them show; whether the last shows.
    bool PutLatinRun(int sx, int sy, std::u16string_view units, std::uint16_t attr);

    Canvas* m_canvas;
    CPoint m_origin;  // screen cell of the client area's top-left corner
    CRect m_clip;     // visible screen cells
    CSize m_size;
};

// The platform's stock objects; only fonts are used. A stock font's handle
// is its number.
HFONT GetStockObject(int id);
