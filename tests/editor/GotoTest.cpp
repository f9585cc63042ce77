// Go to line through the tool pane's go-to form: where the caret lands, what
// the text scrolls to, what the indicator says, and the three refusals.
#include "tests/support/EditorTest.h"

namespace {

constexpr UINT kBoxType = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND;
const char16_t* kNotAnInteger = u"Please enter an integer.";
const char16_t* kTooSmall = u"Line number is less than zero.";
const char16_t* kTooBig = u"Line number is too big.";

class GotoTest : public EditorTest {
protected:
    // "row 1" to "row n", each on its own line.
    void Rows(int n)
    {
        std::u16string text;
        for (int i = 1; i <= n; ++i) {
            std::string row = "row " + std::to_string(i) + (i < n ? "\r\n" : "");
            text += std::u16string(row.begin(), row.end());
        }
        Load(text);
    }
    // Presses Go to; a message box it shows is answered with OK.
    std::u16string PressGoto()
    {
        size_t before = host.MessageBoxes().size();
        host.OnModal([this] { host.ClickButton(u"OK"); });
        Tap(IDC_GOTO);
        if (host.MessageBoxes().size() == before)
            return u"";
        EXPECT_EQ(host.MessageBoxes().size(), before + 1);
        const auto& box = host.MessageBoxes().back();
        EXPECT_EQ(box.caption, AfxGetApp()->m_pszAppName.Str());
        EXPECT_EQ(box.type, kBoxType);
        return box.text;
    }
    std::pair<int, int> LineFieldSel()
    {
        DWORD s = 0, e = 0;
        Tool()
            ->GetDlgItem(IDC_LINE_NUMBER)
            ->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return {int(s), int(e)};
    }
    bool LineFieldHasFocus() { return CWnd::GetFocus() == Tool()->GetDlgItem(IDC_LINE_NUMBER); }
    int FirstVisibleLine() { return View()->GetEditCtrl().GetFirstVisibleLine(); }
    // The screen row of the text's first visible line.
    int TextTop() { return GetClientCells(View()->m_hWnd).top; }
};

TEST_F(GotoTest, PutsTheCaretAtTheLinesStartAndClosesTheForm)
{
    ASSERT_TRUE(Start());
    Load(u"one\r\ntwo\r\nthree");
    Command(ID_TOOLS_GOTO);
    EXPECT_TRUE(LineFieldHasFocus());
    Type(u"3");
    EXPECT_EQ(PressGoto(), u"");
    EXPECT_EQ(Sel(), std::make_pair(10, 10));
    EXPECT_EQ(Indicator(), "Line 3");
    EXPECT_TRUE(Visible(IDC_LINE_INDICATOR));
    EXPECT_FALSE(Visible(IDC_LINE_NUMBER));
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_TRUE(host.Beeps().empty());

    // Line 1 from there, and the line the caret is in.
    Command(ID_TOOLS_GOTO);
    Type(u"1");
    PressGoto();
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
    EXPECT_EQ(Indicator(), "Line 1");
    View()->GetEditCtrl().SetSel(7, 7);
    Command(ID_TOOLS_GOTO);
    Type(u"2");
    PressGoto();
    EXPECT_EQ(Sel(), std::make_pair(5, 5));
    EXPECT_EQ(Indicator(), "Line 2");
}

TEST_F(GotoTest, APasteIntoTheLineFieldIsTypedKeyByKey)
{
    // A paste from the terminal gives the field what typing its text gives.
    ASSERT_TRUE(Start());
    Load(u"one\r\ntwo\r\nthree");
    Command(ID_TOOLS_GOTO);
    Type(u"1\r\t2");
    const std::string typed = FieldText(IDC_LINE_NUMBER);
    const bool focused = LineFieldHasFocus();
    Command(ID_TOOLS_GOTO);
    Fill(IDC_LINE_NUMBER, u"");
    host.TerminalPaste(u"1\r\t2");
    host.Run();
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), typed);
    EXPECT_EQ(LineFieldHasFocus(), focused);
}

