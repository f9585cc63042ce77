// The main frame: enabling of the Tools and Edit commands in the menu, on
// the toolbar and through the accelerators, the active view, and the tool
// pane's row heights.
#include "tests/support/EditorTest.h"

namespace {

// Pixel rows of the two bars above the splitter.
constexpr int kBarsHeight = 2 * 16;

}  // namespace

class FrameTest : public EditorTest {
protected:
    // Whether the toolbar button with this label is painted enabled.
    bool ButtonShownEnabled(std::u16string_view label)
    {
        std::u16string shown = std::u16string(u"[").append(label).append(u"]");
        CPoint at = host.Find(shown);
        EXPECT_EQ(at.y, 1) << CString(label).ToUtf8() << " not on the toolbar";
        if (at.y != 1)
            return false;
        bool enabled = !(host.Screen().At(at.x + 1, at.y).attr & ATTR_DISABLED);
        // The button's own state agrees with its cells.
        CToolBar& tb = Frame()->m_wndToolBar;
        for (int i = 0; i < tb.GetCount(); ++i)
            if (tb.GetButton(i).label == CString(label)) {
                EXPECT_EQ(tb.GetButton(i).enabled, enabled) << CString(label).ToUtf8();
            }
        return enabled;
    }
    // Whether the drop-down menu item with this text would show enabled.
    bool MenuItemEnabled(int menu, std::u16string_view text)
    {
        for (auto& [itemText, enabled] : Frame()->m_wndCommandBar.GetMenuItems(menu))
            if (itemText == CString(text))
                return enabled;
        ADD_FAILURE() << CString(text).ToUtf8() << " not in menu " << menu;
        return false;
    }
    // The four edit commands' state in the Edit menu, as "UXCP" with "-" for
    // each disabled one.
    std::string EditMenu()
    {
        std::string s;
        s += MenuItemEnabled(1, u"Undo") ? 'U' : '-';
        s += MenuItemEnabled(1, u"Cut") ? 'X' : '-';
        s += MenuItemEnabled(1, u"Copy") ? 'C' : '-';
        s += MenuItemEnabled(1, u"Paste") ? 'P' : '-';
        return s;
    }
    // Cut, copy and paste on the toolbar, as "XCP" with "-" for disabled.
    std::string EditButtons()
    {
        std::string s;
        s += ButtonShownEnabled(u"Cut") ? 'X' : '-';
        s += ButtonShownEnabled(u"Copy") ? 'C' : '-';
        s += ButtonShownEnabled(u"Paste") ? 'P' : '-';
        return s;
    }
    // Find/Replace and Goto in the Tools menu and on the toolbar: "FGFG".
    std::string ToolsState()
    {
        std::string s;
        s += MenuItemEnabled(2, u"Find/Replace...") ? 'F' : '-';
        s += MenuItemEnabled(2, u"Goto...") ? 'G' : '-';
        s += ButtonShownEnabled(u"Find/Replace") ? 'F' : '-';
        s += ButtonShownEnabled(u"Goto") ? 'G' : '-';
        return s;
    }
    int LowerRowHeight()
    {
        int cur = 0, min = 0;
        Frame()->m_wndSplitter.GetRowInfo(1, cur, min);
        return cur;
    }
    int SplitterHeight()
    {
        CRect r;
        Frame()->m_wndSplitter.GetClientRect(&r);
        return r.Height();
    }
    // "hello world" with "world" selected and copied, and a typing run to undo.
    void TypeAndSelectWorld()
    {
        Type(u"hello world");
        for (int i = 0; i < 5; ++i)
            host.Key(VK_LEFT, 0, false, true);
        Ctrl('C');
        ASSERT_EQ(Sel(), (std::pair{6, 11}));
        ASSERT_EQ(host.GetClipboardText().value_or(u""), u"world");
    }
};

