// The tool pane's modes: which form is shown, the row it takes, where the
// keyboard focus goes, the line indicator, and keys that must do nothing.
#include "tests/support/EditorTest.h"

namespace {

class ToolPaneTest : public EditorTest {
protected:
    void EnterAndEscape()
    {
        host.Key(VK_RETURN, u'\r');
        host.Key(VK_ESCAPE, 0x1B);
        host.Run();
    }
    // The pane's control that holds the keyboard focus (a combo box for its
    // field), or 0.
    int FocusedControl()
    {
        CWnd* focus = CWnd::GetFocus();
        for (HWND h = focus ? focus->m_hWnd : nullptr; h; h = ::GetParent(h))
            if (::GetParent(h) == Tool()->m_hWnd)
                return ::GetDlgCtrlID(h);
        return 0;
    }
    // Which of the pane's controls are visible, as a readable list.
    std::string VisibleControls()
    {
        static const std::pair<int, const char*> controls[] = {{IDC_LINE_INDICATOR, "indicator"},
                                                               {IDC_FIND_LABEL, "find-label"},
                                                               {IDC_FIND_TEXT, "find-text"},
                                                               {IDC_REPLACE_LABEL, "replace-label"},
                                                               {IDC_REPLACE_TEXT, "replace-text"},
                                                               {IDC_FIND, "find"},
                                                               {IDC_REPLACE, "replace"},
                                                               {IDC_REPLACE_ALL, "replace-all"},
                                                               {IDC_MATCH_CASE, "match-case"},
                                                               {IDC_TOOL_CANCEL, "cancel"},
                                                               {IDC_GOTO_LABEL, "goto-label"},
                                                               {IDC_LINE_NUMBER, "line"},
                                                               {IDC_GOTO, "goto"}};
        std::string out;
        for (auto [id, name] : controls)
            if (Visible(id))
                out += std::string(out.empty() ? "" : " ") + name;
        return out;
    }
    void TwelveLines()
    {
        for (int i = 1; i <= 12; ++i) {
            std::string line = "line" + std::to_string(i) + (i < 12 ? "\r" : "");
            Type(std::u16string(line.begin(), line.end()));
        }
    }
};

const char* kFindForm = "find-label find-text replace-label replace-text find replace replace-all match-case cancel";
const char* kGotoForm = "goto-label line goto";

TEST_F(ToolPaneTest, FormsReplaceEachOtherWithoutCancel)
{
    ASSERT_TRUE(Start());
    Type(u"abc abc");
    View()->GetEditCtrl().SetSel(0, 0);
    EXPECT_EQ(VisibleControls(), "indicator");
    EXPECT_EQ(ToolRowHeight(), 22);

    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_EQ(VisibleControls(), kFindForm);
    EXPECT_EQ(FocusedControl(), IDC_FIND_TEXT);
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE));
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE_ALL));

    // A Find that selects something enables Replace and Replace all ...
    Type(u"abc");
    Tap(IDC_FIND);
    EXPECT_TRUE(ControlEnabled(IDC_REPLACE));
    EXPECT_TRUE(ControlEnabled(IDC_REPLACE_ALL));

    // ... going straight to the other form shrinks the row and shows only it,
    // with an empty line field holding the focus ...
    Command(ID_TOOLS_GOTO);
    EXPECT_EQ(ToolRowHeight(), 32);
    EXPECT_EQ(VisibleControls(), kGotoForm);
    EXPECT_EQ(FocusedControl(), IDC_LINE_NUMBER);
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "");
    EXPECT_NE(host.Find(u"Go to line:").x, -1);
    EXPECT_EQ(host.Find(u"Find What:").x, -1);

    // ... and coming back disables the two buttons again.
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_EQ(VisibleControls(), kFindForm);
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE));
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE_ALL));
    EXPECT_EQ(host.Find(u"Go to line:").x, -1);

    Tap(IDC_TOOL_CANCEL);
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_EQ(VisibleControls(), "indicator");
    EXPECT_TRUE(TextHasFocus());
}

// The forms as a person reads them: three separate buttons, and a go-to
// field of one row.
TEST_F(ToolPaneTest, FormsReadAsTheirControls)
{
    ASSERT_TRUE(Start());
    Type(u"abc");
    Command(ID_TOOLS_FIND_REPLACE);
    host.Run();
    CRect pane = GetWindowCells(Tool()->m_hWnd);
    EXPECT_EQ(host.Row(pane.top + 4).substr(0, 38), "[  Find   ] [ Replace  ] [Replace all]");
    Command(ID_TOOLS_GOTO);
    host.Run();
    CRect line = GetWindowCells(Tool()->GetDlgItem(IDC_LINE_NUMBER)->m_hWnd);
    EXPECT_EQ(line.Height(), 1);
    EXPECT_EQ(host.Row(pane.top).substr(0, 30), "Go to line:            [Go to]");
}

