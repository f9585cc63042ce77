#include "InstallerHarness.h"
#include "framework/res/ResourceTypes.h"
#include "tests/support/PopupScreen.h"

namespace {

const char* const kFolders[] = {"PocketPC2002", "PocketPC", "HPCPro", "PalmSize"};
const char* const kNames[] = {"Pocket PC 2002", "Pocket PC", "H/PC Pro 2.11", "Palm-Size 2.11"};

// The marker's lines that tell what ran and how.
std::string Program(const std::string& marker)
{
    size_t at = marker.find("program:");
    return at == std::string::npos ? std::string() : marker.substr(at + 8, marker.find('\n', at) - at - 8);
}
bool HasLine(const std::string& marker, const std::string& line)
{
    return ("\n" + marker).find("\n" + line + "\n") != std::string::npos;
}

}  // namespace

TEST_F(InstallerTest, PlatformListOpensWithTheFourPlatformsAndNothingChosen)
{
    WriteBytes(dir / "EULA.txt", "Terms.");
    MakeAllInstallers();
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        EXPECT_EQ(PlatformField(), "");
        EXPECT_FALSE(Enabled(u"Continue"));
        EXPECT_TRUE(Enabled(u"Cancel"));
        // The agreement stays on screen beneath, disabled.
        EXPECT_NE(host.Find(u"End User License Agreement").x, -1);
        EXPECT_FALSE(IsWindowEnabled(GetTopLevel(FindControl(u"End User License Agreement", IDOK))));
        // A click on the disabled "Continue" does nothing.
        host.ClickButton(u"Continue");
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        ClickPlatformField();
    });
    host.OnModal([&] {
        std::vector<std::string> rows = DroppedRows();
        ASSERT_GE(rows.size(), 4u) << host.ScreenText();
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(rows[i], kNames[i]) << "row " << i;
        for (size_t i = 4; i < rows.size(); ++i)
            EXPECT_EQ(rows[i], "") << "row " << i;
        host.Key(VK_ESCAPE, 27);  // closes the list, chooses nothing
    });
    // Enter in the list presses the default button, which is disabled.
    host.OnModal([&] { host.Key(VK_RETURN, u'\r'); });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        EXPECT_EQ(PlatformField(), "");
        EXPECT_FALSE(Enabled(u"Continue"));
        host.ClickButton(u"Cancel");
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    for (const char* folder : kFolders)
        EXPECT_FALSE(Ran(folder)) << folder;
}

// Each platform, chosen from the dropped list, enables "Continue", which
// starts that platform's installer by its full path, with no arguments and
// in the launcher's current folder, and closes both dialogs.
TEST_F(InstallerTest, ContinueStartsTheChosenPlatformsInstaller)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(kNames[i]);
        host.ClearRecords();
        host.OnModal([&] { host.ClickButton(u"I Agree"); });
        host.OnModal([&] { ClickPlatformField(); });
        host.OnModal([&] { ClickDroppedRow(i); });
        host.OnModal([&] {
            EXPECT_EQ(PlatformField(), kNames[i]);
            EXPECT_TRUE(Enabled(u"Continue"));
            host.ClickButton(u"Continue");
        });
        Run();
        EXPECT_EQ(Active(), nullptr) << "a dialog is still open";
        EXPECT_TRUE(host.MessageBoxes().empty());
        auto marker = WaitForMarker(kFolders[i]);
        ASSERT_TRUE(marker) << kFolders[i] << "/setup.exe did not start";
        EXPECT_EQ(Program(*marker), (dir / kFolders[i] / "setup.exe").string());
        EXPECT_TRUE(HasLine(*marker, "argc:0")) << *marker;
        EXPECT_TRUE(HasLine(*marker, "cwd:" + std::filesystem::current_path().string())) << *marker;
        // One program starts per hand-off: the others have not run.
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(Ran(kFolders[j]), j <= i) << kFolders[j];
    }
}

