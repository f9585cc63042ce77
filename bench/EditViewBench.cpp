// The edit view under keystrokes on the largest text it takes, 1048575
// characters (about 17,000 lines of 59 characters plus "\r\n"), in the whole
// editor running in the headless host: each key goes through the frame's
// accelerator check, the control, its notifications, the document's changed
// flag and the caret-line report to the tool pane, and the screen is then
// painted anew (the visible lines, the bars with their command states).
#include <cstdlib>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "framework/app/RecoveryJournal.h"
#include "framework/app/TextEncoding.h"
#include "tests/support/HeadlessEditor.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr int kLimit = 1048575;

std::u16string MakeText(int length)
{
    std::u16string text;
    text.reserve(size_t(length));
    for (int line = 0; int(text.size()) < length; ++line) {
        for (int i = 0; i < 59; ++i)
            text += char16_t(i % 6 == 5 ? u' ' : u'a' + (line + i) % 26);
        text += u"\r\n";
    }
    text.resize(size_t(length));
    return text;
}

// Lines of mixed scripts as a UTF-8 file holds them, to the given length:
// Latin with accents (one precomposed, one combining), CJK, an emoji with a
// skin tone, a family joined by ZWJ and a flag; about 60 units and 70 cells
// a line.
std::u16string MakeMixedText(int length)
{
    const std::u16string line
        = u"caf\u00E9 na\u0131\u0308ve \u4E2D\u6587\u6F22\u5B57 \U0001F44D\U0001F3FD "
          u"\U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F1EB\U0001F1F7 "
          u"\u65E5\u672C\u8A9E text \u00FC\u00DF\u00E8 words";
    std::u16string text;
    text.reserve(size_t(length) + line.size());
    for (int n = 0; int(text.size()) < length; ++n)
        text += line + char16_t(u'a' + n % 26) + u"\r\n";
    text.resize(size_t(length));
    // Never half of a surrogate pair at the end.
    if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF)
        text.back() = u'x';
    return text;
}

// The editor, started with an empty command line, holding a text of the
// given length with the caret in the middle of a line half way down; in a
// UTF-8 session the text is of mixed scripts.
class Editor : public support::HeadlessEditor {
public:
    explicit Editor(int length, TextEncoding encoding = TextEncoding::EightBit)
    {
        SetSessionTextEncoding(encoding);
        if (!Start())
            std::abort();
        const bool utf8 = encoding == TextEncoding::Utf8;
        View()->SetWindowText(CString(utf8 ? MakeMixedText(length) : MakeText(length)));
        CEdit& edit = View()->GetEditCtrl();
        lines = edit.GetLineCount();
        int pos = edit.LineIndex(lines / 2) + 30;
        edit.SetSel(pos, pos);
        host.Screen();
    }
    ~Editor() { SetSessionTextEncoding(TextEncoding::EightBit); }
    // One key as a person presses it, then the repaint that follows.
    void Press(UINT vk, char16_t ch = 0, bool ctrl = false)
    {
        host.Key(vk, ch, ctrl);
        host.Run();
        benchmark::DoNotOptimize(host.Screen());
    }
    // The text as one line of `length` characters, the caret half way along.
    void OneLongLine(int length)
    {
        View()->SetWindowText(CString(std::u16string(size_t(length), u'a')));
        View()->GetEditCtrl().SetSel(kLimit / 2, kLimit / 2);
        host.Screen();
    }

    int lines = 0;
};

// Times a key that edits the text; the key that takes the edit back is not
// timed.
void TimeEdit(benchmark::State& state, Editor& editor, UINT vk, char16_t ch, UINT backVk, char16_t backCh)
{
    for (auto _ : state) {
        editor.Press(vk, ch);
        state.PauseTiming();
        editor.Press(backVk, backCh);
        state.ResumeTiming();
    }
}

// Times two moves of the caret in turn, each undoing the other.
void TimeMoves(benchmark::State& state, Editor& editor, UINT there, UINT back, bool ctrl = false)
{
    bool out = true;
    for (auto _ : state) {
        editor.Press(out ? there : back, 0, ctrl);
        out = !out;
    }
}

// A character typed into the text one short of the limit; the Backspace
// that restores the length is not timed.
void BM_TypeCharacter(benchmark::State& state)
{
    Editor editor(kLimit - 1);
    TimeEdit(state, editor, 'X', u'x', VK_BACK, u'\b');
    state.counters["lines"] = editor.lines;
}
BENCHMARK(BM_TypeCharacter)->Unit(benchmark::kMicrosecond);