// The focus shows without colours too: the cursor stands on the focused
// button's label and in the focused check box's box.
TEST_F(ToolPaneTest, FocusedButtonAndCheckBoxCarryTheCursor)
{
    ASSERT_TRUE(Start());
    Type(u"abc");
    Command(ID_TOOLS_FIND_REPLACE);
    for (auto [id, dx] : {std::pair{IDC_TOOL_CANCEL, 3}, std::pair{IDC_MATCH_CASE, 1}}) {
        Key(VK_TAB);
        const Canvas& screen = host.Screen();
        CRect control = GetWindowCells(Tool()->GetDlgItem(id)->m_hWnd);
        EXPECT_TRUE(screen.m_caretVisible) << id;
        EXPECT_EQ(screen.m_caret, CPoint(control.left + dx, control.top)) << id;
    }
}

TEST_F(ToolPaneTest, LineFieldIsEmptiedEachTimeGotoModeIsEntered)
{
    ASSERT_TRUE(Start());
    TwelveLines();
    Command(ID_TOOLS_GOTO);
    Type(u"7");
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "7");
    Command(ID_TOOLS_GOTO);
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "");
    EXPECT_EQ(ToolRowHeight(), 32);
    Type(u"5");
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "5");
}

TEST_F(ToolPaneTest, IndicatorStaysHiddenUnderAFormAndShowsTheLatestLineOnReturn)
{
    ASSERT_TRUE(Start());
    TwelveLines();
    EXPECT_EQ(Indicator(), "Line 12");

    Command(ID_TOOLS_FIND_REPLACE);
    // Moving the caret in the text while the form is up: the report is
    // taken, but the form's first row stays as it is.
    TapText(0, 2);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_TRUE(TextHasFocus());
    EXPECT_FALSE(Visible(IDC_LINE_INDICATOR));
    EXPECT_EQ(host.Find(u"Line "), CPoint(-1, -1)) << host.ScreenText();
    EXPECT_NE(host.Find(u"Find What:").x, -1);
    EXPECT_EQ(VisibleControls(), kFindForm);

    Command(ID_TOOLS_FIND_REPLACE);
    Tap(IDC_TOOL_CANCEL);
    EXPECT_TRUE(Visible(IDC_LINE_INDICATOR));
    EXPECT_EQ(Indicator(), "Line 3");
    EXPECT_NE(host.Find(u"Line 3").x, -1);

    // The same under the go-to form.
    Command(ID_TOOLS_GOTO);
    TapText(1, 0);
    EXPECT_TRUE(TextHasFocus());
    EXPECT_FALSE(Visible(IDC_LINE_INDICATOR));
    EXPECT_EQ(host.Find(u"Line "), CPoint(-1, -1)) << host.ScreenText();
    EXPECT_NE(host.Find(u"Go to line:").x, -1);
}

TEST_F(ToolPaneTest, CancelReportsTheCaretsLineOnlyWithoutASelection)
{
    ASSERT_TRUE(Start());
    TwelveLines();
    // Caret into line 12's start, then up to line 9 via the keys.
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(Indicator(), "Line 9");

    // A selection over lines 1 to 12: Cancel leaves the indicator alone.
    Command(ID_EDIT_SELECT_ALL);
    ASSERT_NE(Sel().first, Sel().second);
    Command(ID_TOOLS_FIND_REPLACE);
    Tap(IDC_TOOL_CANCEL);
    EXPECT_EQ(Indicator(), "Line 9");
    EXPECT_EQ(ToolRowHeight(), 22);

    // Without a selection Cancel reports the caret's line.
    View()->GetEditCtrl().SetSel(40, 40);  // in line 8
    Command(ID_TOOLS_FIND_REPLACE);
    Tap(IDC_TOOL_CANCEL);
    EXPECT_EQ(Indicator(), "Line " + std::to_string(View()->GetEditCtrl().LineFromChar(40) + 1));
    EXPECT_TRUE(TextHasFocus());
}

TEST_F(ToolPaneTest, EnterAndEscapeInThePaneStartNothing)
{
    ASSERT_TRUE(Start());
    Type(u"abc\rabc\rabc");
    View()->GetEditCtrl().SetSel(0, 0);
    const std::string text = Text();

    Command(ID_TOOLS_FIND_REPLACE);
    Type(u"abc");
    for (int field : {IDC_FIND_TEXT, IDC_REPLACE_TEXT}) {
        Tap(field);
        EnterAndEscape();
        EXPECT_EQ(FocusedControl(), field);
    }
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_EQ(VisibleControls(), kFindForm);
    EXPECT_FALSE(ControlEnabled(IDC_REPLACE));
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "abc");

    Command(ID_TOOLS_GOTO);
    Type(u"2");
    EnterAndEscape();
    EXPECT_EQ(FocusedControl(), IDC_LINE_NUMBER);
    EXPECT_EQ(FieldText(IDC_LINE_NUMBER), "2");
    EXPECT_EQ(Sel(), std::make_pair(0, 0));
    EXPECT_EQ(ToolRowHeight(), 32);

    EXPECT_TRUE(host.Beeps().empty());
    EXPECT_TRUE(host.MessageBoxes().empty());
    // No Find ran, so nothing went into the history.
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_TRUE(HistoryList().empty());
}

