// The "EDIT" window class driven as a program drives it: EM_* messages, keys
// through the headless host, and the notifications its parent receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/win/EditControl.h"
#include "framework/win/Wnd.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/Text.h"

using support::Show;

namespace {

constexpr UINT kEditId = 100;

std::string Name(UINT code)
{
    switch (code) {
    case EN_SETFOCUS: return "SETFOCUS";
    case EN_KILLFOCUS: return "KILLFOCUS";
    case EN_CHANGE: return "CHANGE";
    case EN_UPDATE: return "UPDATE";
    case EN_MAXTEXT: return "MAXTEXT";
    case EN_HSCROLL: return "HSCROLL";
    case EN_VSCROLL: return "VSCROLL";
    default: return std::to_string(code);
    }
}

// The parent window: records the notifications of its edit control in order.
class RecordingParent : public CWnd {
public:
    std::vector<std::string> notes;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == kEditId && lParam)
            notes.push_back(Name(HIWORD(wParam)));
        return CWnd::OnCommand(wParam, lParam);
    }
    std::string Take()
    {
        std::string s;
        for (const auto& n : notes)
            s += (s.empty() ? "" : " ") + n;
        notes.clear();
        return s;
    }
};

}  // namespace

class EditControlTest : public ::testing::Test, public support::HeadlessWindows {
protected:
    RecordingParent parent;
    HWND edit = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, u"parent", WS_VISIBLE, CRect(0, 0, 800, 384), nullptr, 0));
    }
    void TearDown() override { parent.DestroyWindow(); }

    // A control 40 x 10 cells (with its scroll bars) at the parent's corner.
    HWND Make(DWORD style, std::u16string_view text = u"")
    {
        edit = CreateWindowEx(0, u"EDIT", CString(text), WS_CHILD | WS_VISIBLE | style, 0, 0, 400, 160, parent.m_hWnd,
                              kEditId, nullptr);
        EXPECT_NE(edit, nullptr);
        ::SetFocus(edit);
        parent.notes.clear();
        return edit;
    }
    HWND MakeMulti(std::u16string_view text = u"")
    {
        return Make(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL, text);
    }

    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return ::SendMessage(edit, msg, w, l); }
    std::string Text() { return Show(::GetWindowText(edit).View()); }
    std::pair<int, int> Sel()
    {
        DWORD s = 0, e = 0;
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {int(s), int(e)};
    }
    void SetSel(int start, int end) { Send(EM_SETSEL, WPARAM(INT_PTR(start)), LPARAM(end)); }
    void Replace(std::u16string_view text, bool canUndo)
    {
        std::u16string s(text);
        Send(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(s.c_str()));
    }
    int LineFromChar(int pos) { return int(Send(EM_LINEFROMCHAR, WPARAM(INT_PTR(pos)))); }
    int LineIndex(int line) { return int(Send(EM_LINEINDEX, WPARAM(INT_PTR(line)))); }
    int LineLength(int pos) { return int(Send(EM_LINELENGTH, WPARAM(INT_PTR(pos)))); }
    int LineCount() { return int(Send(EM_GETLINECOUNT)); }
    void Keys(std::initializer_list<UINT> vks, bool shift = false)
    {
        for (UINT vk : vks)
            host.Key(vk, 0, false, shift);
        host.Run();
    }
    void Type(std::u16string_view text)
    {
        host.Type(text);
        host.Run();
    }
};

// --- lines ---

