// The edit view: typing, the caret-line report to the tool pane, scrolling,
// the clipboard commands, tab stops, the text limit and the changed flag.
#include "tests/support/EditorTest.h"

#include "framework/win/TextEngine.h"
#include "framework/win/WindowSystem.h"

namespace {

// Counts what the line indicator is told: each report of the caret's line
// sets its text once.
class ReportCounter : public CWnd {
public:
    explicit ReportCounter(CWnd* indicator) { Attach(indicator->m_hWnd); }
    ~ReportCounter() override { Detach(); }
    int reports = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETTEXT)
            ++reports;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

std::u16string Lines(int count)
{
    std::u16string text;
    for (int i = 1; i <= count; ++i) {
        if (i > 1)
            text += u"\r\n";
        text += u"line " + CString::FromUtf8(std::to_string(i)).Str();
    }
    return text;
}

}  // namespace

class EditViewTest : public EditorTest {
protected:
    void SetText(std::u16string_view text) { View()->SetWindowText(CString(text)); }
    // Screen cell of the text's top-left corner.
    CPoint TextOrigin() { return GetClientCells(View()->m_hWnd).TopLeft(); }
    std::string TextRow(int row)
    {
        CPoint o = TextOrigin();
        return host.Row(o.y + row).substr(size_t(o.x), 79);
    }
    // A click on an item of the open drop-down menu (below the bars).
    void ClickMenuItem(std::u16string_view text)
    {
        const Canvas& c = host.Screen();
        for (int y = 2; y < c.Rows(); ++y) {
            std::u16string row;
            for (int x = 0; x < c.Cols(); ++x)
                row += c.At(x, y).ch;
            if (size_t at = row.find(text); at != std::u16string::npos) {
                host.Click(int(at), y);
                return;
            }
        }
        ADD_FAILURE() << "no menu item " << CString(text).ToUtf8();
    }
    char16_t TextCell(int col, int row)
    {
        CPoint o = TextOrigin();
        return host.Screen().At(o.x + col, o.y + row).ch;
    }
};

TEST_F(EditViewTest, TypingOnTheFifthLineShowsLine5AtOnce)
{
    ASSERT_TRUE(Start());
    SetText(Lines(8));
    View()->GetEditCtrl().SetSel(View()->GetEditCtrl().LineIndex(4), View()->GetEditCtrl().LineIndex(4));
    ASSERT_EQ(Indicator(), "Line 1");
    // The character alone, without the key's release, already reports.
    View()->SendMessage(WM_CHAR, u'x', 1);
    EXPECT_EQ(Indicator(), "Line 5");
    EXPECT_EQ(host.Row(2).substr(0, 6), "Line 5");
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(EditViewTest, GainingTheFocusAtTheStartReportsLine1)
{
    ASSERT_TRUE(Start());
    Type(u"a\rb\rc");
    ASSERT_EQ(Indicator(), "Line 3");
    View()->GetEditCtrl().SetSel(0, 0);
    EXPECT_EQ(Indicator(), "Line 3");  // setting the selection reports nothing
    // The about box takes the focus and gives it back.
    host.OnModal([&] { host.Key(VK_ESCAPE, 0x1B); });
    Command(ID_APP_ABOUT);
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_EQ(Indicator(), "Line 1");
}

TEST_F(EditViewTest, ArrowKeysReportOncePerKeyAndShiftArrowsNotAtAll)
{
    ASSERT_TRUE(Start());
    SetText(Lines(6));
    ReportCounter counter(Tool()->GetDlgItem(IDC_LINE_INDICATOR));
    struct Step {
        UINT vk;
        bool shift;
        const char* indicator;
        int reports;
    };
    const Step steps[] = {
        {VK_DOWN, false, "Line 2", 1},
        {VK_DOWN, false, "Line 3", 1},
        {VK_RIGHT, false, "Line 3", 1},
        {VK_UP, false, "Line 2", 1},
        {VK_END, false, "Line 2", 1},
        {VK_RIGHT, false, "Line 3", 1},
        {VK_NEXT, false, "Line 6", 1},
        {VK_PRIOR, false, "Line 1", 1},
        // Extending the selection reports nothing; the indicator keeps its value.
        {VK_DOWN, true, "Line 1", 0},
        {VK_DOWN, true, "Line 1", 0},
        {VK_RIGHT, true, "Line 1", 0},
        // A plain arrow collapses the selection, which is reported.
        {VK_DOWN, false, "Line 4", 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "vk " << s.vk << (s.shift ? " with Shift" : ""));
        counter.reports = 0;
        host.Key(s.vk, 0, false, s.shift);
        host.Run();
        EXPECT_EQ(Indicator(), s.indicator);
        EXPECT_EQ(counter.reports, s.reports);
    }
}

TEST_F(EditViewTest, DraggedSelectionIsNotReportedTapIs)
{
    ASSERT_TRUE(Start());
    SetText(Lines(6));
    CPoint o = TextOrigin();
    host.Click(o.x + 2, o.y + 3);
    host.Run();
    EXPECT_EQ(Indicator(), "Line 4");
    EXPECT_EQ(Sel(), (std::pair{View()->GetEditCtrl().LineIndex(3) + 2, View()->GetEditCtrl().LineIndex(3) + 2}));
    // The press reports where it lands; the selection dragged from there is not.
    host.Drag(o.x + 1, o.y + 1, o.x + 3, o.y + 4);
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{View()->GetEditCtrl().LineIndex(1) + 1, View()->GetEditCtrl().LineIndex(4) + 3}));
    EXPECT_EQ(Indicator(), "Line 2");
}

