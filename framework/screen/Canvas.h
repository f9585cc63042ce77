// The screen as a grid of character cells, each with a character and
// attributes. Windows paint into it; a host shows it (a terminal) or keeps it
// for tests to read back.
//
// A wide character (two cells on a terminal) is its first cell, holding the
// character, and a second cell marked as its tail. Combining marks and other
// characters of no width belong to the cell before them; since they are rare,
// they are kept beside the grid, by position, and a cell only says whether it
// has any. Cells stay small and compare as plain values, and two canvases
// compare cell by cell (the terminal host's diff), marks by position.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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
    ATTR_STANDIN = 1 << 9,   // a stand-in for a byte of a file that is no character
};

struct Cell {
    // Two bits of attr say what a cell is rather than how it looks; no
    // look uses them, so that a cell stays eight bytes, compared in one go.
    static constexpr std::uint16_t kWideTail = 1 << 14;  // the second cell of the wide character to its left
    static constexpr std::uint16_t kMarks = 1 << 15;     // combining marks follow the character (Canvas::Marks)
    static constexpr std::uint16_t kKinds = kWideTail | kMarks;

    char32_t ch = U' ';
    std::uint16_t attr = ATTR_NORMAL;
    // A small palette colour for pixel art (icons), or -1 for the default.
    std::int8_t fg = -1;
    std::int8_t bg = -1;
    bool IsWideTail() const { return attr & kWideTail; }
    bool HasMarks() const { return attr & kMarks; }
    friend bool operator==(const Cell&, const Cell&) = default;
};

class Canvas {
public:
    // The most marks a cell keeps (what a terminal cell holds besides its
    // character); more are dropped.
    static constexpr std::size_t kMaxMarks = 4;

    void Resize(int cols, int rows);
    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }
    void Clear();

    Cell& At(int x, int y) { return m_cells[Index(x, y)]; }
    const Cell& At(int x, int y) const { return m_cells[Index(x, y)]; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_cols && y < m_rows; }

    // Writes a cell; when it lands on either half of a wide character, the
    // other half becomes a blank of its attributes, so that no half of one
    // is ever left alone.
    void Put(int x, int y, const Cell& cell)
    {
        // Most cells are no half of a wide character: nothing to mend.
        if (At(x, y).IsWideTail() || (x + 1 < m_cols && At(x + 1, y).IsWideTail()))
            Mend(x, y);
        At(x, y) = cell;
    }
    // Writes `count` copies of a cell from (x, y) on, mending the wide
    // characters cut at both ends as Put does.
    void Fill(int x, int y, int count, const Cell& cell)
    {
        if (count <= 0)
            return;
        Put(x, y, cell);
        Put(x + count - 1, y, cell);
        if (count > 2)
            FillRun(&At(x + 1, y), std::size_t(count - 2), cell);
    }
    // Adds a combining mark (or another character of no width) to the cell;
    // a tail adds it to its wide character.
    void AddMark(int x, int y, char32_t mark);
    // The marks that follow the cell's character (none for most cells).
    std::u32string_view Marks(int x, int y) const;
    // Whether the cell shows the same here and in the other canvas (of the
    // same size): character, attributes, colours and marks.
    bool SameCell(const Canvas& other, int x, int y) const;

    // One row as a person reads it, in UTF-8: a wide character once, marks
    // after their character. For tests and logs.
    std::string RowText(int y) const;
    // The whole screen, rows joined by '\n'.
    std::string Text() const;

    // The caret: where the focused control wants the cursor, if anywhere.
    CPoint m_caret;
    bool m_caretVisible = false;

private:
    std::size_t Index(int x, int y) const { return std::size_t(y) * std::size_t(m_cols) + std::size_t(x); }
    // The cell at (x, y) no longer holds half of a wide character.
    void Mend(int x, int y);
    // Writes `count` copies of a cell from `dest` on.
    static void FillRun(Cell* dest, std::size_t count, const Cell& cell);

    int m_cols = 0;
    int m_rows = 0;
    std::vector<Cell> m_cells;
    std::unordered_map<std::size_t, std::u32string> m_marks;  // by index, for cells with Cell::kMarks
};
