// Drives an "EDIT" window with a random sequence of keys, typed characters
// and messages, and after every step compares it with a small model of its
// own: the text as a std::u16string, the anchor and caret, the text before
// the last undoable step, the limit, the modified flag and the clipboard.
// Edits, undo and the line queries must agree exactly with the model; caret
// moves are checked for what must hold whatever the move did (within the
// text, the anchor kept by Shift, never stopping inside "\r\n" or a
// surrogate pair, going the right way).
//
// The input is read as a script, so that seeds can be written by hand. The
// first byte picks the control ('0' multi-line, '1' single-line, '2'
// single-line taking digits only); then printable characters, tab, Enter
// ("\r" or "\n") and Backspace ("\b") are typed as they are, bytes 0x80 and
// up are caret keys (the low three bits pick Left, Right, Up, Down, Home,
// End, Page Up, Page Down; 0x08 adds Ctrl, 0x10 Shift), and the other control
// bytes are messages and commands with arguments in the bytes after them
// (see Step). Any disagreement prints the steps that led to it and aborts.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "framework/win/Wnd.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/Text.h"

using support::Show;

namespace {

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// ---- Lines, by plain scanning: a line ends after every '\n'; "\r\n" or the
// lone "\n" is not part of the line's length. ----

int LineCount(const std::u16string& t) { return 1 + int(std::count(t.begin(), t.end(), u'\n')); }

int LineOf(const std::u16string& t, int pos)
{
    pos = std::clamp(pos, 0, int(t.size()));
    return int(std::count(t.begin(), t.begin() + pos, u'\n'));
}

int LineStart(const std::u16string& t, int line)
{
    int start = 0;
    for (int l = 0; l < line; ++l) {
        size_t nl = t.find(u'\n', size_t(start));
        if (nl == std::u16string::npos)
            return -1;
        start = int(nl) + 1;
    }
    return start;
}

// The end of the line starting at start, before its line end.
int LineEndFrom(const std::u16string& t, int start)
{
    size_t nl = t.find(u'\n', size_t(start));
    if (nl == std::u16string::npos)
        return int(t.size());
    int end = int(nl);
    if (end > start && t[size_t(end) - 1] == u'\r')
        --end;
    return end;
}

int LineLengthAt(const std::u16string& t, int line)
{
    int start = LineStart(t, line);
    return start < 0 ? 0 : LineEndFrom(t, start) - start;
}

// Inside a "\r\n" or a surrogate pair: no caret move may stop there.
bool InsidePair(const std::u16string& t, int pos)
{
    if (pos <= 0 || pos >= int(t.size()))
        return false;
    char16_t before = t[size_t(pos) - 1], after = t[size_t(pos)];
    return (before == u'\r' && after == u'\n') || (IsHigh(before) && IsLow(after));
}

int NextStep(const std::u16string& t, int pos)
{
    if (pos >= int(t.size()))
        return int(t.size());
    return InsidePair(t, pos + 1) ? pos + 2 : pos + 1;
}

int PrevStep(const std::u16string& t, int pos)
{
    if (pos <= 0)
        return 0;
    return InsidePair(t, pos - 1) ? pos - 2 : pos - 1;
}

enum class Kind { Multi, Single, Number };

// Collects the notifications the control sends its parent.
class Parent : public CWnd {
public:
    int changes = 0;
    int maxText = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND) {
            if (HIWORD(wParam) == EN_CHANGE)
                ++changes;
            else if (HIWORD(wParam) == EN_MAXTEXT)
                ++maxText;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// The script's bytes, read from the front; 0 once they are used up.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool More() const { return m_pos < m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    bool Bool() { return Byte() & 1; }
    int Below(int n) { return n <= 1 ? 0 : Byte() % n; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Characters beyond ASCII the scripts can type or insert.
constexpr char16_t kSpecial[] = {0x00E9, 0x20AC, 0xD83D, 0xDE00, 0xD800, 0xDFFF, 0x00A0, 0xFFFF};

class Session {
public:
    Session(Reader& in, HeadlessHost& host, Kind kind) : in(in), host(host), kind(kind) {}

    void Run()
    {
        parent.CreateEx(0, u"FuzzParent", u"", WS_VISIBLE, CRect(0, 0, 800, 384), nullptr, 0);
        DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
        int height = 16;
        if (kind == Kind::Multi) {
            style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL | ES_NOHIDESEL;
            height = 16 * 10;
        } else if (kind == Kind::Number) {
            style |= ES_NUMBER;
        }
        edit = CreateWindowEx(0, u"EDIT", u"", style, 10, 16, 400, height, parent.m_hWnd, 100, nullptr);
        ::SetFocus(edit);
        limit = int(Send(EM_GETLIMITTEXT));
        Check();
        while (in.More() && steps.size() < 400) {
            changesBefore = parent.changes;
            maxTextBefore = parent.maxText;
            textBefore = text;
            Step();
            Check();
        }
    }

private:
    Reader& in;
    HeadlessHost& host;
    Kind kind;
    Parent parent;
    HWND edit = nullptr;

    // The model.
    std::u16string text;
    int anchor = 0;
    int caret = 0;
    std::optional<std::u16string> undo;  // the text before the undoable step
    bool runOpen = false;                // typing, Backspace and Delete extend the step
    int limit = 0;
    bool modified = false;
    bool readOnly = false;
    std::optional<std::u16string> clipboard;

    std::vector<std::string> steps;
    std::u16string textBefore;
    int changesBefore = 0;
    int maxTextBefore = 0;
    bool expectChange = true;  // a change of the text must be notified
    bool expectMaxText = false;

    bool Multi() const { return kind == Kind::Multi; }
    int Len() const { return int(text.size()); }
    int SelStart() const { return std::min(anchor, caret); }
    int SelEnd() const { return std::max(anchor, caret); }

    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return ::SendMessage(edit, msg, w, l); }

    [[noreturn]] void Fail(const std::string& what)
    {
        std::fprintf(stderr, "\n*** edit control (%s) disagrees with the model: %s\n",
                     Multi()                    ? "multi-line"
                         : kind == Kind::Single ? "single-line"
                                                : "digits only",
                     what.c_str());
        std::fprintf(stderr, "steps:\n");
        for (const std::string& s : steps)
            std::fprintf(stderr, "  %s\n", s.c_str());
        std::fprintf(stderr, "model text: \"%s\" anchor %d caret %d\n", Show(text).c_str(), anchor, caret);
        std::abort();
    }

    void Expect(bool ok, const std::string& what)
    {
        if (!ok)
            Fail(what);
    }

    void ExpectEq(long long got, long long want, const std::string& what)
    {
        if (got != want)
            Fail(what + ": got " + std::to_string(got) + ", expected " + std::to_string(want));
    }

    // ---- Inputs ----

    // A character of a string argument: printable ASCII, tab and line ends
    // as they are, other control bytes too (but 0), 0x80 and up special.
    char16_t Char()
    {
        uint8_t b = in.Byte();
        if (b >= 0x80)
            return kSpecial[b % std::size(kSpecial)];
        return b == 0 ? u'0' : char16_t(b);
    }

    // A length byte, then that many characters (at most max).
    std::u16string String(int max)
    {
        int n = in.Below(max + 1);
        std::u16string s;
        for (int i = 0; i < n && in.More(); ++i)
            s += Char();
        return s;
    }

    // A position or count at the edges: negative, zero, near the length, huge.
    long long Edge()
    {
        switch (in.Below(10)) {
        case 0: return -1;
        case 1: return 0;
        case 2: return Len();
        case 3: return Len() + 1;
        case 4: return Len() - 1;
        case 5: return INT_MAX;
        case 6: return INT_MIN;
        case 7: return 0xFFFFFFFFLL;
        case 8: return -2;
        default: return in.Below(Len() + 3);
        }
    }

    // ---- The model's edits ----

    int Room(int selection) const { return std::max(0, limit - (Len() - selection)); }

    void Replace(int start, int end, const std::u16string& with)
    {
        text.replace(size_t(start), size_t(end - start), with);
        anchor = caret = start + int(with.size());
        modified = true;
    }

    // EM_REPLACESEL, paste, clear: the longest prefix that fits goes in.
    void ReplaceSel(std::u16string with, bool canUndo)
    {
        int s = SelStart(), e = SelEnd();
        int room = Room(e - s);
        if (int(with.size()) > room) {
            size_t fit = size_t(room);
            if (fit > 0
                && ((IsHigh(with[fit - 1]) && IsLow(with[fit])) || (with[fit - 1] == u'\r' && with[fit] == u'\n')))
                --fit;
            with.resize(fit);
            expectMaxText = true;
        }
        if (!canUndo) {
            undo.reset();
            runOpen = false;
        }
        if (s == e && with.empty()) {
            runOpen = false;
            return;
        }
        if (canUndo)
            undo = text;
        Replace(s, e, with);
        runOpen = false;
    }

    // A typed character, or the line end Enter types.
    void Typed(const std::u16string& t)
    {
        int s = SelStart(), e = SelEnd();
        if (int(t.size()) > Room(e - s)) {
            expectMaxText = true;
            return;
        }
        if (!runOpen || s != e)
            undo = text;
        Replace(s, e, t);
        runOpen = true;
    }

    void DeleteRange(int from, int to, bool selection)
    {
        if (!runOpen || selection)
            undo = text;
        Replace(from, to, u"");
        runOpen = true;
    }

    void Backspace()
    {
        if (readOnly)
            return;
        if (SelStart() != SelEnd())
            DeleteRange(SelStart(), SelEnd(), true);
        else if (caret > 0)
            DeleteRange(PrevStep(text, caret), caret, false);
    }

    void Delete()
    {
        if (readOnly)
            return;
        if (SelStart() != SelEnd())
            DeleteRange(SelStart(), SelEnd(), true);
        else if (caret < Len())
            DeleteRange(caret, NextStep(text, caret), false);
    }

    void Copy()
    {
        if (SelStart() != SelEnd())
            clipboard = text.substr(size_t(SelStart()), size_t(SelEnd() - SelStart()));
    }

    void Clear()
    {
        if (!readOnly && SelStart() != SelEnd())
            ReplaceSel(u"", true);
    }

    void Cut()
    {
        if (readOnly || SelStart() == SelEnd())
            return;
        Copy();
        Clear();
    }

    std::u16string FirstLine(std::u16string s) const
    {
        if (!Multi()) {
            size_t cut = s.find_first_of(u"\r\n");
            if (cut != std::u16string::npos)
                s.resize(cut);
        }
        return s;
    }

    void Paste()
    {
        if (!clipboard)
            return;
        if (readOnly) {
            return;
        }
        ReplaceSel(FirstLine(*clipboard), true);
    }

    // Undo swaps the text with the one before the step; the control then
    // selects what came back, which the model takes from the control after
    // checking that only that part differs.
    void Undo()
    {
        if (readOnly || !undo)
            return;
        std::u16string before = text;
        text = *undo;
        undo = before;
        runOpen = false;
        modified = true;
        DWORD s = 0, e = 0;
        Send(EM_GETSEL, WPARAM(&s), LPARAM(&e));
        int restoredEnd = int(e), restoredStart = int(s);
        int tailLen = Len() - restoredEnd;
        Expect(restoredStart <= restoredEnd && restoredEnd <= Len(), "undo selects inside the text");
        Expect(restoredStart + tailLen <= int(before.size())
                   && text.compare(0, size_t(restoredStart), before, 0, size_t(restoredStart)) == 0
                   && text.compare(size_t(restoredEnd), size_t(tailLen), before, before.size() - size_t(tailLen),
                                   size_t(tailLen))
                       == 0,
               "undo selects exactly what it put back: selection " + std::to_string(s) + ".." + std::to_string(e)
                   + " of \"" + Show(text) + "\", replacing \"" + Show(before) + "\"");
        anchor = restoredStart;
        caret = restoredEnd;
    }

    std::u16string EnterText() const
    {
        // A text whose first line ends in a lone "\n" gets "\n".
        size_t nl = text.find(u'\n');
        if (nl != std::u16string::npos && (nl == 0 || text[nl - 1] != u'\r'))
            return u"\n";
        return u"\r\n";
    }

    // ---- Steps ----

    void Note(const std::string& s) { steps.push_back(s); }

    void TypeChar(char16_t c)
    {
        Note("type " + Show(std::u16string(1, c)));
        host.Type(std::u16string(1, c));
        host.Run();
        if (c == u'\b') {
            Backspace();
        } else if (c == u'\r' || c == u'\n') {
            if (Multi() && !readOnly)
                Typed(EnterText());
        } else if (c == u'\t') {
            if (Multi() && !readOnly)
                Typed(u"\t");
        } else if (kind == Kind::Number && !(c >= u'0' && c <= u'9')) {
            // refused with a beep
        } else if (!readOnly) {
            Typed(std::u16string(1, c));
        }
    }

    void CtrlKey()
    {
        static const char kKeys[] = {'C', 'V', 'X', 'Z'};
        char k = kKeys[in.Below(4)];
        Note(std::string("Ctrl+") + k);
        host.Ctrl(k);
        host.Run();
        switch (k) {
        case 'C': Copy(); break;
        case 'V': Paste(); break;
        case 'X': Cut(); break;
        default: Undo(); break;
        }
    }

    // A key that moves the caret; checks what holds for every move.
    void MoveKey(uint8_t code)
    {
        static const UINT kKeys[] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_PRIOR, VK_NEXT};
        static const char* kNames[] = {"Left", "Right", "Up", "Down", "Home", "End", "PgUp", "PgDn"};
        size_t which = code & 7;
        UINT vk = kKeys[which];
        bool ctrl = code & 0x08;
        bool shift = code & 0x10;
        Note(std::string(ctrl ? "Ctrl+" : "") + (shift ? "Shift+" : "") + kNames[which]);
        host.Key(vk, 0, ctrl, shift);
        host.Run();

        DWORD s = 0, e = 0;
        Send(EM_GETSEL, WPARAM(&s), LPARAM(&e));
        Expect(s <= e && int(e) <= Len(), "a move keeps the selection in the text");
        if (!Multi() && (vk == VK_PRIOR || vk == VK_NEXT)) {
            Expect(int(s) == SelStart() && int(e) == SelEnd(), "Page keys do nothing in one line");
            return;
        }
        int oldCaret = caret, oldAnchor = anchor;
        int newCaret;
        if (shift) {
            Expect(int(s) == anchor || int(e) == anchor, "Shift keeps the anchor at " + std::to_string(anchor));
            newCaret = int(s) == anchor ? int(e) : int(s);
        } else {
            Expect(s == e, "a move without Shift leaves nothing selected");
            newCaret = int(s);
        }
        if (newCaret != oldCaret) {
            Expect(!InsidePair(text, newCaret),
                   "a move never stops inside \"\\r\\n\" or a surrogate pair, as at " + std::to_string(newCaret));
        }
        // Where the caret must land.
        std::optional<int> exact;
        int line = LineOf(text, oldCaret);
        bool vertical = vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT;
        if ((vk == VK_HOME || vk == VK_END) && ctrl)
            exact = vk == VK_HOME ? 0 : Len();
        else if (vk == VK_HOME)
            exact = LineStart(text, line);
        else if (vk == VK_END)
            exact = LineEndFrom(text, LineStart(text, line));
        else if ((vk == VK_LEFT || (vk == VK_UP && !Multi())) && !ctrl)
            exact = PrevStep(text, oldCaret);
        else if ((vk == VK_RIGHT || (vk == VK_DOWN && !Multi())) && !ctrl)
            exact = NextStep(text, oldCaret);
        if (exact)
            ExpectEq(newCaret, *exact, "caret after the move");
        if (vk == VK_LEFT && ctrl)
            Expect(newCaret <= oldCaret, "Ctrl+Left goes left");
        if (vk == VK_RIGHT && ctrl)
            Expect(newCaret >= oldCaret, "Ctrl+Right goes right");
        if (vertical && Multi()) {
            int newLine = LineOf(text, newCaret);
            bool up = vk == VK_UP || vk == VK_PRIOR;
            Expect(up ? newLine <= line : newLine >= line, "Up and Page Up go up, Down and Page Down go down");
            if (vk == VK_UP || vk == VK_DOWN)
                ExpectEq(newLine, std::clamp(line + (up ? -1 : 1), 0, LineCount(text) - 1), "line after Up/Down");
        }
        if (!shift)
            anchor = newCaret;
        caret = newCaret;
        if (anchor != oldAnchor || caret != oldCaret)
            runOpen = false;
    }

    void EditKey()
    {
        switch (in.Below(5)) {
        case 0:
            Note("Delete");
            host.Key(VK_DELETE);
            host.Run();
            Delete();
            break;
        case 1:
            Note("Shift+Delete");
            host.Key(VK_DELETE, 0, false, true);
            host.Run();
            Cut();
            break;
        case 2:
            Note("Ctrl+Insert");
            host.Key(VK_INSERT, 0, true);
            host.Run();
            Copy();
            break;
        case 3:
            Note("Shift+Insert");
            host.Key(VK_INSERT, 0, false, true);
            host.Run();
            Paste();
            break;
        default:
            Note("Backspace");
            host.Key(VK_BACK, u'\b');
            host.Run();
            Backspace();
            break;
        }
    }

    void SetSel()
    {
        long long start = Edge(), end = Edge();
        Note("EM_SETSEL " + std::to_string(start) + ", " + std::to_string(end));
        Send(EM_SETSEL, WPARAM(start), LPARAM(end));
        int s = int(INT_PTR(WPARAM(start))), e = int(LPARAM(end));
        auto clampPos = [this](int p) { return p < 0 || p > Len() ? Len() : p; };
        int oldAnchor = anchor, oldCaret = caret;
        if (s == -1) {
            anchor = caret;
        } else if (s == 0 && e == -1) {
            anchor = 0;
            caret = Len();
        } else {
            anchor = clampPos(s);
            caret = clampPos(e);
        }
        if (anchor != oldAnchor || caret != oldCaret)
            runOpen = false;
    }

    void ReplaceSelMessage()
    {
        bool canUndo = in.Bool();
        std::u16string with = String(24);
        Note("EM_REPLACESEL \"" + Show(with) + "\" " + (canUndo ? "can undo" : "no undo"));
        Send(EM_REPLACESEL, canUndo, LPARAM(with.c_str()));
        if (!readOnly)
            ReplaceSel(FirstLine(with), canUndo);
    }

    void UndoMessage()
    {
        bool could = undo.has_value();
        UINT msg = in.Bool() ? EM_UNDO : WM_UNDO;
        Note(msg == EM_UNDO ? "EM_UNDO" : "WM_UNDO");
        LRESULT r = Send(msg);
        ExpectEq(r != 0, could, "undo's answer");
        Undo();
    }

    void ClipboardMessage()
    {
        switch (in.Below(5)) {
        case 0:
            Note("WM_CUT");
            Send(WM_CUT);
            Cut();
            break;
        case 1:
            Note("WM_COPY");
            Send(WM_COPY);
            Copy();
            break;
        case 2:
            Note("WM_PASTE");
            Send(WM_PASTE);
            Paste();
            break;
        case 3:
            Note("WM_CLEAR");
            Send(WM_CLEAR);
            Clear();
            break;
        default: {
            std::u16string s = String(40);
            Note("clipboard \"" + Show(s) + "\"");
            host.SetClipboardText(s);
            clipboard = s;
        }
        }
    }

    void LimitText()
    {
        static const long long kLimits[] = {0, 1, 2, 3, 5, 8, 0xFFFFFFFFLL, 0x7FFFFFFF, -5};
        uint8_t pick = in.Byte();
        long long v = pick < std::size(kLimits) ? kLimits[pick] : Len() + pick % 6 - 2;
        Note("EM_LIMITTEXT " + std::to_string(v));
        Send(EM_LIMITTEXT, WPARAM(v));
        int asInt = int(WPARAM(v));
        limit = asInt > 0 ? asInt : 0x7FFFFFFE;
    }

    void SetText()
    {
        std::u16string s = String(80);
        Note("WM_SETTEXT \"" + Show(s) + "\"");
        Send(WM_SETTEXT, 0, LPARAM(s.c_str()));
        text = s;
        anchor = caret = 0;
        undo.reset();
        runOpen = false;
        modified = false;
        // A multi-line control reports no change for a text set as a whole.
        expectChange = !Multi();
    }

    void Flags()
    {
        switch (in.Below(3)) {
        case 0:
            Note("EM_EMPTYUNDOBUFFER");
            Send(EM_EMPTYUNDOBUFFER);
            undo.reset();
            runOpen = false;
            break;
        case 1: {
            bool m = in.Bool();
            Note(std::string("EM_SETMODIFY ") + (m ? "TRUE" : "FALSE"));
            Send(EM_SETMODIFY, m);
            modified = m;
            break;
        }
        default: {
            bool ro = in.Bool();
            Note(std::string("EM_SETREADONLY ") + (ro ? "TRUE" : "FALSE"));
            Send(EM_SETREADONLY, ro);
            readOnly = ro;
            break;
        }
        }
    }

    // Scrolling, tab stops, clicks, the wheel and painting change no text
    // and no selection but the click's.
    void View()
    {
        switch (in.Below(8)) {
        case 0: {
            UINT code = in.Below(9);
            bool vert = in.Bool();
            Note(std::string(vert ? "WM_VSCROLL " : "WM_HSCROLL ") + std::to_string(code));
            Send(vert ? WM_VSCROLL : WM_HSCROLL, code);
            break;
        }
        case 1: {
            long long cols = Edge(), lines = Edge();
            Note("EM_LINESCROLL " + std::to_string(cols) + ", " + std::to_string(lines));
            Send(EM_LINESCROLL, WPARAM(cols), LPARAM(lines));
            break;
        }
        case 2:
            Note("EM_SCROLLCARET");
            Send(EM_SCROLLCARET);
            break;
        case 3: {
            int stop = int(Edge());
            Note("EM_SETTABSTOPS " + std::to_string(stop));
            Send(EM_SETTABSTOPS, 1, LPARAM(&stop));
            break;
        }
        case 4: {
            int x = in.Below(46), y = in.Below(13);
            Note("click at cell " + std::to_string(x) + "," + std::to_string(y));
            host.Click(x, y);
            host.Run();
            DWORD s = 0, e = 0;
            Send(EM_GETSEL, WPARAM(&s), LPARAM(&e));
            Expect(s <= e && int(e) <= Len(), "a click keeps the selection in the text");
            if (GetFocus() == edit) {
                // A click inside the control puts the caret there.
                int oldAnchor = anchor, oldCaret = caret;
                if (s == e) {
                    // (A click outside the text leaves the caret where it
                    // was, which EM_SETSEL may have put inside a pair.)
                    if (int(s) != oldCaret || oldAnchor != oldCaret)
                        Expect(!InsidePair(text, int(s)),
                               "a click never puts the caret inside a pair, as at " + std::to_string(s));
                    anchor = caret = int(s);
                } else {
                    Expect(int(s) == SelStart() && int(e) == SelEnd(), "a click elsewhere keeps the selection");
                }
                if (anchor != oldAnchor || caret != oldCaret)
                    runOpen = false;
            }
            ::SetFocus(edit);
            break;
        }
        case 5: {
            Note("paint");
            host.Screen();
            break;
        }
        case 6: {
            int x = in.Below(46), y = in.Below(13), notches = in.Below(61) - 30;
            Note("wheel " + std::to_string(notches) + " at cell " + std::to_string(x) + "," + std::to_string(y));
            host.Wheel(x, y, notches);
            host.Run();
            if (kind == Kind::Multi) {
                LRESULT first = Send(EM_GETFIRSTVISIBLELINE);
                Expect(first >= 0 && first < Send(EM_GETLINECOUNT), "the wheel keeps a line of the text in view");
            }
            break;
        }
        default: {
            int n = in.Below(Len() + 3);
            Note("WM_GETTEXT into " + std::to_string(n));
            std::u16string buf(size_t(n) + 1, u'#');
            LRESULT got = Send(WM_GETTEXT, WPARAM(n), LPARAM(buf.data()));
            int want = n == 0 ? 0 : std::min(Len(), n - 1);
            ExpectEq(got, want, "WM_GETTEXT copies what fits");
            if (n > 0) {
                Expect(buf.compare(0, size_t(want), text, 0, size_t(want)) == 0 && buf[size_t(want)] == 0,
                       "WM_GETTEXT copies the text's start with a terminator");
            }
            break;
        }
        }
    }

    void Step()
    {
        expectChange = true;
        expectMaxText = false;
        uint8_t b = in.Byte();
        switch (b) {
        case 0x01: CtrlKey(); break;
        case 0x02: EditKey(); break;
        case 0x03: SetSel(); break;
        case 0x04: ReplaceSelMessage(); break;
        case 0x05: UndoMessage(); break;
        case 0x06: ClipboardMessage(); break;
        case 0x07: LimitText(); break;
        case 0x0B: SetText(); break;
        case 0x0C: Flags(); break;
        case 0x0E: View(); break;
        case 0x0F: TypeChar(kSpecial[in.Below(int(std::size(kSpecial)))]); break;
        default:
            if (b >= 0x80)
                MoveKey(b);
            else if (b >= 0x20 || b == u'\b' || b == u'\t' || b == u'\r' || b == u'\n')
                TypeChar(char16_t(b));
            else
                Note("nothing");  // the remaining control bytes only check
            break;
        }
        if (expectChange && text != textBefore)
            Expect(parent.changes > changesBefore, "a change of the text is notified (EN_CHANGE)");
        if (expectMaxText)
            Expect(parent.maxText > maxTextBefore, "input beyond the limit is notified (EN_MAXTEXT)");
    }

    // ---- Comparing the control with the model ----

    void Check()
    {
        int len = int(Send(WM_GETTEXTLENGTH));
        ExpectEq(len, Len(), "WM_GETTEXTLENGTH");
        std::u16string got(size_t(len) + 1, u'#');
        Send(WM_GETTEXT, WPARAM(len + 1), LPARAM(got.data()));
        got.resize(size_t(len));
        Expect(got == text, "text is \"" + Show(got) + "\"");

        DWORD s = 0, e = 0;
        Send(EM_GETSEL, WPARAM(&s), LPARAM(&e));
        if (int(s) != SelStart() || int(e) != SelEnd())
            Fail("selection " + std::to_string(s) + ".." + std::to_string(e) + ", expected "
                 + std::to_string(SelStart()) + ".." + std::to_string(SelEnd()));
        ExpectEq(Send(EM_CANUNDO) != 0, undo.has_value(), "EM_CANUNDO");
        ExpectEq(Send(EM_GETMODIFY) != 0, modified, "EM_GETMODIFY");
        ExpectEq(Send(EM_GETLIMITTEXT), limit, "EM_GETLIMITTEXT");
        if (!Multi())
            return;

        const int lines = LineCount(text);
        ExpectEq(Send(EM_GETLINECOUNT), lines, "EM_GETLINECOUNT");
        std::vector<int> probe = {0, lines - 1, lines, -1, lines / 2, int(steps.size()) % (lines + 1)};
        if (lines <= 40)
            for (int l = 0; l < lines; ++l)
                probe.push_back(l);
        for (int l : probe) {
            int want = l < 0 ? LineStart(text, LineOf(text, caret)) : l < lines ? LineStart(text, l) : -1;
            ExpectEq(Send(EM_LINEINDEX, WPARAM(INT_PTR(l))), want, "EM_LINEINDEX " + std::to_string(l));
        }
        std::vector<int> positions
            = {-1, 0, Len(), Len() + 1, SelStart(), SelEnd(), Len() / 2, int(steps.size()) % (Len() + 1)};
        for (int p : positions) {
            int line = LineOf(text, p < 0 ? SelStart() : p);
            ExpectEq(Send(EM_LINEFROMCHAR, WPARAM(INT_PTR(p))), line, "EM_LINEFROMCHAR " + std::to_string(p));
            int want;
            if (p > Len()) {
                want = 0;
            } else if (p >= 0) {
                want = LineLengthAt(text, line);
            } else {
                // The characters of the selection's lines outside the selection.
                int ls = LineOf(text, SelStart()), le = LineOf(text, SelEnd());
                int endOfLast = LineStart(text, le) + LineLengthAt(text, le);
                want = (SelStart() - LineStart(text, ls)) + std::max(0, endOfLast - SelEnd());
            }
            ExpectEq(Send(EM_LINELENGTH, WPARAM(INT_PTR(p))), want, "EM_LINELENGTH " + std::to_string(p));
        }
        int first = int(Send(EM_GETFIRSTVISIBLELINE));
        Expect(first >= 0 && first < lines, "the first visible line is a line of the text");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Reader in(data, size);
    int pick = in.Byte() % 3;
    Kind kind = pick == 0 ? Kind::Multi : pick == 1 ? Kind::Single : Kind::Number;
    support::HeadlessWindows windows;
    Session(in, windows.host, kind).Run();
    return 0;
}
