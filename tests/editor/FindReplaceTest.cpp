// Find, Replace and Replace all through the tool pane's form: what gets
// selected, replaced and heard, the history of find texts, and Replace all
// checked against a plain model of the replacement on random texts.
#include <random>

#include "tests/support/EditorTest.h"

namespace {

constexpr UINT kDefaultBeep = 0;
constexpr UINT kWarningBeep = MB_ICONEXCLAMATION;

class FindReplaceTest : public EditorTest {
protected:
    // Opens the find form and types the find text.
    void OpenFind(std::u16string_view find)
    {
        Command(ID_TOOLS_FIND_REPLACE);
        Fill(IDC_FIND_TEXT, find);
    }
    bool CanUndo() { return View()->GetEditCtrl().CanUndo() != FALSE; }
    bool ComboHasFocus()
    {
        CWnd* focus = CWnd::GetFocus();
        return focus
            && (focus->m_hWnd == Tool()->m_comboFind.m_hWnd
                || ::GetParent(focus->m_hWnd) == Tool()->m_comboFind.m_hWnd);
    }
};

std::pair<int, int> S(int a, int b) { return {a, b}; }

TEST_F(FindReplaceTest, OccurrencesMayOverlap)
{
    ASSERT_TRUE(Start());
    Load(u"aaaa");
    Select(1, 1);
    OpenFind(u"aa");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(1, 3));
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(2, 4));
    EXPECT_TRUE(host.Beeps().empty());
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(2, 4));
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{kDefaultBeep});
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(FindReplaceTest, SearchDoesNotWrapAround)
{
    ASSERT_TRUE(Start());
    Load(u"abcabc");
    Select(2, 2);
    OpenFind(u"abc");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(3, 6));
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(3, 6));
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{kDefaultBeep});
}

TEST_F(FindReplaceTest, AnOccurrenceAtTheVeryStartIsFoundAndAMissFromThereBeeps)
{
    ASSERT_TRUE(Start());
    Load(u"abc");
    OpenFind(u"abc");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(0, 3));
    EXPECT_TRUE(host.Beeps().empty());
    EXPECT_TRUE(ControlEnabled(IDC_REPLACE));

    Select(0, 0);
    Fill(IDC_FIND_TEXT, u"abd");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(0, 0));  // the caret does not move
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{kDefaultBeep});
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE));
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE_ALL));
}

TEST_F(FindReplaceTest, MatchCaseDecidesWhetherCaseCounts)
{
    ASSERT_TRUE(Start());
    Load(u"x abc");
    Select(1, 1);
    OpenFind(u"ABC");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(2, 5));
    EXPECT_TRUE(host.Beeps().empty());

    Select(1, 1);
    ASSERT_TRUE(SetMatchCase(true));
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(1, 1));
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{kDefaultBeep});

    // Without Match case letters beyond ASCII fold too.
    Load(u"Stra\u00DFe \u00C9T\u00C9 \u00B5");
    ASSERT_TRUE(SetMatchCase(false));
    Fill(IDC_FIND_TEXT, u"\u00E9t\u00E9");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(7, 10));
    Fill(IDC_FIND_TEXT, u"\u03BC");  // the micro sign folds to Greek mu
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(11, 12));
    Select(0, 0);
    Fill(IDC_FIND_TEXT, u"STRASSE");  // simple folding: no "ss" for the sharp s
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(0, 0));
}

TEST_F(FindReplaceTest, AfterFindTheTextHasTheFocus)
{
    ASSERT_TRUE(Start());
    Load(u"abc");
    OpenFind(u"b");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel(), S(1, 2));
    // Typing now replaces the found text.
    Type(u"X");
    EXPECT_EQ(Text(), "aXc");
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "b");
    EXPECT_EQ(ToolRowHeight(), 96);
}

