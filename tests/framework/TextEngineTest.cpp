#include "framework/win/TextEngine.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include "framework/base/CaseFold.h"
#include "framework/base/UnicodeCase.h"
#include "framework/base/String.h"
#include "framework/base/Utf16.h"
#include "tests/support/Text.h"

using support::Show;

namespace {

TextEngine Make(std::u16string_view text)
{
    TextEngine e;
    e.SetText(text);
    return e;
}

// Line starts computed the obvious way, to check the incremental index.
std::vector<int> NaiveLineStarts(std::u16string_view text)
{
    std::vector<int> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            starts.push_back(static_cast<int>(i) + 1);
    }
    return starts;
}

void ExpectIndexMatchesText(const TextEngine& e, const std::string& context)
{
    const std::u16string text = e.GetText();
    const std::vector<int> starts = NaiveLineStarts(text);
    ASSERT_EQ(e.LineCount(), static_cast<int>(starts.size())) << context << " text=" << Show(text);
    for (int line = 0; line < e.LineCount(); ++line) {
        ASSERT_EQ(e.LineIndex(line), starts[line]) << context << " line " << line << " text=" << Show(text);
    }
    for (int pos = 0; pos <= e.Length(); ++pos) {
        const int expected = static_cast<int>(std::upper_bound(starts.begin(), starts.end(), pos) - starts.begin()) - 1;
        ASSERT_EQ(e.LineFromChar(pos), expected) << context << " pos " << pos << " text=" << Show(text);
    }
}

// ---- Lines ----

struct LineCase {
    std::u16string text;
    std::vector<std::pair<int, int>> lines;  // (start, length) of each line
};

TEST(TextEngineLines, StartsAndLengthsFollowTheLineEndRules)
{
    const std::vector<LineCase> cases = {
        {u"", {{0, 0}}},
        {u"abc", {{0, 3}}},
        {u"ab\r\ncd", {{0, 2}, {4, 2}}},
        {u"ab\r\n", {{0, 2}, {4, 0}}},    // ends in "\r\n": empty last line
        {u"a\nb", {{0, 1}, {2, 1}}},      // lone "\n" ends a line
        {u"a\rb", {{0, 3}}},              // lone "\r" does not
        {u"x\r\r\ny", {{0, 2}, {4, 1}}},  // only the '\r' right before '\n' is line end
        {u"\n\r\n", {{0, 0}, {1, 0}, {3, 0}}},
    };
    for (const LineCase& c : cases) {
        const TextEngine e = Make(c.text);
        SCOPED_TRACE(Show(c.text));
        ASSERT_EQ(e.LineCount(), static_cast<int>(c.lines.size()));
        for (int line = 0; line < e.LineCount(); ++line) {
            EXPECT_EQ(e.LineIndex(line), c.lines[line].first) << "line " << line;
            EXPECT_EQ(e.LineLength(line), c.lines[line].second) << "line " << line;
            EXPECT_EQ(e.LineEnd(line), c.lines[line].first + c.lines[line].second) << "line " << line;
        }
        ExpectIndexMatchesText(e, "");
    }
}

TEST(TextEngineLines, OutOfRangeQueries)
{
    const TextEngine e = Make(u"ab\r\ncd");
    EXPECT_EQ(e.LineIndex(2), -1);
    EXPECT_EQ(e.LineIndex(-1), -1);
    EXPECT_EQ(e.LineEnd(2), -1);
    EXPECT_EQ(e.LineLength(5), 0);
    EXPECT_EQ(e.LineFromChar(-4), 0);
    EXPECT_EQ(e.LineFromChar(100), 1);
    EXPECT_EQ(e.LineFromChar(3), 0);  // between '\r' and '\n'
    EXPECT_EQ(e.LineFromChar(4), 1);  // right after the line end
}

TEST(TextEngineLines, IndexStaysInStepThroughRandomEdits)
{
    std::mt19937 rng(1234);
    const std::u16string alphabet = u"ab \r\n\n\xD801\xDC00";
    TextEngine e = Make(u"start\r\nof\nthe text\r\n");
    e.SetLimit(0);
    for (int step = 0; step < 600; ++step) {
        const int a = static_cast<int>(rng() % (e.Length() + 1));
        const int b = static_cast<int>(rng() % (e.Length() + 1));
        std::u16string insert;
        for (int n = static_cast<int>(rng() % 6); n > 0; --n)
            insert += alphabet[rng() % alphabet.size()];
        switch (rng() % 6) {
        case 0:
            e.SetSel(a, b);
            e.ReplaceSel(insert, true);
            break;
        case 1:
            e.SetSel(a, a);
            e.InsertTyped(insert);
            break;
        case 2:
            e.SetSel(a, b);
            e.Backspace();
            break;
        case 3:
            e.SetSel(a, a);
            e.Delete();
            break;
        case 4: e.Undo(); break;
        default:
            e.SetSel(a, b);
            e.ReplaceSel(u"", false);
            break;
        }
        ExpectIndexMatchesText(e, "step " + std::to_string(step));
        if (HasFatalFailure())
            return;
    }
}

