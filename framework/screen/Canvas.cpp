#include "framework/screen/Canvas.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "framework/base/Utf16.h"
#include "framework/base/Utf8.h"

void Canvas::Resize(int cols, int rows)
{
    m_cols = cols < 0 ? 0 : cols;
    m_rows = rows < 0 ? 0 : rows;
    m_cells.assign(size_t(m_cols) * size_t(m_rows), Cell{});
    m_marks.clear();
}

void Canvas::FillRun(Cell* dest, std::size_t count, const Cell& cell)
{
    // As eight-byte words, which the compiler stores two or four at a time;
    // a loop over the record stores one at a time, and every paint fills
    // the whole screen.
    static_assert(std::is_trivially_copyable_v<Cell> && sizeof(Cell) == sizeof(std::uint64_t));
    std::uint64_t word;
    std::memcpy(&word, &cell, sizeof word);
    auto* out = reinterpret_cast<unsigned char*>(dest);
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(out + i * sizeof word, &word, sizeof word);
}

void Canvas::Clear()
{
    FillRun(m_cells.data(), m_cells.size(), Cell{});
    if (!m_marks.empty())
        m_marks.clear();
    m_caretVisible = false;
}

void Canvas::Mend(int x, int y)
{
    const Cell& cell = At(x, y);
    if (cell.IsWideTail()) {
        if (x > 0)
            At(x - 1, y) = Cell{U' ', std::uint16_t(At(x - 1, y).attr & ~Cell::kKinds)};
    } else if (x + 1 < m_cols && At(x + 1, y).IsWideTail()) {
        At(x + 1, y) = Cell{U' ', std::uint16_t(At(x + 1, y).attr & ~Cell::kKinds)};
    }
}

void Canvas::AddMark(int x, int y, char32_t mark)
{
    if (At(x, y).IsWideTail() && x > 0)
        --x;
    Cell& cell = At(x, y);
    std::u32string& marks = m_marks[Index(x, y)];
    if (!cell.HasMarks()) {
        marks.clear();
        cell.attr |= Cell::kMarks;
    }
    if (marks.size() < kMaxMarks)
        marks += mark;
}

std::u32string_view Canvas::Marks(int x, int y) const
{
    if (!At(x, y).HasMarks())
        return {};
    auto it = m_marks.find(Index(x, y));
    return it == m_marks.end() ? std::u32string_view() : std::u32string_view(it->second);
}

bool Canvas::SameCell(const Canvas& other, int x, int y) const
{
    const Cell& a = At(x, y);
    if (!(a == other.At(x, y)))
        return false;
    return !a.HasMarks() || Marks(x, y) == other.Marks(x, y);
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