TEST_F(FrameTest, FindAndGotoFollowTheTextLengthInMenuAndToolbar)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(ToolsState(), "----");
    // A tap on a disabled button or an enabled-looking stale one does nothing.
    host.ClickText(u"[Goto]");
    host.Run();
    EXPECT_EQ(ToolRowHeight(), 22);

    Type(u"a");
    EXPECT_EQ(ToolsState(), "FGFG");
    Type(u"\b");
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(ToolsState(), "----");
    // A text of line ends alone still has characters.
    Type(u"\r");
    EXPECT_EQ(ToolsState(), "FGFG");
    // About is always there.
    EXPECT_TRUE(MenuItemEnabled(2, u"About Tessera..."));
    EXPECT_TRUE(ButtonShownEnabled(u"About"));
}

TEST_F(FrameTest, ToolbarAndMenuRunTheToolsCommands)
{
    ASSERT_TRUE(Start());
    Type(u"text");
    host.ClickText(u"[Find/Replace]");
    host.Run();
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_TRUE(Visible(IDC_FIND_TEXT));
    host.ClickText(u"Tools");
    host.OnModal([&] { host.ClickText(u"Goto..."); });
    host.Run();
    EXPECT_EQ(ToolRowHeight(), 32);
    EXPECT_TRUE(Visible(IDC_LINE_NUMBER));
    EXPECT_FALSE(Visible(IDC_FIND_TEXT));
}

TEST_F(FrameTest, RowHeightsFollowTheToolPaneMode)
{
    ASSERT_TRUE(Start());
    Type(u"first\rsecond");
    auto rows = [&] { return std::pair{ToolRowHeight(), LowerRowHeight()}; };
    int h = SplitterHeight();
    EXPECT_EQ(h, 24 * 16 - kBarsHeight);
    EXPECT_EQ(rows(), (std::pair{22, h - 22}));
    // The text sits right under the row.
    EXPECT_EQ(host.Find(u"first").y, (kBarsHeight + 22 + 8) / 16);

    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(rows(), (std::pair{96, h - 96}));
    EXPECT_EQ(host.Find(u"first").y, (kBarsHeight + 96 + 8) / 16);
    EXPECT_GE(host.Find(u"Find What:").x, 0);

    // Goto straight from the find form, and back.
    Command(ID_TOOLS_GOTO);
    EXPECT_EQ(rows(), (std::pair{32, h - 32}));
    EXPECT_EQ(host.Find(u"Find What:").x, -1);
    EXPECT_GE(host.Find(u"Go to line:").x, 0);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(rows(), (std::pair{96, h - 96}));

    // Cancel returns to the idle row.
    host.ClickText(u"[  Cancel  ]");
    host.Run();
    EXPECT_EQ(rows(), (std::pair{22, h - 22}));
    EXPECT_EQ(host.Find(u"first").y, (kBarsHeight + 22 + 8) / 16);
    EXPECT_EQ(Indicator(), "Line 2");
    EXPECT_TRUE(Visible(IDC_LINE_INDICATOR));

    // So does a successful Go to.
    Command(ID_TOOLS_GOTO);
    EXPECT_EQ(rows(), (std::pair{32, h - 32}));
    Type(u"1");
    host.ClickText(u"[Go to]");
    host.Run();
    EXPECT_EQ(rows(), (std::pair{22, h - 22}));
    EXPECT_EQ(Indicator(), "Line 1");
}

TEST_F(FrameTest, RowsFollowTheScreenSize)
{
    ASSERT_TRUE(Start());
    Type(u"x");
    host.Resize(60, 12);
    host.Run();
    EXPECT_EQ(SplitterHeight(), 12 * 16 - kBarsHeight);
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_EQ(LowerRowHeight(), SplitterHeight() - 22);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_EQ(LowerRowHeight(), SplitterHeight() - 96);

    // Less room than the row wants: the upper row takes all there is.
    host.Resize(60, 6);
    host.Run();
    EXPECT_EQ(SplitterHeight(), 6 * 16 - kBarsHeight);
    EXPECT_EQ(ToolRowHeight(), SplitterHeight());
    EXPECT_EQ(LowerRowHeight(), 0);
    host.Resize(80, 24);
    host.Run();
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_EQ(LowerRowHeight(), SplitterHeight() - 96);
}