// ---- Selection ----

struct SelCase {
    int start, end;
    int anchor, caret;
};

TEST(TextEngineSelection, SetSelFollowsThePlatformRules)
{
    const std::vector<SelCase> cases = {
        {1, 3, 1, 3},  {3, 1, 3, 1},  // reversed: anchor is start, caret is end
        {0, -1, 0, 5},                // select all
        {2, 99, 2, 5},                // clamped to the length
        {-1, 4, 2, 2},                // deselect, caret stays where it was
        {-3, 1, 5, 1},                // other negatives count as past the end
    };
    for (const SelCase& c : cases) {
        TextEngine e = Make(u"hello");
        e.SetSelRaw(4, 2);
        e.SetSel(c.start, c.end);
        EXPECT_EQ(e.Anchor(), c.anchor) << "SetSel(" << c.start << ", " << c.end << ")";
        EXPECT_EQ(e.Caret(), c.caret) << "SetSel(" << c.start << ", " << c.end << ")";
        EXPECT_EQ(e.GetSel(), std::make_pair(std::min(c.anchor, c.caret), std::max(c.anchor, c.caret)));
    }
}

TEST(TextEngineCaret, CharacterStepsTreatCrLfAndSurrogatePairsAsOne)
{
    TextEngine e = Make(
        u"a\r\nb\xD83D\xDE00"
        u"c\nd");
    const std::vector<int> stops = {0, 1, 3, 4, 6, 7, 8, 9};
    for (std::size_t i = 1; i < stops.size(); ++i) {
        e.MoveRight(false);
        EXPECT_EQ(e.Caret(), stops[i]) << "right step " << i;
    }
    e.MoveRight(false);
    EXPECT_EQ(e.Caret(), 9);
    for (int i = static_cast<int>(stops.size()) - 2; i >= 0; --i) {
        e.MoveLeft(false);
        EXPECT_EQ(e.Caret(), stops[i]) << "left step to " << i;
    }
    e.MoveLeft(false);
    EXPECT_EQ(e.Caret(), 0);
    // From between '\r' and '\n' one step goes either way out of the pair.
    EXPECT_EQ(e.NextCharPos(2), 3);
    EXPECT_EQ(e.PrevCharPos(2), 1);
}

TEST(TextEngineCaret, ExtendKeepsTheAnchorAndPlainMovesCollapse)
{
    TextEngine e = Make(u"one two\r\nthree");
    e.SetSel(1, 1);
    e.MoveRight(true);
    e.MoveLineEnd(true);
    EXPECT_EQ(e.GetSel(), std::make_pair(1, 7));
    e.MoveTextEnd(true);
    EXPECT_EQ(e.GetSel(), std::make_pair(1, 14));
    e.MoveLeft(false);  // from the caret, dropping the selection
    EXPECT_EQ(e.GetSel(), std::make_pair(13, 13));
    e.MoveLineStart(false);
    EXPECT_EQ(e.Caret(), 9);
    e.MoveTextStart(true);
    EXPECT_EQ(e.Anchor(), 9);
    EXPECT_EQ(e.Caret(), 0);
}

TEST(TextEngineCaret, UpDownKeepTheDesiredColumn)
{
    TextEngine e = Make(u"abcdef\r\nab\r\nabcdef\n\tx\n123456789");
    e.SetSel(5, 5);
    e.MoveDown(false);
    EXPECT_EQ(e.Caret(), 10);  // short line: its end
    e.MoveDown(false);
    EXPECT_EQ(e.Caret(), 17);  // column 5 again
    e.MoveDown(false);
    EXPECT_EQ(e.Caret(), 20);  // column 5 is inside the tab (0..8): nearer its end
    e.MoveRight(false);        // column 9: a horizontal move resets the column
    e.MoveDown(false);
    EXPECT_EQ(e.Caret(), 22 + 9);
    e.MoveUp(true);
    EXPECT_EQ(e.Anchor(), 31);
    EXPECT_EQ(e.Caret(), 21);
    e.MovePageUp(10, false);
    EXPECT_EQ(e.Caret(), 6);  // clamped to the first line, column 9 -> its end
    e.MovePageDown(10, false);
    EXPECT_EQ(e.Caret(), 31);
    e.MoveDown(false);  // last line: stays
    EXPECT_EQ(e.Caret(), 31);
}

