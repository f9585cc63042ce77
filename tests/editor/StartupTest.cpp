#include "tests/support/EditorTest.h"

#include "framework/res/Resources.h"

using support::ScratchFolder;

TEST_F(EditorTest, EmptyCommandLineShowsUntitledEmptyText)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Doc()->GetTitle(), u"Untitled");
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_EQ(Indicator(), "Line 1");
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_EQ(Frame()->GetTitle(), u"Tessel");
    EXPECT_TRUE(Frame()->IsWindowVisible());
    // The idle tool pane shows no form, only the line indicator.
    EXPECT_TRUE(Visible(IDC_LINE_INDICATOR));
    for (int id : {IDC_FIND_TEXT, IDC_REPLACE_TEXT, IDC_FIND, IDC_LINE_NUMBER, IDC_GOTO, IDC_TOOL_CANCEL})
        EXPECT_FALSE(Visible(id)) << "control " << id;
    EXPECT_EQ(host.Row(2).substr(0, 6), "Line 1");
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(EditorTest, FlagBeforeTheNameIsIgnoredAndTheFileOpened)
{
    ScratchFolder dir;
    std::string path = dir.Put("notes.txt", "alpha\r\nbeta");
    for (const char* flag : {"-x", "/p"}) {
        SCOPED_TRACE(flag);
        ASSERT_TRUE(Start({flag, path}));
        EXPECT_EQ(Text(), "alpha\r\nbeta");
        EXPECT_EQ(Doc()->GetPathName().ToUtf8(), path);
        EXPECT_EQ(Doc()->GetTitle(), u"notes.txt");
        EXPECT_FALSE(Doc()->IsModified());
        // The document's name never reaches the caption.
        EXPECT_EQ(Frame()->GetWindowText(), u"Tessel");
        EXPECT_EQ(host.Row(3).substr(0, 5), "alpha");
        EXPECT_EQ(host.Row(4).substr(0, 4), "beta");
        Frame()->DestroyWindow();
        theApp.ExitInstance();
    }
}

TEST_F(EditorTest, OnlyTheFirstOfTwoNamesIsOpened)
{
    ScratchFolder dir;
    std::string first = dir.Put("first.txt", "one");
    std::string second = dir.Put("second.txt", "two");
    ASSERT_TRUE(Start({first, second}));
    EXPECT_EQ(Text(), "one");
    EXPECT_EQ(Doc()->GetPathName().ToUtf8(), first);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(EditorTest, AfterDoubleDashEveryWordIsAName)
{
    ScratchFolder dir;
    dir.Put("-notes.txt", "dash");
    dir.Put("notes.txt", "plain");
    dir.Enter();
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--", "-notes.txt"}, "dash"},
        {{"-x", "--", "-notes.txt", "notes.txt"}, "dash"},
        {{"-notes.txt", "--"}, ""},
        {{"notes.txt", "--"}, "plain"},
    };
    for (const auto& [args, text] : cases) {
        SCOPED_TRACE(args.front() + " " + args[1]);
        ASSERT_TRUE(Start(args));
        EXPECT_EQ(Text(), text);
        Frame()->DestroyWindow();
        theApp.ExitInstance();
    }
}

TEST_F(EditorTest, FlagsAloneStartWithANewText)
{
    ASSERT_TRUE(Start({"-x", "/p"}));
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Doc()->GetTitle(), u"Untitled");
    EXPECT_TRUE(Doc()->GetPathName().IsEmpty());
}

TEST_F(EditorTest, AFileThatCannotBeOpenedEndsStartUpAfterItsMessage)
{
    ScratchFolder dir;
    host.OnModal([&] { host.ClickButton(u"OK"); });
    EXPECT_FALSE(Start({dir / "missing.txt"}));
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].caption, u"tessel");
    EXPECT_NE(host.MessageBoxes()[0].text.find(u"missing.txt"), std::u16string::npos);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    // The program's exit status says it failed.
    EXPECT_EQ(theApp.ExitInstance(), 1);
}

// --- the about box ---

