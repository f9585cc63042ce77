#include "framework/win/DC.h"

#include <algorithm>

#include "framework/base/Utf16.h"
#include "framework/res/Image.h"
#include "framework/res/Resources.h"

int CDC::TextOut(int x, int y, std::u16string_view text, std::uint16_t attr)
{
    int n = 0;
    for (char16_t c : text) {
        // Control characters would upset a terminal; show them as a middle dot.
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
            c = u'\u00B7';
        else if (Utf16::IsSurrogate(c))
            c = u'\uFFFD';
        SetCell(x + n, y, Cell{c, attr});
        ++n;
    }
    return n;
}

void CDC::TextInBox(int x, int y, int width, std::u16string_view text, std::uint16_t attr, int align)
{
    FillRect(CRect(x, y, x + width, y + 1), attr);
    if (int(text.size()) > width)
        text = text.substr(0, size_t(width < 0 ? 0 : width));
    int pad = width - int(text.size());
    int start = align == 0 ? x : align == 1 ? x + pad / 2 : x + pad;
    TextOut(start, y, text, attr);
}

void CDC::FillRect(const CRect& cells, std::uint16_t attr, char16_t ch)
{
    // Clipped once to the visible cells and the canvas, then filled row by
    // row: every window fills its background on every paint.
    CRect screen(m_origin.x + cells.left, m_origin.y + cells.top, m_origin.x + cells.right, m_origin.y + cells.bottom);
    CRect canvas(0, 0, m_canvas->Cols(), m_canvas->Rows());
    CRect visible, fill;
    if (!visible.IntersectRect(screen, m_clip) || !fill.IntersectRect(visible, canvas))
        return;
    const Cell cell{ch, attr};
    for (int y = fill.top; y < fill.bottom; ++y) {
        Cell* row = &m_canvas->At(fill.left, y);
        std::fill(row, row + fill.Width(), cell);
    }
}

void CDC::SetCell(int x, int y, const Cell& cell)
{
    int sx = m_origin.x + x;
    int sy = m_origin.y + y;
    if (!m_clip.PtInRect({sx, sy}) || !m_canvas->Contains(sx, sy))
        return;
    m_canvas->At(sx, sy) = cell;
}

void CDC::AddAttr(const CRect& cells, std::uint16_t attr)
{
    for (int y = cells.top; y < cells.bottom; ++y)
        for (int x = cells.left; x < cells.right; ++x) {
            int sx = m_origin.x + x;
            int sy = m_origin.y + y;
            if (m_clip.PtInRect({sx, sy}) && m_canvas->Contains(sx, sy))
                m_canvas->At(sx, sy).attr |= attr;
        }
}

void CDC::SetCaret(int x, int y)
{
    int sx = m_origin.x + x;
    int sy = m_origin.y + y;
    if (!m_clip.PtInRect({sx, sy}))
        return;
    m_canvas->m_caret = {sx, sy};
    m_canvas->m_caretVisible = true;
}

HFONT GetStockObject(int id) { return reinterpret_cast<HFONT>(static_cast<UINT_PTR>(id)); }

void CDC::DrawIcon(int x, int y, int width, int height, HICON icon)
{
    if (!icon)
        return;
    const res::Blob* blob = res::FindIcon(UINT(reinterpret_cast<UINT_PTR>(icon)));
    if (!blob)
        return;
    // Two pixel rows share a cell: the upper half block takes the upper
    // pixel's colour as foreground and the lower one's as background.
    int want = std::max(width, height * 2) >= 24 ? 32 : 16;
    auto image = res::DecodeIcon(blob->Bytes(), want);
    if (!image)
        return;
    int cols = std::min(width, image->width);
    int rows = std::min(height, (image->height + 1) / 2);
    // Scale down by sampling when the box is smaller than the image.
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            int px = c * image->width / cols;
            int top = (2 * r) * image->height / (2 * rows);
            int bottom = (2 * r + 1) * image->height / (2 * rows);
            int a = image->At(px, top);
            int b = image->At(px, bottom);
            Cell cell;
            cell.ch = (a < 0 && b < 0) ? u' ' : u'\u2580';
            cell.fg = std::int8_t(a);
            cell.bg = std::int8_t(b);
            SetCell(x + c, y + r, cell);
        }
    }
}