TEST(TextEngineCaret, CustomColumnMeasureIsUsed)
{
    // Twice as wide for 'w': column 4 on "ww" is its end, on "abcd" position 4.
    struct Wide : TextEngine::ColumnMeasure {
        int ColumnOf(const TextEngine& t, int start, int pos) const override
        {
            const std::u16string line = t.GetRange(start, pos - start);
            return static_cast<int>(line.size() + std::count(line.begin(), line.end(), u'w'));
        }
        int PosAtColumn(const TextEngine& t, int start, int end, int column) const override
        {
            int pos = start;
            for (int col = 0; pos < end && col < column; ++pos)
                col += t.CharAt(pos) == u'w' ? 2 : 1;
            return pos;
        }
    } wide;
    TextEngine e = Make(u"ww\nabcd");
    e.SetColumnMeasure(&wide);
    e.SetSel(2, 2);
    e.MoveDown(false);
    EXPECT_EQ(e.Caret(), 7);
    e.MoveUp(false);
    EXPECT_EQ(e.Caret(), 2);
}

TEST(TextEngineCaret, WordMoves)
{
    //                          0123456789012 3 4567890
    const TextEngine e = Make(u"foo  bar\tbaz\r\n  qux  ");
    struct WordCase {
        int from, next, prev;
    };
    const std::vector<WordCase> cases = {
        {0, 5, 0},     // start of text
        {1, 5, 0},     // inside a word: to the next word / this word's start
        {5, 9, 0},     // at a word start: previous word's start
        {3, 5, 0},     // in the blanks after "foo"
        {10, 12, 9},   // in the last word: next stops at the line end
        {12, 14, 9},   // at the line end: next goes past "\r\n"
        {14, 16, 12},  // at a line start: previous goes to the prior line end
        {16, 21, 14},  // trailing blanks run to the end of the text
        {21, 21, 16},
    };
    for (const WordCase& c : cases) {
        EXPECT_EQ(e.NextWordPos(c.from), c.next) << "next from " << c.from;
        EXPECT_EQ(e.PrevWordPos(c.from), c.prev) << "prev from " << c.from;
    }
}

// ---- Editing and undo ----

// `edit` applied with the selection (anchor, caret) must give `edited`; one
// Undo must give `undone` back with `undoneSel` selected, a second `edited`.
struct UndoCase {
    const char* name;
    std::u16string text;
    int anchor, caret;
    std::function<void(TextEngine&)> edit;
    std::string edited, undone;
    std::pair<int, int> undoneSel;
};

TEST(TextEngineUndo, OneStepPerRunAndSecondUndoRedoes)
{
    const auto typeEach = [](std::u16string s) {
        return [s](TextEngine& e) {
            for (const char16_t c : s)
                e.InsertTyped(c);
        };
    };
    const auto backspaces = [](int n) {
        return [n](TextEngine& e) {
            for (int i = 0; i < n; ++i)
                e.Backspace();
        };
    };
    const std::vector<UndoCase> cases = {
        {"typing run", u"ab", 1, 1, typeEach(u"xyz"), "axyzb", "ab", {1, 1}},
        {"typing over a selection", u"abcd", 1, 3, typeEach(u"XY"), "aXYd", "abcd", {1, 3}},
        {"caret move splits a run",
         u"",
         0,
         0,
         [](TextEngine& e) {
             e.InsertTyped(u"ab");
             e.MoveLeft(false);
             e.MoveRight(false);
             e.InsertTyped(u'c');
         },
         "abc",
         "ab",
         {2, 2}},
        {"backspace and delete run",
         u"hello world",
         5,
         5,
         [](TextEngine& e) {
             e.Backspace();
             e.Backspace();
             e.Delete();
         },
         "helworld",
         "hello world",
         {3, 6}},
        {"backing up over typed text and beyond",
         u"hello world",
         5,
         5,
         [&](TextEngine& e) {
             e.InsertTyped(u"XY");
             backspaces(3)(e);
             e.InsertTyped(u'Z');
         },
         "hellZ world",
         "hello world",
         {4, 5}},
        {"backing up over \\r\\n",
         u"ab\r\ncd",
         4,
         4,
         [&](TextEngine& e) {
             e.InsertTyped(u'X');
             backspaces(2)(e);
         },
         "abcd",
         "ab\\r\\ncd",
         {2, 4}},
        {"selection then backspace", u"abcd", 3, 1, backspaces(2), "d", "abcd", {0, 3}},
        {"ReplaceSel",
         u"one two",
         4,
         7,
         [](TextEngine& e) { e.ReplaceSel(u"2\r\n3", true); },
         "one 2\\r\\n3",
         "one two",
         {4, 7}},
    };
    for (const UndoCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextEngine e = Make(c.text);
        e.SetSelRaw(c.anchor, c.caret);
        c.edit(e);
        EXPECT_EQ(Show(e.GetText()), c.edited);
        ASSERT_TRUE(e.Undo());
        EXPECT_EQ(Show(e.GetText()), c.undone);
        EXPECT_EQ(e.GetSel(), c.undoneSel);
        ASSERT_TRUE(e.Undo());
        EXPECT_EQ(Show(e.GetText()), c.edited);
        ExpectIndexMatchesText(e, c.name);
    }
}