TEST_F(EditControlTest, LineQueriesAtTheirBoundaries)
{
    struct Case {
        std::u16string_view text;
        std::vector<int> starts;   // EM_LINEINDEX of each line
        std::vector<int> lengths;  // EM_LINELENGTH of a position in each line
    };
    const Case cases[] = {
        {u"", {0}, {0}},
        {u"ab\r\n", {0, 4}, {2, 0}},
        {u"ab\r\ncd", {0, 4}, {2, 2}},
        {u"\r\n\r\n", {0, 2, 4}, {0, 0, 0}},
        // A lone "\n" ends a line; a lone "\r" does not.
        {u"a\nbc\r\nd", {0, 2, 6}, {1, 2, 1}},
        {u"a\rb", {0}, {3}},
        {u"x\n", {0, 2}, {1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + Show(c.text) + "\"");
        MakeMulti(c.text);
        ASSERT_EQ(LineCount(), int(c.starts.size()));
        for (size_t line = 0; line < c.starts.size(); ++line) {
            EXPECT_EQ(LineIndex(int(line)), c.starts[line]) << "line " << line;
            EXPECT_EQ(LineLength(c.starts[line]), c.lengths[line]) << "line " << line;
            EXPECT_EQ(LineFromChar(c.starts[line]), int(line)) << "line " << line;
            // The position just before the next line's start (its line end)
            // still belongs to this line.
            if (line + 1 < c.starts.size()) {
                EXPECT_EQ(LineFromChar(c.starts[line + 1] - 1), int(line)) << "line " << line;
            }
        }
        // Past the last line: no such line; past the text: the last line.
        EXPECT_EQ(LineIndex(LineCount()), -1);
        EXPECT_EQ(LineFromChar(int(c.text.size()) + 5), LineCount() - 1);
        EXPECT_EQ(LineLength(int(c.text.size()) + 5), 0);
        ::DestroyWindow(edit);
    }
}

TEST_F(EditControlTest, MinusOneMeansTheSelection)
{
    MakeMulti(u"one\r\ntwo\r\nthree");
    // Anchor in "three", caret in "two": the start is the smaller end.
    SetSel(12, 6);
    EXPECT_EQ(Sel(), (std::pair{6, 12}));
    EXPECT_EQ(LineFromChar(-1), 1);
    // EM_LINEINDEX(-1) is the caret's line.
    EXPECT_EQ(LineIndex(-1), 5);
    SetSel(6, 12);
    EXPECT_EQ(LineFromChar(-1), 1);
    EXPECT_EQ(LineIndex(-1), 10);
    // EM_LINELENGTH(-1): the unselected characters of the selected lines,
    // "t" before and "ree" after.
    EXPECT_EQ(LineLength(-1), 1 + 3);
    SetSel(2, 2);
    EXPECT_EQ(LineFromChar(-1), 0);
    EXPECT_EQ(LineLength(-1), 3);
}

TEST_F(EditControlTest, SetSelRulesAndClamping)
{
    MakeMulti(u"hello");
    SetSel(0, -1);
    EXPECT_EQ(Sel(), (std::pair{0, 5}));
    SetSel(2, 99);
    EXPECT_EQ(Sel(), (std::pair{2, 5}));
    // -1 as the start removes the selection; the caret stays.
    SetSel(3, 1);
    SetSel(-1, 0);
    EXPECT_EQ(Sel(), (std::pair{1, 1}));
    // The caret is where the end went: Shift+Right extends from it.
    SetSel(4, 1);
    Keys({VK_RIGHT}, true);
    EXPECT_EQ(Sel(), (std::pair{2, 4}));
}

// --- caret ---

TEST_F(EditControlTest, CaretStepsOverLineEndsAsOneCharacter)
{
    MakeMulti(u"ab\r\ncd\nef");
    SetSel(2, 2);
    Keys({VK_RIGHT});
    EXPECT_EQ(Sel(), (std::pair{4, 4}));
    Keys({VK_LEFT});
    EXPECT_EQ(Sel(), (std::pair{2, 2}));
    Keys({VK_RIGHT}, true);
    EXPECT_EQ(Sel(), (std::pair{2, 4}));
    // A lone "\n" is one character anyway.
    SetSel(6, 6);
    Keys({VK_RIGHT});
    EXPECT_EQ(Sel(), (std::pair{7, 7}));
    Keys({VK_LEFT, VK_LEFT});
    EXPECT_EQ(Sel(), (std::pair{5, 5}));
    // Delete and Backspace take a "\r\n" whole.
    SetSel(2, 2);
    Keys({VK_DELETE});
    EXPECT_EQ(Text(), "abcd\\nef");
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"ab\r\ncd"));
    SetSel(4, 4);
    Type(u"\b");
    EXPECT_EQ(Text(), "abcd");
    EXPECT_EQ(Sel(), (std::pair{2, 2}));
}

TEST_F(EditControlTest, KeysMoveByLineWordAndText)
{
    MakeMulti(u"alpha beta\r\ngamma\r\nd");
    SetSel(8, 8);  // in "beta"
    Keys({VK_DOWN});
    EXPECT_EQ(Sel(), (std::pair{17, 17}));  // end of "gamma", the nearest column
    Keys({VK_DOWN});
    EXPECT_EQ(Sel(), (std::pair{20, 20}));
    Keys({VK_UP, VK_UP});
    EXPECT_EQ(Sel(), (std::pair{8, 8}));  // the column was kept
    Keys({VK_HOME});
    EXPECT_EQ(Sel(), (std::pair{0, 0}));
    Keys({VK_END});
    EXPECT_EQ(Sel(), (std::pair{10, 10}));
    host.Key(VK_LEFT, 0, true);
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{6, 6}));
    host.Key(VK_END, 0, true, true);
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{6, 20}));
    host.Key(VK_HOME, 0, true);
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{0, 0}));
}