TEST_F(FindReplaceTest, AFoundOccurrenceIsScrolledIntoView)
{
    ASSERT_TRUE(Start());
    std::u16string text;
    for (int i = 0; i < 200; ++i)
        text += (i == 150 ? u"    needle here\r\n" : u"hay\r\n");
    Load(text);
    ASSERT_EQ(host.Find(u"needle").x, -1);
    OpenFind(u"needle");
    Tap(IDC_FIND);
    EXPECT_NE(host.Find(u"needle here").x, -1) << host.ScreenText();
}

TEST_F(FindReplaceTest, EmptyFindTextGivesTheWarningBeepAndFocusesTheField)
{
    ASSERT_TRUE(Start());
    Load(u"a a a");
    Select(1, 1);
    OpenFind(u"a");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel(), S(2, 3));
    Fill(IDC_FIND_TEXT, u"");
    Fill(IDC_REPLACE_TEXT, u"b");

    for (int button : {IDC_FIND, IDC_REPLACE, IDC_REPLACE_ALL}) {
        SCOPED_TRACE(button);
        host.ClearRecords();
        Tap(button);
        EXPECT_EQ(host.Beeps(), std::vector<UINT>{kWarningBeep});
        EXPECT_TRUE(host.MessageBoxes().empty());
        EXPECT_TRUE(ComboHasFocus());
        EXPECT_EQ(Text(), "a a a");
        EXPECT_EQ(Sel(), S(2, 3));
        EXPECT_EQ(ToolRowHeight(), 96);
        EXPECT_TRUE(ControlEnabled(IDC_REPLACE));
    }
    // Typing goes straight into the find field.
    Type(u"a");
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "a");
    EXPECT_EQ(HistoryList(), std::vector<std::string>{});
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(HistoryList(), std::vector<std::string>{"a"});
}

TEST_F(FindReplaceTest, HistoryListsEveryChangeOfFindTextNewestFirst)
{
    ASSERT_TRUE(Start());
    Load(u"x y");
    OpenFind(u"x");
    Tap(IDC_FIND);
    Tap(IDC_FIND);  // the same text again: not added a second time
    Fill(IDC_FIND_TEXT, u"y");
    Tap(IDC_FIND);
    Fill(IDC_FIND_TEXT, u"x");
    Tap(IDC_FIND);  // not found any more (no wrap-around): added all the same
    Fill(IDC_FIND_TEXT, u"X");
    Tap(IDC_FIND);  // differs in case only: added
    // The list is filled only on entering find mode.
    EXPECT_EQ(HistoryList(), std::vector<std::string>{});

    Select(0, 0);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(HistoryList(), (std::vector<std::string>{"X", "x", "y", "x"}));
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "X");

    // Replace and Replace all add nothing.
    Fill(IDC_FIND_TEXT, u"y");
    Tap(IDC_FIND);
    Fill(IDC_FIND_TEXT, u"z");
    Tap(IDC_REPLACE);
    Tap(IDC_REPLACE_ALL);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(HistoryList(), (std::vector<std::string>{"y", "X", "x", "y", "x"}));
}

TEST_F(FindReplaceTest, AHistoryEntryChosenFromTheListIsSearchedFor)
{
    ASSERT_TRUE(Start());
    Load(u"one two one two");
    OpenFind(u"two");
    Tap(IDC_FIND);
    Fill(IDC_FIND_TEXT, u"one");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel(), S(8, 11));
    Select(0, 0);
    Command(ID_TOOLS_FIND_REPLACE);
    ASSERT_EQ(FieldText(IDC_FIND_TEXT), "one");

    // Drop the list down with Alt+Down and take its second entry.
    host.Key(VK_DOWN, 0, false, false, true);
    host.Key(VK_DOWN);
    host.Key(VK_RETURN, u'\r');
    host.Run();
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "two");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(4, 7));
}

