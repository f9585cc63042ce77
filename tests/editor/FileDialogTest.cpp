// The Open and Save As dialogs as a person uses them: what they show, the
// name field, the folder's entries chosen with arrows, Enter or taps, going
// into folders, and the checks they make before they end.
#include "tests/support/EditorTest.h"
#include "tests/support/PopupScreen.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// What an open file dialog shows, read from the screen.
struct DialogView {
    std::string title;
    std::string name;    // the name field
    std::string folder;  // the folder line above the list
    std::vector<std::string> entries;
    std::string selected;  // the highlighted entry
    std::string filter;
    bool open = false;
};

std::ostream& operator<<(std::ostream& os, const DialogView& v)
{
    os << "title=" << v.title << " name=" << v.name << " folder=" << v.folder << " entries=";
    for (const auto& e : v.entries)
        os << "[" << e << "]";
    return os << " selected=" << v.selected << " filter=" << v.filter;
}

}  // namespace

class FileDialogTest : public EditorFolderTest {
protected:
    FileDialogTest()
    {
        Put("alpha.txt", "alpha");
        Put("Beta.txt", "beta");
        Put("sub/inner.txt", "inner");
        fs::create_directory(P("zeta"));
    }

    // The cells x..x+width-1 of row y, trailing blanks dropped.
    std::string Cells(int x, int y, int width, bool* reversed = nullptr)
    {
        const Canvas& screen = host.Screen();
        std::u16string s;
        for (int i = x; i < x + width && screen.Contains(i, y); ++i) {
            s += screen.At(i, y).ch;
            if (reversed && i == x)
                *reversed = (screen.At(i, y).attr & ATTR_REVERSE) != 0;
        }
        while (!s.empty() && s.back() == u' ')
            s.pop_back();
        return CString(s).ToUtf8();
    }

    DialogView Look()
    {
        DialogView v;
        CPoint at = host.Find(u"File name:");
        CPoint filterAt = host.Find(u"Files of type:");
        if (at.x < 0 || filterAt.x < 0)
            return v;
        v.open = true;
        v.title = Cells(at.x, at.y - 1, 40);
        v.name = Cells(at.x + 11, at.y, 50);
        v.folder = Cells(at.x, at.y + 1, 60);
        for (int y = at.y + 2; y < filterAt.y; ++y) {
            bool reversed = false;
            std::string entry = Cells(at.x, y, 60, &reversed);
            if (entry.empty())
                continue;
            v.entries.push_back(entry);
            if (reversed)
                v.selected = entry;
        }
        v.filter = Cells(filterAt.x + 15, filterAt.y, 45);
        if (v.filter.size() >= 3 && v.filter.substr(v.filter.size() - 3) == "\u25BC")
            v.filter = v.filter.substr(0, v.filter.size() - 3);
        while (!v.filter.empty() && v.filter.back() == ' ')
            v.filter.pop_back();
        return v;
    }
};

TEST_F(FileDialogTest, OpenShowsTitleNameFieldFolderEntriesAndTheOneFilter)
{
    ASSERT_TRUE(Start());
    DialogView seen;
    int filters = -1;
    host.OnModal([&] {
        seen = Look();
        filters = int(::SendMessage(::GetDlgItem(WindowSystem::Get().ActiveTopLevel(), 1136), CB_GETCOUNT, 0, 0));
        host.ClickButton(u"Cancel");
    });
    Ctrl('O');
    ASSERT_TRUE(seen.open);
    EXPECT_EQ(seen.title, "Open");
    EXPECT_EQ(seen.name, "");
    EXPECT_EQ(seen.folder, dir.Path() + "/");
    // Up, then folders, then files, each group without regard to case.
    EXPECT_EQ(seen.entries, (std::vector<std::string>{"../", "sub/", "zeta/", "alpha.txt", "Beta.txt"})) << seen;
    EXPECT_EQ(seen.filter, "All Files (*.*)");
    EXPECT_EQ(filters, 1);
    EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
}