// --- editing ---

TEST_F(EditControlTest, EnterKeepsTheTextsLineEnds)
{
    struct Case {
        std::u16string_view text;
        const char* after;
    };
    const Case cases[] = {
        {u"", "\\r\\n"},
        {u"a", "a\\r\\n"},
        {u"a\nb", "a\\nb\\n"},
        {u"a\r\nb", "a\\r\\nb\\r\\n"},
        // The first line end decides.
        {u"a\nb\r\nc", "a\\nb\\r\\nc\\n"},
        {u"a\r\nb\nc", "a\\r\\nb\\nc\\r\\n"},
        {u"\n", "\\n\\n"},
        // A lone "\r" is no line end.
        {u"a\rb", "a\\rb\\r\\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + Show(c.text) + "\"");
        MakeMulti(c.text);
        host.Key(VK_END, 0, true);
        Type(u"\r");
        EXPECT_EQ(Text(), c.after);
        ::DestroyWindow(edit);
    }
    // A single-line field takes no Enter at all.
    Make(ES_AUTOHSCROLL, u"x");
    Type(u"\r");
    EXPECT_EQ(Text(), "x");
}

TEST_F(EditControlTest, UndoTogglesAndANoUndoReplacementEmptiesIt)
{
    MakeMulti();
    EXPECT_FALSE(Send(EM_CANUNDO));
    Type(u"abc");
    EXPECT_TRUE(Send(EM_CANUNDO));
    EXPECT_TRUE(Send(EM_UNDO));
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Send(EM_CANUNDO));
    EXPECT_TRUE(Send(EM_UNDO));  // the second undo redoes
    EXPECT_EQ(Text(), "abc");
    EXPECT_TRUE(Send(EM_UNDO));
    EXPECT_EQ(Text(), "");
    Send(EM_UNDO);

    // A replacement that can be undone is one step.
    SetSel(1, 2);
    Replace(u"XY", true);
    EXPECT_EQ(Text(), "aXYc");
    Send(EM_UNDO);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(Sel(), (std::pair{1, 2}));  // the restored text is selected

    // FALSE empties the undo buffer: nothing to undo, not even what came before.
    SetSel(3, 3);
    Type(u"d");
    SetSel(0, 0);
    Replace(u">", false);
    EXPECT_EQ(Text(), ">abcd");
    EXPECT_FALSE(Send(EM_CANUNDO));
    EXPECT_FALSE(Send(EM_UNDO));
    EXPECT_EQ(Text(), ">abcd");

    Type(u"!");
    EXPECT_TRUE(Send(EM_CANUNDO));
    Send(EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(Send(EM_CANUNDO));
    // Setting the text as a whole leaves nothing to undo either.
    Type(u"?");
    ::SetWindowText(edit, u"new");
    EXPECT_FALSE(Send(EM_CANUNDO));
}

TEST_F(EditControlTest, LimitRefusesTypingAndCutsPastes)
{
    MakeMulti();
    Send(EM_LIMITTEXT, 5);
    EXPECT_EQ(Send(EM_GETLIMITTEXT), 5);
    Type(u"abcd");
    parent.notes.clear();
    Type(u"ef");
    EXPECT_EQ(Text(), "abcde");
    // "e" went in; "f" was refused.
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE MAXTEXT");
    // Enter needs two characters and gets none of them at the limit.
    SetSel(1, 2);
    Type(u"\r");
    EXPECT_EQ(Text(), "abcde");
    EXPECT_EQ(parent.Take(), "MAXTEXT");

    EXPECT_TRUE(host.Beeps().empty()) << "typing at the limit is silent";

    // A paste inserts what fits, then says the text is full, and the
    // person hears that it was cut.
    SetSel(1, 3);
    host.SetClipboardText(u"WXYZ");
    Send(WM_PASTE);
    EXPECT_EQ(Text(), "aWXde");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE MAXTEXT");
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
}