TEST_F(EditViewTest, VerticalScrollBarRepaintsAndReportsFromTheScrollMessageOnly)
{
    ASSERT_TRUE(Start());
    SetText(Lines(60));
    ReportCounter counter(Tool()->GetDlgItem(IDC_LINE_INDICATOR));
    ASSERT_EQ(TextRow(0).substr(0, 6), "line 1");
    CRect cells = GetWindowCells(View()->m_hWnd);
    int bar = cells.right - 1;
    // The bar's lower arrow: one line down.
    host.Click(bar, cells.bottom - 2);
    host.Run();
    EXPECT_EQ(TextRow(0).substr(0, 7), "line 2 ");
    EXPECT_EQ(counter.reports, 1);
    EXPECT_EQ(Indicator(), "Line 1");  // the caret did not move
    EXPECT_EQ(Sel(), (std::pair{0, 0}));
    // A page down in the bar's lower half.
    counter.reports = 0;
    host.Click(bar, cells.bottom - 4);
    host.Run();
    int top = View()->GetEditCtrl().GetFirstVisibleLine();
    EXPECT_GT(top, 1);
    EXPECT_EQ(TextRow(0).substr(0, 8), "line " + std::to_string(top + 1) + " ");
    EXPECT_EQ(counter.reports, 1);
}

TEST_F(EditViewTest, HorizontalScrollBarReportsThroughBothPaths)
{
    ASSERT_TRUE(Start());
    SetText(std::u16string(200, u'a') + u"\r\nshort");
    ReportCounter counter(Tool()->GetDlgItem(IDC_LINE_INDICATOR));
    CRect cells = GetWindowCells(View()->m_hWnd);
    // The right arrow of the bar in the bottom row.
    host.Click(cells.right - 2, cells.bottom - 1);
    host.Run();
    EXPECT_EQ(counter.reports, 2);
    EXPECT_EQ(TextCell(0, 1), u'h');  // "short" moved one column left
}

TEST_F(EditViewTest, LongLinesScrollSidewaysAndNeverWrap)
{
    ASSERT_TRUE(Start());
    Type(u"BEGIN" + std::u16string(110, u'.') + u"END");
    EXPECT_EQ(View()->GetEditCtrl().GetLineCount(), 1);
    CRect client = GetClientCells(View()->m_hWnd);
    int width = client.Width();
    // The caret's end of the line is in view, the line below stays empty.
    EXPECT_EQ(View()->GetEditCtrl().GetFirstVisibleLine(), 0);
    std::string row = TextRow(0).substr(0, size_t(width));
    EXPECT_NE(row.find("...END"), std::string::npos);
    EXPECT_EQ(row.find("BEGIN"), std::string::npos);
    EXPECT_EQ(TextRow(1).substr(0, size_t(width)), std::string(size_t(width), ' '));
    EXPECT_TRUE(host.Screen().m_caretVisible);
    // Home scrolls back to the start.
    host.Key(VK_HOME);
    host.Run();
    row = TextRow(0).substr(0, size_t(width));
    EXPECT_EQ(row.substr(0, 8), "BEGIN...");
    EXPECT_EQ(row.find("END", 5), std::string::npos);
    EXPECT_EQ(row.back(), '.');
}

TEST_F(EditViewTest, TabAdvancesToTheNextEightCellStop)
{
    ASSERT_TRUE(Start());
    Type(u"ab\tc\rabcdefgh\tx\r\ty");
    EXPECT_EQ(Text(), "ab\tc\r\nabcdefgh\tx\r\n\ty");
    EXPECT_EQ(TextRow(0).substr(0, 9), "ab      c");
    EXPECT_EQ(TextCell(16, 1), u'x');
    EXPECT_EQ(TextCell(15, 1), u' ');
    EXPECT_EQ(TextCell(8, 2), u'y');
    // Up from the end of "\ty" keeps the visual column across the tab.
    host.Key(VK_LEFT);
    host.Key(VK_UP);
    host.Run();
    EXPECT_EQ(Sel().first, View()->GetEditCtrl().LineIndex(1) + 8);
}