TEST_F(FileDialogTest, TypedNameAndEnterOpensTheFile)
{
    ASSERT_TRUE(Start());
    Open("Beta.txt");
    EXPECT_EQ(State(), "title=Beta.txt path=" + P("Beta.txt") + " unchanged text=\"beta\"");

    // A full path, and a path relative to the folder shown.
    Open(P("sub/inner.txt"));
    EXPECT_EQ(State(), "title=inner.txt path=" + P("sub/inner.txt") + " unchanged text=\"inner\"");
    Open("zeta/../alpha.txt");
    EXPECT_EQ(State(), "title=alpha.txt path=" + P("alpha.txt") + " unchanged text=\"alpha\"");

    // In double quotes, with blanks inside.
    Put("two words.txt", "two");
    Open("\"two words.txt\" ignored");
    EXPECT_EQ(State(), "title=two words.txt path=" + P("two words.txt") + " unchanged text=\"two\"");
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(FileDialogTest, ArrowsChooseFromTheListAndEnterOpens)
{
    ASSERT_TRUE(Start());
    std::vector<DialogView> seen;
    host.OnModal([&] {
        host.Key(VK_TAB, u'\t');  // from the name field to the list
        for (int i = 0; i < 5; ++i)
            host.Key(VK_DOWN);
        host.Key(VK_UP);
        host.OnModal([&] {
            seen.push_back(Look());
            host.Key(VK_RETURN, u'\r');
        });
    });
    Ctrl('O');
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].selected, "alpha.txt") << seen[0];
    EXPECT_EQ(seen[0].name, "alpha.txt") << "choosing a file puts its name in the field";
    EXPECT_EQ(State(), "title=alpha.txt path=" + P("alpha.txt") + " unchanged text=\"alpha\"");
}

TEST_F(FileDialogTest, EnterOnAFolderGoesIntoItAndUpAgain)
{
    ASSERT_TRUE(Start());
    std::vector<DialogView> seen;
    host.OnModal([&] {
        host.Key(VK_TAB, u'\t');
        host.Key(VK_DOWN);
        host.Key(VK_DOWN);  // "sub/"
        host.Key(VK_RETURN, u'\r');
        host.OnModal([&] {
            seen.push_back(Look());
            host.Key(VK_RETURN, u'\r');  // ".." is chosen on entering
            host.OnModal([&] {
                seen.push_back(Look());
                host.Key(VK_TAB, u'\t', false, true);  // back to the name field
                host.Type(u"sub\r");                   // a folder typed there
                host.OnModal([&] {
                    seen.push_back(Look());
                    host.Type(u"inner.txt\r");
                });
            });
        });
    });
    Ctrl('O');
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].folder, P("sub") + "/");
    EXPECT_EQ(seen[0].entries, (std::vector<std::string>{"../", "inner.txt"})) << seen[0];
    EXPECT_EQ(seen[1].folder, dir.Path() + "/");
    EXPECT_EQ(seen[1].entries.size(), 5u) << seen[1];
    EXPECT_EQ(seen[2].folder, P("sub") + "/");
    EXPECT_EQ(seen[2].name, "") << "entering a folder empties the name field";
    EXPECT_EQ(State(), "title=inner.txt path=" + P("sub/inner.txt") + " unchanged text=\"inner\"");
}

TEST_F(FileDialogTest, TapsChooseAndOpen)
{
    ASSERT_TRUE(Start());
    DialogView seen;
    host.OnModal([&] {
        host.ClickText(u"Beta.txt");
        host.OnModal([&] {
            seen = Look();
            host.ClickButton(u"Open");
        });
    });
    Ctrl('O');
    EXPECT_EQ(seen.selected, "Beta.txt") << seen;
    EXPECT_EQ(State(), "title=Beta.txt path=" + P("Beta.txt") + " unchanged text=\"beta\"");

    // A tap on the chosen entry opens it.
    host.OnModal([&] {
        CPoint entry = host.Find(u"alpha.txt");
        host.Click(entry.x, entry.y);
        host.Click(entry.x, entry.y);
    });
    Ctrl('O');
    EXPECT_EQ(State(), "title=alpha.txt path=" + P("alpha.txt") + " unchanged text=\"alpha\"");
}

