#include "framework/win/EditControl.h"

#include <algorithm>
#include <array>

#include "framework/base/CharWidth.h"
#include "framework/base/Utf16.h"
#include "framework/win/DC.h"
#include "framework/win/WindowSystem.h"

namespace {
constexpr char16_t kBackspace = 0x08;
constexpr char16_t kTab = 0x09;
constexpr char16_t kReturn = 0x0D;
constexpr char16_t kCtrlC = 0x03;
constexpr char16_t kCtrlV = 0x16;
constexpr char16_t kCtrlX = 0x18;
constexpr char16_t kCtrlZ = 0x1A;
// Tab stops are in dialog units of the control's font: four to a character.
constexpr int kDefaultTabStop = 32;

// A tab is at most this many cells wide, and the view scrolls at most this
// far to the right: the widest line (0xFFFFF tabs) still fits, and column
// arithmetic stays far from the int range's end.
constexpr int kMaxTabCells = 256;
constexpr int kMaxColumn = 0x10000000;

// CellWidth, remembered for the last characters asked: a repaint asks for
// the same few characters of a script again and again, and the width rule
// asks ICU several questions about each.
int CellsOf(char32_t c)
{
    if (c < 0x300)
        return CellWidth(c);
    struct Known {
        char32_t c = 0;  // never asked here: 0 is below U+0300
        int cells = 0;
    };
    static std::array<Known, 512> known;
    Known& slot = known[c % known.size()];
    if (slot.c != c)
        slot = {c, CellWidth(c)};
    return slot.cells;
}

// The code point at `i` (a surrogate pair joined, if it ends by `end`) and
// the units it takes.
char32_t CodePointAt(const TextEngine& text, int i, int end, int& units)
{
    const char16_t c = text.CharAt(i);
    if (Utf16::IsHighSurrogate(c) && i + 1 < end && Utf16::IsLowSurrogate(text.CharAt(i + 1))) {
        units = 2;
        return Utf16::CodePoint(c, text.CharAt(i + 1));
    }
    units = 1;
    return c;
}

// The cells of [from, to), which holds no tab.
int CellsOfRange(const TextEngine& text, int from, int to)
{
    int cells = 0;
    for (int units = 0; from < to; from += units)
        cells += CellsOf(CodePointAt(text, from, to, units));
    return cells;
}
}  // namespace

EditControl::EditControl(DWORD style) : m_style(style)
{
    m_text.SetColumnMeasure(this);
    if (ClusterEditing()) {
        m_clusters = std::make_unique<TextClusters>();
        m_text.SetCharacterBoundaries(m_clusters.get());
    }
    if (!(style & ES_MULTILINE))
        m_text.SetLimit(0x7FFE);  // a single-line field's default limit
}

int EditControl::ColumnOf(const TextEngine& text, int lineStart, int pos) const
{
    // Without tabs (and wide characters) a column is a position: no scan
    // from the line's start, which in a text of one long line would cost
    // time on every keystroke.
    if (ColumnsArePositions())
        return pos - lineStart;
    if (m_mayHaveWide)
        return ClusterColumnOf(lineStart, pos);
    int col = 0;
    for (int i = lineStart; i < pos; ++i)
        col = text.CharAt(i) == kTab ? (col / m_tabCells + 1) * m_tabCells : col + 1;
    return col;
}

int EditControl::PosAtColumn(const TextEngine& text, int lineStart, int lineEnd, int column) const
{
    if (m_mayHaveWide)
        return ClusterPosAtColumn(lineStart, lineEnd, column);
    if (!m_mayHaveTabs) {
        int pos = lineStart + std::clamp(column, 0, lineEnd - lineStart);
        // Never between the halves of a surrogate pair: the column of its
        // second half is as near to the pair's end as to its start.
        if (pos > lineStart && pos < lineEnd && Utf16::IsLowSurrogate(text.CharAt(pos))
            && Utf16::IsHighSurrogate(text.CharAt(pos - 1)))
            ++pos;
        return pos;
    }
    int col = 0;
    for (int i = lineStart; i < lineEnd;) {
        // A surrogate pair fills its two cells as one character: the caret
        // never stops between its halves.
        int step = std::min(text.NextCharPos(i), lineEnd) - i;
        int next = text.CharAt(i) == kTab ? (col / m_tabCells + 1) * m_tabCells : col + step;
        if (column < next)
            return column - col < next - column ? i : i + step;
        col = next;
        i += step;
    }
    return lineEnd;
}

int EditControl::ClusterColumnOf(int lineStart, int pos) const
{
    // The sum of the code points' cells: the terminal lays a character's
    // code points out one after the other.
    int col = 0;
    for (int i = lineStart, units = 0; i < pos; i += units) {
        const char32_t c = CodePointAt(m_text, i, pos, units);
        col = c == kTab ? (col / m_tabCells + 1) * m_tabCells : col + CellsOf(c);
    }
    return col;
}