struct DeleteCase {
    std::u16string text;
    int anchor, caret;
    bool forward;  // Delete rather than Backspace
    bool changed;
    std::string expected;
};

TEST(TextEngineEdit, BackspaceAndDeleteRemoveWholeUnits)
{
    const std::vector<DeleteCase> cases = {
        {u"a\r\nb", 3, 3, false, true, "ab"},
        {u"a\r\nb", 1, 1, true, true, "ab"},
        {u"a\r\nb", 2, 2, false, true, "a\\nb"},  // from inside "\r\n": just the '\r'
        {u"b\xD83D\xDE00", 3, 3, false, true, "b"},
        {u"\xD83D\xDE00x", 0, 0, true, true, "x"},
        {u"ab", 0, 0, false, false, "ab"},
        {u"ab", 2, 2, true, false, "ab"},
        {u"abc", 0, 2, true, true, "c"},  // a selection goes as a whole
    };
    for (const DeleteCase& c : cases) {
        TextEngine e = Make(c.text);
        e.SetSelRaw(c.anchor, c.caret);
        EXPECT_EQ(c.forward ? e.Delete() : e.Backspace(), c.changed) << Show(c.text) << " at " << c.caret;
        EXPECT_EQ(Show(e.GetText()), c.expected) << (c.forward ? "Delete" : "Backspace") << " at " << c.caret;
    }
}

TEST(TextEngineEdit, ReplaceSelWithoutUndoAndTheModifiedFlag)
{
    TextEngine e = Make(u"one two");
    EXPECT_FALSE(e.IsModified());
    e.InsertTyped(u'x');
    EXPECT_TRUE(e.IsModified());
    e.SetModified(false);
    e.Undo();
    EXPECT_TRUE(e.IsModified());  // undo is an edit too

    e.SetSel(4, 7);
    e.ReplaceSel(u"2", false);
    EXPECT_EQ(Show(e.GetText()), "one 2");
    EXPECT_EQ(e.GetSel(), std::make_pair(5, 5));
    EXPECT_FALSE(e.CanUndo());
    EXPECT_FALSE(e.Undo());

    e.SetText(u"new");
    EXPECT_FALSE(e.IsModified());
    EXPECT_EQ(e.Caret(), 0);
}

TEST(TextEngineLimit, TypingIsRefusedAtTheLimit)
{
    TextEngine e = Make(u"abc");
    e.SetLimit(4);
    e.SetSel(3, 3);
    EXPECT_EQ(e.InsertTyped(u'd'), TextEngine::EditStatus::Done);
    EXPECT_EQ(e.InsertTyped(u'e'), TextEngine::EditStatus::Refused);
    EXPECT_EQ(e.InsertTyped(u"\r\n"), TextEngine::EditStatus::Refused);
    EXPECT_EQ(Show(e.GetText()), "abcd");
    e.SetSel(0, 1);  // replacing a selection frees room
    EXPECT_EQ(e.InsertTyped(u'Z'), TextEngine::EditStatus::Done);
    EXPECT_EQ(Show(e.GetText()), "Zbcd");
}