TEST_F(FindReplaceTest, WheelScrollsTheDroppedHistoryByOneEntryANotch)
{
    ASSERT_TRUE(Start());
    Load(u"h1 h2 h3 h4 h5 h6");
    OpenFind(u"h1");
    Tap(IDC_FIND);
    for (char16_t c = u'2'; c <= u'6'; ++c) {
        Fill(IDC_FIND_TEXT, std::u16string(u"h") + c);
        Tap(IDC_FIND);
    }
    Select(0, 0);
    Command(ID_TOOLS_FIND_REPLACE);
    ASSERT_EQ(HistoryList().size(), 6u);

    // The dropped list's rows as the screen shows them inside its frame,
    // and a turn of the wheel over its first row.
    std::vector<std::string> shown;
    auto look = [&] {
        CRect cells = WindowSystem::Get().Viewport().ChildArea(WindowSystem::Get().ActiveTopLevel());
        std::string rows;
        for (int y = cells.top; y < cells.bottom; ++y) {
            CString row;
            for (int x = cells.left; x < cells.right; ++x)
                row += host.Screen().At(x, y).ch;
            row.TrimLeft();
            row.TrimRight();
            rows += (rows.empty() ? "" : " ") + row.ToUtf8();
        }
        shown.push_back(rows);
        return cells.TopLeft();
    };
    host.Key(VK_DOWN, 0, false, false, true);
    host.OnModal([&] {
        CPoint at = look();
        host.Key(VK_DOWN);  // the highlight on "h5"
        host.Wheel(at.x, at.y, -1);
    });
    for (int notches : {-10, 1})
        host.OnModal([&, notches] {
            CPoint at = look();
            host.Wheel(at.x, at.y, notches);
        });
    host.OnModal([&] {
        look();
        host.Key(VK_RETURN, u'\r');
    });
    host.Run();
    EXPECT_EQ(shown, (std::vector<std::string>{"h6 h5 h4 h3", "h5 h4 h3 h2", "h4 h3 h2 h1", "h5 h4 h3 h2"}));
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "h5") << "the highlight stayed on its entry";
}

TEST_F(FindReplaceTest, ReplacingNeedsAFindFirst)
{
    ASSERT_TRUE(Start());
    Load(u"aaa");
    OpenFind(u"a");
    Fill(IDC_REPLACE_TEXT, u"b");
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE));
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE_ALL));
    Tap(IDC_REPLACE);
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(Text(), "aaa");
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_FALSE(Doc()->IsModified());

    Tap(IDC_FIND);
    EXPECT_TRUE(ControlEnabled(IDC_REPLACE));
    EXPECT_TRUE(ControlEnabled(IDC_REPLACE_ALL));
    Tap(IDC_REPLACE);
    EXPECT_EQ(Text(), "baa");
    EXPECT_EQ(Sel(), S(1, 2));
    // Replace leaves the buttons and the mode as they are.
    EXPECT_TRUE(ControlEnabled(IDC_REPLACE));
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(FindReplaceTest, ReplaceOnANonOccurrenceOnlySelectsTheNextOne)
{
    ASSERT_TRUE(Start());
    Load(u"xx ab ab");
    OpenFind(u"ab");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel(), S(3, 5));
    Fill(IDC_FIND_TEXT, u"b");
    Fill(IDC_REPLACE_TEXT, u"Z");
    Tap(IDC_REPLACE);
    EXPECT_EQ(Text(), "xx ab ab");
    EXPECT_EQ(Sel(), S(4, 5));
    Tap(IDC_REPLACE);
    EXPECT_EQ(Text(), "xx aZ ab");
    EXPECT_EQ(Sel(), S(7, 8));
    Tap(IDC_REPLACE);
    EXPECT_EQ(Text(), "xx aZ aZ");
    EXPECT_EQ(Sel(), S(8, 8));  // nothing after it, and no sound
    EXPECT_TRUE(host.Beeps().empty());
    Tap(IDC_REPLACE);
    EXPECT_EQ(Text(), "xx aZ aZ");
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{kDefaultBeep});
}

