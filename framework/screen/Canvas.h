// The screen as a grid of character cells, each with a character and
// attributes. Windows paint into it; a host shows it (a terminal) or keeps it
// for tests to read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/Geometry.h"

// Cell attributes; a host maps them to colours or video attributes.
enum CellAttr : std::uint16_t {
    ATTR_NORMAL = 0,
    ATTR_REVERSE = 1 << 0,   // selection, pressed or focused items
    ATTR_DISABLED = 1 << 1,  // greyed commands and controls
    ATTR_BAR = 1 << 2,       // command bar, toolbar and captions
    ATTR_BUTTON = 1 << 3,    // push buttons
    ATTR_FIELD = 1 << 4,     // edit fields
    ATTR_BOLD = 1 << 5,
    ATTR_CAPTION = 1 << 6,   // the caption of a popup window
    ATTR_FOCUS = 1 << 7,     // the control that has the keyboard focus
    ATTR_INACTIVE = 1 << 8,  // a window beneath a modal one
};

struct Cell {
    char16_t ch = u' ';
    std::uint16_t attr = ATTR_NORMAL;
    // A small palette colour for pixel art (icons), or -1 for the default.
    std::int8_t fg = -1;
    std::int8_t bg = -1;
    friend bool operator==(const Cell&, const Cell&) = default;
};

class Canvas {
public:
    void Resize(int cols, int rows);
    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }
    void Clear();

    Cell& At(int x, int y) { return m_cells[size_t(y) * size_t(m_cols) + size_t(x)]; }
    const Cell& At(int x, int y) const { return m_cells[size_t(y) * size_t(m_cols) + size_t(x)]; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_cols && y < m_rows; }

    // One row's characters as UTF-8, for tests and logs.
    std::string RowText(int y) const;
    // The whole screen, rows joined by '\n'.
    std::string Text() const;

    // The caret: where the focused control wants the cursor, if anywhere.
    CPoint m_caret;
    bool m_caretVisible = false;

private:
    int m_cols = 0;
    int m_rows = 0;
    std::vector<Cell> m_cells;
};