TEST_F(EditorTest, AboutBoxShowsItsTextsCentredOverTheFrame)
{
    ASSERT_TRUE(Start());
    Type(u"changed");
    ASSERT_TRUE(Doc()->IsModified());
    CRect frame = GetWindowRect(Frame()->m_hWnd);
    bool seen = false;
    host.OnModal([&] {
        seen = true;
        HWND box = WindowSystem::Get().ActiveTopLevel();
        ASSERT_NE(box, Frame()->m_hWnd);
        EXPECT_EQ(GetWindowText(box), u"About Tessel");
        EXPECT_EQ(GetWindow(box, GW_OWNER), Frame()->m_hWnd);
        // A client area of 139 x 89 dialog units, centred over the frame.
        EXPECT_EQ(GetClientRect(box).Size(), CSize(139 * 3, 89 * 2));
        CRect r = GetWindowRect(box);
        EXPECT_LE(std::abs((r.left - frame.left) - (frame.right - r.right)), 1);
        EXPECT_LE(std::abs((r.top - frame.top) - (frame.bottom - r.bottom)), 1);
        // What a person sees: the caption with its OK button, both texts.
        CPoint caption = host.Find(u"About Tessel");
        CPoint version = host.Find(u"Tessel Version 1.0");
        CPoint build = host.Find(u"Build: 57.0");
        EXPECT_GE(caption.x, 0);
        EXPECT_GT(version.y, caption.y);
        EXPECT_GT(build.y, version.y);
        EXPECT_LT(build.x, version.x);
        EXPECT_GE(host.Find(u"[OK]").x, 0);
        // The application icon, drawn in its colours left of the texts.
        HWND icon = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLong(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                icon = child;
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(::SendMessage(icon, STM_GETICON), LRESULT(IDR_MAINFRAME));
        CRect cells = GetWindowCells(icon);
        EXPECT_LT(cells.right, version.x);
        int coloured = 0;
        for (int y = cells.top; y < cells.bottom; ++y)
            for (int x = cells.left; x < cells.right; ++x)
                coloured += host.Screen().At(x, y).fg >= 0 ? 1 : 0;
        EXPECT_GT(coloured, 0);
        // The about box keeps the frame's commands from running.
        EXPECT_FALSE(::IsWindowEnabled(Frame()->m_hWnd));
        host.ClickText(u"[OK]");
    });
    host.ClickText(u"Tools");
    host.ClickText(u"About Tessera...");
    host.Run();
    EXPECT_TRUE(seen);
    EXPECT_EQ(host.Find(u"About Tessel").x, -1);
    EXPECT_TRUE(::IsWindowEnabled(Frame()->m_hWnd));
    // The document is untouched and the focus back in the text.
    EXPECT_EQ(Text(), "changed");
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(EditorTest, AboutBoxClosesWithEscape)
{
    ASSERT_TRUE(Start());
    host.OnModal([&] {
        EXPECT_GE(host.Find(u"Build: 57.0").x, 0);
        host.Key(VK_ESCAPE, 0x1B);
    });
    Command(ID_APP_ABOUT);
    EXPECT_EQ(host.Find(u"Build: 57.0").x, -1);
    EXPECT_TRUE(Frame()->IsWindowEnabled());
}

// --- closing ---

TEST_F(EditorTest, CtrlQClosesAnUnchangedTextWithoutAsking)
{
    ASSERT_TRUE(Start());
    Ctrl('Q');
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(EditorTest, CtrlQAsksToSaveAChangedTextAndNoCloses)
{
    ASSERT_TRUE(Start());
    Type(u"draft");
    host.OnModal([&] { host.ClickButton(u"No"); });
    Ctrl('Q');
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, u"Save changes to Untitled?");
    EXPECT_EQ(host.MessageBoxes()[0].caption, u"tessel");
    EXPECT_EQ(host.MessageBoxes()[0].type & MB_TYPEMASK, UINT(MB_YESNOCANCEL));
    EXPECT_EQ(host.MessageBoxes()[0].type & MB_ICONMASK, UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST_F(EditorTest, CancelAtTheSavePromptKeepsTheEditorRunning)
{
    ASSERT_TRUE(Start());
    Type(u"draft");
    host.OnModal([&] { host.ClickButton(u"Cancel"); });
    Ctrl('Q');
    EXPECT_EQ(host.MessageBoxes().size(), 1u);
    ASSERT_NE(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(Text(), "draft");
    EXPECT_TRUE(Doc()->IsModified());
    // Still working: the next key goes into the text.
    Type(u"!");
    EXPECT_EQ(Text(), "draft!");
}

TEST_F(EditorTest, FileExitAndTheCloseButtonCloseLikeCtrlQ)
{
    ASSERT_TRUE(Start());
    host.ClickText(u"File");
    host.OnModal([&] { host.ClickText(u"Exit"); });
    host.Run();
    EXPECT_EQ(AfxGetMainWnd(), nullptr);

    EXPECT_EQ(theApp.ExitInstance(), 0);
    ASSERT_TRUE(Start());
    Type(u"x");
    host.OnModal([&] { host.ClickButton(u"No"); });
    host.ClickText(u"[x]");
    host.Run();
    EXPECT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}
