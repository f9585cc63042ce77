#include "framework/screen/Canvas.h"

#include <algorithm>

#include "framework/base/Utf16.h"
#include "framework/base/Utf8.h"

void Canvas::Resize(int cols, int rows)
{
    m_cols = cols < 0 ? 0 : cols;
    m_rows = rows < 0 ? 0 : rows;
    m_cells.assign(size_t(m_cols) * size_t(m_rows), Cell{});
    m_marks.clear();
}

void Canvas::Clear()
{
    for (Cell& c : m_cells)
        c = Cell{};
    if (!m_marks.empty())
        m_marks.clear();
    m_caretVisible = false;
}

void Canvas::Mend(int x, int y)
{
    const Cell& cell = At(x, y);
    if (cell.IsWideTail()) {
        if (x > 0)
            At(x - 1, y) = Cell{U' ', At(x - 1, y).attr};
    } else if (x + 1 < m_cols && At(x + 1, y).IsWideTail()) {
        At(x + 1, y) = Cell{U' ', At(x + 1, y).attr};
    }
}

void Canvas::Put(int x, int y, const Cell& cell)
{
    Mend(x, y);
    At(x, y) = cell;
}

void Canvas::Fill(int x, int y, int count, const Cell& cell)
{
    if (count <= 0)
        return;
    Mend(x, y);
    Mend(x + count - 1, y);
    Cell* row = &At(x, y);
    std::fill(row, row + count, cell);
}

void Canvas::AddMark(int x, int y, char32_t mark)
{
    if (At(x, y).IsWideTail() && x > 0)
        --x;
    Cell& cell = At(x, y);
    std::u32string& marks = m_marks[Index(x, y)];
    if (!(cell.flags & Cell::kMarks)) {
        marks.clear();
        cell.flags |= Cell::kMarks;
    }
    if (marks.size() < kMaxMarks)
        marks += mark;
}

std::u32string_view Canvas::Marks(int x, int y) const
{
    if (!(At(x, y).flags & Cell::kMarks))
        return {};
    auto it = m_marks.find(Index(x, y));
    return it == m_marks.end() ? std::u32string_view() : std::u32string_view(it->second);
}

bool Canvas::SameCell(const Canvas& other, int x, int y) const
{
    const Cell& a = At(x, y);
    if (!(a == other.At(x, y)))
        return false;
    return !(a.flags & Cell::kMarks) || Marks(x, y) == other.Marks(x, y);
}

std::string Canvas::RowText(int y) const
{
    std::string row;
    for (int x = 0; x < m_cols; ++x) {
        const Cell& cell = At(x, y);
        if (cell.IsWideTail())
            continue;
        Utf8::Append(row, cell.ch > 0x10FFFF || Utf16::IsSurrogate(cell.ch) ? U'\uFFFD' : cell.ch);
        for (char32_t mark : Marks(x, y))
            Utf8::Append(row, mark);
    }
    return row;
}

std::string Canvas::Text() const
{
    std::string out;
    for (int y = 0; y < m_rows; ++y) {
        if (y)
            out += '\n';
        out += RowText(y);
    }
    return out;
}