TEST_F(FrameTest, FindReplaceTakesTheSelectionsFirstLineEachTime)
{
    ASSERT_TRUE(Start());
    Type(u"alpha beta\rgamma");
    auto findText = [&] { return Tool()->GetDlgItem(IDC_FIND_TEXT)->GetWindowText().ToUtf8(); };
    // "beta" and the line end and "gam" selected: only "beta" goes over.
    View()->GetEditCtrl().SetSel(6, 15);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(findText(), "beta");
    EXPECT_EQ(ToolRowHeight(), 96);
    // A second Find/Replace takes the current selection again.
    View()->GetEditCtrl().SetSel(0, 5);
    Command(ID_TOOLS_FIND_REPLACE);
    EXPECT_EQ(findText(), "alpha");
    EXPECT_EQ(ToolRowHeight(), 96);
    EXPECT_EQ(Frame()->GetActiveView(), static_cast<CView*>(Tool()));
}

TEST_F(FrameTest, EditCommandsAreOffWhileTheToolPaneIsActive)
{
    ASSERT_TRUE(Start());
    TypeAndSelectWorld();
    EXPECT_EQ(EditMenu(), "UXCP");
    EXPECT_EQ(EditButtons(), "XCP");

    for (UINT tool : {UINT(ID_TOOLS_FIND_REPLACE), UINT(ID_TOOLS_GOTO)}) {
        SCOPED_TRACE(tool);
        Command(tool);
        EXPECT_EQ(Frame()->GetActiveView(), static_cast<CView*>(Tool()));
        EXPECT_EQ(EditMenu(), "----");
        EXPECT_EQ(EditButtons(), "---");
        // Their accelerators do nothing, in the text or in the form.
        host.Ctrl('X');
        Ctrl('Z');
        EXPECT_EQ(Text(), "hello world");
        EXPECT_EQ(Sel(), (std::pair{6, 11}));
        // The Tools commands stay available.
        EXPECT_EQ(ToolsState(), "FGFG");
    }

    // Back in idle mode the text is the active view again.
    Command(ID_TOOLS_FIND_REPLACE);
    host.ClickText(u"[  Cancel  ]");
    host.Run();
    EXPECT_EQ(Frame()->GetActiveView(), static_cast<CView*>(View()));
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_EQ(EditMenu(), "UXCP");
    EXPECT_EQ(EditButtons(), "XCP");
    Ctrl('X');
    EXPECT_EQ(Text(), "hello ");
}

TEST_F(FrameTest, TappingTheTextMakesItTheActiveViewAgain)
{
    ASSERT_TRUE(Start());
    TypeAndSelectWorld();
    Command(ID_TOOLS_FIND_REPLACE);
    ASSERT_EQ(EditMenu(), "----");
    CPoint hello = host.Find(u"hello");
    ASSERT_GE(hello.y, 0);
    host.Click(hello.x + 2, hello.y);
    host.Run();
    EXPECT_EQ(Frame()->GetActiveView(), static_cast<CView*>(View()));
    EXPECT_EQ(ToolRowHeight(), 96);  // the form stays up
    EXPECT_EQ(Sel(), (std::pair{2, 2}));
    EXPECT_EQ(EditMenu(), "U--P");
    Ctrl('V');
    EXPECT_EQ(Text(), "heworldllo world");
}

TEST_F(FrameTest, FindLeavesTheFocusInTheTextWithItsCommands)
{
    ASSERT_TRUE(Start());
    Type(u"one two one");
    View()->GetEditCtrl().SetSel(0, 0);
    Command(ID_TOOLS_FIND_REPLACE);
    Type(u"two");
    host.ClickText(u"[  Find   ]");
    host.Run();
    EXPECT_EQ(Sel(), (std::pair{4, 7}));
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_EQ(Frame()->GetActiveView(), static_cast<CView*>(View()));
    EXPECT_EQ(EditButtons().substr(0, 2), "XC");
    Ctrl('C');
    EXPECT_EQ(host.GetClipboardText().value_or(u""), u"two");
}