TEST(TextEngineLimit, PasteInsertsOnlyWhatFitsWithoutSplittingUnits)
{
    struct PasteCase {
        int limit;
        std::u16string paste;
        std::string expected;
    };
    const std::vector<PasteCase> cases = {
        {6, u"xyzwv", "abxyzw"},
        {5, u"xyzw", "abxyz"},
        {5, u"xy\r\nz", "abxy"},         // "\r\n" stays whole
        {5, u"xy\xD83D\xDE00", "abxy"},  // so does a surrogate pair
        {2, u"xy", "ab"},
    };
    for (const PasteCase& c : cases) {
        TextEngine e = Make(u"ab");
        e.SetLimit(c.limit);
        e.SetSel(2, 2);
        EXPECT_EQ(e.ReplaceSel(c.paste, true), TextEngine::EditStatus::Truncated) << c.expected;
        EXPECT_EQ(Show(e.GetText()), c.expected);
    }
    TextEngine e = Make(u"ab");
    e.SetLimit(1);
    e.SetText(u"longer than the limit");  // SetText is not limited
    EXPECT_EQ(e.Length(), 21);
    e.SetLimit(0);
    EXPECT_EQ(e.Limit(), TextEngine::kMaxLimit);
}

// ---- Search ----

struct FindCase {
    std::u16string text, needle;
    bool matchCase;
    int expected;
};

TEST(TextEngineFind, CaseSensitiveAndFolded)
{
    const std::vector<FindCase> cases = {
        {u"Hello hello", u"hello", true, 6},
        {u"Hello hello", u"hello", false, 0},
        {u"caf\u00C9!", u"caf\u00E9", false, 0},  // É / é
        {u"caf\u00C9!", u"caf\u00E9", true, -1},
        {u"x\u0178", u"\u00FF", false, 1},                         // Ÿ (outside Latin-1) / ÿ
        {u"\u00B5m", u"\u03BCM", false, 0},                        // micro sign folds to Greek mu
        {u"\u03A3\u03C3\u03C2", u"\u03C3\u03C3\u03C3", false, 0},  // Σ σ ς
        {u"\u03A3\u03C3\u03C2", u"\u03C2", true, 2},
        {u"Stra\u00DFe", u"strasse", false, -1},  // simple folding: ß stays ß
        {u"a\xD801\xDC00"
         u"b",
         u"\xD801\xDC28", false, 1},  // Deseret capital / small
        {u"line\r\nnext", u"E\r\nN", false, 3},
        {u"abc", u"", false, -1},
        {u"ab", u"abc", false, -1},
    };
    for (const FindCase& c : cases) {
        const TextEngine e = Make(c.text);
        EXPECT_EQ(e.Find(c.needle, 0, c.matchCase), c.expected)
            << "find " << Show(c.needle) << " in " << Show(c.text) << (c.matchCase ? " (case)" : "");
        if (c.expected >= 0) {
            EXPECT_TRUE(e.MatchesAt(c.expected, c.needle, c.matchCase)) << Show(c.needle);
        }
    }
}

TEST(TextEngineFind, FromPositionAndAcrossTheGap)
{
    TextEngine e = Make(u"abcabcabc");
    EXPECT_EQ(e.Find(u"abc", 1, true), 3);
    EXPECT_EQ(e.Find(u"abc", 7, true), -1);
    EXPECT_FALSE(e.MatchesAt(1, u"abc", true));
    e.SetSel(4, 4);
    e.InsertTyped(u'X');  // the gap now sits inside the second "abc"
    e.MoveLeft(false);
    EXPECT_EQ(e.Find(u"aXbc", 0, true), 3);
    EXPECT_EQ(e.Find(u"AXBCA", 0, false), 3);
}

TEST(TextEngineFind, PathologicalInputFindsNothing)
{
    // Naive matching would need about 2e10 comparisons here; the benchmarks
    // measure the time, this checks the answer across the gap.
    std::u16string text(1000000, u'a');
    std::u16string needle(20000, u'a');
    needle += u'b';
    TextEngine e = Make(text);
    e.SetLimit(0);
    e.SetSel(500000, 500000);
    e.InsertTyped(u'A');  // put the gap in the middle
    EXPECT_EQ(e.Find(needle, 0, true), -1);
    EXPECT_EQ(e.Find(needle, 0, false), -1);
}