TEST_F(ToolPaneTest, TabMovesOnlyBetweenTheShownControlsInTemplateOrder)
{
    ASSERT_TRUE(Start());
    Type(u"abc");
    Command(ID_TOOLS_FIND_REPLACE);
    // From the find text: Cancel, Match case, replacement text, Find (Replace
    // and Replace all are disabled), and round to the find text.
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) {
        Key(VK_TAB);
        order.push_back(FocusedControl());
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_TOOL_CANCEL, IDC_MATCH_CASE, IDC_REPLACE_TEXT, IDC_FIND, IDC_FIND_TEXT}));

    Command(ID_TOOLS_GOTO);
    order.clear();
    for (int i = 0; i < 3; ++i) {
        Key(VK_TAB);
        order.push_back(FocusedControl());
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_GOTO, IDC_LINE_NUMBER, IDC_GOTO}));
}

TEST_F(ToolPaneTest, FindTextIsPresetFromTheSelectionsFirstLineElseTheNewestHistoryEntry)
{
    ASSERT_TRUE(Start());
    Type(u"alpha beta\rgamma");

    // No selection, no history: the field is empty.
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "");
    Tap(IDC_TOOL_CANCEL);

    // "beta\r\ngam" selected: only "beta" is taken.
    View()->GetEditCtrl().SetSel(6, 15);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "beta");
    // Typing replaces the preset: it is selected in the focused field.
    Type(u"gam");
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "gam");
    Tap(IDC_FIND);
    EXPECT_EQ(Sel(), std::make_pair(12, 15));

    // A selection presets even with a history ...
    View()->GetEditCtrl().SetSel(0, 5);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "alpha");
    EXPECT_EQ(HistoryList(), (std::vector<std::string>{"gam"}));
    // ... and without one the newest entry stands in the field.
    View()->GetEditCtrl().SetSel(3, 3);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "gam");
}

TEST_F(ToolPaneTest, TheFieldsTakeTheClipboardKeysForThemselves)
{
    ASSERT_TRUE(Start());
    Type(u"hello world");
    View()->GetEditCtrl().SetSel(6, 11);
    Command(ID_TOOLS_FIND_REPLACE);
    ASSERT_EQ(FieldText(IDC_FIND_TEXT), "world");

    // Ctrl+C and Ctrl+X in the find field work on the field, not the text.
    Ctrl('C');
    EXPECT_EQ(host.GetClipboardText(), std::optional<std::u16string>(u"world"));
    Ctrl('X');
    EXPECT_EQ(FieldText(IDC_FIND_TEXT), "");
    EXPECT_EQ(Text(), "hello world");

    // Ctrl+V into the replacement field, and Ctrl+Z takes it back out.
    Tap(IDC_REPLACE_TEXT);
    Ctrl('V');
    EXPECT_EQ(FieldText(IDC_REPLACE_TEXT), "world");
    Ctrl('Z');
    EXPECT_EQ(FieldText(IDC_REPLACE_TEXT), "");
    EXPECT_EQ(Text(), "hello world");
    EXPECT_EQ(Sel(), std::make_pair(6, 11));
}

TEST_F(ToolPaneTest, TheFindFieldTakesNoMoreThanItShows)
{
    ASSERT_TRUE(Start());
    Type(u"abc");
    Command(ID_TOOLS_FIND_REPLACE);
    const std::string typed = "abcdefghijklmnopqrstuvwxyz0123456789";
    Type(std::u16string(typed.begin(), typed.end()));
    std::string field = FieldText(IDC_FIND_TEXT);
    EXPECT_LT(field.size(), typed.size());
    EXPECT_EQ(field, typed.substr(0, field.size()));
    // All of it stands in the field on the screen.
    CRect combo = GetWindowCells(Tool()->GetDlgItem(IDC_FIND_TEXT)->m_hWnd);
    CPoint at = host.Find(std::u16string(field.begin(), field.end()));
    EXPECT_EQ(at.y, combo.top);
    EXPECT_GE(at.x, combo.left);
    EXPECT_LE(at.x + int(field.size()), combo.right);
}

}  // namespace