TEST_F(EditControlTest, ATerminalPasteIsTypedInPiecesAndUndoneAtOnce)
{
    // Each piece is one change; line ends are the text's own, as Enter's.
    MakeMulti(u"x\ny");
    host.TerminalPaste(u"a\rb");
    host.TerminalPaste(u"\tc\r", false);
    host.Run();
    EXPECT_EQ(Text(), "a\\nb\\tc\\nx\\ny");
    EXPECT_EQ(Sel(), std::make_pair(6, 6));
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE UPDATE CHANGE");
    host.Ctrl('Z');
    host.Run();
    EXPECT_EQ(Text(), "x\\ny");

    // A single-line field gets the keys: Enter does nothing there.
    Make(ES_AUTOHSCROLL);
    host.TerminalPaste(u"p\rq");
    host.Run();
    EXPECT_EQ(Text(), "pq");
}

TEST_F(EditControlTest, ATerminalPasteCutAtTheLimitWarnsOnce)
{
    MakeMulti();
    Send(EM_LIMITTEXT, 7);
    host.TerminalPaste(u"abcde");
    host.TerminalPaste(u"f\rg", false);  // the line end would not fit whole
    host.TerminalPaste(u"h", false);     // would fit, but the paste was cut
    host.Run();
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE UPDATE CHANGE MAXTEXT");
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
    host.TerminalPaste(u"\U0001F600");  // a new paste, of a pair that does not fit
    host.Run();
    EXPECT_EQ(Text(), "abcdef");
    EXPECT_EQ(host.Beeps(), (std::vector<UINT>{MB_ICONEXCLAMATION, MB_ICONEXCLAMATION}));
}

TEST_F(EditControlTest, LimitCountsTheReplacedSelectionAndNeverSplitsALineEnd)
{
    MakeMulti(u"abcd");
    Send(EM_LIMITTEXT, 5);
    SetSel(4, 4);
    host.SetClipboardText(u"\r\nxy");
    Send(WM_PASTE);
    // "\r" alone would fit, but a line end goes in whole or not at all.
    EXPECT_EQ(Text(), "abcd");
    EXPECT_EQ(parent.Take(), "MAXTEXT");
    Replace(u"12", true);
    EXPECT_EQ(Text(), "abcd1");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE MAXTEXT");
    // Replacing a selection makes room.
    SetSel(0, 5);
    Type(u"z");
    EXPECT_EQ(Text(), "z");
    // The whole text set at once is not subject to the limit.
    ::SetWindowText(edit, u"0123456789");
    EXPECT_EQ(Text(), "0123456789");
    Type(u"x");
    EXPECT_EQ(Text(), "0123456789");
}

TEST_F(EditControlTest, ReplaceAllStopsGrowingAtTheLimitAndSaysSoOnce)
{
    MakeMulti(u"a.a.a.a");
    Send(EM_LIMITTEXT, 9);
    EditControl* control = EditControl::FromHandle(edit);
    ASSERT_NE(control, nullptr);
    // Asked first how many replacements the limit would cut: "no" leaves
    // everything as it was.
    int asked = 0;
    EXPECT_EQ(control->ReplaceAllFrom(edit, 0, u"a", u"bb", true, [&](int cuts) { return asked = cuts, false; }), 0);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Text(), "a.a.a.a");
    EXPECT_EQ(parent.Take(), "");
    // Two "a" grow to "bb"; at the limit each of the other two keeps one "b".
    EXPECT_EQ(control->ReplaceAllFrom(edit, 0, u"a", u"bb", true, [](int) { return true; }), 4);
    EXPECT_EQ(Text(), "bb.bb.b.b");
    EXPECT_EQ(Sel(), std::make_pair(9, 9));
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE MAXTEXT");
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
    // Within the limit nothing is asked and nothing more than the change said.
    EXPECT_EQ(control->ReplaceAllFrom(edit, 0, u"bb", u"c", true, [](int) { return ADD_FAILURE(), false; }), 2);
    EXPECT_EQ(Text(), "c.c.b.b");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE");
    EXPECT_EQ(host.Beeps().size(), 1u);
}

TEST_F(EditControlTest, NumberFieldTakesDigitsOnly)
{
    Make(ES_NUMBER | ES_AUTOHSCROLL);
    Type(u"12a3 -4");
    EXPECT_EQ(Text(), "1234");
    EXPECT_EQ(host.Beeps().size(), 3u);  // "a", " " and "-"
    // Backspace is no character to filter.
    Type(u"\b");
    EXPECT_EQ(Text(), "123");
}

