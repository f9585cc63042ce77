#include <sys/stat.h>
#include <sys/wait.h>

#include "InstallerHarness.h"
#include "framework/io/File.h"
#include "installer/AgreementDlg.h"
#include "tests/support/Text.h"

namespace {

const char16_t kMissingAgreement[]
    = u"Can't open eula.txt. Before you continue, you must see eula.txt and agree with the license agreement "
      u"terms! Try to locate it manually!";
const char16_t kDisagreeNotice[]
    = u"You shall either destroy the Software and documentation or return the Software and documentation to the "
      u"place where it was obtained, or you shall accept the terms of End-User License Agreement.";

// The buttons and icon of a box, without the framework's foreground flag.
UINT Style(const HeadlessHost::MessageBoxRecord& box) { return box.type & (MB_TYPEMASK | MB_ICONMASK); }

}  // namespace

// The way out every test below ends with: "I Disagree", the notice, Yes.
#define QUIT_AFTER_DISAGREEING()                                                                                       \
    do {                                                                                                               \
        host.OnModal([&] { host.ClickButton(u"OK"); });                                                                \
        host.OnModal([&] { host.ClickButton(u"Yes"); });                                                               \
    } while (0)

TEST_F(InstallerTest, DisagreeThenYesEndsWithoutStartingAnything)
{
    WriteBytes(dir / "EULA.txt", "Terms.");
    MakeAllInstallers();
    host.OnModal([&] { host.ClickButton(u"I Disagree"); });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"setup");
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_EQ(Active(), nullptr) << "the agreement dialog is still open";
    ASSERT_EQ(host.MessageBoxes().size(), 2u);
    EXPECT_EQ(host.MessageBoxes()[0].text, kDisagreeNotice);
    EXPECT_EQ(Style(host.MessageBoxes()[0]), UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(host.MessageBoxes()[1].text, u"Quit Setup?");
    EXPECT_EQ(Style(host.MessageBoxes()[1]), UINT(MB_YESNO | MB_ICONEXCLAMATION));
    for (const auto& box : host.MessageBoxes())
        EXPECT_EQ(box.caption, u"setup");
    for (const char* folder : {"PocketPC2002", "PocketPC", "HPCPro", "PalmSize"})
        EXPECT_FALSE(Ran(folder)) << folder;
}

TEST_F(InstallerTest, DisagreeAnsweredNoKeepsTheAgreementAndAsksAgainNextTime)
{
    WriteBytes(dir / "EULA.txt", "Terms of use.\r\nSecond line.");
    MakeAllInstallers();
    host.OnModal([&] { host.ClickButton(u"I Disagree"); });
    host.OnModal([&] { host.ClickButton(u"OK"); });
    host.OnModal([&] { host.ClickButton(u"No"); });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"End User License Agreement");
        EXPECT_EQ(AgreementText(), u"Terms of use.\r\nSecond line.");
        EXPECT_NE(host.Find(u"Second line.").x, -1) << host.ScreenText();
        EXPECT_EQ(host.MessageBoxes().size(), 2u);
        host.ClickButton(u"I Disagree");
    });
    host.OnModal([&] {
        EXPECT_EQ(host.MessageBoxes().back().text, kDisagreeNotice);
        host.ClickButton(u"OK");
    });
    host.OnModal([&] {
        EXPECT_EQ(host.MessageBoxes().back().text, u"Quit Setup?");
        host.ClickButton(u"No");
    });
    // Having read it twice, the user agrees after all.
    host.OnModal([&] { host.ClickButton(u"I Agree"); });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        host.ClickButton(u"Cancel");
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
    ASSERT_EQ(host.MessageBoxes().size(), 5u);
    EXPECT_EQ(host.MessageBoxes()[4].text, u"Quit Setup?");
}

