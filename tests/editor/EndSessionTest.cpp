// The end of the session (the terminal hung up or went away, or a
// termination signal): a changed document's text goes, as Save writes it,
// to a new file beside its own; nothing is asked, nothing is written over,
// and one line says where the text went.
#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "framework/app/WinApp.h"
#include "framework/io/CrashCopy.h"
#include "framework/win/TextFaultInjection.h"
#include "tests/support/EditorTest.h"

namespace fs = std::filesystem;

class EndSessionTest : public EditorFolderTest {
protected:
    // Latin-1 text with CR LF line ends. The fallback folders are the
    // test's own.
    EndSessionTest()
    {
        Put("notes.txt", "caf\xE9\r\nna\xEFve");
        for (const char* name : {"XDG_STATE_HOME", "TMPDIR"})
            if (const char* value = std::getenv(name))
                m_settings.emplace_back(name, value);
        ::mkdir((places / "temp").c_str(), 0700);
        ::setenv("XDG_STATE_HOME", (places / "state").c_str(), 1);
        ::setenv("TMPDIR", (places / "temp").c_str(), 1);
    }
    ~EndSessionTest() override
    {
        ::unsetenv("XDG_STATE_HOME");
        ::unsetenv("TMPDIR");
        for (const auto& [name, value] : m_settings)
            ::setenv(name.c_str(), value.c_str(), 1);
    }

    support::ScratchFolder places{"/tmp/tessel-places-"};
    std::vector<std::pair<std::string, std::string>> m_settings;

    // The folder's files, "name=content" each, sorted (so "a.save=" comes
    // before "a=").
    std::vector<std::string> Files() const
    {
        std::vector<std::string> files;
        for (const std::string& name : Listing())
            files.push_back(name + "=" + Get(name).value_or(""));
        std::sort(files.begin(), files.end());
        return files;
    }

    std::vector<std::string> Reports() const
    {
        std::vector<std::string> lines;
        for (const auto& r : host.Reports())
            lines.push_back(CString(r.c_str()).ToUtf8());
        return lines;
    }

    // Ends the session with a signal, as the terminal host reports it.
    void EndSession(int signal = SIGHUP)
    {
        host.EndSession(signal);
        host.Run();
    }

    // Does what the crash handler does; returns what it said.
    static std::string Crash()
    {
        int report[2];
        if (pipe2(report, O_NONBLOCK | O_CLOEXEC) != 0)
            return "[no pipe]";
        CrashCopy::Write(report[1]);
        char line[4096];
        ssize_t n = read(report[0], line, sizeof line);
        close(report[0]);
        close(report[1]);
        return std::string(line, size_t(std::max<ssize_t>(n, 0)));
    }
};

TEST_F(EndSessionTest, ChangedTextGoesBesideItsFileAsSaveWritesIt)
{
    ASSERT_TRUE(Start({P("notes.txt")}));
    // A character above 0xFF is narrowed as Save narrows it after "Yes".
    Type(u"\u00C0\u20AC\u4E00 ");
    EndSession();
    EXPECT_TRUE(WindowSystem::Get().Router().InputEnded());
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(
        Files(),
        (std::vector<std::string>{"notes.txt.save=\xC0\xAC? caf\xE9\r\nna\xEFve", "notes.txt=caf\xE9\r\nna\xEFve"}));
    EXPECT_EQ(Reports(),
              (std::vector<std::string>{"tessel: The unsaved text of " + P("notes.txt") + " was written to "
                                        + P("notes.txt.save") + "."}));
    EXPECT_EQ(fs::status(P("notes.txt.save")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(EndSessionTest, TakenNamesAreLeftAlone)
{
    Put("notes.txt.save", "older copy");
    fs::create_symlink(P("elsewhere"), P("notes.txt.save.1"));  // a link to nothing counts as taken
    ASSERT_TRUE(Start({P("notes.txt")}));
    Type(u"x");
    EndSession(SIGTERM);
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"notes.txt.save.1=", "notes.txt.save.2=xcaf\xE9\r\nna\xEFve",
                                        "notes.txt.save=older copy", "notes.txt=caf\xE9\r\nna\xEFve"}));
    EXPECT_FALSE(fs::exists(P("elsewhere")));
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_NE(Reports()[0].find(P("notes.txt.save.2")), std::string::npos);
}