TEST_F(GotoTest, RefusalsComeInOrderAndLeaveEverythingAsItWas)
{
    ASSERT_TRUE(Start());
    Load(u"one\r\ntwo\r\nthree");
    struct Case {
        std::u16string entry;
        bool paste;  // typed otherwise
        const char16_t* message;
    } cases[] = {
        {u"", false, kNotAnInteger},      {u"4", false, kTooBig},
        {u"0", false, kTooSmall},         {u"00", false, kTooSmall},
        {u"99999999999", false, kTooBig},                                      // beyond 32 bits: the largest int
        {u"-5", true, kTooSmall},         {u"-99999999999", true, kTooSmall},  // beyond 32 bits: the smallest int
        {u"2147483648", false, kTooBig},  {u"12a", true, kNotAnInteger},
        {u"1 2", true, kNotAnInteger},    {u"+0", true, kNotAnInteger},
        {u"-", true, kNotAnInteger},      {u"   ", true, kNotAnInteger},
        {u"0x2", true, kNotAnInteger},
    };
    View()->GetEditCtrl().SetSel(5, 7);
    for (const Case& c : cases) {
        SCOPED_TRACE("entry \"" + CString(c.entry).ToUtf8() + "\"");
        Command(ID_TOOLS_GOTO);
        if (c.paste)
            Paste(c.entry);  // the only way to get anything but digits into the line field
        else
            Type(c.entry);
        ASSERT_EQ(FieldText(IDC_LINE_NUMBER), CString(c.entry).ToUtf8());
        EXPECT_EQ(U8(PressGoto()), U8(c.message));
        // Still in go-to mode, the text untouched.
        EXPECT_EQ(ToolRowHeight(), 32);
        EXPECT_TRUE(Visible(IDC_LINE_NUMBER));
        EXPECT_FALSE(Visible(IDC_LINE_INDICATOR));
        EXPECT_EQ(Sel(), std::make_pair(5, 7));
        EXPECT_EQ(FirstVisibleLine(), 0);
        EXPECT_EQ(FieldText(IDC_LINE_NUMBER), CString(c.entry).ToUtf8());
        if (c.message == kNotAnInteger) {
            // The focus is back in the field with its text selected.
            EXPECT_TRUE(LineFieldHasFocus());
            EXPECT_EQ(LineFieldSel(), std::make_pair(0, int(c.entry.size())));
        }
    }
    EXPECT_TRUE(host.Beeps().empty());

    // After a refusal a corrected entry goes through: typing replaces the
    // selected text.
    Command(ID_TOOLS_GOTO);
    Paste(u"2b");
    EXPECT_EQ(U8(PressGoto()), U8(kNotAnInteger));
    Type(u"2");
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "2");
    EXPECT_EQ(PressGoto(), u"");
    EXPECT_EQ(Sel(), std::make_pair(5, 5));
    EXPECT_EQ(Indicator(), "Line 2");
}

TEST_F(GotoTest, BlanksAroundTheNumberAndASignAreAccepted)
{
    ASSERT_TRUE(Start());
    Load(u"a\r\nb\r\nc\r\nd");
    struct Case {
        std::u16string entry;
        int line;
    } cases[] = {
        {u" 2 ", 2},
        {u"\t3\t", 3},
        {u"  +4", 4},
        {u"0002", 2},
        // Only the first 31 characters count: the letter after them does not.
        {std::u16string(30, u' ') + u"3x", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("entry \"" + CString(c.entry).ToUtf8() + "\"");
        Command(ID_TOOLS_GOTO);
        Paste(c.entry);
        EXPECT_EQ(PressGoto(), u"");
        EXPECT_EQ(Indicator(), "Line " + std::to_string(c.line));
        EXPECT_EQ(Sel().first, View()->GetEditCtrl().LineIndex(c.line - 1));
        EXPECT_EQ(ToolRowHeight(), 22);
    }
}

TEST_F(GotoTest, ATextEndingInALineEndHasAnEmptyLastLine)
{
    ASSERT_TRUE(Start());
    Load(u"ab\r\ncd\r\n");
    Command(ID_TOOLS_GOTO);
    Type(u"4");
    EXPECT_EQ(U8(PressGoto()), U8(kTooBig));
    Command(ID_TOOLS_GOTO);
    Type(u"3");
    EXPECT_EQ(PressGoto(), u"");
    EXPECT_EQ(Sel(), std::make_pair(8, 8));
    EXPECT_EQ(Indicator(), "Line 3");
}

TEST_F(GotoTest, TheTargetLineTakesThePlaceOfTheCaretsLine)
{
    ASSERT_TRUE(Start());
    Rows(100);
    Command(ID_TOOLS_GOTO);
    Type(u"60");
    PressGoto();
    // The caret's line was the first on screen; so is line 60 now.
    EXPECT_EQ(FirstVisibleLine(), 59);
    EXPECT_EQ(host.Row(TextTop()).substr(0, 6), "row 60");
    EXPECT_EQ(Indicator(), "Line 60");

    // Back up: a negative distance scrolls up.
    Command(ID_TOOLS_GOTO);
    Type(u"58");
    PressGoto();
    EXPECT_EQ(FirstVisibleLine(), 57);
    EXPECT_EQ(host.Row(TextTop()).substr(0, 6), "row 58");

    // A refused number scrolls nothing.
    const auto sel = Sel();
    Command(ID_TOOLS_GOTO);
    Type(u"101");
    EXPECT_EQ(U8(PressGoto()), U8(kTooBig));
    EXPECT_EQ(FirstVisibleLine(), 57);
    EXPECT_EQ(Sel(), sel);
    // The field keeps "101"; corrected, the number goes through.
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "101");
    Tap(IDC_LINE_NUMBER);
    Key(VK_END);
    Type(u"\b0");
    PressGoto();
    EXPECT_EQ(Indicator(), "Line 100");
    EXPECT_NE(host.Find(u"row 100").x, -1);
}