// Esc and the caption's close box say "I Disagree".
TEST_F(InstallerTest, EscAndCloseBoxAskLikeDisagree)
{
    struct Case {
        const char* name;
        std::function<void()> act;
    };
    Case cases[] = {
        {"Esc", [&] { host.Key(VK_ESCAPE, 27); }},
        {"close box", [&] { ClickCloseBox(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearRecords();
        WriteBytes(dir / "EULA.txt", "Terms.");
        // First answered No: the agreement stays; then Yes: it ends.
        host.OnModal([&] { c.act(); });
        host.OnModal([&] { host.ClickButton(u"OK"); });
        host.OnModal([&] { host.ClickButton(u"No"); });
        host.OnModal([&] {
            EXPECT_EQ(Caption(), u"End User License Agreement");
            EXPECT_EQ(AgreementText(), u"Terms.");
            c.act();
        });
        QUIT_AFTER_DISAGREEING();
        Run();
        EXPECT_EQ(Active(), nullptr);
        ASSERT_EQ(host.MessageBoxes().size(), 4u);
        EXPECT_EQ(host.MessageBoxes()[0].text, kDisagreeNotice);
        EXPECT_EQ(host.MessageBoxes()[1].text, u"Quit Setup?");
        EXPECT_EQ(host.MessageBoxes()[2].text, kDisagreeNotice);
        EXPECT_EQ(host.MessageBoxes()[3].text, u"Quit Setup?");
    }
}

TEST_F(InstallerTest, EnterAgreesFromTheStartButNotInTheTextBox)
{
    WriteBytes(dir / "EULA.txt", "Line one\r\nLine two\r\n");
    // Enter in the text box: the box keeps Enter, and being read-only it
    // changes nothing; the dialog stays.
    host.OnModal([&] {
        CPoint at = host.Find(u"Line two");
        ASSERT_NE(at.x, -1) << host.ScreenText();
        host.Click(at.x, at.y);
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"End User License Agreement");
        EXPECT_EQ(AgreementText(), u"Line one\r\nLine two\r\n");
        EXPECT_TRUE(host.MessageBoxes().empty());
        // Tab from the text box, the last stop, on to "I Agree", and Enter.
        host.Key(VK_TAB, u'\t');
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        host.ClickButton(u"Cancel");
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
}

TEST_F(InstallerTest, EnterWhereTheFocusStartsAgrees)
{
    WriteBytes(dir / "EULA.txt", "Terms.");
    host.OnModal([&] {
        EXPECT_EQ(Focused(), u"I Agree");
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        host.Key(VK_ESCAPE, 27);
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, u"Quit Setup?");
}

TEST_F(InstallerTest, LongAgreementIsShownWholeAndInOrder)
{
    std::string terms;
    for (int i = 1; terms.size() < 100 * 1024; ++i)
        terms += "Clause " + std::to_string(i) + ": the licensee shall read every word of this clause.\r\n";
    terms += "The end.";
    WriteBytes(dir / "EULA.txt", terms);
    host.OnModal([&] {
        EXPECT_TRUE(host.MessageBoxes().empty());
        std::u16string shown = AgreementText();
        EXPECT_EQ(shown.size(), terms.size());
        EXPECT_TRUE(shown == support::Widened(terms)) << "the text box differs from the file";
        EXPECT_NE(host.Find(u"Clause 1: the licensee").x, -1) << host.ScreenText();
        host.ClickButton(u"I Disagree");
    });
    QUIT_AFTER_DISAGREEING();
    Run();
}

TEST_F(InstallerTest, WheelScrollsTheAgreementTextThreeLinesANotch)
{
    std::string terms;
    for (int i = 1; i <= 40; ++i)
        terms += "Clause " + std::to_string(i) + ".\r\n";
    WriteBytes(dir / "EULA.txt", terms);
    CPoint first;
    host.OnModal([&] {
        first = host.Find(u"Clause 1.");
        ASSERT_NE(first.x, -1) << host.ScreenText();
        host.Wheel(first.x, first.y, -1);
    });
    host.OnModal([&] {
        EXPECT_EQ(host.Find(u"Clause 4."), first) << host.ScreenText();
        EXPECT_EQ(host.Find(u"Clause 1.").x, -1);
        host.Wheel(first.x, first.y, 5);
    });
    host.OnModal([&] {
        EXPECT_EQ(host.Find(u"Clause 1."), first) << host.ScreenText();
        EXPECT_EQ(Focused(), u"I Agree") << "the wheel moves no focus";
        host.ClickButton(u"I Disagree");
    });
    QUIT_AFTER_DISAGREEING();
    Run();
}

TEST_F(InstallerTest, ZeroByteCutsTheRestOfItsBlockOnly)
{
    // The agreement is read 255 bytes at a time, each block taken as a
    // string: a zero byte ends its block, and the next block goes on.
    struct Case {
        const char* name;
        std::string file;
        std::string shown;
    };
    const std::string a100(100, 'a'), b154(154, 'b'), c100(100, 'c');
    Case cases[] = {
        {"inside the first block", a100 + '\0' + b154 + c100, a100 + c100},
        {"last byte of a block", std::string(254, 'a') + '\0' + c100, std::string(254, 'a') + c100},
        {"first byte of a block", std::string(255, 'a') + '\0' + std::string(254, 'b') + "tail",
         std::string(255, 'a') + "tail"},
        {"in the last, short block", std::string(255, 'a') + "end" + '\0' + "lost", std::string(255, 'a') + "end"},
        {"at the very start", std::string(1, '\0') + std::string(254, 'x') + "kept", "kept"},
        {"in two blocks",
         "one" + std::string(1, '\0') + std::string(251, 'x') + "two" + '\0' + std::string(251, 'y') + "three",
         "onetwothree"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearRecords();
        WriteBytes(dir / "EULA.txt", c.file);
        host.OnModal([&] {
            EXPECT_TRUE(host.MessageBoxes().empty());
            EXPECT_EQ(CString(AgreementText()).ToUtf8(), c.shown);
            host.ClickButton(u"I Disagree");
        });
        QUIT_AFTER_DISAGREEING();
        Run();
    }
}

TEST_F(InstallerTest, AgreementBytesAreShownUnconvertedWithTheirLineEnds)
{
    WriteBytes(dir / "EULA.txt", "Caf\xE9 terms\nUnix line\r\nDOS line\rOld Mac line\t(tab)");
    host.OnModal([&] {
        EXPECT_EQ(AgreementText(), u"Caf\u00E9 terms\nUnix line\r\nDOS line\rOld Mac line\t(tab)");
        host.ClickButton(u"I Disagree");
    });
    QUIT_AFTER_DISAGREEING();
    Run();
}

TEST_F(InstallerTest, EmptyAgreementGivesAnEmptyBoxAndNoMessage)
{
    WriteBytes(dir / "EULA.txt", "");
    MakeAllInstallers();
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"End User License Agreement");
        EXPECT_EQ(AgreementText(), u"");
        host.ClickButton(u"I Agree");
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        host.ClickButton(u"Cancel");
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, u"Quit Setup?");
}

TEST_F(InstallerTest, MissingAgreementIsReportedBeforeTheDialogAndAgreeingStillWorks)
{
    MakeAllInstallers();
    host.OnModal([&] {
        // The message comes first: the agreement dialog is not shown yet.
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].text, kMissingAgreement);
        EXPECT_EQ(host.MessageBoxes()[0].caption, u"setup");
        EXPECT_EQ(Style(host.MessageBoxes()[0]), UINT(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(Caption(), u"setup");
        EXPECT_EQ(host.Find(u"I Agree").x, -1) << host.ScreenText();
        host.ClickButton(u"OK");
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"End User License Agreement");
        EXPECT_EQ(AgreementText(), u"");
        host.ClickButton(u"I Agree");
    });
    host.OnModal([&] { ClickPlatformField(); });
    host.OnModal([&] { ClickDroppedRow(1); });
    host.OnModal([&] { host.ClickButton(u"Continue"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
    EXPECT_EQ(host.MessageBoxes().size(), 1u);
    auto marker = WaitForMarker("PocketPC");
    ASSERT_TRUE(marker) << "Pocket PC's installer did not start";
    EXPECT_NE(marker->find("program:" + (dir / "PocketPC" / "setup.exe").string() + "\n"), std::string::npos)
        << *marker;
}

// A file that cannot be read for whatever reason gives the same message,
// and the dialog opens with an empty text box.
TEST_F(InstallerTest, UnreadableAgreementGivesTheMissingMessage)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
    };
    Case cases[] = {
        {"a folder of that name", [&] { std::filesystem::create_directories(dir / "EULA.txt"); }},
        {"a FIFO, never waited on", [&] { ::mkfifo((dir / "EULA.txt").c_str(), 0666); }},
        {"a link to an endless device", [&] { std::filesystem::create_symlink("/dev/zero", dir / "EULA.txt"); }},
        {"access denied",
         [&] {
             WriteBytes(dir / "EULA.txt", "Terms.");
             FaultInjection::Fail(FaultInjection::kOpen, 1, EACCES);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearRecords();
        std::filesystem::remove_all(dir / "EULA.txt");
        c.arrange();
        host.OnModal([&] {
            FaultInjection::Reset();
            EXPECT_EQ(Caption(), u"setup");
            host.ClickButton(u"OK");
        });
        host.OnModal([&] {
            EXPECT_EQ(AgreementText(), u"");
            host.ClickButton(u"I Disagree");
        });
        QUIT_AFTER_DISAGREEING();
        Run();
        ASSERT_EQ(host.MessageBoxes().size(), 3u);
        EXPECT_EQ(host.MessageBoxes()[0].text, kMissingAgreement);
    }
}

// A file past the cap (which may grow while it is read) is read up to the
// cap only, and the user is told the rest is left out. The file is sparse:
// its zero bytes end each block's text, so only its first words show.
TEST_F(InstallerTest, AgreementPastTheCapIsCutAndTheUserTold)
{
    WriteBytes(dir / "EULA.txt", "Terms.");
    std::filesystem::resize_file(dir / "EULA.txt", CAgreementDlg::kMostAgreementBytes + 1);
    host.OnModal([&] {
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].text,
                  u"eula.txt is too long to show whole. Only its first 64 MB are shown; see eula.txt itself for "
                  u"the rest of the license agreement terms!");
        host.ClickButton(u"OK");
    });
    host.OnModal([&] {
        EXPECT_EQ(AgreementText(), u"Terms.");
        host.ClickButton(u"I Disagree");
    });
    QUIT_AFTER_DISAGREEING();
    Run();
}

// Another process holds the file open: to read it and let others only read
// (a shared lock), or to write it and let no one else in (an exclusive
// one). setup's open, which shares with no one, fails either way.
TEST_F(InstallerTest, AgreementHeldOpenByAnotherProgramGivesTheMissingMessage)
{
    WriteBytes(dir / "EULA.txt", "Terms.");
    std::string path = (dir / "EULA.txt").string();
    for (UINT mode :
         {UINT(CFile::modeRead | CFile::shareDenyWrite), UINT(CFile::modeReadWrite | CFile::shareExclusive)}) {
        SCOPED_TRACE(mode);
        host.ClearRecords();
        int ready[2], done[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(done), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            close(done[1]);
            CFile held;
            char ok = held.Open(CString::FromUtf8(path), mode) ? 1 : 0;
            (void)!write(ready[1], &ok, 1);
            char c;
            (void)!read(done[0], &c, 1);  // until the test closes its end
            _exit(0);
        }
        close(ready[1]);
        close(done[0]);
        char ok = 0;
        EXPECT_EQ(read(ready[0], &ok, 1), 1);
        EXPECT_EQ(ok, 1) << "the other process could not open the file";

        host.OnModal([&] {
            EXPECT_EQ(host.MessageBoxes().size(), 1u);
            host.ClickButton(u"OK");
        });
        host.OnModal([&] {
            EXPECT_EQ(AgreementText(), u"");
            host.ClickButton(u"I Disagree");
        });
        QUIT_AFTER_DISAGREEING();
        Run();
        close(done[1]);
        close(ready[0]);
        waitpid(child, nullptr, 0);
        ASSERT_FALSE(host.MessageBoxes().empty());
        EXPECT_EQ(host.MessageBoxes()[0].text, kMissingAgreement);

        // Once the other program has let go, the agreement reads as usual.
        host.ClearRecords();
        host.OnModal([&] {
            EXPECT_EQ(AgreementText(), u"Terms.");
            host.ClickButton(u"I Disagree");
        });
        QUIT_AFTER_DISAGREEING();
        Run();
        EXPECT_EQ(host.MessageBoxes().size(), 2u);
    }
}

// A read that fails after the file opened is reported, and the agreement
// dialog still opens, ready for Enter on "I Agree".
TEST_F(InstallerTest, ReadErrorIsReportedAndTheDialogStillOpens)
{
    WriteBytes(dir / "EULA.txt", std::string(600, 'x'));
    MakeAllInstallers();
    FaultInjection::Fail(FaultInjection::kRead, 2, EIO);
    host.OnModal([&] {
        FaultInjection::Reset();
        ASSERT_EQ(host.MessageBoxes().size(), 1u);
        EXPECT_EQ(host.MessageBoxes()[0].caption, u"setup");
        EXPECT_NE(host.MessageBoxes()[0].text.find(u"EULA.txt"), std::u16string::npos)
            << CString(host.MessageBoxes()[0].text).ToUtf8();
        host.ClickButton(u"OK");
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"End User License Agreement");
        EXPECT_EQ(AgreementText(), u"");
        EXPECT_EQ(Focused(), u"I Agree");
        host.Key(VK_RETURN, u'\r');
    });
    host.OnModal([&] {
        EXPECT_EQ(Caption(), u"Platform Selection");
        host.Key(VK_ESCAPE, 27);
    });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    EXPECT_EQ(Active(), nullptr);
}

// The launcher finds its folder and its title from its own path, whatever
// it is called.
TEST_F(InstallerTest, RenamedLauncherFindsItsAgreementAndNamesItselfInCaptions)
{
    for (const char* name : {"tessel-setup", "setup (1)", "s", "Setup.exe", "install.v2.bin"}) {
        SCOPED_TRACE(name);
        std::string title(name);
        if (size_t dot = title.rfind('.'); dot != std::string::npos && dot > 0)
            title.resize(dot);
        host.ClearRecords();
        WriteBytes(dir / "EULA.txt", "Renamed terms.");
        host.OnModal([&] {
            EXPECT_TRUE(host.MessageBoxes().empty());
            EXPECT_EQ(AgreementText(), u"Renamed terms.");
            host.ClickButton(u"I Disagree");
        });
        QUIT_AFTER_DISAGREEING();
        Run(name);
        ASSERT_EQ(host.MessageBoxes().size(), 2u);
        EXPECT_EQ(CString(host.MessageBoxes()[0].caption).ToUtf8(), title);
        EXPECT_EQ(CString(host.MessageBoxes()[1].caption).ToUtf8(), title);

        host.ClearRecords();
        std::filesystem::remove(dir / "EULA.txt");
        host.OnModal([&] { host.ClickButton(u"OK"); });
        host.OnModal([&] { host.ClickButton(u"I Disagree"); });
        QUIT_AFTER_DISAGREEING();
        Run(name);
        ASSERT_EQ(host.MessageBoxes().size(), 3u);
        EXPECT_EQ(host.MessageBoxes()[0].text, kMissingAgreement);
        EXPECT_EQ(CString(host.MessageBoxes()[0].caption).ToUtf8(), title);
    }
}

// The agreement is taken from the launcher's folder, not the current one.
TEST_F(InstallerTest, AgreementComesFromTheLauncherFolderNotTheCurrentOne)
{
    WriteBytes(dir / "elsewhere" / "EULA.txt", "Wrong terms.");
    WriteBytes(dir / "shipped" / "EULA.txt", "Right terms.");
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir / "elsewhere");
    host.OnModal([&] {
        EXPECT_EQ(AgreementText(), u"Right terms.");
        host.ClickButton(u"I Disagree");
    });
    QUIT_AFTER_DISAGREEING();
    Run("setup", dir / "shipped");
    std::filesystem::current_path(cwd);
}