int EditControl::ClusterPosAtColumn(int lineStart, int lineEnd, int column) const
{
    int col = 0;
    for (int i = lineStart, units = 0; i < lineEnd; i += units) {
        const char32_t c = CodePointAt(m_text, i, lineEnd, units);
        const int next = c == kTab ? (col / m_tabCells + 1) * m_tabCells : col + CellsOf(c);
        if (column < next) {
            // The column falls in the character holding this code point:
            // the nearer of its two ends, the end from its second half on.
            // A tab is a character of its own, so none lies in the rest.
            const int end = std::min(m_text.NextCharPos(i), lineEnd);
            const int start = std::max(m_text.PrevCharPos(end), lineStart);
            const int startCol = col - CellsOfRange(m_text, start, i);
            const int endCol = next + CellsOfRange(m_text, i + units, end);
            return column - startCol < endCol - column ? start : end;
        }
        col = next;
    }
    return lineEnd;
}

EditControl::TextKinds EditControl::KindsOf(std::u16string_view text)
{
    // One pass of bit arithmetic, which the compiler turns into a vector
    // loop for a paste of a megabyte. Below the combining marks every
    // character is one cell and one step (the width rule's own shortcut);
    // anything beyond may not be, in an 8-bit session too (the screen gives
    // a wide character two cells in any session). A unit is at or above
    // U+0300 when a bit above 0x3FF is set or both 0x200 and 0x100 are.
    unsigned wide = 0;
    unsigned tabs = 0;
    for (const char16_t c : text) {
        wide |= (c & 0xFC00u) | (c & (unsigned(c) << 1) & 0x200u);
        tabs |= unsigned(c == kTab);
    }
    return {tabs != 0, wide != 0};
}

void EditControl::NoteInserted(std::u16string_view text)
{
    if (m_mayHaveTabs && m_mayHaveWide)
        return;
    const TextKinds kinds = KindsOf(text);
    m_mayHaveTabs = m_mayHaveTabs || kinds.tabs;
    m_mayHaveWide = m_mayHaveWide || kinds.wide;
}

void EditControl::Notify(HWND hwnd, UINT code)
{
    if (hwnd->parent)
        SendMessage(hwnd->parent, WM_COMMAND, MAKEWPARAM(WORD(hwnd->id), WORD(code)), reinterpret_cast<LPARAM>(hwnd));
}

void EditControl::Changed(HWND hwnd)
{
    ScrollCaret(hwnd);
    UpdateScrollBars(hwnd);
    WindowSystem::Get().Invalidate();
    Notify(hwnd, EN_UPDATE);
    if (IsWindow(hwnd))
        Notify(hwnd, EN_CHANGE);
}

CSize EditControl::ClientCells(HWND hwnd) const
{
    CRect c = GetClientCells(hwnd);
    return {std::max(c.Width(), 1), std::max(c.Height(), 1)};
}

std::u16string EditControl::LineEndForEnter() const
{
    // A text whose first line ends in a lone "\n" is a Unix text; keep it so.
    if (m_text.LineCount() > 1) {
        int nl = m_text.LineIndex(1) - 1;
        if (nl == 0 || m_text.CharAt(nl - 1) != u'\r')
            return u"\n";
    }
    return u"\r\n";
}

EditControl* EditControl::FromHandle(HWND hwnd)
{
    if (!IsWindow(hwnd) || hwnd->className.CompareNoCase(u"EDIT") != 0)
        return nullptr;
    return static_cast<EditControl*>(hwnd->proc.get());
}

bool EditControl::Insert(HWND hwnd, std::u16string_view text, bool typed)
{
    if (m_style & ES_READONLY) {
        MessageBeep(0);
        return false;
    }
    std::u16string single;
    if (!Multiline()) {
        // A single-line field takes only the first line of what it is given.
        size_t cut = text.find_first_of(u"\r\n");
        if (cut != std::u16string_view::npos)
            text = text.substr(0, cut);
    }
    if (!Multiline() && !(m_style & ES_AUTOHSCROLL)) {
        // Without automatic scrolling a field takes no more than it can show.
        auto [s, e] = m_text.GetSel();
        int room = ClientCells(hwnd).cx - 1 - (m_text.Length() - (e - s));
        if (room < int(text.size())) {
            if (typed || room <= 0) {
                Notify(hwnd, EN_MAXTEXT);
                return false;
            }
            text = text.substr(0, size_t(room));
        }
    }
    NoteInserted(text);
    auto [selStart, selEnd] = m_text.GetSel();
    int before = m_text.Length();
    TextEngine::EditStatus status = typed ? m_text.InsertTyped(text) : m_text.ReplaceSel(text, true);
    // A paste the limit cuts is not silent.
    if (!typed && status != TextEngine::EditStatus::Done)
        MessageBeep(MB_ICONEXCLAMATION);
    if (status == TextEngine::EditStatus::Refused) {
        Notify(hwnd, EN_MAXTEXT);
        return false;
    }
    // A paste of which nothing fits leaves the text as it was: no change to
    // report (the document must not be marked changed).
    bool changed = selStart != selEnd || m_text.Length() != before;
    if (changed)
        Changed(hwnd);
    if (status == TextEngine::EditStatus::Truncated && IsWindow(hwnd))
        Notify(hwnd, EN_MAXTEXT);
    return changed;
}

