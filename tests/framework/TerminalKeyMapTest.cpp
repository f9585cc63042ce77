// The key map: terminal input into input events.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "framework/base/WinUser.h"
#include "framework/host/TerminalKeyMap.h"

// For the key codes curses reports; last because of its macros.
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace {

using Kind = InputEvent::Kind;

std::vector<InputEvent> Feed(TerminalKeyMap& map, std::u32string_view chars, bool flush = true)
{
    std::vector<InputEvent> out;
    for (char32_t c : chars)
        map.Feed(TerminalKeyMap::Char(c), out);
    if (flush)
        map.Flush(out);
    return out;
}

std::vector<InputEvent> Feed(std::u32string_view chars)
{
    TerminalKeyMap map;
    return Feed(map, chars);
}

InputEvent FeedKey(int code)
{
    TerminalKeyMap map;
    std::vector<InputEvent> out;
    map.Feed(TerminalKeyMap::Key(code), out);
    InputEvent none;
    none.kind = Kind::Quit;
    return out.size() == 1 ? out[0] : none;
}

// vk, ch, ctrl, shift, alt
using KeyTuple = std::tuple<UINT, char16_t, bool, bool, bool>;
KeyTuple Tuple(const InputEvent& e) { return {e.vk, e.ch, e.ctrl, e.shift, e.alt}; }
KeyTuple Key(UINT vk, char16_t ch = 0, bool ctrl = false, bool shift = false, bool alt = false)
{
    return {vk, ch, ctrl, shift, alt};
}

std::vector<KeyTuple> Tuples(const std::vector<InputEvent>& events)
{
    std::vector<KeyTuple> out;
    for (const InputEvent& e : events) {
        EXPECT_EQ(e.kind, Kind::Key);
        out.push_back(Tuple(e));
    }
    return out;
}

TEST(TerminalKeyMapTest, CharactersBecomeKeysWithTheirCharacter)
{
    EXPECT_EQ(Tuples(Feed(U"aZ5 ")),
              (std::vector{Key('A', u'a'), Key('Z', u'Z', false, true), Key('5', u'5'), Key(VK_SPACE, u' ')}));
    // Latin-1 and beyond arrive as characters without a key.
    EXPECT_EQ(Tuples(Feed(U"\u00E9\u20AC")), (std::vector{Key(0, u'\u00E9'), Key(0, u'\u20AC')}));
    // Beyond 16 bits: the surrogate pair, high half first.
    EXPECT_EQ(Tuples(Feed(U"\U0001F600")), (std::vector{Key(0, 0xD83D), Key(0, 0xDE00)}));
    // Nothing a key yields: C1 controls, lone surrogates, out of range.
    EXPECT_TRUE(Feed(U"\u0085").empty());
    TerminalKeyMap map;
    std::vector<InputEvent> out;
    map.Feed(TerminalKeyMap::Char(0xD800), out);
    map.Feed(TerminalKeyMap::Char(0x110000), out);
    map.Feed(TerminalKeyMap::Input{TerminalKeyMap::Input::Kind::Char, -1}, out);
    EXPECT_TRUE(out.empty());
}

std::vector<InputEvent> FeedBytes(TerminalKeyMap& map, std::string_view bytes, bool flush = true)
{
    std::vector<InputEvent> out;
    for (char b : bytes)
        map.Feed(TerminalKeyMap::Byte(static_cast<unsigned char>(b)), out);
    if (flush)
        map.Flush(out);
    return out;
}

TEST(TerminalKeyMapTest, Utf8BytesAreDecoded)
{
    TerminalKeyMap map;
    EXPECT_EQ(Tuples(FeedBytes(map, "h\xC3\xA9\xE2\x82\xAC")),
              (std::vector{Key('H', u'h'), Key(0, u'\u00E9'), Key(0, u'\u20AC')}));
    EXPECT_EQ(Tuples(FeedBytes(map, "\xF0\x9F\x98\x80")), (std::vector{Key(0, 0xD83D), Key(0, 0xDE00)}));
    // Alt with a non-ASCII character.
    EXPECT_EQ(Tuples(FeedBytes(map, "\x1B\xC3\xA9")), (std::vector{Key(0, u'\u00E9', false, false, true)}));
    // Malformed bytes are dropped without taking the keys after them: stray
    // continuations, impossible bytes, overlong forms, encoded surrogates,
    // and a sequence cut short by another character.
    EXPECT_EQ(Tuples(FeedBytes(map,
                               "\xBD"
                               "a\xFF"
                               "b\xC0\xAF"
                               "c\xE0\x80\xAF"
                               "d\xED\xA0\x80"
                               "e\xC3"
                               "f\xE2\x82\x11")),
              (std::vector{Key('A', u'a'), Key('B', u'b'), Key('C', u'c'), Key('D', u'd'), Key('E', u'e'),
                           Key('F', u'f'), Key('Q', 0x11, true)}));
    // A sequence waiting for its last byte keeps the map pending; flushing
    // drops it.
    EXPECT_TRUE(FeedBytes(map, "\xE2\x82", false).empty());
    EXPECT_TRUE(map.Pending());
    EXPECT_TRUE(FeedBytes(map, "").empty());
    EXPECT_FALSE(map.Pending());
    EXPECT_EQ(Tuples(FeedBytes(map, "\xAC")), (std::vector<KeyTuple>{}));
}

TEST(TerminalKeyMapTest, ControlCodesAreCtrlLettersOrEditingKeys)
{
    EXPECT_EQ(Tuples(Feed(U"\x01\x13\x11\x1A\x03")),
              (std::vector{Key('A', 0x01, true), Key('S', 0x13, true), Key('Q', 0x11, true), Key('Z', 0x1A, true),
                           Key('C', 0x03, true)}));
    EXPECT_EQ(Tuples(Feed(U"\x08\x7F")), (std::vector{Key(VK_BACK, 8), Key(VK_BACK, 8)}));
    EXPECT_EQ(Tuples(Feed(U"\r\n\t")), (std::vector{Key(VK_RETURN, 0x0D), Key(VK_RETURN, 0x0D), Key(VK_TAB, 9)}));
    EXPECT_EQ(Tuples(Feed(std::u32string(1, U'\0'))), (std::vector{Key(VK_SPACE, 0, true)}));
}

TEST(TerminalKeyMapTest, CursesKeyCodes)
{
    EXPECT_EQ(Tuple(FeedKey(KEY_UP)), Key(VK_UP));
    EXPECT_EQ(Tuple(FeedKey(KEY_NPAGE)), Key(VK_NEXT));
    EXPECT_EQ(Tuple(FeedKey(KEY_DC)), Key(VK_DELETE));
    EXPECT_EQ(Tuple(FeedKey(KEY_BACKSPACE)), Key(VK_BACK, 8));
    EXPECT_EQ(Tuple(FeedKey(KEY_ENTER)), Key(VK_RETURN, 0x0D));
    EXPECT_EQ(Tuple(FeedKey(KEY_BTAB)), Key(VK_TAB, 9, false, true));
    EXPECT_EQ(Tuple(FeedKey(KEY_F(1))), Key(VK_F1));
    EXPECT_EQ(Tuple(FeedKey(KEY_F(10))), Key(VK_F10));
    EXPECT_EQ(Tuple(FeedKey(KEY_F(13))), Key(VK_F1, 0, false, true));
    EXPECT_EQ(Tuple(FeedKey(KEY_F(28))), Key(VK_F4, 0, true));
    EXPECT_EQ(Tuple(FeedKey(KEY_SLEFT)), Key(VK_LEFT, 0, false, true));
    EXPECT_EQ(Tuple(FeedKey(KEY_SR)), Key(VK_UP, 0, false, true));
    EXPECT_EQ(Tuple(FeedKey(KEY_SF)), Key(VK_DOWN, 0, false, true));
    EXPECT_EQ(Tuple(FeedKey(KEY_SEND)), Key(VK_END, 0, false, true));
    // Keys without a meaning here produce nothing.
    EXPECT_EQ(FeedKey(KEY_B2).kind, Kind::Quit);
}

TEST(TerminalKeyMapTest, ExtendedKeyNames)
{
    TerminalKeyMap map;
    EXPECT_TRUE(map.DefineNamedKey(600, "kLFT5"));
    EXPECT_TRUE(map.DefineNamedKey(601, "kUP"));
    EXPECT_TRUE(map.DefineNamedKey(602, "kRIT6"));
    EXPECT_TRUE(map.DefineNamedKey(603, "kDN3"));
    EXPECT_FALSE(map.DefineNamedKey(604, "kUP9"));
    EXPECT_FALSE(map.DefineNamedKey(605, "kXYZ5"));
    std::vector<InputEvent> out;
    for (int code = 600; code <= 605; ++code)
        map.Feed(TerminalKeyMap::Key(code), out);
    EXPECT_EQ(Tuples(out),
              (std::vector{Key(VK_LEFT, 0, true), Key(VK_UP, 0, false, true), Key(VK_RIGHT, 0, true, true),
                           Key(VK_DOWN, 0, false, false, true)}));
    auto names = TerminalKeyMap::KnownKeyNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).count("kRIT5"), 1u);
    for (const std::string& name : names)
        EXPECT_TRUE(TerminalKeyMap().DefineNamedKey(1000, name)) << name;
}