// At 40 x 12 cells both dialogs show cut inside their frames, keep their
// captions and close boxes, and scroll to the focused control: every
// button is reached with Tab and pressed with Enter or a click.
TEST_F(InstallerTest, AtFortyByTwelveEveryButtonIsReachedAndPressed)
{
    std::string terms;
    for (int i = 1; i <= 60; ++i)
        terms += "Clause " + std::to_string(i) + ".\r\n";
    WriteBytes(dir / "EULA.txt", terms);
    MakeAllInstallers();
    host.Resize(40, 12);
    host.Run();
    auto framed = [&](std::u16string_view caption, std::u16string_view focused) {
        EXPECT_TRUE(ShowsCaptionAndCloseBox(host, caption)) << host.ScreenText();
        EXPECT_EQ(Focused(), focused);
        EXPECT_TRUE(ShowsInFrame(host, focused)) << host.ScreenText();
    };
    host.OnModal([&] {
        framed(u"End User License Agreement", u"I Agree");
        host.Key(VK_TAB, u'\t');
    });
    host.OnModal([&] {
        framed(u"End User License Agreement", u"I Disagree");
        host.ClickButton(u"I Disagree");
    });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsInFrame(host, u"OK")) << host.ScreenText();
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] {
        EXPECT_TRUE(ShowsInFrame(host, u"No")) << host.ScreenText();
        host.ClickButton(u"No");
    });
    host.OnModal([&] {
        host.Key(VK_TAB, u'\t', false, true);  // back to "I Agree"
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] {
        framed(u"Platform Selection", u"Cancel");
        host.Key(VK_TAB, u'\t');
        host.Key(VK_DOWN);  // "Pocket PC 2002"
        host.Key(VK_TAB, u'\t');
    });
    host.OnModal([&] {
        framed(u"Platform Selection", u"Continue");
        host.ClickButton(u"Continue");
    });
    Run();
    EXPECT_EQ(Active(), nullptr);
    EXPECT_TRUE(WaitForMarker("PocketPC2002"));
}

TEST_F(InstallerTest, ArrowKeysChooseInTheClosedList)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] {
        // "Continue" is disabled, so the focus starts on "Cancel"; Tab
        // moves on to the list.
        host.Key(VK_TAB, u'\t');
        host.Key(VK_DOWN);
    });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "Pocket PC 2002");
        EXPECT_TRUE(Enabled(u"Continue"));
        for (int k = 0; k < 4; ++k)
            host.Key(VK_DOWN);  // the last one stays at the end
    });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "Palm-Size 2.11");
        EXPECT_TRUE(Enabled(u"Continue"));
        host.Key(VK_UP);
    });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "H/PC Pro 2.11");
        // Enter in the list presses the default button, "Continue".
        host.Key(VK_RETURN, u'\r');
    });
    Run();
    EXPECT_EQ(Active(), nullptr);
    auto marker = WaitForMarker("HPCPro");
    ASSERT_TRUE(marker);
    EXPECT_EQ(Program(*marker), (dir / "HPCPro" / "setup.exe").string());
}

// In the closed list, Home, End and the first letter of an entry choose it;
// the same letter again goes on to the next entry with that letter.
TEST_F(InstallerTest, HomeEndAndLettersChooseInTheClosedList)
{
    struct Step {
        UINT vk;
        char16_t ch;
        const char* shown;
    };
    const Step steps[] = {
        {VK_END, 0, "Palm-Size 2.11"}, {VK_HOME, 0, "Pocket PC 2002"}, {'H', u'h', "H/PC Pro 2.11"},
        {'P', u'p', "Palm-Size 2.11"}, {'P', u'P', "Pocket PC 2002"},  {'P', u'p', "Pocket PC"},
        {'X', u'x', "Pocket PC"},      {VK_NEXT, 0, "Palm-Size 2.11"}, {VK_PRIOR, 0, "Pocket PC 2002"},
    };
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] { host.Key(VK_TAB, u'\t'); });
    for (const Step& s : steps) {
        host.OnModal([&] { host.Key(s.vk, s.ch); });
        host.OnModal([&] {
            EXPECT_EQ(PlatformField(), s.shown) << "after key " << s.vk;
            EXPECT_TRUE(Enabled(u"Continue"));
            EXPECT_EQ(Caption(), u"Platform Selection");
        });
    }
    host.OnModal([&] { host.ClickButton(u"Cancel"); });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_TRUE(host.Beeps().empty());
}