int EditControl::ReplaceAllFrom(HWND hwnd, int pos, std::u16string_view find, std::u16string_view replace,
                                bool matchCase, const std::function<bool(int cuts)>& askCut)
{
    if (m_style & ES_READONLY)
        return 0;
    NoteInserted(replace);
    const TextEngine::ReplaceAllResult result = m_text.ReplaceAllFrom(pos, find, replace, matchCase, askCut);
    if (result.count > 0)
        Changed(hwnd);
    // Each replacement the limit cut would have said so on its own; once is
    // enough for the whole pass, and the person hears it.
    if (result.cut > 0) {
        MessageBeep(MB_ICONEXCLAMATION);
        if (IsWindow(hwnd))
            Notify(hwnd, EN_MAXTEXT);
    }
    return result.count;
}

void EditControl::Cut(HWND hwnd)
{
    if (m_style & ES_READONLY)
        return;
    auto [s, e] = m_text.GetSel();
    if (s == e)
        return;
    Copy(hwnd);
    Clear(hwnd);
}

void EditControl::Copy(HWND)
{
    auto [s, e] = m_text.GetSel();
    if (s == e || (m_style & ES_PASSWORD))
        return;
    if (Host* host = WindowSystem::Get().GetHost())
        host->SetClipboardText(m_text.GetRange(s, e - s));
}

void EditControl::Paste(HWND hwnd)
{
    Host* host = WindowSystem::Get().GetHost();
    if (!host)
        return;
    auto text = host->GetClipboardText();
    if (!text)
        return;
    Insert(hwnd, *text, false);
}

void EditControl::Clear(HWND hwnd)
{
    if (m_style & ES_READONLY)
        return;
    auto [s, e] = m_text.GetSel();
    if (s == e)
        return;
    m_text.ReplaceSel(u"", true);
    Changed(hwnd);
}

void EditControl::Undo(HWND hwnd)
{
    if (m_style & ES_READONLY)
        return;
    if (m_text.Undo())
        Changed(hwnd);
}

void EditControl::AfterMove(HWND hwnd)
{
    ScrollCaret(hwnd);
    WindowSystem::Get().Invalidate();
}

bool EditControl::ScrollCaret(HWND hwnd)
{
    CSize cells = ClientCells(hwnd);
    int caret = m_text.Caret();
    int line = m_text.LineFromChar(caret);
    int col = m_text.ColumnOf(caret);
    int first = m_firstLine;
    int firstCol = m_firstCol;
    if (Multiline()) {
        if (line < first)
            first = line;
        else if (line >= first + cells.cy)
            first = line - cells.cy + 1;
    }
    if (col < firstCol)
        firstCol = std::max(0, col - cells.cx / 4);
    else if (col >= firstCol + cells.cx)
        firstCol = col - cells.cx + 1 + cells.cx / 4;
    if (first == m_firstLine && firstCol == m_firstCol)
        return false;
    ScrollTo(hwnd, first, firstCol);
    return true;
}

void EditControl::ScrollTo(HWND hwnd, int firstLine, int firstCol)
{
    int maxFirst = std::max(0, m_text.LineCount() - 1);
    m_firstLine = std::clamp(firstLine, 0, maxFirst);
    m_firstCol = std::clamp(firstCol, 0, kMaxColumn);
    UpdateScrollBars(hwnd);
    WindowSystem::Get().Invalidate();
}

void EditControl::UpdateScrollBars(HWND hwnd)
{
    if (!(hwnd->style & (WS_VSCROLL | WS_HSCROLL)))
        return;
    CSize cells = ClientCells(hwnd);
    SCROLLINFO v;
    v.nMin = 0;
    v.nMax = std::max(0, m_text.LineCount() - 1);
    v.nPage = UINT(cells.cy);
    v.nPos = m_firstLine;
    hwnd->scroll[SB_VERT] = v;
    // The widest visible line decides the horizontal range; measuring every
    // line would cost time in proportion to the text on every keystroke.
    int widest = 0;
    for (int r = 0; r < cells.cy; ++r) {
        int line = m_firstLine + r;
        if (line >= m_text.LineCount())
            break;
        int start = m_text.LineIndex(line);
        widest = std::max(widest, m_text.ColumnOf(start + m_text.LineLength(line)));
    }
    SCROLLINFO h;
    h.nMin = 0;
    h.nMax = std::max(widest, m_firstCol + cells.cx);
    h.nPage = UINT(cells.cx);
    h.nPos = m_firstCol;
    hwnd->scroll[SB_HORZ] = h;
}

