#include "framework/screen/Canvas.h"

#include "framework/base/String.h"

void Canvas::Resize(int cols, int rows)
{
    m_cols = cols < 0 ? 0 : cols;
    m_rows = rows < 0 ? 0 : rows;
    m_cells.assign(size_t(m_cols) * size_t(m_rows), Cell{});
}

void Canvas::Clear()
{
    for (Cell& c : m_cells)
        c = Cell{};
    m_caretVisible = false;
}

std::string Canvas::RowText(int y) const
{
    std::u16string row;
    for (int x = 0; x < m_cols; ++x)
        row += At(x, y).ch;
    return CString(row).ToUtf8();
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
