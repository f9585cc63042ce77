#include "framework/host/TerminalScreen.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include <sys/ioctl.h>
#include <unistd.h>

#include "framework/base/CharWidth.h"
#include "framework/base/Utf16.h"
#include "framework/host/CanvasDiff.h"
#include "framework/host/TerminalSignals.h"

// Last, because of its macros (move, erase, timeout, ...).
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace {

// A cell's text, attributes and colour pair for curses.
cchar_t CursesCell(const TerminalLook::Look& look, const std::wstring& text, short pair)
{
    static_assert(Canvas::kMaxMarks < CCHARW_MAX, "a curses cell holds the character and every mark kept");
    attr_t attrs = A_NORMAL;
    if (look.video & TerminalLook::kVideoBold)
        attrs |= A_BOLD;
    if (look.video & TerminalLook::kVideoDim)
        attrs |= A_DIM;
    if (look.video & TerminalLook::kVideoReverse)
        attrs |= A_REVERSE;
    if (look.video & TerminalLook::kVideoUnderline)
        attrs |= A_UNDERLINE;
    cchar_t cell{};
    setcchar(&cell, text.c_str(), attrs, pair, nullptr);
    return cell;
}

}  // namespace

TerminalScreen::TerminalScreen() : m_pairs(257 * 257, 0), m_printable(0x10000, -1)
{
    const char* noColour = std::getenv("NO_COLOR");
    if (!(noColour && *noColour) && has_colors() && start_color() == OK) {
        m_defaultColours = use_default_colors() == OK;
        m_caps.colours = COLORS;
    }
    m_caps.unicode = Printable(TerminalLook::kUpperHalf);
}

CSize TerminalScreen::Cells() const
{
    int rows = 0;
    int cols = 0;
    getmaxyx(stdscr, rows, cols);
    return {cols, rows};
}

void TerminalScreen::Bell() { beep(); }