TEST(TerminalKeyMapTest, EscapeAloneOrAsAlt)
{
    TerminalKeyMap map;
    EXPECT_TRUE(Feed(map, U"\x1B", false).empty());
    EXPECT_TRUE(map.Pending());
    std::vector<InputEvent> out;
    map.Flush(out);
    EXPECT_EQ(Tuples(out), (std::vector{Key(VK_ESCAPE, 0x1B)}));
    EXPECT_FALSE(map.Pending());

    EXPECT_EQ(Tuples(Feed(U"\x1B"
                          "f\x1B"
                          "E")),
              (std::vector{Key('F', u'f', false, false, true), Key('E', u'E', false, true, true)}));
    EXPECT_EQ(Tuples(Feed(U"\x1B\x1B")), (std::vector{Key(VK_ESCAPE, 0x1B), Key(VK_ESCAPE, 0x1B)}));
    EXPECT_EQ(Tuples(Feed(U"\x1B[")), (std::vector{Key(0, u'[', false, false, true)}));
    // Esc before a key code is Alt with that key.
    out.clear();
    map.Feed(TerminalKeyMap::Char(0x1B), out);
    map.Feed(TerminalKeyMap::Key(KEY_UP), out);
    EXPECT_EQ(Tuples(out), (std::vector{Key(VK_UP, 0, false, false, true)}));
}