TEST_F(EditControlTest, SingleLineFieldTakesTheFirstLineOnly)
{
    Make(ES_AUTOHSCROLL);
    host.SetClipboardText(u"first\r\nsecond");
    Send(WM_PASTE);
    EXPECT_EQ(Text(), "first");
    Replace(u" more\nlines", true);
    EXPECT_EQ(Text(), "first more");
    EXPECT_EQ(LineCount(), 1);
}

TEST_F(EditControlTest, ClipboardMessages)
{
    MakeMulti(u"cut me");
    SetSel(0, 4);
    Send(WM_COPY);
    EXPECT_EQ(host.GetClipboardText().value_or(u""), u"cut ");
    EXPECT_EQ(Text(), "cut me");
    EXPECT_EQ(parent.Take(), "");
    Send(WM_CUT);
    EXPECT_EQ(Text(), "me");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE");
    SetSel(2, 2);
    Send(WM_PASTE);
    EXPECT_EQ(Text(), "mecut ");
    SetSel(0, 2);
    Send(WM_CLEAR);
    EXPECT_EQ(Text(), "cut ");
    // Without a selection Copy, Cut and Clear do nothing.
    host.SetClipboardText(u"kept");
    Send(WM_COPY);
    Send(WM_CUT);
    Send(WM_CLEAR);
    EXPECT_EQ(Text(), "cut ");
    EXPECT_EQ(host.GetClipboardText().value_or(u""), u"kept");
}

TEST_F(EditControlTest, GetTextFitsTheBufferAndModifyFlag)
{
    MakeMulti(u"abcdef");
    char16_t buf[4] = {u'?', u'?', u'?', u'?'};
    EXPECT_EQ(Send(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_EQ(std::u16string(buf), u"abc");
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), 6);
    EXPECT_FALSE(Send(EM_GETMODIFY));
    Type(u"x");
    EXPECT_TRUE(Send(EM_GETMODIFY));
    Send(EM_SETMODIFY, FALSE);
    EXPECT_FALSE(Send(EM_GETMODIFY));
    ::SetWindowText(edit, u"fresh");
    EXPECT_FALSE(Send(EM_GETMODIFY));
}

// --- notifications ---

TEST_F(EditControlTest, NotificationsReachTheParentInOrder)
{
    MakeMulti(u"text");
    // Every change: EN_UPDATE before EN_CHANGE.
    Type(u"a");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE");
    Type(u"\b");
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE");
    Send(EM_UNDO);
    EXPECT_EQ(parent.Take(), "UPDATE CHANGE");
    // Moving the caret and setting the selection change nothing.
    Keys({VK_LEFT, VK_HOME});
    SetSel(0, 2);
    EXPECT_EQ(parent.Take(), "");
    // A multi-line control says nothing when its whole text is set; a
    // single-line field reports the change.
    ::SetWindowText(edit, u"other");
    EXPECT_EQ(parent.Take(), "");
    // Focus.
    ::SetFocus(parent.m_hWnd);
    ::SetFocus(edit);
    EXPECT_EQ(parent.Take(), "KILLFOCUS SETFOCUS");
    // Scroll bars.
    Send(WM_VSCROLL, SB_LINEDOWN);
    Send(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(parent.Take(), "VSCROLL HSCROLL");

    ::DestroyWindow(edit);
    Make(ES_AUTOHSCROLL);
    ::SetWindowText(edit, u"field");
    EXPECT_EQ(parent.Take(), "CHANGE");
}

// --- painting ---

TEST_F(EditControlTest, PaintsTabsAtStopsAndLongLinesWithoutWrapping)
{
    MakeMulti(u"a\tb\r\n" + std::u16string(60, u'x') + u"END\r\nnext");
    const Canvas& screen = host.Screen();
    EXPECT_EQ(screen.At(0, 0).ch, u'a');
    EXPECT_EQ(screen.At(8, 0).ch, u'b');
    // The control is 39 text columns wide (40 minus its scroll bar): the
    // long line is cut there, and "next" stays on the third row.
    EXPECT_EQ(screen.At(38, 1).ch, u'x');
    EXPECT_NE(screen.At(39, 1).ch, u'x');
    EXPECT_EQ(screen.At(0, 2).ch, u'n');
    // Tab stops set in dialog units, four to a character.
    int stop = 16;
    Send(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    EXPECT_EQ(host.Screen().At(4, 0).ch, u'b');
    // The end of the long line: the view scrolls sideways to the caret.
    SetSel(65, 65);
    Send(EM_SCROLLCARET);
    std::string row = host.Row(1).substr(0, 39);
    EXPECT_NE(row.find("xEND"), std::string::npos);
    EXPECT_EQ(host.Row(2).substr(0, 39).find("next"), std::string::npos);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
}

TEST_F(EditControlTest, LineScrollMovesTheViewNotTheCaret)
{
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"row" + CString::FromUtf8(std::to_string(i)).Str() + u"\r\n";
    MakeMulti(text);
    Send(EM_LINESCROLL, 0, 5);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 5);
    EXPECT_EQ(host.Row(0).substr(0, 5), "row5 ");
    EXPECT_EQ(Sel(), (std::pair{0, 0}));
    Send(EM_LINESCROLL, 0, -10);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
    // Typing brings the caret back into view.
    Send(EM_LINESCROLL, 0, 20);
    Type(u"!");
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 0);
    EXPECT_EQ(host.Row(0).substr(0, 5), "!row0");
}