TEST_F(FindReplaceTest, ReplaceAllWorksFromTheSelectionToTheEndOnly)
{
    ASSERT_TRUE(Start());
    Load(u"aaa");
    Select(1, 1);
    OpenFind(u"a");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel(), S(1, 2));
    Fill(IDC_REPLACE_TEXT, u"aa");
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(Text(), "aaaaa");
    EXPECT_EQ(Sel(), S(5, 5));
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_EQ(Indicator(), "Line 1");
    EXPECT_TRUE(Visible(IDC_LINE_INDICATOR));
    EXPECT_FALSE(Visible(IDC_FIND_TEXT));
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_FALSE(CanUndo());
    EXPECT_TRUE(host.Beeps().empty());
}

TEST_F(FindReplaceTest, ReplaceAllFindingNothingBeepsOnceAndReturnsToIdle)
{
    ASSERT_TRUE(Start());
    Load(u"one\r\ntwo\r\nthree");
    Select(5, 5);
    OpenFind(u"t");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel(), S(5, 6));
    Fill(IDC_FIND_TEXT, u"q");
    Fill(IDC_REPLACE_TEXT, u"Q");
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{kDefaultBeep});
    EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(Sel(), S(5, 6));
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_FALSE(Visible(IDC_FIND_TEXT));
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(FindReplaceTest, ReplaceAllReportsTheLineItEndsIn)
{
    ASSERT_TRUE(Start());
    Load(u"a\r\nb\r\na\r\nb");
    OpenFind(u"a");
    Tap(IDC_FIND);
    // Pasted into the field, which takes only the first line.
    host.SetClipboardText(u"c\r\nc");
    Fill(IDC_REPLACE_TEXT, u"");
    Ctrl('V');
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(Text(), "c\r\nb\r\nc\r\nb");
    EXPECT_EQ(Sel(), S(7, 7));
    EXPECT_EQ(Indicator(), "Line 3");
}

TEST_F(FindReplaceTest, UndoDoesNotBringReplacedTextBack)
{
    ASSERT_TRUE(Start());
    Type(u"ab ab");  // typed, so there is something to undo
    ASSERT_TRUE(CanUndo());
    Select(0, 0);
    OpenFind(u"ab");
    Tap(IDC_FIND);
    Fill(IDC_REPLACE_TEXT, u"X");
    Tap(IDC_REPLACE);
    ASSERT_EQ(Text(), "X ab");
    EXPECT_FALSE(CanUndo());
    View()->GetEditCtrl().Undo();
    EXPECT_EQ(Text(), "X ab");

    Tap(IDC_REPLACE_ALL);
    ASSERT_EQ(Text(), "X X");
    // Back in the text, Ctrl+Z changes nothing either.
    Ctrl('Z');
    View()->GetEditCtrl().Undo();
    EXPECT_EQ(Text(), "X X");
}

TEST_F(FindReplaceTest, TheHiddenLineFieldNeverDisturbsTheFindForm)
{
    ASSERT_TRUE(Start());
    Load(u"b b b");
    // The go-to form leaves its field empty, which is no number.
    Command(ID_TOOLS_GOTO);
    OpenFind(u"b");
    Fill(IDC_REPLACE_TEXT, u"X");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), S(0, 1));
    Tap(IDC_REPLACE);
    EXPECT_EQ(Text(), "X b b");
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(Text(), "X X X");
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_TRUE(host.Beeps().empty());
}

// ---- Replace all against a model ----

// Case folding for the letters the random texts use, written out by hand.
char16_t Fold(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return char16_t(c + 32);
    if (c == 0xB5)
        return 0x3BC;  // micro sign -> Greek small mu
    if (c == 0x178)
        return 0xFF;  // Y with diaeresis
    return c;
}