int EditControl::PosFromPoint(HWND hwnd, CPoint p) const
{
    CSize px = Host::CellPixels();
    CSize cells = ClientCells(hwnd);
    int row = p.y < 0 ? -1 : p.y / px.cy;
    int col = p.x < 0 ? 0 : p.x / px.cx;
    row = std::clamp(row, Multiline() ? -1 : 0, Multiline() ? cells.cy : 0);
    int line = std::clamp(m_firstLine + row, 0, m_text.LineCount() - 1);
    return m_text.PosAtColumn(line, m_firstCol + col);
}

void EditControl::OnMouse(HWND hwnd, UINT msg, CPoint p)
{
    switch (msg) {
    case WM_LBUTTONDOWN: {
        if (GetFocus() != hwnd)
            SetFocus(hwnd);
        int pos = PosFromPoint(hwnd, p);
        if (GetKeyState(VK_SHIFT) < 0)
            m_text.SetSelRaw(m_text.Anchor(), pos);
        else
            m_text.SetSelRaw(pos, pos);
        m_dragging = true;
        m_downPoint = p;
        AfterMove(hwnd);
        break;
    }
    case WM_MOUSEMOVE:
        if (m_dragging) {
            m_text.SetSelRaw(m_text.Anchor(), PosFromPoint(hwnd, p));
            AfterMove(hwnd);
        }
        break;
    case WM_LBUTTONUP:
        if (m_dragging) {
            // A release where the button went down is a click: the caret
            // stays where the press put it, even if the view scrolled to it.
            if (p != m_downPoint)
                m_text.SetSelRaw(m_text.Anchor(), PosFromPoint(hwnd, p));
            m_dragging = false;
            AfterMove(hwnd);
        }
        break;
    }
}

void EditControl::OnKeyDown(HWND hwnd, UINT vk)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    int page = std::max(1, ClientCells(hwnd).cy - 1);
    switch (vk) {
    case VK_LEFT: ctrl ? m_text.MoveWordLeft(shift) : m_text.MoveLeft(shift); break;
    case VK_RIGHT: ctrl ? m_text.MoveWordRight(shift) : m_text.MoveRight(shift); break;
    case VK_UP: Multiline() ? m_text.MoveUp(shift) : m_text.MoveLeft(shift); break;
    case VK_DOWN: Multiline() ? m_text.MoveDown(shift) : m_text.MoveRight(shift); break;
    case VK_HOME: ctrl ? m_text.MoveTextStart(shift) : m_text.MoveLineStart(shift); break;
    case VK_END: ctrl ? m_text.MoveTextEnd(shift) : m_text.MoveLineEnd(shift); break;
    case VK_PRIOR:
        if (!Multiline())
            return;
        m_text.MovePageUp(page, shift);
        ScrollTo(hwnd, m_firstLine - page, m_firstCol);
        break;
    case VK_NEXT:
        if (!Multiline())
            return;
        m_text.MovePageDown(page, shift);
        ScrollTo(hwnd, std::min(m_firstLine + page, std::max(0, m_text.LineCount() - page)), m_firstCol);
        break;
    case VK_DELETE:
        if (m_style & ES_READONLY)
            return;
        if (shift) {
            Cut(hwnd);
            return;
        }
        if (m_text.Delete())
            Changed(hwnd);
        return;
    case VK_INSERT:
        if (ctrl)
            Copy(hwnd);
        else if (shift)
            Paste(hwnd);
        return;
    default: return;
    }
    AfterMove(hwnd);
}

void EditControl::OnChar(HWND hwnd, char16_t ch)
{
    switch (ch) {
    case kCtrlC: Copy(hwnd); return;
    case kCtrlV: Paste(hwnd); return;
    case kCtrlX: Cut(hwnd); return;
    case kCtrlZ: Undo(hwnd); return;
    case kBackspace:
        if (m_style & ES_READONLY)
            return;
        if (m_text.Backspace())
            Changed(hwnd);
        return;
    case kReturn:
        if (Multiline() && !(m_style & ES_READONLY))
            Insert(hwnd, LineEndForEnter(), true);
        return;
    case kTab:
        if (Multiline() && !(m_style & ES_READONLY))
            Insert(hwnd, u"\t", true);
        return;
    default: break;
    }
    if (ch < 0x20)
        return;
    if ((m_style & ES_NUMBER) && !(ch >= u'0' && ch <= u'9')) {
        MessageBeep(0);
        return;
    }
    if (m_style & ES_READONLY)
        return;
    Insert(hwnd, std::u16string_view(&ch, 1), true);
}

