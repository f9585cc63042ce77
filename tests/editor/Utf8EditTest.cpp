// Editing in a UTF-8 session: the caret, Backspace and Delete step over the
// characters a person sees, and columns count the cells the terminal gives
// each character, in the text and in the fields.
#include <unicode/ubrk.h>

#include <random>
#include <set>

#include "framework/app/TextEncoding.h"
#include "tests/support/EditorTest.h"

namespace {

const std::u16string kFamily = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";

// Where the grapheme rules cut the whole text at once, with a cut on either
// side of every kept byte.
std::set<int> CharacterEdges(const std::u16string& text)
{
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* iterator
        = ubrk_open(UBRK_CHARACTER, "", reinterpret_cast<const UChar*>(text.data()), int32_t(text.size()), &status);
    EXPECT_TRUE(U_SUCCESS(status));
    std::set<int> edges;
    for (int32_t at = ubrk_first(iterator); at != UBRK_DONE; at = ubrk_next(iterator))
        edges.insert(at);
    ubrk_close(iterator);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xDC80 && text[i] <= 0xDCFF && !(i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF)) {
            edges.insert(int(i));
            edges.insert(int(i) + 1);
        }
    }
    return edges;
}

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

    // Right from the start and Left from the end stop at every edge the
    // grapheme rules find over the whole text, and nowhere else.
    void ExpectStepsAgreeWithTheRules(const std::u16string& text)
    {
        const std::set<int> edges = CharacterEdges(text);
        Load(text);
        Key(VK_HOME, true);
        std::set<int> right{0}, left{int(text.size())};
        for (size_t n = 1; n < edges.size(); ++n) {
            Key(VK_RIGHT);
            right.insert(Sel().second);
        }
        for (size_t n = 1; n < edges.size(); ++n) {
            Key(VK_LEFT);
            left.insert(Sel().first);
        }
        EXPECT_EQ(right, edges);
        EXPECT_EQ(left, edges);
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

TEST_F(Utf8EditTest, StepsAgreeWithTheRulesReadOverTheWholeText)
{
    // Pieces that join, in random order, with long runs of flags' halves
    // and of marks that reach past what one step reads.
    const std::u16string pieces[] = {
        u"a",
        u" ",
        u"\r\n",
        u"\n",
        u"\u0301",
        u"\u4E2D",
        u"\U0001F44D",
        u"\u200D",
        u"\U0001F3FD",
        u"\U0001F1EB",
        u"\xDCE9",
        u"\xDCC3",
        u"\uFE0F",
        u"\u1100\u1161\u11A8",
        u"\u0915\u094D\u0937",
        u"\u0600",
        u"\U0001F468",
        u"\u0E33",
    };
    std::mt19937 random(29);
    std::u16string text;
    for (int n = 0; n < 600; ++n)
        text += pieces[random() % std::size(pieces)];
    for (int n = 0; n < 301; ++n)
        text += u"\U0001F1E9";
    text += u"x" + std::u16string(100, u'\u0301') + u"\u4E2D";
    ASSERT_TRUE(Start());
    ExpectStepsAgreeWithTheRules(text);
    // Latin beyond ASCII, which steps without asking ICU, beside the marks
    // and line ends that do.
    ExpectStepsAgreeWithTheRules(u"\u00E9\u00ADa\u01C4\r\r\n\u00E9\u0301\u00FF\n\u02FF\u0300\u00E9");
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

// What is typed into an 8-bit session may be wide too: the screen gives it
// its two cells in any session, so the caret counts them as well.
TEST_F(EditorTest, AWideCharacterTypedInAn8BitSessionTakesTwoCellsForTheCaretToo)
{
    ASSERT_TRUE(Start());
    Type(u"\u4E2Dx");
    const CRect client = GetClientCells(View()->m_hWnd);
    EXPECT_EQ(host.Screen().m_caret.x - client.left, 3);
    EXPECT_NE(host.Screen().RowText(client.top).find("\xE4\xB8\xADx"), std::string::npos);
}
