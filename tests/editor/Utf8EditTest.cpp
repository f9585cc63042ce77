// Editing in a UTF-8 session: the caret, Backspace and Delete step over the
// characters a person sees, and columns count the cells the terminal gives
// each character, in the text and in the fields.
#include "framework/app/TextEncoding.h"
#include "tests/support/EditorTest.h"

namespace {

const std::u16string kFamily = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";

class Utf8EditTest : public EditorTest {
protected:
    Utf8EditTest() { SetSessionTextEncoding(TextEncoding::Utf8); }
    ~Utf8EditTest() override { SetSessionTextEncoding(TextEncoding::EightBit); }

    // The caret's cell in the text's window.
    int CaretColumn()
    {
        const Canvas& screen = host.Screen();
        EXPECT_TRUE(screen.m_caretVisible);
        return screen.m_caret.x - GetClientCells(View()->m_hWnd).left;
    }
};

TEST_F(Utf8EditTest, ArrowsBackspaceAndDeleteTakeWholeCharacters)
{
    struct Case {
        const char* what;
        std::u16string character;  // between "a" and "b"
        int step;                  // its first character's units
    } cases[] = {
        {"e with a combining acute", u"e\u0301", 2},
        {"a CJK character", u"\u4E2D", 1},
        {"an emoji with a skin tone", u"\U0001F44D\U0001F3FD", 4},
        {"a family joined by ZWJ", kFamily, 8},
        {"two flags", u"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA", 4},
        {"a kept byte, which joins no mark", u"\xDCE9\u0301", 1},
        {"two kept bytes", u"\xDCC3\xDCA9", 1},
    };
    ASSERT_TRUE(Start());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::u16string text = u"a" + c.character + u"b";
        const std::u16string rest = c.character.substr(size_t(c.step));
        Load(text);
        Key(VK_RIGHT);
        Key(VK_RIGHT);
        EXPECT_EQ(Sel(), std::make_pair(1 + c.step, 1 + c.step));
        Type(u"\b");
        EXPECT_EQ(Show(Text16()), Show(u"a" + rest + u"b"));
        EXPECT_EQ(Sel(), std::make_pair(1, 1));
        Ctrl('Z');
        EXPECT_EQ(Show(Text16()), Show(text));
        Key(VK_HOME);
        Key(VK_RIGHT);
        Key(VK_RIGHT, false, true);
        EXPECT_EQ(Sel(), std::make_pair(1, 1 + c.step));
        Key(VK_LEFT);
        Key(VK_DELETE);
        EXPECT_EQ(Show(Text16()), Show(u"a" + rest + u"b"));
    }
}

TEST_F(Utf8EditTest, WordStepsNeverStopInsideACharacter)
{
    ASSERT_TRUE(Start());
    // A blank with a mark on it is one character: a word step stops at
    // either edge of it, never between the blank and its mark.
    Load(u"ab \u0301cd e\u0301f");
    Key(VK_RIGHT, true);
    EXPECT_EQ(Sel(), std::make_pair(4, 4));
    Key(VK_END);
    Key(VK_LEFT, true);
    EXPECT_EQ(Sel(), std::make_pair(7, 7));
    Key(VK_LEFT, true);
    EXPECT_EQ(Sel(), std::make_pair(2, 2));
}

TEST_F(Utf8EditTest, TheCaretSitsAfterTheCellsOfWhatComesBeforeIt)
{
    struct Case {
        std::u16string line;
        int column;  // of the caret at its end
    } cases[] = {
        {u"\u4E2D\u6587x", 5},        {u"e\u0301x", 2}, {u"\u4E2D\tx", 9},
        {u"\U0001F44D\U0001F3FD", 4}, {kFamily, 6},     {u"\U0001F1EB\U0001F1F7", 2},
        {u"\xDCE9\u0301", 1},
    };
    ASSERT_TRUE(Start());
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.line));
        Load(c.line);
        Key(VK_END);
        EXPECT_EQ(CaretColumn(), c.column);
    }
    // A line of wide characters wider than the window scrolls by cells: the
    // caret stays on the screen, at the cell of the line's end.
    Load(std::u16string(60, u'\u4E2D'));
    Key(VK_END);
    EXPECT_LT(CaretColumn(), GetClientCells(View()->m_hWnd).Width());
    EXPECT_EQ(CaretColumn(), 120 - View()->GetScrollPos(SB_HORZ));
}

TEST_F(Utf8EditTest, AClickLandsOnTheNearerEdgeOfACharacter)
{
    struct Case {
        int col;
        int caret;
    } cases[] = {
        {1, 1},  // the first cell of the wide character: before it
        {2, 2},  // its second cell: after it
        {3, 2},  // the mark's base, "e": before the pair
        {4, 4},  // after the pair
    };
    ASSERT_TRUE(Start());
    Load(u"a\u4E2De\u0301b");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.col);
        TapText(0, c.col);
        EXPECT_EQ(Sel(), std::make_pair(c.caret, c.caret));
    }
    // Up and Down keep the cell, not the unit.
    Load(u"\u4E2D\u4E2Dx\r\nabcdef");
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(Sel(), std::make_pair(9, 9));
}

TEST_F(Utf8EditTest, FieldsStepByCharacters)
{
    ASSERT_TRUE(Start());
    Command(ID_TOOLS_FIND_REPLACE);
    Fill(IDC_FIND_TEXT, u"a" + kFamily + u"b");
    Key(VK_END);
    Key(VK_LEFT);
    Type(u"\b");
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "ab");
}

}  // namespace