TEST_F(EditViewTest, ClipboardCommandsNeedASelectionOrText)
{
    ASSERT_TRUE(Start());
    Type(u"some text");
    EXPECT_FALSE(Enabled(ID_EDIT_CUT));
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));  // the clipboard is empty
    host.Ctrl('C');
    host.Ctrl('X');
    Ctrl('V');
    EXPECT_EQ(Text(), "some text");
    EXPECT_FALSE(host.GetClipboardText().has_value());

    host.Key(VK_LEFT, 0, false, true);
    host.Key(VK_LEFT, 0, false, true);
    host.Run();
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
    EXPECT_TRUE(Enabled(ID_EDIT_COPY));
    Ctrl('X');
    EXPECT_EQ(Text(), "some te");
    EXPECT_EQ(host.GetClipboardText().value_or(u""), u"xt");
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    EXPECT_FALSE(Enabled(ID_EDIT_CUT));
    // Copy through the toolbar button, paste through the menu.
    host.Key(VK_HOME, 0, false, true);
    host.Run();
    host.ClickText(u"[Copy]");
    host.Run();
    EXPECT_EQ(host.GetClipboardText().value_or(u""), u"some te");
    host.Key(VK_END);
    host.ClickText(u"Edit");
    host.OnModal([&] { ClickMenuItem(u"Paste"); });
    host.Run();
    EXPECT_EQ(Text(), "some tesome te");
}

TEST_F(EditViewTest, PasteMarksTheDocumentChangedAndNewAsksFirst)
{
    ASSERT_TRUE(Start());
    host.SetClipboardText(u"pasted\r\nlines");
    ASSERT_FALSE(Doc()->IsModified());
    Ctrl('V');
    EXPECT_EQ(Text(), "pasted\r\nlines");
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(Indicator(), "Line 2");
    host.OnModal([&] { host.ClickButton(u"No"); });
    Ctrl('N');
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, u"Save changes to Untitled?");
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(EditViewTest, UndoTogglesAndEveryChangeMarksTheDocument)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    Type(u"abc");
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    Doc()->SetModifiedFlag(FALSE);
    Ctrl('Z');
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(Doc()->IsModified());
    Ctrl('Z');
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(Indicator(), "Line 1");
    // Backspace and Delete are changes too.
    // The redone text is selected; Backspace takes the last character.
    host.Key(VK_END);
    Doc()->SetModifiedFlag(FALSE);
    Type(u"\b");
    EXPECT_EQ(Text(), "ab");
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(EditViewTest, TypingStopsAtTheLimit)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(View()->GetEditCtrl().SendMessage(EM_GETLIMITTEXT), 1048575);
    SetText(std::u16string(1048573, u'a'));
    View()->GetEditCtrl().SetSel(-1, -1);
    host.Key(VK_END, 0, true);
    Type(u"bc");
    EXPECT_EQ(View()->GetWindowTextLength(), 1048575);
    // Neither refused keys nor a paste of which nothing fits change the
    // text, so the document stays unchanged.
    Doc()->SetModifiedFlag(FALSE);
    host.SetClipboardText(u"xyz");
    Type(u"d\r\t");
    Ctrl('V');
    EXPECT_EQ(View()->GetWindowTextLength(), 1048575);
    EXPECT_EQ(View()->GetWindowText()[1048574], u'c');
    EXPECT_FALSE(Doc()->IsModified());
    // Replacing a selected character still works at the limit.
    host.Key(VK_LEFT, 0, false, true);
    Type(u"e");
    EXPECT_EQ(View()->GetWindowTextLength(), 1048575);
    EXPECT_EQ(View()->GetWindowText()[1048574], u'e');
    // A paste inserts what fits.
    Type(u"\b");
    Ctrl('V');
    EXPECT_EQ(View()->GetWindowTextLength(), 1048575);
    EXPECT_EQ(View()->GetWindowText()[1048574], u'x');
}

TEST_F(EditViewTest, ControlStyleFontAndSelectionKeptWhileUnfocused)
{
    ASSERT_TRUE(Start());
    DWORD style = View()->GetStyle();
    const DWORD wanted = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL
        | ES_AUTOHSCROLL | ES_NOHIDESEL;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_EQ(style & WS_BORDER, 0u);
    EXPECT_EQ(::GetClassName(View()->m_hWnd), u"EDIT");
    EXPECT_EQ(View()->GetFont(), GetStockObject(SYSTEM_FONT));

    Type(u"keep this");
    host.Key(VK_LEFT, 0, false, true);
    host.Key(VK_LEFT, 0, false, true);
    host.Key(VK_LEFT, 0, false, true);
    host.Key(VK_LEFT, 0, false, true);
    host.Run();
    Command(ID_TOOLS_GOTO);
    ASSERT_NE(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    CPoint at = host.Find(u"keep this");
    ASSERT_GE(at.x, 0);
    const Canvas& screen = host.Screen();
    EXPECT_FALSE(screen.At(at.x + 4, at.y).attr & ATTR_REVERSE);
    for (int i = 5; i < 9; ++i)
        EXPECT_TRUE(screen.At(at.x + i, at.y).attr & ATTR_REVERSE) << i;
}