// The search against the plainest one there is: fold the text from the
// start of the search and the needle, then look for one in the other.
int NaiveFind(std::u16string_view text, std::u16string_view needle, int from, bool matchCase)
{
    std::u16string hay(text.substr(size_t(from)));
    std::u16string pin(needle);
    if (!matchCase) {
        hay = CaseFold::String(hay);
        pin = CaseFold::String(pin);
    }
    const size_t at = pin.empty() ? std::u16string::npos : hay.find(pin);
    return at == std::u16string::npos ? -1 : from + int(at);
}

TEST(TextEngineFind, AgreesWithANaiveSearchWhereverTheGapAndTheStartLie)
{
    const std::u16string stutter = std::u16string(3000, u't') + u"e" + std::u16string(70, u't') + u"e";
    // Matches on either side of the scan's blocks of 8 and 32 starts.
    std::u16string sparse(300, u'x');
    for (const int at : {0, 25, 31, 40, 57, 64, 120, 160, 200, 288, 294})
        sparse.replace(size_t(at), 6, at % 2 ? u"NEEDLE" : u"needle");
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"abcabcab", u"cab"},                             // at the end, after a near miss
        {u"aaaaa", u"aa"},                                 // overlapping candidates
        {u"xyzxy", u"xy"},                                 // at the start
        {u"Caf\u00C9 caf\u00E9 CAF\u00C9", u"caf\u00C9"},  // beyond ASCII
        {u"\u212Aelvin \u017Fun KELVIN", u"kelvin"},       // Kelvin sign and long s fold to ASCII
        {u"\u017F\u017Fs", u"SS"},                         //
        {u"\u03A3\u03C3\u03C2x", u"\u03C3x"},              // the three sigmas
        {u"a\xD801\xDC00\xD801\xDC28"
         u"b\xDC28",
         u"\xD801\xDC28"},  // a pair beyond U+FFFF
        {u"a\xD801\xDC00\xD801\xDC28"
         u"b\xDC28",
         u"\xDC28"},                         // and a half of one
        {u"\xD801\xD801\xDC00", u"\xD801"},  //
        {u"a\xD801\xDC00"
         u"b",
         u"\xDC28"
         u"b"},                                      // from the low half, a pair is no pair
        {stutter, std::u16string(60, u't') + u"e"},  // every start a candidate
        {sparse, u"needle"},                         //
    };
    for (const auto& [text, needle] : cases) {
        const int length = int(text.size());
        std::vector<int> places;
        for (int p = 0; p <= length; ++p) {
            if (length <= 24 || p <= 1 || p == length / 2 || p >= length - 1)
                places.push_back(p);
        }
        for (const bool matchCase : {true, false}) {
            for (const int gap : places) {
                TextEngine e = Make(text);
                if (gap > 0) {
                    e.SetSel(gap - 1, gap);
                    e.ReplaceSel(text.substr(size_t(gap - 1), 1), false);
                }
                for (const int from : places) {
                    EXPECT_EQ(e.Find(needle, from, matchCase), NaiveFind(text, needle, from, matchCase))
                        << Show(needle) << " in " << Show(text.substr(0, 24)) << " from " << from << " gap " << gap
                        << (matchCase ? " (case)" : "");
                }
                std::u16string replaced;
                int copied = 0;
                int count = 0;
                for (int at = NaiveFind(text, needle, 0, matchCase); at >= 0;
                     at = NaiveFind(text, needle, copied, matchCase), ++count) {
                    replaced += text.substr(size_t(copied), size_t(at - copied)) + u"#";
                    copied = at + int(needle.size());
                }
                replaced += text.substr(size_t(copied));
                EXPECT_EQ(e.ReplaceAllFrom(0, needle, u"#", matchCase).count, count) << Show(needle);
                EXPECT_EQ(Show(e.GetText()), Show(replaced)) << Show(needle) << " gap " << gap;
            }
        }
    }
}

// ---- Replace all ----

// The one-by-one loop that ReplaceAllFrom must reproduce: each occurrence
// selected and replaced (cut at the limit as ReplaceSel cuts it), then a
// search on from the caret behind the inserted text.
TextEngine::ReplaceAllResult ReplaceOneByOne(TextEngine& e, int pos, std::u16string_view needle,
                                             std::u16string_view replacement, bool matchCase)
{
    TextEngine::ReplaceAllResult result;
    for (int at = e.Find(needle, pos, matchCase); at >= 0; at = e.Find(needle, e.Caret(), matchCase)) {
        e.SetSel(at, at + static_cast<int>(needle.size()));
        if (e.ReplaceSel(replacement, false) != TextEngine::EditStatus::Done)
            ++result.cut;
        ++result.count;
    }
    return result;
}