TEST_F(FileDialogTest, WheelScrollsTheListByOneEntryANotchAndKeepsTheChoice)
{
    for (int i = 0; i < 20; ++i)
        Put("f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt", "");
    ASSERT_TRUE(Start());
    std::vector<DialogView> seen;
    CPoint list;
    host.OnModal([&] {
        host.Key(VK_TAB, u'\t');
        for (int i = 0; i < 4; ++i)
            host.Key(VK_DOWN);  // "alpha.txt"
        list = host.Find(u"../");
        host.Wheel(list.x, list.y, -2);
    });
    for (int notches : {-100, 1})
        host.OnModal([&, notches] {
            seen.push_back(Look());
            host.Wheel(list.x, list.y, notches);
        });
    host.OnModal([&] {
        seen.push_back(Look());
        host.Key(VK_ESCAPE);
    });
    host.Ctrl('O');
    host.Run();
    ASSERT_EQ(seen.size(), 3u);
    ASSERT_FALSE(seen[0].entries.empty());
    EXPECT_EQ(seen[0].entries.front(), "zeta/") << seen[0];
    EXPECT_EQ(seen[0].selected, "alpha.txt") << seen[0];
    ASSERT_FALSE(seen[1].entries.empty());
    EXPECT_EQ(seen[1].entries.back(), "f19.txt") << "far down, the list stops at its end: " << seen[1];
    EXPECT_EQ(seen[1].entries.front(), "f06.txt") << seen[1];
    ASSERT_FALSE(seen[2].entries.empty());
    EXPECT_EQ(seen[2].entries.front(), "f05.txt") << seen[2];
    EXPECT_EQ(seen[2].name, "alpha.txt");
}

// Made small while it is up, the dialog shows cut inside its frame with its
// caption and close box, follows the focus to each control, and shows whole
// again when the screen grows back.
TEST_F(FileDialogTest, ResizedSmallWhileUpItFollowsTheFocusAndGrowsBack)
{
    ASSERT_TRUE(Start());
    DialogView whole;
    host.OnModal([&] { host.Resize(40, 12); });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsCaptionAndCloseBox(host, u"Open")) << host.ScreenText();
        EXPECT_TRUE(ShowsInFrame(host, u"File name:")) << host.ScreenText();
        EXPECT_FALSE(ShowsInFrame(host, u"Cancel")) << host.ScreenText();
        for (int i = 0; i < 4; ++i)
            host.Key(VK_TAB, u'\t');  // the list, the filter, Open, Cancel
    });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsInFrame(host, u"Cancel")) << host.ScreenText();
        EXPECT_FALSE(ShowsInFrame(host, u"File name:")) << host.ScreenText();
        host.Resize(80, 24);
    });
    host.OnModal([&] {
        whole = Look();
        EXPECT_TRUE(ShowsInFrame(host, u"Cancel")) << host.ScreenText();
        host.Key(VK_RETURN, u'\r');
    });
    host.Ctrl('O');
    host.Run();
    EXPECT_TRUE(whole.open);
    EXPECT_EQ(whole.entries, (std::vector<std::string>{"../", "sub/", "zeta/", "alpha.txt", "Beta.txt"})) << whole;
    EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
}

TEST_F(FileDialogTest, OpenRequiresAnExistingFile)
{
    ASSERT_TRUE(Start());
    Type(u"draft");
    DialogView after;
    host.OnModal([&] { host.Type(u"missing.txt\r"); });
    host.OnModal([&] { host.ClickButton(u"OK"); });
    host.OnModal([&] {
        after = Look();
        host.Key(VK_ESCAPE);
    });
    Ctrl('O');
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{P("missing.txt") + "\nFile not found.\nCheck the file name and try again."});
    EXPECT_TRUE(after.open) << "the dialog stays for another name";
    EXPECT_EQ(after.name, "missing.txt");
    EXPECT_EQ(State(), "title=Untitled path= changed text=\"draft\"");
}

TEST_F(FileDialogTest, SaveAsShowsItsTitleAndProposesUntitled)
{
    ASSERT_TRUE(Start());
    Type(u"draft");
    DialogView seen;
    host.OnModal([&] {
        seen = Look();
        host.Type(u"new.txt\r");
    });
    Command(ID_FILE_SAVE_AS);
    host.Run();
    EXPECT_EQ(seen.title, "Save As");
    EXPECT_EQ(seen.name, "Untitled");
    EXPECT_EQ(seen.folder, dir.Path() + "/");
    EXPECT_EQ(seen.filter, "All Files (*.*)");
    EXPECT_EQ(Get("new.txt"), "draft");
    EXPECT_EQ(State(), "title=new.txt path=" + P("new.txt") + " unchanged text=\"draft\"");
}