CSize TerminalScreen::Resize()
{
    struct winsize size {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
        resize_term(size.ws_row, size.ws_col);
    m_shownValid = false;
    return Cells();
}

void TerminalScreen::Present(const Canvas& canvas, RedrawThrottle::Clock::time_point now, bool inputPending,
                             bool inPaste)
{
    m_latest = canvas;
    m_latestDrawn = false;
    if (m_throttle.Due(now, inputPending, inPaste))
        DrawLatest();
}

void TerminalScreen::TakeResume()
{
    // The stop showed the cursor, which curses is told first, so that
    // hiding it again is not taken for nothing to do.
    if (!TerminalSignals::TakeResumed())
        return;
    if (m_latestDrawn) {
        m_latest = m_shown;
        m_latestDrawn = false;
    }
    m_shownValid = false;
    curs_set(1);
    m_cursor = -1;
}

bool TerminalScreen::Printable(char32_t ch)
{
    if (ch < 0x20 || Utf16::IsSurrogate(ch) || ch > 0x10FFFF)
        return false;
    signed char unknown = -1;
    signed char& known = ch < m_printable.size() ? m_printable[ch] : unknown;
    if (known < 0) {
        // The locale's character set must have it, and the terminal must
        // give it the cells the canvas gives it.
        char bytes[MB_LEN_MAX];
        std::mbstate_t state{};
        const bool ok = std::wcrtomb(bytes, wchar_t(ch), &state) != size_t(-1) && wcwidth(wchar_t(ch)) == CellWidth(ch);
        known = ok ? 1 : 0;
    }
    return known;
}

char32_t TerminalScreen::Glyph(char32_t ch)
{
    // A character of no width alone in a cell would not fill it.
    if (CellWidth(ch) > 0 && Printable(ch))
        return ch;
    if (char32_t s = TerminalLook::StandIn(ch))
        return s;
    return Printable(U'\uFFFD') ? U'\uFFFD' : U'?';
}

std::wstring TerminalScreen::CellText(char32_t glyph, char32_t own, std::u32string_view marks)
{
    // No joiner (U+200D) is sent: a terminal may join the wide character
    // after one to its cell (an emoji sequence in two cells), and would then
    // show fewer cells than the canvas and curses count.
    std::wstring text(1, wchar_t(glyph));
    if (glyph == own) {
        for (char32_t mark : marks)
            if (mark != 0x200D && Printable(mark))
                text += wchar_t(mark);
    }
    return text;
}

short TerminalScreen::PairOf(int fg, int bg)
{
    if (m_caps.colours == 0)
        return 0;
    if (!m_defaultColours) {
        if (fg < 0)
            fg = TerminalLook::kWhite;
        if (bg < 0)
            bg = TerminalLook::kBlack;
    }
    if (fg < 0 && bg < 0)
        return 0;
    short& pair = m_pairs[size_t((fg + 1) * 257 + (bg + 1))];
    if (pair == 0) {
        // Pairs are made as needed; when the terminal has no more, the
        // default colours stand in.
        if (m_nextPair >= COLOR_PAIRS || fg >= COLORS || bg >= COLORS)
            return 0;
        if (init_pair(m_nextPair, short(fg), short(bg)) != OK)
            return 0;
        pair = m_nextPair++;
    }
    return pair;
}

void TerminalScreen::DrawLatest()
{
    TakeResume();
    if (m_latestDrawn)
        return;
    const TerminalSignals::StopsHeld held;
    const Canvas& canvas = m_latest;
    if (!m_shownValid) {
        // After a resize (or at the start) nothing on the screen is known:
        // the terminal is cleared and everything drawn anew.
        clearok(curscr, TRUE);
        m_shown.Resize(0, 0);
    }
    if (m_shown.Cols() != canvas.Cols() || m_shown.Rows() != canvas.Rows()) {
        // A canvas of another size leaves nothing of the old one behind.
        werase(stdscr);
        m_shown.Resize(0, 0);
    }
    CSize screen = Cells();
    std::vector<cchar_t> line;
    for (const CellRun& run : DiffCanvas(m_shown, canvas)) {
        if (run.y >= screen.cy || run.x >= screen.cx)
            continue;
        // A wide character is written whole: a run that starts on its
        // second cell starts on its first, one that ends on its first takes
        // its second.
        int x = run.x;
        int end = std::min(run.x + run.count, screen.cx);
        if (x > 0 && canvas.At(x, run.y).IsWideTail())
            --x;
        if (end < canvas.Cols() && end < screen.cx && canvas.At(end, run.y).IsWideTail())
            ++end;
        line.clear();
        bool wideWritten = false;  // whether the cell before was written as a wide character
        for (int cx = x; cx < end; ++cx) {
            const Cell& cell = canvas.At(cx, run.y);
            if (cell.IsWideTail() && wideWritten) {
                wideWritten = false;
                continue;
            }
            wideWritten = false;
            TerminalLook::Look look = TerminalLook::LookOf(cell, m_caps);
            char32_t glyph = cell.IsWideTail() ? U' ' : Glyph(look.ch);
            if (CellWidth(glyph) == 2) {
                // Unless its second cell is on the screen too, a blank.
                if (cx + 1 < end && canvas.At(cx + 1, run.y).IsWideTail())
                    wideWritten = true;
                else
                    glyph = U' ';
            }
            line.push_back(
                CursesCell(look, CellText(glyph, look.ch, canvas.Marks(cx, run.y)), PairOf(look.fg, look.bg)));
        }
        mvwadd_wchnstr(stdscr, run.y, x, line.data(), int(line.size()));
    }
    bool caret = canvas.m_caretVisible && canvas.Contains(canvas.m_caret.x, canvas.m_caret.y)
        && canvas.m_caret.x < screen.cx && canvas.m_caret.y < screen.cy;
    if (caret)
        wmove(stdscr, canvas.m_caret.y, canvas.m_caret.x);
    if (int(caret) != m_cursor) {
        curs_set(caret ? 1 : 0);
        m_cursor = caret;
    }
    leaveok(stdscr, caret ? FALSE : TRUE);
    wnoutrefresh(stdscr);
    doupdate();
    std::swap(m_shown, m_latest);
    m_shownValid = true;
    m_latestDrawn = true;
    m_throttle.Drawn(RedrawThrottle::Clock::now());
}