TEST(TextEngineReplaceAll, SimpleCases)
{
    TextEngine e = Make(u"aaaa");
    EXPECT_EQ(e.ReplaceAllFrom(0, u"aa", u"b", true).count, 2);
    EXPECT_EQ(Show(e.GetText()), "bb");
    EXPECT_EQ(e.GetSel(), std::make_pair(2, 2));

    e = Make(u"a-a");
    e.InsertTyped(u'x');
    e.SetModified(false);
    EXPECT_EQ(e.ReplaceAllFrom(0, u"a", u"aa", true).count, 2);  // the replacement is not searched again
    EXPECT_EQ(Show(e.GetText()), "xaa-aa");
    EXPECT_EQ(e.GetSel(), std::make_pair(6, 6));
    EXPECT_FALSE(e.CanUndo());
    EXPECT_TRUE(e.IsModified());

    e = Make(u"x\r\ny\r\n");
    EXPECT_EQ(e.ReplaceAllFrom(1, u"\r\n", u"\n", true).count, 2);
    EXPECT_EQ(Show(e.GetText()), "x\\ny\\n");
    EXPECT_EQ(e.LineCount(), 3);
    EXPECT_EQ(e.ReplaceAllFrom(0, u"zz", u"", true).count, 0);

    // A folding match that ends on the high half of a pair: the next search
    // starts on the low half, which then reads as a lone unit.
    e = Make(
        u"\xDC00"
        u"a\xD801\xDC00"
        u"a\xD801!");
    EXPECT_EQ(e.ReplaceAllFrom(0,
                               u"\xDC00"
                               u"a\xD801",
                               u"-", false)
                  .count,
              2);
    EXPECT_EQ(Show(e.GetText()), "--!");
}

TEST(TextEngineReplaceAll, MatchesTheOneByOneLoopOnRandomTexts)
{
    struct Pattern {
        std::u16string needle, replacement;
        bool matchCase;
    };
    const std::vector<Pattern> patterns = {
        {u"a", u"bb", true},
        {u"a", u"bb", false},
        {u"aa", u"a", true},
        {u"aa", u"aaa", true},  // replacement contains the needle
        {u"Aa", u"bbb", false},
        {u"aba", u"", true},
        {u"ab", u"ba", false},      // as long as the occurrence
        {u"\u00E9a", u"X", false},  // é also matches É
        {u"A\r\n", u"\r\n", false},
        {u"\n", u"\r\n", true},
        {u"b", u"x\r\n", true},                      // a cut never splits a line end
        {u"A", u"\xD801\xDC00\xD801\xDC00", false},  // nor a surrogate pair
        {u"a\xD801", u"\xDC00", false},              // a match may end inside a surrogate pair
        {u"\xDC28", u"x", false},
        {u"\xDC00"
         u"a\xD801",
         u"-", false},
    };
    const std::u16string alphabet = u"aabA\u00E9\u00C9\r\n\xD801\xDC00";
    std::mt19937 rng(99);
    int cutRounds = 0;
    for (int round = 0; round < 1000; ++round) {
        std::u16string text;
        for (int n = static_cast<int>(rng() % 40); n > 0; --n)
            text += alphabet[rng() % alphabet.size()];
        const Pattern& p = patterns[round % patterns.size()];
        const int pos = text.empty() ? 0 : static_cast<int>(rng() % text.size());
        // Every other round without a limit in reach, the others with one
        // somewhere between a little under the text's length and a little
        // over what replacing everything would make of it.
        TextEngine unlimited = Make(text);
        unlimited.SetLimit(0);
        ReplaceOneByOne(unlimited, pos, p.needle, p.replacement, p.matchCase);
        const int lowest = std::max(1, static_cast<int>(text.size()) - 3);
        const int highest = std::max(lowest, unlimited.Length() + 2);
        const int limit = round / static_cast<int>(patterns.size()) % 2
            ? 0
            : lowest + static_cast<int>(rng() % static_cast<unsigned>(highest - lowest + 1));

        TextEngine slow = Make(text);
        slow.SetLimit(limit);
        const TextEngine::ReplaceAllResult expected = ReplaceOneByOne(slow, pos, p.needle, p.replacement, p.matchCase);
        TextEngine fast = Make(text);
        // Leave the gap somewhere in the middle so both halves are read.
        fast.SetSel(static_cast<int>(text.size() / 2), static_cast<int>(text.size() / 2));
        fast.InsertTyped(u'Q');
        fast.Backspace();
        fast.SetModified(false);
        fast.SetLimit(limit);
        const TextEngine::ReplaceAllResult result = fast.ReplaceAllFrom(pos, p.needle, p.replacement, p.matchCase);

        const std::string context = "text=" + Show(text) + " needle=" + Show(p.needle)
            + " replacement=" + Show(p.replacement) + " pos=" + std::to_string(pos) + " limit=" + std::to_string(limit);
        ASSERT_EQ(result.count, expected.count) << context;
        ASSERT_EQ(result.cut, expected.cut) << context;
        ASSERT_EQ(Show(fast.GetText()), Show(slow.GetText())) << context;
        if (result.count > 0) {
            ASSERT_EQ(fast.GetSel(), slow.GetSel()) << context;
            ASSERT_TRUE(fast.IsModified()) << context;
            ASSERT_FALSE(fast.CanUndo()) << context;
        }
        ExpectIndexMatchesText(fast, context);
        cutRounds += result.cut > 0 ? 1 : 0;
    }
    // The limit was reached often enough to mean something.
    EXPECT_GT(cutRounds, 60);
}