TEST_F(FileDialogTest, SaveAsProposesTheTitleCutBeforeSpecialCharacters)
{
    ASSERT_TRUE(Start());
    struct Case {
        const char16_t* title;
        std::string proposed;
    } cases[] = {
        {u"notes#2", "notes"}, {u"50%off", "50"}, {u"a;b", "a"},       {u"x/y", "x"},
        {u"x\\y", "x"},        {u"#first", ""},   {u"plain", "plain"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proposed);
        Doc()->SetTitle(c.title);
        DialogView seen;
        host.OnModal([&] {
            seen = Look();
            host.Key(VK_ESCAPE);
        });
        Command(ID_FILE_SAVE_AS);
        host.Run();
        EXPECT_EQ(seen.name, c.proposed);
    }
}

TEST_F(FileDialogTest, SaveAsProposesTheDocumentsFullPath)
{
    ASSERT_TRUE(Start({P("sub/inner.txt")}));
    DialogView seen;
    host.OnModal([&] {
        seen = Look();
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Command(ID_FILE_SAVE_AS);
    host.Run();
    EXPECT_EQ(seen.folder, P("sub") + "/");
    EXPECT_EQ(seen.name, "inner.txt");
    EXPECT_EQ(Boxes(), std::vector<std::string>{P("sub/inner.txt") + " already exists.\nDo you want to replace it?"});
    EXPECT_EQ(Get("sub/inner.txt"), "inner");
}

TEST_F(FileDialogTest, SaveAsAsksBeforeReplacingAFile)
{
    ASSERT_TRUE(Start());
    Type(u"draft");
    const std::string ask = P("alpha.txt") + " already exists.\nDo you want to replace it?";

    // No: back in the dialog; then Cancel changes nothing.
    DialogView after;
    host.OnModal([&] { host.Type(u"alpha.txt\r"); });
    host.OnModal([&] { host.ClickButton(u"No"); });
    host.OnModal([&] {
        after = Look();
        host.ClickButton(u"Cancel");
    });
    Command(ID_FILE_SAVE_AS);
    host.Run();
    EXPECT_EQ(Boxes(), std::vector<std::string>{ask});
    EXPECT_EQ(host.MessageBoxes().at(0).type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_TRUE(after.open);
    EXPECT_EQ(Get("alpha.txt"), "alpha");
    EXPECT_EQ(State(), "title=Untitled path= changed text=\"draft\"");

    // Yes: replaced.
    host.ClearRecords();
    SaveAs("alpha.txt", {u"Yes"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{ask});
    EXPECT_EQ(Get("alpha.txt"), "draft");
    EXPECT_EQ(State(), "title=alpha.txt path=" + P("alpha.txt") + " unchanged text=\"draft\"");
}

TEST_F(FileDialogTest, SaveAsRequiresAnExistingFolder)
{
    ASSERT_TRUE(Start());
    Type(u"draft");
    SaveAs("nofolder/x.txt", {u"OK", u"Cancel"});
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{P("nofolder/x.txt") + "\nPath does not exist.\nCheck the path and try again."});
    EXPECT_FALSE(fs::exists(P("nofolder")));
    EXPECT_EQ(State(), "title=Untitled path= changed text=\"draft\"");
}

TEST_F(FileDialogTest, CancelAndEscapeChangeNothing)
{
    ASSERT_TRUE(Start({P("alpha.txt")}));
    Type(u"more ");
    for (bool escape : {false, true}) {
        host.OnModal([&] {
            host.Type(u"Beta.txt");
            if (escape)
                host.Key(VK_ESCAPE);
            else
                host.ClickButton(u"Cancel");
        });
        Ctrl('O');
        host.OnModal([&] {
            if (escape)
                host.Key(VK_ESCAPE);
            else
                host.ClickButton(u"Cancel");
        });
        Command(ID_FILE_SAVE_AS);
        host.Run();
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
    EXPECT_EQ(State(), "title=alpha.txt path=" + P("alpha.txt") + " changed text=\"more alpha\"");
    EXPECT_EQ(Get("alpha.txt"), "alpha");
    // The text has the keyboard again.
    Type(u"x");
    EXPECT_EQ(Text(), "more xalpha");
}