TEST_F(GotoTest, WithASelectionTheDistanceCountsFromItsStart)
{
    ASSERT_TRUE(Start());
    Rows(100);
    // "row 5" to the middle of "row 8".
    int start = View()->GetEditCtrl().LineIndex(4);
    int end = View()->GetEditCtrl().LineIndex(7) + 3;
    View()->GetEditCtrl().SetSel(start, end);
    Command(ID_TOOLS_GOTO);
    Type(u"50");
    PressGoto();
    EXPECT_EQ(FirstVisibleLine(), 45);
    EXPECT_EQ(host.Row(TextTop() + 4).substr(0, 6), "row 50");
    int target = View()->GetEditCtrl().LineIndex(49);
    EXPECT_EQ(Sel(), std::make_pair(target, target));
}

TEST_F(GotoTest, TheCaretsOwnLineIsScrolledBackIntoView)
{
    ASSERT_TRUE(Start());
    Rows(100);
    TapText(2, 0);  // the caret to the start of "row 3"
    ASSERT_EQ(Indicator(), "Line 3");
    // Scroll the text away with the scroll bar: a tap below its thumb pages
    // down.
    CRect view = GetWindowCells(View()->m_hWnd);
    for (int i = 0; i < 3; ++i) {
        host.Click(view.right - 1, view.bottom - 3);
        host.Run();
    }
    ASSERT_GT(FirstVisibleLine(), 10);
    ASSERT_EQ(host.Find(u"row 3\u0020").x, -1);

    Command(ID_TOOLS_GOTO);
    Type(u"3");
    PressGoto();
    EXPECT_EQ(Sel(), std::make_pair(14, 14));
    EXPECT_EQ(Indicator(), "Line 3");
    // No scroll of its own, but the caret is brought back on screen.
    EXPECT_NE(host.Find(u"row 3").x, -1) << host.ScreenText();
    EXPECT_LE(FirstVisibleLine(), 2);
}

TEST_F(GotoTest, AnEmptiedTextStillHasLineOne)
{
    ASSERT_TRUE(Start());
    Load(u"abc");
    Command(ID_TOOLS_GOTO);
    // While the form is up the text is emptied.
    TapText(0, 3);
    Type(u"\b\b\b");
    ASSERT_EQ(Text(), "");
    Tap(IDC_LINE_NUMBER);
    Type(u"2");
    EXPECT_EQ(U8(PressGoto()), U8(kTooBig));
    Tap(IDC_LINE_NUMBER);
    Type(u"\b1");
    EXPECT_EQ(PressGoto(), u"");
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
    EXPECT_EQ(Indicator(), "Line 1");
    EXPECT_EQ(ToolRowHeight(), 22);
}

TEST_F(GotoTest, TypedLettersDoNotEnterTheLineField)
{
    ASSERT_TRUE(Start());
    Load(u"a\r\nb");
    Command(ID_TOOLS_GOTO);
    Type(u"x2y");
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "2");
    EXPECT_EQ(PressGoto(), u"");
    EXPECT_EQ(Indicator(), "Line 2");
}

}  // namespace
