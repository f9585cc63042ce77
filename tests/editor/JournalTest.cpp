// The recovery journal in the editor: when it is written (a fake clock),
// when it goes, what opening a file offers of one another Tessel left, and
// a journal that cannot be written.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "framework/app/RecoveryJournal.h"
#include "framework/io/JournalFile.h"
#include "framework/io/StateFolder.h"
#include "tests/support/EditorTest.h"

namespace {

RecoveryJournal::Clock::time_point g_now;

class JournalTest : public EditorFolderTest {
protected:
    JournalTest()
    {
        ::setenv("XDG_STATE_HOME", P("state").c_str(), 1);
        g_now = RecoveryJournal::Clock::time_point(std::chrono::hours(1));
        RecoveryJournal::Enable([] { return g_now; });
        Put("notes.txt", "old\n");
    }
    ~JournalTest() override
    {
        Stop();
        RecoveryJournal::Disable();
        ::unsetenv("XDG_STATE_HOME");
    }

    // Time passes, and the wake-up it asked for comes.
    void After(double seconds)
    {
        g_now += std::chrono::duration_cast<RecoveryJournal::Clock::duration>(std::chrono::duration<double>(seconds));
        host.Timer();
        host.Run();
        RecoveryJournal::Drain();
    }
    // The texts of the journals in the state folder.
    std::vector<std::string> Kept()
    {
        std::vector<std::string> texts;
        int folder = StateFolder::Open();
        for (const std::string& path : {P("notes.txt"), std::string()})
            for (const Journal& j : JournalFile::ForPath(folder, path))
                texts.push_back(j.text);
        ::close(folder);
        return texts;
    }
    // A journal of notes.txt left by a Tessel on another host (so not running).
    void LeaveJournal(const std::string& text, const std::string& path)
    {
        JournalHeader header = JournalFile::OwnHeader(path, {});
        header.host += "-gone";
        int folder = StateFolder::Open();
        std::string name = JournalFile::NameFor(path);
        ASSERT_EQ(JournalFile::Write(folder, name.substr(0, name.find('~')) + "~1-1.journal", header, text), 0);
        ::close(folder);
    }
};

TEST_F(JournalTest, WrittenAfterAPauseOrWhileTypingGoesOn)
{
    ASSERT_TRUE(Start({P("notes.txt")}));
    Type(u"a");
    After(1.9);
    EXPECT_TRUE(Kept().empty()) << "written before typing paused";
    After(0.1);
    EXPECT_EQ(Kept(), std::vector<std::string>{"aold\n"});
    // Typing on, a key a second: kept after 10 s, not only once it pauses.
    for (int i = 0; i < 9; ++i) {
        Type(u"b");
        After(1);
    }
    EXPECT_EQ(Kept(), std::vector<std::string>{"aold\n"});
    Type(u"c");
    After(1);
    EXPECT_EQ(Kept(), std::vector<std::string>{"abbbbbbbbbcold\n"});
    EXPECT_EQ(Listing(), (std::vector<std::string>{"notes.txt", "state"})) << "written beside the document";
}

TEST_F(JournalTest, SavedOrDiscardedTextLosesItsJournalAndTheSessionEndKeepsIt)
{
    struct Case {
        const char* what;
        std::function<void(JournalTest&)> act;
        size_t kept;
    } cases[] = {
        {"save", [](JournalTest& t) { t.Save(); }, 0},
        {"New, No",
         [](JournalTest& t) {
             t.Answer({u"No"});
             t.Command(ID_FILE_NEW);
         },
         0},
        {"end", [](JournalTest& t) { t.Stop(); }, 0},
        {"end of session",
         [](JournalTest& t) {
             t.host.EndSession(SIGHUP);
             t.host.Run();
             RecoveryJournal::Drain();
         },
         1},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Start({P("notes.txt")}));
        Type(u"x");
        After(2);
        ASSERT_EQ(Kept().size(), 1u) << c.what;
        c.act(*this);
        RecoveryJournal::Drain();
        EXPECT_EQ(Kept().size(), c.kept) << c.what;
        Stop();
        RecoveryJournal::Drain();
        for (const char* name : {"notes.txt.save"})
            ::unlink(P(name).c_str());
        Put("notes.txt", "old\n");
        host.ClearRecords();
        int folder = StateFolder::Open();
        for (const Journal& j : JournalFile::ForPath(folder, P("notes.txt")))
            JournalFile::Remove(folder, j.name);
        ::close(folder);
    }
}