// ---- Case folding ----

TEST(CaseFold, KeepsEveryCodePointInItsPlane)
{
    // Positions in folded text are taken to equal positions in the original.
    for (UChar32 c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const char32_t folded = CaseFold::CodePoint(static_cast<char32_t>(c));
        ASSERT_EQ(c < 0x10000, folded < 0x10000) << std::hex << "U+" << c;
    }
    EXPECT_EQ(Show(CaseFold::String(u"A\u00C0\xD801\xDC00\xDC00z")), "a\\u00E0\\uD801\\uDC28\\uDC00z");
}

TEST(CaseFold, CompiledLatin1TableAgreesWithTheUnicodeLibrary)
{
    for (char32_t c = 0; c < 256; ++c)
        ASSERT_EQ(uint32_t(CaseFold::Latin1Table()[c]), uint32_t(UnicodeCase::Fold(c)))
            << std::hex << "U+" << uint32_t(c);
}

TEST(CaseFold, UpperAndLowerMapBeyondAscii)
{
    // The mappings beyond ASCII come from the Unicode library, opened on
    // first use; simple mappings keep lengths ("\u00DF" stays).
    EXPECT_EQ(Show(CString(u"a\u00E9\u00DF\u00FF\u03C9z").MakeUpper().Str()), "A\\u00C9\\u00DF\\u0178\\u03A9Z");
    EXPECT_EQ(Show(CString(u"A\u00C9\u0178\u03A9Z").MakeLower().Str()), "a\\u00E9\\u00FF\\u03C9z");
}

TEST(CaseFold, EveryUnitThatFoldsIsAmongTheUnitsFoldingToItsFold)
{
    // The search tests a text unit against these sets before it folds it:
    // a unit left out would hide a match.
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const char16_t unit = char16_t(c);
        if (Utf16::IsSurrogate(c) || CaseFold::Unit(unit) == unit)
            continue;
        const std::u16string units = CaseFold::UnitsFoldingTo(CaseFold::Unit(unit));
        ASSERT_NE(units.find(unit), std::u16string::npos) << std::hex << "U+" << unsigned(c);
    }
    EXPECT_EQ(Show(CaseFold::UnitsFoldingTo(u'k')), "Kk\\u212A");
}

TEST(CaseFold, CStringComparesWithoutCaseAsTheSearchFinds)
{
    // Pairs the search ignoring case takes for one another: letters above
    // U+FFFF included (Deseret), and the Kelvin sign with "k".
    const std::u16string pairs[][2]
        = {{u"\xD801\xDC00x", u"\xD801\xDC28X"}, {u"\u212A", u"k"}, {u"\u00C9a", u"\u00E9A"}};
    for (const auto& [a, b] : pairs) {
        EXPECT_EQ(CString(a).CompareNoCase(CString(b)), 0) << Show(a) << " vs " << Show(b);
        EXPECT_EQ(Make(a).Find(b, 0, false), 0) << Show(a) << " vs " << Show(b);
    }
    // Simple folding keeps lengths: "\u00DF" is not "ss"; a longer text sorts after.
    EXPECT_NE(CString(u"\u00DF").CompareNoCase(CString(u"ss")), 0);
    EXPECT_LT(CString(u"ab").CompareNoCase(CString(u"ABC")), 0);
    EXPECT_GT(CString(u"abc").CompareNoCase(CString(u"AB")), 0);
}

}  // namespace