TEST(TerminalKeyMapTest, SequencesTheTerminalDescriptionNames)
{
    // rxvt's Ctrl+Left and Shift+Up, a description's own Home; Esc before a
    // sequence is Alt; the Linux console's function keys need no description.
    TerminalKeyMap map;
    map.DefineNamedKey(1000, "kLFT5");
    map.DefineSequence("\x1BOd", 1000);
    map.DefineSequence("\x1B[a", KEY_SR);
    map.DefineSequence("\x1B[7~", KEY_END);
    EXPECT_EQ(
        Tuples(Feed(map, U"\x1BOd\x1B[a\x1B[7~\x1B\x1B[A\x1B\x1BOd\x1B[[A\x1B[[E")),
        (std::vector{Key(VK_LEFT, 0, true), Key(VK_UP, 0, false, true), Key(VK_END), Key(VK_UP, 0, false, false, true),
                     Key(VK_LEFT, 0, true, false, true), Key(VK_F1), Key(VK_F1 + 4)}));
    // Esc Esc and a key that is no sequence: Esc, then Alt with the key.
    EXPECT_EQ(Tuples(Feed(map, U"\x1B\x1Bx")), (std::vector{Key(VK_ESCAPE, 0x1B), Key('X', u'x', false, false, true)}));
    EXPECT_EQ(Tuples(Feed(map, U"\x1B\x1B[")), (std::vector{Key(VK_ESCAPE, 0x1B), Key(0, u'[', false, false, true)}));
}

TEST(TerminalKeyMapTest, ModifiedKeySequencesCursesDoesNotKnow)
{
    EXPECT_EQ(Tuples(Feed(U"\x1B[1;5D\x1B[1;5C\x1B[1;2A\x1B[1;6F")),
              (std::vector{Key(VK_LEFT, 0, true), Key(VK_RIGHT, 0, true), Key(VK_UP, 0, false, true),
                           Key(VK_END, 0, true, true)}));
    EXPECT_EQ(Tuples(Feed(U"\x1B[3~\x1B[5;5~\x1B[Z\x1BOP\x1B[15~\x1B[24~\x1B[1;3H")),
              (std::vector{Key(VK_DELETE), Key(VK_PRIOR, 0, true), Key(VK_TAB, 9, false, true), Key(VK_F1),
                           Key(VK_F1 + 4), Key(VK_F1 + 11), Key(VK_HOME, 0, false, false, true)}));
    // Replies, focus reports and unknown sequences are swallowed whole.
    EXPECT_EQ(Tuples(Feed(U"\x1B[?1;2c\x1B[I\x1B[1;5Xa")), (std::vector{Key('A', u'a')}));
    // An overlong sequence is dropped and what follows is typed.
    std::u32string junk = U"\x1B[" + std::u32string(100, U'1') + U"b";
    auto keys = Tuples(Feed(junk));
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.front(), Key('1', u'1'));
    EXPECT_EQ(keys.back(), Key('B', u'b'));
    // A sequence broken off by a plain control character gives up.
    EXPECT_EQ(Tuples(Feed(U"\x1B[1\r")), (std::vector{Key(VK_RETURN, 0x0D)}));
}