bool Equal(std::u16string_view a, std::u16string_view b, bool matchCase)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (matchCase ? a[i] != b[i] : Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

struct Outcome {
    std::u16string text;
    std::pair<int, int> sel;
    bool found = false;
    int cut = 0;  // replacements that did not go in whole
};

constexpr int kTextLimit = 1048575;

// How much of `replace` the control lets in where `room` characters are
// left: all of it, or the longest prefix that fits and does not end inside
// a "\r\n" or a surrogate pair.
size_t Fit(const std::u16string& replace, size_t room)
{
    if (replace.size() <= room)
        return replace.size();
    size_t fit = room;
    if (fit > 0
        && ((replace[fit - 1] == u'\r' && replace[fit] == u'\n')
            || (replace[fit - 1] >= 0xD800 && replace[fit - 1] < 0xDC00 && replace[fit] >= 0xDC00
                && replace[fit] < 0xE000)))
        --fit;
    return fit;
}

// What Replace all leaves: the selection if it is an occurrence, else the
// next occurrence from its start, is replaced, and then each occurrence
// found by looking on from behind the last replacement. Each replacement
// goes in as far as the text limit lets it at that point. Nothing found:
// the text and the selection stay.
Outcome ReplaceAllModel(const std::u16string& text, std::pair<int, int> sel, const std::u16string& find,
                        const std::u16string& replace, bool matchCase)
{
    const size_t n = find.size();
    auto occurrenceAt = [&](size_t pos) {
        return pos + n <= text.size() && Equal(std::u16string_view(text).substr(pos, n), find, matchCase);
    };
    size_t first = size_t(sel.first);
    if (!(sel.second - sel.first == int(n) && occurrenceAt(first)))
        while (first + n <= text.size() && !occurrenceAt(first))
            ++first;
    if (first + n > text.size())
        return {text, sel, false};
    std::u16string out = text.substr(0, first);
    int cut = 0;
    size_t caret = 0;
    size_t length = text.size();  // the control's length after each step
    size_t p = first;
    while (p < text.size()) {
        if (occurrenceAt(p)) {
            const size_t room = kTextLimit + n > length ? kTextLimit + n - length : 0;
            const size_t fit = Fit(replace, room);
            cut += fit < replace.size() ? 1 : 0;
            out += replace.substr(0, fit);
            length = length - n + fit;
            caret = out.size();
            p += n;
        } else {
            out += text[p++];
        }
    }
    return {out, {int(caret), int(caret)}, true, cut};
}

int LineOf(const std::u16string& text, int pos)
{
    int line = 1;
    for (int i = 0; i < pos; ++i)
        if (text[size_t(i)] == u'\n')
            ++line;
    return line;
}

int Pick(std::mt19937& rng, int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

std::u16string RandomWord(std::mt19937& rng, std::u16string_view letters, int length)
{
    std::u16string s;
    for (int i = 0; i < length; ++i)
        s += letters[size_t(Pick(rng, 0, int(letters.size()) - 1))];
    return s;
}

// Line ends in the random texts come as whole "\r\n" pairs.
std::u16string RandomText(std::mt19937& rng, std::u16string_view letters, int length)
{
    std::u16string s;
    while (int(s.size()) < length)
        s += Pick(rng, 0, 5) == 0 ? std::u16string(u"\r\n") : RandomWord(rng, letters, 1);
    return s;
}

TEST_F(FindReplaceTest, ReplaceAllMatchesTheModelOnRandomTexts)
{
    ASSERT_TRUE(Start());
    struct Case {
        unsigned seed;
        std::u16string_view letters;
        bool matchCase;
    } cases[] = {
        {1, u"ab", true},
        {2, u"ab", false},
        {3, u"aAbB", false},
        {4, u"aAbB", true},
        {5, u"\u00E9\u00C9\u00FF\u0178\u00B5\u03BCs", false},
        {6, u"\u00E9\u00C9\u00FF\u0178\u00B5\u03BCs", true},
    };
    for (const Case& c : cases) {
        std::mt19937 rng(c.seed);
        for (int round = 0; round < 40; ++round) {
            // Every third text is padded with dots up to a little under or
            // over the limit, so that Replace all may run into it.
            const std::u16string tail = RandomText(rng, c.letters, Pick(rng, 1, 30));
            const size_t pad
                = round % 3 ? 0 : size_t(kTextLimit - Pick(rng, -2, 24)) - std::min<size_t>(tail.size(), 30);
            const std::u16string text = std::u16string(pad, u'.') + tail;
            const std::u16string find = RandomWord(rng, c.letters, Pick(rng, 1, 3));
            const std::u16string replace = RandomWord(rng, c.letters, Pick(rng, 0, 3));
            const int length = int(text.size());
            std::pair<int, int> sel;
            switch (Pick(rng, 0, 2)) {
            case 0: {
                int caret = Pick(rng, int(pad), length);
                sel = {caret, caret};
                break;
            }
            case 1: {
                int a = Pick(rng, int(pad), length), b = Pick(rng, int(pad), length);
                sel = {std::min(a, b), std::max(a, b)};
                break;
            }
            default: {
                // An occurrence, when there is one, so the selection counts.
                int at = Pick(rng, int(pad), length);
                while (at + int(find.size()) <= length
                       && !Equal(std::u16string_view(text).substr(size_t(at), find.size()), find, c.matchCase))
                    ++at;
                sel = at + int(find.size()) <= length ? std::make_pair(at, at + int(find.size()))
                                                      : std::make_pair(at, at);
            }
            }
            SCOPED_TRACE("seed " + std::to_string(c.seed) + " round " + std::to_string(round) + ": text "
                         + (pad ? std::to_string(pad) + " dots + " : "") + Show(tail) + ", selection ("
                         + std::to_string(sel.first) + ", " + std::to_string(sel.second) + "), find " + Show(find)
                         + ", replace " + Show(replace) + (c.matchCase ? ", match case" : ""));

            Load(text);
            // A Find over a selection leaves one, which enables Replace all.
            Select(0, 1);
            Command(ID_TOOLS_FIND_REPLACE);
            Fill(IDC_FIND_TEXT, find);
            Fill(IDC_REPLACE_TEXT, replace);
            ASSERT_TRUE(SetMatchCase(c.matchCase));
            Tap(IDC_FIND);
            ASSERT_TRUE(ControlEnabled(IDC_REPLACE_ALL));
            Select(sel.first, sel.second);
            const std::string indicatorBefore = Indicator();
            const size_t beepsBefore = host.Beeps().size();
            const size_t boxesBefore = host.MessageBoxes().size();
            const Outcome want = ReplaceAllModel(text, sel, find, replace, c.matchCase);
            if (want.cut > 0)
                Answer({u"Yes"});

            Tap(IDC_REPLACE_ALL);

            const std::u16string got = View()->GetWindowText().Str();
            EXPECT_EQ(got.size(), want.text.size());
            EXPECT_EQ(Show(got.substr(pad)), Show(want.text.substr(std::min(pad, want.text.size()))));
            EXPECT_LE(got.size(), std::max(text.size(), size_t(kTextLimit)));
            EXPECT_EQ(Sel(), want.sel);
            // Nothing found: the default beep; cut at the limit: asked
            // first, then the warning beep.
            EXPECT_EQ(host.Beeps().size() - beepsBefore, want.found && want.cut == 0 ? 0u : 1u);
            EXPECT_EQ(host.MessageBoxes().size() - boxesBefore, want.cut > 0 ? 1u : 0u);
            EXPECT_EQ(Doc()->IsModified() != FALSE, want.found);
            if (want.found) {
                EXPECT_FALSE(CanUndo());
            }
            EXPECT_EQ(ToolRowHeight(), 22);
            if (want.sel.first == want.sel.second) {
                EXPECT_EQ(Indicator(), "Line " + std::to_string(LineOf(want.text, want.sel.first)));
            } else {
                EXPECT_EQ(Indicator(), indicatorBefore);
            }
            if (HasFailure())
                return;
        }
    }
}

}  // namespace