// The dropped list is framed apart from the dialog beneath, and nothing in
// it is highlighted until an arrow key moves onto an entry.
TEST_F(InstallerTest, DroppedListStandsApartAndHighlightsOnlyAChoice)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] { ClickPlatformField(); });
    auto highlighted = [&] {
        CRect inside = WindowSystem::Get().Viewport().ChildArea(Active());
        std::vector<int> rows;
        for (int y = inside.top; y < inside.bottom; ++y)
            if (host.Screen().At(inside.left + 1, y).attr & ATTR_REVERSE)
                rows.push_back(y - inside.top);
        return rows;
    };
    host.OnModal([&] {
        CRect list = GetWindowCells(Active());
        const Canvas& screen = host.Screen();
        EXPECT_EQ(screen.At(list.left, list.top).ch, u'\u2502');
        EXPECT_EQ(screen.At(list.left, list.bottom - 1).ch, u'\u2514');
        EXPECT_EQ(screen.At(list.left + 1, list.bottom - 1).ch, u'\u2500');
        EXPECT_EQ(highlighted(), std::vector<int>{});
        host.Key(VK_DOWN);
    });
    host.OnModal([&] {
        EXPECT_EQ(highlighted(), std::vector<int>{0});
        host.Key(VK_ESCAPE, 27);
    });
    host.OnModal([&] { host.ClickButton(u"Cancel"); });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
}

TEST_F(InstallerTest, DroppedListIsAlsoWorkedByKeys)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] {
        host.Key(VK_TAB, u'\t');
        host.Key(VK_F4);  // drops the list down
    });
    host.OnModal([&] {
        EXPECT_EQ(DroppedRows().at(3), "Palm-Size 2.11");
        host.Key(VK_DOWN);
        host.Key(VK_DOWN);
        host.Key(VK_DOWN);
        host.Key(VK_DOWN);
        host.Key(VK_RETURN, u'\r');  // chooses, and only closes the list
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        EXPECT_EQ(PlatformField(), "Palm-Size 2.11");
        EXPECT_TRUE(Enabled(u"Continue"));
        host.ClickButton(u"Continue");
    });
    Run();
    auto marker = WaitForMarker("PalmSize");
    ASSERT_TRUE(marker);
    EXPECT_EQ(Program(*marker), (dir / "PalmSize" / "setup.exe").string());
}

// Cancel, Esc and the close box ask "Quit Setup?"; No keeps the choice and
// the state of "Continue" as they were.
TEST_F(InstallerTest, QuitAnsweredNoKeepsTheChoice)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    // Nothing chosen yet: Cancel, No, and "Continue" stays disabled.
    host.OnModal([&] { host.ClickButton(u"Cancel"); });
    host.OnModal([&] {
        EXPECT_EQ(host.MessageBoxes().back().text, u"Quit Setup?");
        EXPECT_EQ(host.MessageBoxes().back().caption, u"setup");
        EXPECT_EQ(host.MessageBoxes().back().type & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_YESNO | MB_ICONEXCLAMATION));
        host.ClickButton(u"No");
    });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "");
        EXPECT_FALSE(Enabled(u"Continue"));
        ClickPlatformField();
    });
    host.OnModal([&] { ClickDroppedRow(2); });
    host.OnModal([&] { host.ClickButton(u"Cancel"); });
    host.OnModal([&] { host.ClickButton(u"No"); });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "H/PC Pro 2.11");
        EXPECT_TRUE(Enabled(u"Continue"));
        host.Key(VK_ESCAPE, 27);
    });
    host.OnModal([&] { host.ClickButton(u"No"); });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "H/PC Pro 2.11");
        ClickCloseBox();
    });
    host.OnModal([&] { host.ClickButton(u"No"); });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "H/PC Pro 2.11");
        EXPECT_TRUE(Enabled(u"Continue"));
        host.ClickButton(u"Continue");
    });
    Run();
    EXPECT_EQ(host.MessageBoxes().size(), 4u);
    for (const auto& box : host.MessageBoxes())
        EXPECT_EQ(box.text, u"Quit Setup?");
    auto marker = WaitForMarker("HPCPro");
    ASSERT_TRUE(marker);
    EXPECT_EQ(Program(*marker), (dir / "HPCPro" / "setup.exe").string());
}