TEST_F(EditControlTest, WheelScrollsThreeLinesANotchAndStopsAtTheEnds)
{
    std::u16string text;
    for (int i = 0; i < 30; ++i)
        text += u"row" + CString::FromUtf8(std::to_string(i)).Str() + u"\r\n";
    MakeMulti(text);
    SetSel(7, 7);
    auto wheel = [&](int notches) {
        host.Wheel(5, 5, notches);
        host.Run();
        return int(Send(EM_GETFIRSTVISIBLELINE));
    };
    EXPECT_EQ(wheel(-2), 6);
    EXPECT_EQ(host.Row(0).substr(0, 5), "row6 ");
    EXPECT_EQ(Sel(), (std::pair{7, 7}));
    // 31 lines in 9 rows: down it stops with the last line at the bottom.
    EXPECT_EQ(wheel(-50), 22);
    EXPECT_EQ(wheel(1), 19);
    EXPECT_EQ(wheel(50), 0);
    EXPECT_EQ(host.Row(0).substr(0, 5), "row0 ");
    EXPECT_EQ(Sel(), (std::pair{7, 7}));
    // A view already below the last full page stays there on a turn down.
    Send(EM_LINESCROLL, 0, 28);
    EXPECT_EQ(wheel(-1), 28);
}

TEST_F(EditControlTest, ColumnsStayRightWhenTheFirstTabArrivesLater)
{
    // A text without tabs, scrolled sideways.
    // Four of each letter: "aaaabbbbcccc...".
    std::u16string letters;
    for (int i = 0; i < 100; ++i)
        letters += char16_t(u'a' + i / 4);
    MakeMulti(letters + u"\r\nab");
    Send(EM_LINESCROLL, 30, 0);
    EXPECT_EQ(host.Row(0).substr(0, 10), "hhiiiijjjj");
    EXPECT_EQ(host.Row(1).substr(0, 10), std::string(10, ' '));
    SetSel(100, 100);
    Send(EM_SCROLLCARET);
    std::string row = host.Row(0).substr(0, 39);
    EXPECT_NE(row.find("xxxxyyyy "), std::string::npos) << row;
    EXPECT_EQ(row.find('a'), std::string::npos) << row;
    // A tab typed at the start of the second line moves "ab" to the stop.
    Send(WM_HSCROLL, SB_TOP);
    SetSel(102, 102);
    Type(u"\t");
    EXPECT_EQ(host.Screen().At(8, 1).ch, u'a');
    EXPECT_EQ(host.Screen().At(0, 0).ch, u'a');

    // The same when the tab comes by EM_REPLACESEL or a paste.
    ::SetWindowText(edit, u"abc\r\nxyz");
    SetSel(1, 1);
    Replace(u"\t", true);
    EXPECT_EQ(host.Screen().At(8, 0).ch, u'b');
    ::SetWindowText(edit, u"abc\r\nxyz");
    SetSel(6, 6);
    host.SetClipboardText(u"\t");
    Send(WM_PASTE);
    EXPECT_EQ(host.Screen().At(8, 1).ch, u'y');
    // Up from there keeps the column across the tab.
    Keys({VK_UP});
    EXPECT_EQ(Sel(), (std::pair{3, 3}));
}

TEST_F(EditControlTest, ClickNeverStopsInsideASurrogatePair)
{
    MakeMulti(u"a\U0001F600b");
    CPoint origin = GetClientCells(edit).TopLeft();
    host.Click(origin.x + 1, origin.y);
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{1, 1}));
    host.Click(origin.x + 2, origin.y);
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{3, 3}));
    Type(u"!");
    EXPECT_EQ(::GetWindowText(edit).Str(), u"a\U0001F600!b");
}