// The text of the Paste events, each piece's start marked with "|", or "!"
// for the first piece of a paste.
std::u16string Pieces(const std::vector<InputEvent>& events)
{
    std::u16string text;
    for (const InputEvent& e : events) {
        EXPECT_EQ(e.kind, Kind::Paste);
        text += (e.first ? u"!" : u"|") + e.text;
    }
    return text;
}

TEST(TerminalKeyMapTest, BracketedPasteIsPlainText)
{
    // Line ends are Enter's "\r" (a CR LF pair once), tabs stay, other
    // control codes and keys are dropped; the text comes out whole at the
    // end marker.
    TerminalKeyMap map;
    auto out = Feed(map, U"\x1B[200~a\r\nb\x11\tc\n\x1B[A\U0001F600\x1B[201~", false);
    EXPECT_EQ(Pieces(out), u"!a\rb\tc\r\U0001F600");
    EXPECT_FALSE(map.InPaste());
    EXPECT_EQ(Tuples(Feed(map, U"\x11")), (std::vector{Key('Q', 0x11, true)}));

    // What was read at once comes out at once; a paste whose end marker
    // never comes can be left, with its text so far.
    out = Feed(map, U"\x1B[200~xy", false);
    map.EndOfInput(out);
    map.EndOfInput(out);
    Feed(map, U"z", false);
    EXPECT_TRUE(map.InPaste());
    map.EndPaste(out);
    EXPECT_EQ(Pieces(out), u"!xy|z");
    EXPECT_EQ(Tuples(Feed(map, U"\x13")), (std::vector{Key('S', 0x13, true)}));
}

TEST(TerminalKeyMapTest, APauseInsideAPasteCutsNothing)
{
    // The terminal pauses (Flush) inside a character and inside the end
    // marker: the paste goes on and its text comes out whole.
    TerminalKeyMap map;
    std::vector<InputEvent> out = FeedBytes(map, "\x1B[200~a\xC3");
    for (std::string_view part : {"\xA9", "\x1B", "[20", "1~"}) {
        auto more = FeedBytes(map, part);
        out.insert(out.end(), more.begin(), more.end());
    }
    EXPECT_EQ(Pieces(out), u"!a|\u00E9");
    EXPECT_FALSE(map.InPaste());
    EXPECT_FALSE(map.Pending());
    // A paste given up half way through its end marker leaves nothing open.
    out = FeedBytes(map, "\x1B[200~b\x1B[2", false);
    map.EndPaste(out);
    EXPECT_FALSE(map.Pending());
    EXPECT_EQ(Tuples(FeedBytes(map, "\x11")), (std::vector{Key('Q', 0x11, true)}));
}