TEST_F(JournalTest, OpeningOffersTheKeptTextOfATesselThatNoLongerRuns)
{
    struct Case {
        const char* answer;
        bool started;
        std::string state;
        size_t kept;  // journals after
    } cases[] = {
        {"Yes", true, "title=notes.txt path=" + P("notes.txt") + " changed text=\"kept\"", 1},
        {"No", true, "title=notes.txt path=" + P("notes.txt") + " unchanged text=\"old\\n\"", 0},
        {"Cancel", false, "", 1},
    };
    for (const Case& c : cases) {
        LeaveJournal("kept", P("notes.txt"));
        Answer({U16(c.answer)});
        EXPECT_EQ(Start({P("notes.txt")}), c.started) << c.answer;
        ASSERT_EQ(host.MessageBoxes().size(), 1u) << c.answer;
        EXPECT_EQ(host.MessageBoxes()[0].text.substr(0, 26 + P("notes.txt").size()),
                  u"The unsaved text of " + U16(P("notes.txt")) + u" was l")
            << c.answer;
        if (c.started) {
            EXPECT_EQ(State(), c.state) << c.answer;
        }
        After(0);
        EXPECT_EQ(Kept().size(), c.kept) << c.answer;
        if (c.started && c.kept) {
            EXPECT_EQ(Kept()[0], "kept") << "taken over under this Tessel's name";
        }
        Stop();
        RecoveryJournal::Drain();
        host.ClearRecords();
        int folder = StateFolder::Open();
        for (const Journal& j : JournalFile::ForPath(folder, P("notes.txt")))
            JournalFile::Remove(folder, j.name);
        ::close(folder);
    }
    // The text of a file deleted since comes back under its name, and Save
    // (as Save As, the name proposed) makes the file again.
    ASSERT_EQ(::unlink(P("notes.txt").c_str()), 0);
    LeaveJournal("kept", P("notes.txt"));
    Answer({u"Yes"});
    ASSERT_TRUE(Start({P("notes.txt")}));
    EXPECT_EQ(State(), "title=notes.txt path=" + P("notes.txt") + " changed text=\"kept\"");
    host.OnModal([&] { host.Key(VK_RETURN, u'\r'); });
    Ctrl('S');
    EXPECT_EQ(host.MessageBoxes().size(), 1u) << "only the offer";
    EXPECT_EQ(Get("notes.txt"), "kept");
    Stop();
    host.ClearRecords();

    // A start without a file offers untitled text the same way.
    LeaveJournal("draft", "");
    Answer({u"Yes"});
    ASSERT_TRUE(Start());
    EXPECT_EQ(Text(), "draft");
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(JournalTest, ATesselThatStillRunsIsNamed)
{
    JournalHeader header = JournalFile::OwnHeader(P("notes.txt"), {});
    header.pid = ::getppid();
    header.started = JournalFile::StartTimeOf(header.pid);
    int folder = StateFolder::Open();
    std::string name = JournalFile::NameFor(P("notes.txt"));
    ASSERT_EQ(JournalFile::Write(folder, name.substr(0, name.find('~')) + "~1-1.journal", header, "theirs"), 0);
    ::close(folder);
    Answer({u"No"});
    EXPECT_FALSE(Start({P("notes.txt")}));
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(U8(host.MessageBoxes()[0].text),
              "Another Tessel (process " + std::to_string(header.pid) + ") is editing " + P("notes.txt")
                  + " and has unsaved changes in it. Open " + P("notes.txt") + " anyway?");
    EXPECT_EQ(Kept(), std::vector<std::string>{"theirs"});
}

TEST_F(JournalTest, AJournalThatCannotBeWrittenIsSaidOnceAndTriedAgain)
{
    ASSERT_TRUE(Start({P("notes.txt")}));
    FaultInjection::Fail(FaultInjection::kOpen, 0, ENOSPC);
    Type(u"a");
    Answer({u"OK"});
    After(2);
    After(0);  // the failure comes back from the writer
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(U8(host.MessageBoxes()[0].text), "The unsaved text of " + P("notes.txt")
                                                   + " cannot be kept in the recovery journal: No space left on "
                                                     "device. It is tried again; save the text to be sure of it.");
    Type(u"b");
    After(2);
    After(0);
    EXPECT_EQ(host.MessageBoxes().size(), 1u) << "said twice";
    FaultInjection::Reset();
    After(2);
    EXPECT_EQ(Kept(), std::vector<std::string>{"abold\n"});
    EXPECT_EQ(Text(), "abold\n");
}

}  // namespace