bool EditControl::OnPasteText(HWND hwnd, std::u16string_view text, bool first)
{
    // Only a multi-line text takes a paste whole; a field keeps what its
    // keys do (Enter and Tab belong to the dialog).
    if (!Multiline() || (m_style & ES_READONLY))
        return false;
    // Once the limit cut the paste, the rest of it is dropped: what went in
    // is its beginning.
    if (first)
        m_pasteCut = false;
    else if (m_pasteCut)
        return true;
    // What typing it would give: each "\r" the line end Enter inserts,
    // into the same run of typing (one undo step with it).
    std::u16string typed;
    const std::u16string lineEnd = LineEndForEnter();
    typed.reserve(text.size() + (lineEnd.size() - 1) * size_t(std::count(text.begin(), text.end(), u'\r')));
    for (char16_t c : text) {
        if (c == u'\r')
            typed += lineEnd;
        else
            typed += c;
    }
    // Typing stops at the limit: as much goes in as fits, never half a line
    // end or half a surrogate pair.
    auto [s, e] = m_text.GetSel();
    const int room = m_text.RoomFor(e - s);
    bool cut = typed.size() > size_t(room);
    if (cut)
        typed.resize(TextBuffer::FitPrefix(typed, room));
    if (!typed.empty()) {
        NoteInserted(typed);
        m_text.InsertTyped(typed);
        Changed(hwnd);
    }
    if (cut && IsWindow(hwnd)) {
        Notify(hwnd, EN_MAXTEXT);
        // The paste did not go in whole: said once, however many pieces
        // it came in.
        if (!m_pasteCut)
            MessageBeep(MB_ICONEXCLAMATION);
        m_pasteCut = true;
    }
    return true;
}

void EditControl::OnScroll(HWND hwnd, int bar, UINT code)
{
    CSize cells = ClientCells(hwnd);
    if (bar == SB_VERT) {
        int first = m_firstLine;
        switch (code) {
        case SB_LINEUP: --first; break;
        case SB_LINEDOWN: ++first; break;
        case SB_PAGEUP: first -= cells.cy; break;
        case SB_PAGEDOWN: first += cells.cy; break;
        case SB_TOP: first = 0; break;
        case SB_BOTTOM: first = m_text.LineCount() - cells.cy; break;
        default: return;
        }
        ScrollTo(hwnd, std::min(first, std::max(0, m_text.LineCount() - cells.cy)), m_firstCol);
        Notify(hwnd, EN_VSCROLL);
    } else {
        int first = m_firstCol;
        switch (code) {
        case SB_LINELEFT: --first; break;
        case SB_LINERIGHT: ++first; break;
        case SB_PAGELEFT: first -= cells.cx; break;
        case SB_PAGERIGHT: first += cells.cx; break;
        case SB_TOP: first = 0; break;
        default: return;
        }
        ScrollTo(hwnd, m_firstLine, first);
        Notify(hwnd, EN_HSCROLL);
    }
}

void EditControl::OnMouseWheel(HWND hwnd, int delta)
{
    // The view moves and the caret stays where it is, as with the scroll
    // bar; at either end of the text the view stops. A view already below
    // the last full page (Ctrl+End, EM_LINESCROLL) is not pulled back up by
    // a turn down.
    const int lines = delta * WHEEL_SCROLL_LINES / WHEEL_DELTA;
    const int lastFull = std::max(0, m_text.LineCount() - ClientCells(hwnd).cy);
    const int first
        = lines > 0 ? std::max(0, m_firstLine - lines) : std::max(m_firstLine, std::min(m_firstLine - lines, lastFull));
    if (first == m_firstLine)
        return;
    ScrollTo(hwnd, first, m_firstCol);
    Notify(hwnd, EN_VSCROLL);
}

