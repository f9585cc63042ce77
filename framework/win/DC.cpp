#include "framework/win/DC.h"

#include <algorithm>

#include "framework/base/CharWidth.h"
#include "framework/base/Utf16.h"
#include "framework/base/Utf8Codec.h"
#include "framework/res/Image.h"
#include "framework/res/Resources.h"

namespace {

// What shows for a character: control characters, which would upset a
// terminal, as a middle dot; a byte of a file that is no character (kept as
// U+DC80..U+DCFF, a zero byte as U+DC00) as a replacement character in a
// look of its own; any other lone surrogate as a plain replacement
// character.
char32_t Shown(char32_t cp, std::uint16_t& attr)
{
    if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0))
        return U'\u00B7';
    if (cp <= 0xFFFF && Utf8Codec::IsKeptFileByte(char16_t(cp))) {
        attr |= ATTR_STANDIN;
        return U'\uFFFD';
    }
    if (Utf16::IsSurrogate(cp))
        return U'\uFFFD';
    return cp;
}

// Latin that takes one cell and shows as itself.
bool IsPlainLatin(char16_t unit) { return (unit >= 0x20 && unit < 0x7F) || (unit >= 0xA0 && unit < 0x300); }

}  // namespace

int CDC::TextOut(int x, int y, std::u16string_view text, std::uint16_t attr)
{
    int col = x;
    // The screen column of the last character this call drew, which takes
    // the marks after it, and whether it shows whole.
    int base = -1;
    bool baseShown = false;
    const int sy = m_origin.y + y;
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsPlainLatin(text[i])) {
            // A run of Latin, one cell each and shown as itself (the 8-bit
            // text's way), written in one go.
            std::size_t end = i + 1;
            while (end < text.size() && IsPlainLatin(text[end]))
                ++end;
            base = m_origin.x + col + int(end - i) - 1;
            baseShown = PutLatinRun(m_origin.x + col, sy, text.substr(i, end - i), attr);
            col += int(end - i);
            i = end;
            continue;
        }
        std::uint16_t look = attr;
        const char32_t cp = Shown(Utf16::Next(text, i), look);
        int width = CellWidth(cp);
        if (width == 0 && base >= 0) {
            if (baseShown)
                m_canvas->AddMark(base, sy, cp);
            continue;
        }
        // A mark with no character before it in the text takes a cell of its
        // own (the terminal shows a stand-in there).
        width = std::max(width, 1);
        base = m_origin.x + col;
        baseShown = PutCharacter(col, y, cp, width, look);
        col += width;
    }
    return col - x;
}

bool CDC::PutLatinRun(int sx, int sy, std::u16string_view units, std::uint16_t attr)
{
    // The run's cells that the clip and the canvas let show; the two at its
    // ends go through Put, which mends a wide character they cut.
    const int left = std::max({sx, m_clip.left, 0});
    const int right = std::min({sx + int(units.size()), m_clip.right, m_canvas->Cols()});
    if (sy < m_clip.top || sy >= m_clip.bottom || sy < 0 || sy >= m_canvas->Rows() || left >= right)
        return false;
    m_canvas->Put(left, sy, Cell{units[std::size_t(left - sx)], attr});
    Cell* row = &m_canvas->At(0, sy);
    for (int x = left + 1; x < right - 1; ++x)
        row[x] = Cell{units[std::size_t(x - sx)], attr};
    if (right - 1 > left)
        m_canvas->Put(right - 1, sy, Cell{units[std::size_t(right - 1 - sx)], attr});
    // Whether the run's last cell shows (it takes the marks after the run).
    return right == sx + int(units.size());
}

bool CDC::Visible(int sx, int sy) const { return m_clip.PtInRect({sx, sy}) && m_canvas->Contains(sx, sy); }

bool CDC::PutCharacter(int x, int y, char32_t cp, int width, std::uint16_t attr)
{
    const int sx = m_origin.x + x;
    const int sy = m_origin.y + y;
    const bool first = Visible(sx, sy);
    if (width == 1) {
        if (first)
            m_canvas->Put(sx, sy, Cell{cp, attr});
        return first;
    }
    // A wide character shows whole or, where an edge cuts it, as a blank in
    // the half that shows.
    const bool second = Visible(sx + 1, sy);
    if (first && second) {
        m_canvas->Put(sx, sy, Cell{cp, attr});
        m_canvas->Put(sx + 1, sy, Cell{U' ', std::uint16_t(attr | Cell::kWideTail)});
    } else if (first) {
        m_canvas->Put(sx, sy, Cell{U' ', attr});
    } else if (second) {
        m_canvas->Put(sx + 1, sy, Cell{U' ', attr});
    }
    return first && second;
}

void CDC::TextInBox(int x, int y, int width, std::u16string_view text, std::uint16_t attr, int align)
{
    FillRect(CRect(x, y, x + width, y + 1), attr);
    text = text.substr(0, UnitsInCells(text, width < 0 ? 0 : width));
    int pad = width - TextCells(text);
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
    for (int y = fill.top; y < fill.bottom; ++y)
        m_canvas->Fill(fill.left, y, fill.Width(), cell);
}

void CDC::SetCell(int x, int y, const Cell& cell)
{
    int sx = m_origin.x + x;
    int sy = m_origin.y + y;
    if (Visible(sx, sy))
        m_canvas->Put(sx, sy, cell);
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