TEST_F(EndSessionTest, UntitledTextGoesToTheWorkingFolder)
{
    ASSERT_TRUE(Start());
    Type(u"draft\r");
    EndSession(0);
    EXPECT_EQ(Files(), (std::vector<std::string>{"Untitled.save=draft\r\n", "notes.txt=caf\xE9\r\nna\xEFve"}));
    EXPECT_EQ(
        Reports(),
        (std::vector<std::string>{"tessel: The unsaved text of Untitled was written to " + P("Untitled.save") + "."}));
}

TEST_F(EndSessionTest, UnchangedTextWritesNothing)
{
    ASSERT_TRUE(Start({P("notes.txt")}));
    EndSession();
    EXPECT_EQ(Files(), (std::vector<std::string>{"notes.txt=caf\xE9\r\nna\xEFve"}));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(EndSessionTest, AnOpenPromptIsNotAnswered)
{
    // Exit asks whether to save; the session ends while it asks. The copy
    // is written, the document's own file is not, and nothing more shows.
    ASSERT_TRUE(Start({P("notes.txt")}));
    Type(u"y");
    host.OnModal([&] { host.EndSession(SIGHUP); });
    Command(ID_APP_EXIT);
    EXPECT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(Files(),
              (std::vector<std::string>{"notes.txt.save=ycaf\xE9\r\nna\xEFve", "notes.txt=caf\xE9\r\nna\xEFve"}));
    EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(EndSessionTest, AFailedCopyIsReported)
{
    ASSERT_TRUE(Start({P("notes.txt")}));
    Type(u"z");
    FaultInjection::Fail(FaultInjection::kWrite, 0, ENOSPC);
    EndSession();
    FaultInjection::Reset();
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_EQ(Files(), (std::vector<std::string>{"notes.txt=caf\xE9\r\nna\xEFve"}));
    EXPECT_EQ(Reports(),
              (std::vector<std::string>{"tessel: The unsaved text of " + P("notes.txt")
                                        + " was lost: Disk full while accessing " + P("notes.txt.save") + "."}));
}

TEST_F(EndSessionTest, TheExitStatusIsNotSuccess)
{
    // The whole program: started, typed in, its session ended by SIGTERM.
    host.Type(u"t");
    host.EndSession(SIGTERM);
    char name[] = "tessel";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(AfxWinMain(host, 1, argv), 128 + SIGTERM);
    EXPECT_TRUE(fs::exists(P("Untitled.save")));
    WindowSystem::Get().SetHost(&host);
}

TEST_F(EndSessionTest, ACrashWritesTheChangedTextAsTheEndOfTheSessionWould)
{
    int report[2];
    ASSERT_EQ(pipe2(report, O_NONBLOCK | O_CLOEXEC), 0);
    ASSERT_TRUE(Start({P("notes.txt")}));
    EXPECT_FALSE(CrashCopy::Write(report[1]));  // nothing changed
    Type(u"\u00C0 ");
    EXPECT_TRUE(CrashCopy::Write(report[1]));
    Command(ID_FILE_SAVE);
    EXPECT_FALSE(CrashCopy::Write(report[1]));  // saved
    char line[4096];
    ssize_t n = read(report[0], line, sizeof line);
    close(report[0]);
    close(report[1]);
    EXPECT_EQ(std::string(line, size_t(std::max<ssize_t>(n, 0))),
              "tessel: The unsaved text of " + P("notes.txt") + " was written to " + P("notes.txt.save") + ".\n");
    EXPECT_EQ(
        Files(),
        (std::vector<std::string>{"notes.txt.save=\xC0 caf\xE9\r\nna\xEFve", "notes.txt=\xC0 caf\xE9\r\nna\xEFve"}));
}

// Where the copy cannot go beside its file (here a name one byte too long
// for the folder), it goes to the state folder under the name cut to fit,
// from a crash and at the end of the session alike, never over a copy.
TEST_F(EndSessionTest, ACopyThatCannotGoBesideItsFileGoesToTheStateFolder)
{
    const std::string name(251, 'n');
    const std::string fitted = places / "state/tessel/" + name.substr(0, 246) + ".save";
    Put(name, "x");
    ASSERT_TRUE(Start({P(name)}));
    Type(u"y");
    EXPECT_EQ(Crash(), "tessel: The unsaved text of " + P(name) + " was written to " + fitted + ".\n");
    EndSession();
    EXPECT_EQ(
        Reports(),
        (std::vector<std::string>{"tessel: The unsaved text of " + P(name) + " was written to " + fitted + ".1."}));
    EXPECT_EQ(places.Get("state/tessel/" + name.substr(0, 246) + ".save.1"), "yx");
    EXPECT_EQ(support::ModeOf(places / "state/tessel"), mode_t(0700));
}

// A crash inside a change of the text writes the whole text before the
// change or after it, or nothing and says so: never a text half changed.
TEST_F(EndSessionTest, ACrashInsideAChangeWritesAWholeTextOrSaysThatNoneWasWritten)
{
    std::u16string lines;
    for (int i = 0; i < 1000; ++i)
        lines += U16("line " + std::to_string(i) + "\n");
    const std::string written
        = "tessel: The unsaved text of " + P("notes.txt") + " was written to " + P("notes.txt.save") + ".\n";
    const std::string none = "tessel: The unsaved text of " + P("notes.txt")
        + " was lost: It was half way through a change, so no copy of it was written.\n";
    using Fault = TextFaultInjection;
    struct Case {
        const char* what;
        Fault::Point point;
        std::function<void()> prepare;
        std::function<void()> act;
    };
    const Case cases[] = {
        {"typing far from the last change", Fault::ptMoveGap, [&] { Key(VK_END, true); }, [&] { Type(u"X"); }},
        {"a paste longer than the room", Fault::ptGrow, [] {}, [&] { Paste(std::u16string(20000, u'p')); }},
        {"typing over a selection", Fault::ptReplace, [&] { Select(100, 5000); }, [&] { Type(u"X"); }},
        {"replace all", Fault::ptAssign,
         [&] {
             Command(ID_TOOLS_FIND_REPLACE);
             Fill(IDC_FIND_TEXT, u"line");
             Tap(IDC_FIND);
             Fill(IDC_REPLACE_TEXT, u"LINE");
         },
         [&] { Tap(IDC_REPLACE_ALL); }},
    };
    ASSERT_TRUE(Start({P("notes.txt")}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Load(lines);
        Type(u"a");
        c.prepare();
        const std::string before = Text();
        // Each time the change passes its point, a crash.
        std::vector<std::string> outcomes;
        Fault::SetHook([&](Fault::Point point) {
            if (point != c.point)
                return;
            const std::string said = Crash();
            outcomes.push_back(said + Get("notes.txt.save").value_or(""));
            fs::remove(P("notes.txt.save"));
        });
        c.act();
        Fault::Reset();
        const std::string after = Text();
        ASSERT_NE(before, after);
        for (const std::string& outcome : outcomes)
            EXPECT_TRUE(outcome == written + before || outcome == written + after || outcome == none)
                << outcome.substr(0, 200);
        EXPECT_GE(std::count(outcomes.begin(), outcomes.end(), none), 1) << "no crash came half way";
    }
}

// While a file loads over a text whose changes were given up, a crash
// writes nothing, least of all the file's text under the old name; loaded
// and changed, the text goes under its own.
TEST_F(EndSessionTest, ACrashWhileAFileLoadsWritesNoCopy)
{
    Put("second.txt", "second");
    ASSERT_TRUE(Start({P("notes.txt")}));
    Type(u"x");
    std::vector<std::string> said;
    FaultInjection::SetPauseHook([&](FaultInjection::Operation op) {
        if (op == FaultInjection::kRead)
            said.push_back(Crash());
    });
    Open("second.txt", {u"No"});
    FaultInjection::Reset();
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said, std::vector<std::string>(said.size(), ""));
    Type(u"y");
    EXPECT_EQ(Crash(),
              "tessel: The unsaved text of " + P("second.txt") + " was written to " + P("second.txt.save") + ".\n");
    EXPECT_EQ(
        Files(),
        (std::vector<std::string>{"notes.txt=caf\xE9\r\nna\xEFve", "second.txt.save=ysecond", "second.txt=second"}));
}

// An untitled text whose working folder is gone, with no state folder to
// be had, goes to the temporary folder: never to the root.
TEST_F(EndSessionTest, UntitledTextWithoutItsWorkingFolderGoesToTheTemporaryFolder)
{
    places.Put("state", "a file where the state folder would be");
    ASSERT_TRUE(Start());
    Type(u"draft");
    fs::create_directory(P("gone"));
    ASSERT_EQ(::chdir(P("gone").c_str()), 0);
    fs::remove(P("gone"));
    EndSession();
    EXPECT_EQ(Reports(),
              (std::vector<std::string>{"tessel: The unsaved text of Untitled was written to "
                                        + places / "temp/Untitled.save" + "."}));
    EXPECT_EQ(places.Get("temp/Untitled.save"), "draft");
}