// The same with the recovery journal on, as the program runs: a key only
// marks the journal due. Then what a due journal costs the program's
// thread: the text taken as Save would write it (the writing itself is the
// writer thread's).
class JournalOn {
public:
    JournalOn()
    {
        ::setenv("XDG_STATE_HOME", m_state.Path().c_str(), 1);
        RecoveryJournal::Enable();
    }
    ~JournalOn()
    {
        RecoveryJournal::Disable();
        ::unsetenv("XDG_STATE_HOME");
    }

private:
    support::ScratchFolder m_state;
};

void BM_TypeCharacterWithJournal(benchmark::State& state)
{
    JournalOn journal;
    Editor editor(kLimit - 1);
    TimeEdit(state, editor, 'X', u'x', VK_BACK, u'\b');
}
BENCHMARK(BM_TypeCharacterWithJournal)->Unit(benchmark::kMicrosecond);

void BM_JournalSnapshot(benchmark::State& state)
{
    Editor editor(kLimit - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.Doc()->JournalText());
}
BENCHMARK(BM_JournalSnapshot)->Unit(benchmark::kMillisecond);

// The same with the whole text on the clipboard (the Paste button and menu
// item ask for the clipboard's state on every repaint).
void BM_TypeCharacterWithFullClipboard(benchmark::State& state)
{
    Editor editor(kLimit - 1);
    editor.host.SetClipboardText(editor.View()->GetWindowText().Str());
    TimeEdit(state, editor, 'X', u'x', VK_BACK, u'\b');
}
BENCHMARK(BM_TypeCharacterWithFullClipboard)->Unit(benchmark::kMicrosecond);

// Backspace at the limit; the character that restores it is not timed.
void BM_Backspace(benchmark::State& state)
{
    Editor editor(kLimit);
    TimeEdit(state, editor, VK_BACK, u'\b', 'X', u'x');
}
BENCHMARK(BM_Backspace)->Unit(benchmark::kMicrosecond);

// Enter: a line end inserted, the line index grows by one line.
void BM_Enter(benchmark::State& state)
{
    Editor editor(kLimit - 2);
    TimeEdit(state, editor, VK_RETURN, u'\r', VK_BACK, u'\b');
}
BENCHMARK(BM_Enter)->Unit(benchmark::kMicrosecond);

// A caret move down or up by one line, reported on the key's release.
void BM_CaretMove(benchmark::State& state)
{
    Editor editor(kLimit);
    TimeMoves(state, editor, VK_DOWN, VK_UP);
}
BENCHMARK(BM_CaretMove)->Unit(benchmark::kMicrosecond);

// Page Down and Page Up: the view scrolls by a screen.
void BM_PageMove(benchmark::State& state)
{
    Editor editor(kLimit);
    TimeMoves(state, editor, VK_NEXT, VK_PRIOR);
}
BENCHMARK(BM_PageMove)->Unit(benchmark::kMicrosecond);

// Ctrl+End and Ctrl+Home: from one end of the text to the other.
void BM_TextEnds(benchmark::State& state)
{
    Editor editor(kLimit);
    TimeMoves(state, editor, VK_END, VK_HOME, true);
}
BENCHMARK(BM_TextEnds)->Unit(benchmark::kMicrosecond);

// Repainting the screen alone: the visible lines and the bars.
void BM_Repaint(benchmark::State& state)
{
    Editor editor(kLimit);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.host.Screen());
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMicrosecond);

// The same keys in a text that is one line of 1048574 characters (a file
// without line ends), the caret half way along it.
void BM_TypeCharacterInOneLongLine(benchmark::State& state)
{
    Editor editor(0);
    editor.OneLongLine(kLimit - 1);
    TimeEdit(state, editor, 'X', u'x', VK_BACK, u'\b');
}
BENCHMARK(BM_TypeCharacterInOneLongLine)->Unit(benchmark::kMicrosecond);

void BM_CaretMoveInOneLongLine(benchmark::State& state)
{
    Editor editor(0);
    editor.OneLongLine(kLimit);
    TimeMoves(state, editor, VK_RIGHT, VK_LEFT);
}
BENCHMARK(BM_CaretMoveInOneLongLine)->Unit(benchmark::kMicrosecond);