// Cancel answered Yes ends setup and starts nothing, however it is asked.
TEST_F(InstallerTest, QuitAnsweredYesStartsNothing)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    struct Case {
        const char* name;
        std::function<void()> quit;
    };
    Case cases[] = {
        {"Cancel", [&] { host.ClickButton(u"Cancel"); }},
        {"Esc", [&] { host.Key(VK_ESCAPE, 27); }},
        {"close box", [&] { ClickCloseBox(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearRecords();
        host.OnModal([&] { host.ClickButton(u"I Agree"); });
        host.OnModal([&] { ClickPlatformField(); });
        host.OnModal([&] { ClickDroppedRow(2); });
        host.OnModal([&] {
            EXPECT_TRUE(Enabled(u"Continue"));
            c.quit();
        });
        host.OnModal([&] { host.ClickButton(u"Yes"); });
        Run();
        EXPECT_EQ(Active(), nullptr) << "a dialog is still open";
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].text, u"Quit Setup?");
    }
    // Setup starts programs as soon as it is asked to (it has returned by
    // now): a later hand-off's installer runs while the quit ones never did.
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] { ClickPlatformField(); });
    host.OnModal([&] { ClickDroppedRow(0); });
    host.OnModal([&] { host.ClickButton(u"Continue"); });
    Run();
    ASSERT_TRUE(WaitForMarker("PocketPC2002"));
    EXPECT_FALSE(Ran("HPCPro"));
    EXPECT_FALSE(Ran("PocketPC"));
    EXPECT_FALSE(Ran("PalmSize"));
}