TEST(TerminalKeyMapTest, AStartMarkerInsideAPasteKeepsAllItsText)
{
    // Pasted escape codes (a log) are no text, a second start marker among
    // them: the paste goes on, one paste, with what came before it; pauses
    // fall anywhere.
    struct Case {
        std::vector<std::string_view> reads;  // the terminal pauses after each
        std::u16string pieces;
    } cases[] = {
        {{"\x1B[200~AAAA\x1B[200~BBBB\x1B[201~"}, u"!AAAABBBB"},
        {{"\x1B[200~AAAA", "\x1B[200~BBBB\x1B[201~"}, u"!AAAA|BBBB"},
        {{"\x1B[200~A\x1B[2", "00~B\x1B[200~\x1B[200~C\x1B[201~"}, u"!A|BC"},
        {{"\x1B[200~\x1B[200~\x1B[31mD\r\x1B[200~\n\x1B[201~"}, u"!D\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.reads));
        TerminalKeyMap map;
        std::vector<InputEvent> out;
        for (std::string_view read : c.reads) {
            auto more = FeedBytes(map, read);
            out.insert(out.end(), more.begin(), more.end());
        }
        EXPECT_EQ(Pieces(out), c.pieces);
        EXPECT_FALSE(map.InPaste());
    }
}

TEST(TerminalKeyMapTest, AMegabyteOfInputAndGarbageAreHandled)
{
    TerminalKeyMap map;
    std::vector<InputEvent> out;
    out.reserve(1 << 20);
    for (int i = 0; i < (1 << 20); ++i)
        map.Feed(TerminalKeyMap::Char(U'x'), out);
    EXPECT_EQ(out.size(), size_t(1) << 20);

    // Random characters, escapes and key codes: whatever comes out is a
    // well-formed key (or mouse report), and the map ends up ready for
    // plain typing.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, 11);
    std::uniform_int_distribution<int> byte(0, 0x7F);
    out.clear();
    for (int i = 0; i < 200000; ++i) {
        int p = pick(random);
        if (p == 0)
            map.Feed(TerminalKeyMap::Char(0x1B), out);
        else if (p == 1)
            map.Feed(TerminalKeyMap::Key(byte(random) * 8), out);
        else if (p == 2)
            map.Feed(TerminalKeyMap::Char(char32_t(random())), out);
        else if (p == 3)
            map.Feed(TerminalKeyMap::Byte(static_cast<unsigned char>(random())), out);
        else
            map.Feed(TerminalKeyMap::Char(char32_t(byte(random))), out);
        if (i % 1000 == 0)
            map.Flush(out);
    }
    for (const InputEvent& e : out) {
        if (e.kind == Kind::Key)
            ASSERT_TRUE(e.vk != 0 || e.ch != 0);
        else
            ASSERT_TRUE(e.kind == Kind::Paste ? !e.text.empty()
                                              : e.kind != Kind::Resize && e.kind != Kind::Quit && e.x >= 0 && e.y >= 0);
    }
    map.Flush(out);
    map.EndPaste(out);
    EXPECT_EQ(Tuples(Feed(map, U"k")), (std::vector{Key('K', u'k')}));
}

using MouseTuple = std::tuple<Kind, int, int, int>;  // kind, x, y, notches

std::vector<MouseTuple> Mice(const std::vector<InputEvent>& events)
{
    std::vector<MouseTuple> out;
    for (const InputEvent& e : events)
        out.emplace_back(e.kind, e.x, e.y, e.notches);
    return out;
}

// An X10 report: Esc [ M and the button, column and row, each + 32 (the
// cell from 1).
std::string X10(int button, int x, int y)
{
    return std::string("\x1B[M") + char(button + 32) + char(x + 33) + char(y + 33);
}

TEST(TerminalKeyMapTest, MouseReportsInBothEncodings)
{
    using M = std::vector<MouseTuple>;
    const M expected{{Kind::MouseDown, 3, 4, 0},
                     {Kind::MouseMove, 5, 4, 0},
                     {Kind::MouseUp, 7, 5, 0},
                     {Kind::MouseDown, 200, 0, 0},
                     {Kind::MouseUp, 200, 0, 0}};
    // Press, drag and release of the left button; the middle and right
    // buttons, and moves without a button, make nothing.
    TerminalKeyMap sgr;
    EXPECT_EQ(Mice(FeedBytes(sgr,
                             "\x1B[<35;2;2M\x1B[<2;9;9M\x1B[<2;9;9m"
                             "\x1B[<0;4;5M\x1B[<32;6;5M\x1B[<0;8;6m\x1B[<32;9;9M"
                             "\x1B[<0;201;1M\x1B[<0;201;1m")),
              expected);
    // X10 reports have no button in a release, and coordinates that are
    // bytes above 127 (not UTF-8).
    TerminalKeyMap x10;
    EXPECT_EQ(Mice(FeedBytes(x10,
                             X10(35, 1, 1) + X10(2, 8, 8) + X10(3, 8, 8) + X10(0, 3, 4) + X10(32, 5, 4) + X10(3, 7, 5)
                                 + X10(32, 8, 8) + X10(0, 200, 0) + X10(3, 200, 0))),
              expected);
    // A report cut short by a pause is dropped, and typing goes on.
    EXPECT_TRUE(FeedBytes(x10, "\x1B[M !").empty());
    EXPECT_TRUE(FeedBytes(x10, "\x1B[<0;4").empty());
    EXPECT_FALSE(x10.Pending());
    EXPECT_EQ(Tuples(FeedBytes(x10, "a")), (std::vector{Key('A', u'a')}));
}

TEST(TerminalKeyMapTest, WheelInBothEncodings)
{
    using M = std::vector<MouseTuple>;
    const M expected{{Kind::Wheel, 9, 2, 1}, {Kind::Wheel, 0, 23, -1}};
    TerminalKeyMap map;
    // Sideways turns (66, 67) make nothing.
    EXPECT_EQ(Mice(FeedBytes(map, "\x1B[<64;10;3M\x1B[<66;1;1M\x1B[<65;1;24M")), expected);
    EXPECT_EQ(Mice(FeedBytes(map, X10(96 - 32, 9, 2) + X10(98 - 32, 0, 0) + X10(97 - 32, 0, 23))), expected);
    // With Shift or Ctrl held (4, 16) the wheel is still the wheel.
    EXPECT_EQ(Mice(FeedBytes(map, "\x1B[<84;10;3M")), (M{{Kind::Wheel, 9, 2, 1}}));
}

}  // namespace