// The keys above in a UTF-8 session on a text of mixed scripts: a wide
// character typed, Backspace over it, the caret over a line and along it.
void BM_Utf8TypeCharacter(benchmark::State& state)
{
    Editor editor(kLimit - 1, TextEncoding::Utf8);
    TimeEdit(state, editor, 'X', u'\u4E2D', VK_BACK, u'\b');
}
BENCHMARK(BM_Utf8TypeCharacter)->Unit(benchmark::kMicrosecond);

void BM_Utf8Backspace(benchmark::State& state)
{
    Editor editor(kLimit, TextEncoding::Utf8);
    TimeEdit(state, editor, VK_BACK, u'\b', 'X', u'\u4E2D');
}
BENCHMARK(BM_Utf8Backspace)->Unit(benchmark::kMicrosecond);

void BM_Utf8CaretMove(benchmark::State& state)
{
    Editor editor(kLimit, TextEncoding::Utf8);
    TimeMoves(state, editor, VK_DOWN, VK_UP);
}
BENCHMARK(BM_Utf8CaretMove)->Unit(benchmark::kMicrosecond);

// Right and Left over the characters of a line, back and forth.
void BM_Utf8CaretAlongLine(benchmark::State& state)
{
    Editor editor(kLimit, TextEncoding::Utf8);
    int step = 0;
    for (auto _ : state) {
        editor.Press(step < 24 ? VK_RIGHT : VK_LEFT);
        step = (step + 1) % 48;
    }
}
BENCHMARK(BM_Utf8CaretAlongLine)->Unit(benchmark::kMicrosecond);

void BM_LineFromChar(benchmark::State& state)
{
    Editor editor(kLimit);
    HWND edit = editor.View()->m_hWnd;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pos(0, kLimit);
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessage(edit, EM_LINEFROMCHAR, WPARAM(pos(random))));
}
BENCHMARK(BM_LineFromChar);

void BM_LineIndex(benchmark::State& state)
{
    Editor editor(kLimit);
    HWND edit = editor.View()->m_hWnd;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> line(0, editor.lines - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(SendMessage(edit, EM_LINEINDEX, WPARAM(line(random))));
}
BENCHMARK(BM_LineIndex);

// Lines of text, each ending in a "\r" as a terminal sends a line end, to
// at least size characters.
std::u16string PastedLines(size_t size)
{
    std::u16string text;
    for (int i = 0; text.size() < size; ++i)
        text += u"the quick brown fox jumps over the lazy dog " + std::u16string(1, char16_t(u'a' + i % 26)) + u"\r";
    return text;
}

}  // namespace

// A terminal's paste of 200 KB arrives as typing: every key dispatched with
// no repaint between (input is waiting), then one repaint. Into an empty
// text; the counter is the time a character.
void BM_PasteArrivingAsTyping(benchmark::State& state)
{
    const std::u16string typed = PastedLines(200 * 1024);
    Editor editor(0);
    for (auto _ : state) {
        state.PauseTiming();
        editor.View()->SetWindowText(CString());
        editor.host.Type(typed);
        state.ResumeTiming();
        editor.host.Run();
        benchmark::DoNotOptimize(editor.host.Screen());
    }
    state.counters["us/char"] = benchmark::Counter(double(typed.size()) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PasteArrivingAsTyping)->Unit(benchmark::kMillisecond);

// A bracketed paste of a megabyte as the terminal host delivers it: pieces
// of text of 4 KiB (what a read of a pseudo-terminal holds), each typed by
// the edit view as one insertion, then one repaint. Into an empty text; the
// counter is the time a character.
void BM_PasteFromTheTerminal(benchmark::State& state)
{
    const std::u16string pasted = PastedLines(1000 * 1024);
    Editor editor(0);
    for (auto _ : state) {
        state.PauseTiming();
        editor.View()->SetWindowText(CString());
        for (size_t at = 0; at < pasted.size(); at += 4096)
            editor.host.TerminalPaste(std::u16string_view(pasted).substr(at, 4096), at == 0);
        state.ResumeTiming();
        editor.host.Run();
        benchmark::DoNotOptimize(editor.host.Screen());
    }
    state.counters["us/char"] = benchmark::Counter(double(pasted.size()) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PasteFromTheTerminal)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