// Setup has ended while the installer it started still runs: the installer
// waits on a FIFO that the test writes to only after setup returned.
TEST_F(InstallerTest, SetupDoesNotWaitForTheInstaller)
{
    MakeAllInstallers();
    MakeHold();
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] { ClickPlatformField(); });
    host.OnModal([&] { ClickDroppedRow(3); });
    host.OnModal([&] { host.ClickButton(u"Continue"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
    // Had setup waited for the installer, the installer would have given up
    // on the FIFO before setup returned, and "released" would exist.
    EXPECT_FALSE(std::filesystem::exists(dir / "PalmSize" / "released"));
    ASSERT_TRUE(WaitForMarker("PalmSize"));
    ASSERT_TRUE(Release("go\n")) << "the installer is not waiting";
    auto released = WaitForFile(dir / "PalmSize" / "released");
    ASSERT_TRUE(released);
    EXPECT_EQ(*released, "go\n");
}

// Whatever the launcher's folder is called, the installer beside it starts,
// and no program that a part of the folder's name could stand for: the
// prefixes before a blank or a quote, and the tree that a backslash read as
// a separator would name.
TEST_F(InstallerTest, AnyFolderNameStartsTheChosenInstallerAndNothingElse)
{
    struct Case {
        std::string folder;
        std::vector<std::string> decoys;  // programs the name must not start
    };
    const Case cases[] = {
        {"My Tools/Tessel setup", {"My", "My Tools/Tessel"}},
        {"q\"x/staging", {"q"}},
        {"bs\\dir/staging", {"bs/dir/staging/PocketPC/setup.exe"}},
        {"new\nline/staging", {"new"}},
        {"-dash \xE9\xFF/staging", {"-dash"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        host.ClearRecords();
        std::filesystem::path folder = dir / c.folder;
        MakeAllInstallers(folder);
        WriteBytes(folder / "EULA.txt", "Terms.");
        for (const std::string& decoy : c.decoys) {
            std::filesystem::create_directories((dir / decoy).parent_path());
            WriteBytes(dir / decoy, "#!/bin/sh\necho \"decoy $0 $*\" > \"" + (dir / "decoy").string() + "\"\n");
            std::filesystem::permissions(dir / decoy, std::filesystem::perms::owner_all);
        }
        host.OnModal([&] { host.ClickButton(u"I Agree"); });
        host.OnModal([&] { ClickPlatformField(); });
        host.OnModal([&] { ClickDroppedRow(1); });
        host.OnModal([&] { host.ClickButton(u"Continue"); });
        Run("setup", folder);
        auto marker = WaitForMarker("PocketPC", folder);
        ASSERT_TRUE(marker) << "Pocket PC's installer did not start";
        // Its own path as its name (a line end in it too), no arguments.
        EXPECT_EQ(marker->rfind("program:" + (folder / "PocketPC" / "setup.exe").string() + "\nargc:0\n", 0), 0u)
            << *marker;
        EXPECT_FALSE(std::filesystem::exists(dir / "decoy")) << ReadBytes(dir / "decoy");
    }
}

// Renamed launchers find their own folder, and so their installers.
TEST_F(InstallerTest, RenamedLauncherStartsTheInstallerBesideIt)
{
    MakeAllInstallers();
    WriteBytes(dir / "EULA.txt", "Terms.");
    const char* names[] = {"tessel-setup", "setup (1)", "s"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        host.ClearRecords();
        host.OnModal([&] {
            EXPECT_TRUE(host.MessageBoxes().empty());
            host.ClickButton(u"I Agree");
        });
        host.OnModal([&] { ClickPlatformField(); });
        host.OnModal([&] { ClickDroppedRow(i); });
        host.OnModal([&] { host.ClickButton(u"Continue"); });
        Run(names[i]);
        auto marker = WaitForMarker(kFolders[i]);
        ASSERT_TRUE(marker);
        EXPECT_EQ(Program(*marker), (dir / kFolders[i] / "setup.exe").string());
    }
}

// The command line is not limited in length: a launcher deep in folders,
// its path far longer than 512 bytes, still starts its installer.
TEST_F(InstallerTest, LauncherDeepInFoldersStartsItsInstaller)
{
    std::filesystem::path folder = dir;
    for (int i = 0; folder.string().size() < 1500; ++i)
        folder /= "a rather long folder name number " + std::to_string(i) + std::string(100, 'x');
    MakeAllInstallers(folder);
    WriteBytes(folder / "EULA.txt", "Deep terms.");
    host.OnModal([&] {
        EXPECT_EQ(AgreementText(), u"Deep terms.");
        host.ClickButton(u"I Agree");
    });
    host.OnModal([&] { ClickPlatformField(); });
    host.OnModal([&] { ClickDroppedRow(2); });
    host.OnModal([&] { host.ClickButton(u"Continue"); });
    Run("setup", folder);
    auto marker = WaitForMarker("HPCPro", folder);
    ASSERT_TRUE(marker) << "the installer did not start";
    EXPECT_EQ(Program(*marker), (folder / "HPCPro" / "setup.exe").string());
}

// A missing installer is not reported: setup ends all the same.
TEST_F(InstallerTest, MissingInstallerEndsSetupSilently)
{
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] { ClickPlatformField(); });
    host.OnModal([&] { ClickDroppedRow(0); });
    host.OnModal([&] { host.ClickButton(u"Continue"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

// Platform lists other than the shipped ones, from a module with its own
// strings 1 and 2 (and setup's dialogs).
class PlatformListTest : public InstallerTest {
protected:
    std::vector<res::StringResource> strings;
    res::Module module;

    void UseLists(std::u16string_view names, std::u16string_view folders)
    {
        const res::Module& setup = SetupResources();
        strings = {{1, 1033, names}, {2, 1033, folders}};
        for (const res::StringResource& s : setup.strings)
            if (s.id > 2)
                strings.push_back(s);
        module = setup;
        module.strings = strings;
        AfxSetResourceHandle(&module);
    }

    // Opens the platform dialog, drops the list and hands its rows to check.
    void WithDroppedList(std::function<void(const std::vector<std::string>&)> check)
    {
        WriteBytes(dir / "EULA.txt", "Terms.");
        host.OnModal([&] { host.ClickButton(u"I Agree"); });
        host.OnModal([&] { ClickPlatformField(); });
        host.OnModal([this, check] {
            EXPECT_NE(Caption(), u"Platform Selection") << "no list dropped down";
            std::vector<std::string> rows = DroppedRows();
            while (!rows.empty() && rows.back().empty())
                rows.pop_back();
            check(rows);
        });
    }
};

TEST_F(PlatformListTest, ListsOfUnequalLengthGiveTheShorterCount)
{
    struct Case {
        std::u16string_view names, folders;
        std::vector<std::string> rows;
    };
    Case cases[] = {
        {u"One;Two;Three;", u"F1;F2;", {"One", "Two"}},       {u"One;", u"F1;F2;F3;", {"One"}},
        {u"One;Two", u"F1;F2;F3;", {"One", "Two"}},           {u"One;T", u"F1;F2;F3;", {"One", "T"}},
        {u"One;;Three;", u"F1;F2;F3;", {"One", "", "Three"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.names).ToUtf8() + " / " + CString(c.folders).ToUtf8());
        UseLists(c.names, c.folders);
        WithDroppedList([&](const std::vector<std::string>& rows) {
            EXPECT_EQ(rows, c.rows);
            host.Key(VK_ESCAPE, 27);
        });
        host.OnModal([&] { host.ClickButton(u"Cancel"); });
        host.OnModal([&] { host.ClickButton(u"Yes"); });
        Run();
    }
}

TEST_F(PlatformListTest, ChosenEntryStartsTheFolderAtTheSameIndex)
{
    UseLists(u"First;Second;Third;", u"Alpha;Beta;");
    for (const char* folder : {"Alpha", "Beta"})
        MakeInstaller(folder);
    WithDroppedList([&](const std::vector<std::string>& rows) {
        EXPECT_EQ(rows, (std::vector<std::string>{"First", "Second"}));
        ClickDroppedRow(1);
    });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "Second");
        host.ClickButton(u"Continue");
    });
    Run();
    auto marker = WaitForMarker("Beta");
    ASSERT_TRUE(marker);
    EXPECT_EQ(Program(*marker), (dir / "Beta" / "setup.exe").string());
    EXPECT_FALSE(Ran("Alpha"));
}

TEST_F(PlatformListTest, EmptyListsGiveOneEmptyEntry)
{
    UseLists(u"", u"");
    WithDroppedList([&](const std::vector<std::string>& rows) {
        // One row, empty: the list below it is blank.
        EXPECT_TRUE(rows.empty()) << rows.size() << " rows";
        ClickDroppedRow(0);
    });
    host.OnModal([&] {
        EXPECT_EQ(PlatformField(), "");
        EXPECT_TRUE(Enabled(u"Continue"));
        host.ClickButton(u"Cancel");
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
}

// The staging folder the build makes is laid out as setup ships.
TEST(StagingTest, BuildMakesARunnableStagingFolder)
{
    std::filesystem::path staging = std::filesystem::path(SETUP_PATH).parent_path().parent_path() / "staging";
    namespace fs = std::filesystem;
    ASSERT_TRUE(fs::is_directory(staging)) << staging;
    auto executable = [](const fs::path& p) {
        return fs::is_regular_file(p) && (fs::status(p).permissions() & fs::perms::owner_exec) != fs::perms::none;
    };
    EXPECT_TRUE(executable(staging / "setup"));
    EXPECT_GT(fs::file_size(staging / "EULA.txt"), 0u);
    EXPECT_GT(fs::file_size(staging / "readme.txt"), 0u);
    for (int i = 0; i < 4; ++i) {
        fs::path installer = staging / kFolders[i] / "setup.exe";
        EXPECT_TRUE(executable(installer)) << installer;
        // It says which platform it installs for.
        std::string command = std::string("'").append(installer.string()).append("'");
        FILE* out = popen(command.c_str(), "r");
        ASSERT_NE(out, nullptr);
        std::string said;
        char buf[256];
        while (size_t n = fread(buf, 1, sizeof buf, out))
            said.append(buf, n);
        EXPECT_EQ(pclose(out), 0);
        EXPECT_NE(said.find(kNames[i]), std::string::npos) << said;
    }
}