LRESULT EditControl::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const auto text = [lParam] {
        return lParam ? std::u16string_view(reinterpret_cast<const char16_t*>(lParam)) : std::u16string_view();
    };
    switch (msg) {
    case WM_CREATE:
        m_style = hwnd->style;
        UpdateScrollBars(hwnd);
        return 0;
    case WM_SETTEXT: OnSetText(hwnd, text()); return TRUE;
    case WM_GETTEXT: return GetText(int(wParam), reinterpret_cast<char16_t*>(lParam));
    case WM_GETTEXTLENGTH: return m_text.Length();
    case WM_SETFONT:
        hwnd->font = reinterpret_cast<HFONT>(wParam);
        WindowSystem::Get().Invalidate();
        return 0;
    case EM_GETSEL: return GetSel(reinterpret_cast<DWORD*>(wParam), reinterpret_cast<DWORD*>(lParam));
    case EM_SETSEL:
        m_text.SetSel(int(INT_PTR(wParam)), int(lParam));
        WindowSystem::Get().Invalidate();
        return 0;
    case EM_REPLACESEL: OnReplaceSel(hwnd, text(), wParam != 0); return 0;
    case EM_LINEFROMCHAR: {
        int pos = int(INT_PTR(wParam));
        return m_text.LineFromChar(pos < 0 ? m_text.GetSel().first : pos);
    }
    case EM_LINEINDEX: {
        int line = int(INT_PTR(wParam));
        if (line < 0)
            line = m_text.LineFromChar(m_text.Caret());
        return line < m_text.LineCount() ? m_text.LineIndex(line) : -1;
    }
    case EM_LINELENGTH: return LineLengthAt(int(INT_PTR(wParam)));
    case EM_GETLINECOUNT: return m_text.LineCount();
    case EM_GETFIRSTVISIBLELINE: return Multiline() ? m_firstLine : m_firstCol;
    case EM_LINESCROLL: OnLineScroll(hwnd, int(INT_PTR(wParam)), int(lParam)); return TRUE;
    case EM_SCROLLCARET: ScrollCaret(hwnd); return TRUE;
    case EM_LIMITTEXT: m_text.SetLimit(int(wParam)); return 0;
    case EM_GETLIMITTEXT: return m_text.Limit();
    case EM_SETTABSTOPS: SetTabStops(wParam >= 1 ? reinterpret_cast<const int*>(lParam) : nullptr); return TRUE;
    case EM_CANUNDO: return m_text.CanUndo();
    case EM_UNDO:
    case WM_UNDO: {
        bool could = m_text.CanUndo();
        Undo(hwnd);
        return could;
    }
    case EM_EMPTYUNDOBUFFER: m_text.EmptyUndo(); return 0;
    case EM_GETMODIFY: return m_text.IsModified();
    case EM_SETMODIFY: m_text.SetModified(wParam != 0); return 0;
    case EM_SETREADONLY: SetReadOnly(hwnd, wParam != 0); return TRUE;
    case WM_CUT: Cut(hwnd); return 0;
    case WM_COPY: Copy(hwnd); return 0;
    case WM_PASTE: Paste(hwnd); return 0;
    case WM_CLEAR: Clear(hwnd); return 0;
    case WM_KEYDOWN: OnKeyDown(hwnd, UINT(wParam)); return 0;
    case WM_CHAR: OnChar(hwnd, char16_t(wParam)); return 0;
    case WM_PASTETEXT: return OnPasteText(hwnd, *reinterpret_cast<const std::u16string*>(lParam), wParam != 0);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        OnMouse(hwnd, msg, CPoint(short(LOWORD(UINT_PTR(lParam))), short(HIWORD(UINT_PTR(lParam)))));
        return 0;
    case WM_VSCROLL: OnScroll(hwnd, SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll(hwnd, SB_HORZ, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
        // A single-line field has nothing to scroll: its parent may.
        if (!Multiline())
            return WindowClass::Proc(hwnd, msg, wParam, lParam);
        OnMouseWheel(hwnd, short(HIWORD(wParam)));
        return 0;
    case WM_SIZE: UpdateScrollBars(hwnd); return 0;
    case WM_SETFOCUS:
        WindowSystem::Get().Invalidate();
        Notify(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        m_dragging = false;
        WindowSystem::Get().Invalidate();
        Notify(hwnd, EN_KILLFOCUS);
        return 0;
    default: return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
}

void EditControl::OnSetText(HWND hwnd, std::u16string_view text)
{
    m_text.SetText(text);
    const TextKinds kinds = KindsOf(text);
    TextSet(hwnd, kinds.tabs, kinds.wide);
}

TextBuffer::ByteLoad EditControl::LoadBytes(HWND hwnd, std::size_t expected, std::size_t most,
                                            const TextBuffer::ReadBytes& read)
{
    const TextBuffer::ByteLoad result = m_text.LoadBytes(expected, most, read);
    if (result.Loaded())
        TextSet(hwnd, result.tabs, m_clusters != nullptr);
    return result;
}

void EditControl::TextSet(HWND hwnd, bool mayHaveTabs, bool mayHaveWide)
{
    m_mayHaveTabs = mayHaveTabs;
    m_mayHaveWide = mayHaveWide;
    m_firstLine = 0;
    m_firstCol = 0;
    UpdateScrollBars(hwnd);
    WindowSystem::Get().Invalidate();
    // A multi-line control reports no change for a text set as a whole.
    if (!Multiline())
        Notify(hwnd, EN_CHANGE);
}

int EditControl::GetText(int size, char16_t* buf) const
{
    if (!buf || size <= 0)
        return 0;
    int n = std::min(m_text.Length(), size - 1);
    m_text.CopyRange(0, n, buf);
    buf[n] = 0;
    return n;
}

LRESULT EditControl::GetSel(DWORD* start, DWORD* end) const
{
    auto [s, e] = m_text.GetSel();
    if (start)
        *start = DWORD(s);
    if (end)
        *end = DWORD(e);
    return LRESULT(MAKELONG(WORD(std::min(s, 0xFFFF)), WORD(std::min(e, 0xFFFF))));
}

void EditControl::OnReplaceSel(HWND hwnd, std::u16string_view text, bool canUndo)
{
    if (m_style & ES_READONLY)
        return;
    if (!Multiline()) {
        size_t cut = text.find_first_of(u"\r\n");
        if (cut != std::u16string_view::npos)
            text = text.substr(0, cut);
    }
    NoteInserted(text);
    auto [selStart, selEnd] = m_text.GetSel();
    int before = m_text.Length();
    auto status = m_text.ReplaceSel(text, canUndo);
    if (status != TextEngine::EditStatus::Refused && (selStart != selEnd || m_text.Length() != before))
        Changed(hwnd);
    if (status != TextEngine::EditStatus::Done && IsWindow(hwnd))
        Notify(hwnd, EN_MAXTEXT);
}

int EditControl::LineLengthAt(int pos) const
{
    if (pos < 0) {
        // The characters of the selection's lines that are not selected.
        auto [s, e] = m_text.GetSel();
        int ls = m_text.LineFromChar(s);
        int le = m_text.LineFromChar(e);
        // A selection may end inside the last line's "\r\n": nothing of
        // that line is then left after it.
        return (s - m_text.LineIndex(ls)) + std::max(0, m_text.LineIndex(le) + m_text.LineLength(le) - e);
    }
    if (pos > m_text.Length())
        return 0;
    return m_text.LineLength(m_text.LineFromChar(pos));
}

void EditControl::OnLineScroll(HWND hwnd, int columns, int lines)
{
    if (!Multiline())
        return;
    // Any count scrolls as far as it can; the sums may not fit an int.
    long long line = (long long)m_firstLine + lines;
    long long col = (long long)m_firstCol + columns;
    ScrollTo(hwnd, int(std::clamp<long long>(line, 0, std::max(0, m_text.LineCount() - 1))),
             int(std::clamp<long long>(col, 0, kMaxColumn)));
}

void EditControl::SetTabStops(const int* stop)
{
    m_tabCells = std::clamp((stop ? *stop : kDefaultTabStop) / 4, 1, kMaxTabCells);
    WindowSystem::Get().Invalidate();
}

void EditControl::SetReadOnly(HWND hwnd, bool readOnly)
{
    if (readOnly)
        m_style |= ES_READONLY;
    else
        m_style &= ~ES_READONLY;
    hwnd->style = (hwnd->style & ~DWORD(ES_READONLY)) | (m_style & ES_READONLY);
}

UINT EditControl::DialogCode(HWND)
{
    UINT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    // A multi-line field keeps Enter for itself only with ES_WANTRETURN;
    // otherwise the dialog's default button gets it.
    if (Multiline() && (m_style & ES_WANTRETURN))
        code |= DLGC_WANTALLKEYS;
    return code;
}

void EditControl::Paint(HWND hwnd, CDC& dc)
{
    CSize size = dc.Size();
    bool focused = GetFocus() == hwnd;
    bool enabled = IsWindowEnabled(hwnd);
    std::uint16_t base = ATTR_NORMAL;
    if (!Multiline() || (hwnd->style & WS_BORDER))
        base |= ATTR_FIELD;
    if (!enabled)
        base |= ATTR_DISABLED;
    if (focused && !Multiline())
        base |= ATTR_FOCUS;
    dc.FillRect(CRect(0, 0, size.cx, size.cy), base);
    auto [selStart, selEnd] = m_text.GetSel();
    bool showSel = selStart != selEnd && (focused || (m_style & ES_NOHIDESEL));
    int rows = Multiline() ? size.cy : std::min(size.cy, 1);
    std::u16string cells;
    for (int r = 0; r < rows; ++r) {
        int line = m_firstLine + r;
        if (line >= m_text.LineCount())
            break;
        int start = m_text.LineIndex(line);
        int len = m_text.LineLength(line);
        if (m_mayHaveWide)
            PaintClusterLine(dc, r, start, start + len, base, showSel, selStart, selEnd);
        else
            PaintUnitLine(dc, r, start, start + len, base, showSel, selStart, selEnd);
        // A selected line end shows as one selected blank.
        int lineEnd = start + len;
        if (showSel && lineEnd >= selStart && lineEnd < selEnd && line + 1 < m_text.LineCount()) {
            int endCol = m_text.ColumnOf(lineEnd);
            if (endCol >= m_firstCol && endCol < m_firstCol + size.cx)
                dc.TextOut(endCol - m_firstCol, r, u" ", base | ATTR_REVERSE);
        }
    }
    if (focused) {
        int caret = m_text.Caret();
        int line = m_text.LineFromChar(caret);
        int col = m_text.ColumnOf(caret);
        if (line >= m_firstLine && line < m_firstLine + rows && col >= m_firstCol && col < m_firstCol + size.cx)
            dc.SetCaret(col - m_firstCol, line - m_firstLine);
    }
}

void EditControl::PaintUnitLine(CDC& dc, int row, int start, int end, std::uint16_t base, bool showSel, int selStart,
                                int selEnd) const
{
    const int width = dc.Size().cx;
    // The characters left of the view are skipped, not measured, where
    // columns are positions (a surrogate pair cut by the edge starts at
    // its first half).
    int first = start;
    if (!m_mayHaveTabs) {
        first = start + std::min(m_firstCol, end - start);
        if (first > start && Utf16::IsLowSurrogate(m_text.CharAt(first))
            && Utf16::IsHighSurrogate(m_text.CharAt(first - 1)))
            --first;
    }
    // The cells are drawn a run of one look at a time: one call of TextOut
    // for a word, not one for each of its letters.
    char16_t run[128];
    std::size_t runLength = 0;
    int runColumn = 0;
    std::uint16_t runAttr = base;
    const auto flush = [&] {
        if (runLength > 0)
            dc.TextOut(runColumn, row, std::u16string_view(run, runLength), runAttr);
        runLength = 0;
    };
    int col = first - start;
    for (int i = first; i < end && col < m_firstCol + width; ++i) {
        char16_t c = m_text.CharAt(i);
        int next = c == kTab ? (col / m_tabCells + 1) * m_tabCells : col + 1;
        std::uint16_t attr = base;
        if (showSel && i >= selStart && i < selEnd)
            attr |= ATTR_REVERSE;
        const char16_t shown = (m_style & ES_PASSWORD) ? u'*' : c == kTab ? u' ' : c;
        for (int k = std::max(col, m_firstCol); k < std::min(next, m_firstCol + width); ++k) {
            if (runLength == std::size(run) || (runLength > 0 && attr != runAttr))
                flush();
            if (runLength == 0) {
                runColumn = k - m_firstCol;
                runAttr = attr;
            }
            run[runLength++] = shown;
        }
        col = next;
    }
    flush();
}

void EditControl::PaintClusterLine(CDC& dc, int row, int start, int end, std::uint16_t base, bool showSel, int selStart,
                                   int selEnd) const
{
    const int width = dc.Size().cx;
    int col = 0;
    for (int i = start, units = 0; i < end && col < m_firstCol + width;) {
        // A code point of one or two cells with the zero-width ones after
        // it (its marks, a joiner), drawn together into its cells.
        const char32_t c = CodePointAt(m_text, i, end, units);
        int group = i + units;
        int next = col + CellsOf(c);
        if (c == kTab) {
            next = (col / m_tabCells + 1) * m_tabCells;
        } else {
            for (int more = 0; group < end; group += more) {
                const char32_t mark = CodePointAt(m_text, group, end, more);
                if (mark == kTab || CellsOf(mark) != 0)
                    break;
            }
        }
        std::uint16_t attr = base;
        if (showSel && i >= selStart && i < selEnd)
            attr |= ATTR_REVERSE;
        const bool whole = col >= m_firstCol && next <= m_firstCol + width;
        if (c != kTab && whole && next > col && !(m_style & ES_PASSWORD)) {
            char16_t shown[16];
            if (group - i <= int(std::size(shown))) {
                m_text.CopyRange(i, group - i, shown);
                dc.TextOut(col - m_firstCol, row, std::u16string_view(shown, size_t(group - i)), attr);
            } else {
                dc.TextOut(col - m_firstCol, row, m_text.GetRange(i, group - i), attr);
            }
        } else {
            // A tab, a password's characters, and a character cut by an
            // edge of the view show as a blank (or a star) in each cell.
            const std::u16string_view shown = c != kTab && (m_style & ES_PASSWORD) ? u"*" : u" ";
            for (int k = std::max(col, m_firstCol); k < std::min(next, m_firstCol + width); ++k)
                dc.TextOut(k - m_firstCol, row, shown, attr);
        }
        col = next;
        i = group;
    }
}
