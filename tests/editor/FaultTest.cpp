// Faults of the file system while the editor opens and saves: every read,
// write and open of a file can fail or move fewer bytes than asked, and a
// save can be cut short by the end of the process. Whatever happens, the
// person sees the message of the cause, the document is left as Open and
// Save promise, and the file on disk is never damaged.
#include "tests/support/EditorTest.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

using Op = FaultInjection::Operation;

const std::string kHardIO = "A hardware I/O error was reported while accessing %1.";
const std::string kDiskFull = "Disk full while accessing %1.";
const std::string kChanged = " has been changed by another program. Save anyway?";

// A text of several thousand bytes: many reads and writes of 1024 bytes,
// several archive buffers, every byte value but zero.
// Long enough that saving it takes several writes.
std::string LongText(char first)
{
    std::string s(1, first);
    for (int i = 0; s.size() < 600000; ++i) {
        s += "line " + std::to_string(i) + " ";
        s += char(1 + i % 255);
        s += "\r\n";
    }
    return s;
}

}  // namespace

class FaultTest : public EditorFolderTest {
protected:
    // Whether the file holds exactly these bytes; if not, says briefly how
    // it differs (the contents are thousands of bytes long).
    testing::AssertionResult Holds(const std::string& name, const std::string& bytes) const
    {
        const std::string now = Get(name).value_or("<missing>");
        if (now == bytes)
            return testing::AssertionSuccess();
        size_t at = 0;
        while (at < now.size() && at < bytes.size() && now[at] == bytes[at])
            ++at;
        return testing::AssertionFailure() << name << " holds " << now.size() << " bytes, expected " << bytes.size()
                                           << "; they differ from byte " << at;
    }

    std::string Message(const std::string& format, const std::string& name) const
    {
        std::string m = format;
        m.replace(m.find("%1"), 2, P(name));
        return m;
    }

    // Title, path, changed flag and the text's length and first characters.
    std::string Summary()
    {
        std::u16string text = Text16();
        return "title=" + Doc()->GetTitle().ToUtf8() + " path=" + Doc()->GetPathName().ToUtf8()
            + (Doc()->IsModified() ? " changed" : " unchanged") + " length=" + std::to_string(text.size())
            + " starts=\"" + CString(text.substr(0, 8)).ToUtf8() + "\"";
    }

    // Makes the document changed without changing its text.
    void Touch() { Type(u"x\b"); }

    // How many calls of op a successful action makes.
    template <typename Action>
    int CallsOf(Op op, Action action)
    {
        FaultInjection::Reset();
        FaultInjection::Count();
        action();
        int calls = FaultInjection::Calls(op);
        FaultInjection::Reset();
        return calls;
    }
};

// --- Open ---------------------------------------------------------------------

TEST_F(FaultTest, AnyFailingReadOfOpenShowsItsCauseAndLeavesAnEmptyUntitledDocument)
{
    const std::string bytes = LongText('r');
    Put("long.txt", bytes);
    ASSERT_TRUE(Start());
    const int reads = CallsOf(FaultInjection::kRead, [&] { Open("long.txt"); });
    ASSERT_EQ(Text16(), Widened(bytes));
    // The bytes in one read, and one more that finds the end.
    ASSERT_EQ(reads, 2);

    struct Cause {
        int err;
        std::string message;
    } causes[] = {
        {EIO, kHardIO},
        {EBADF, "An invalid file handle was associated with %1."},
        {ENOMEM, "An unknown error occurred while accessing %1."},
    };
    for (const Cause& c : causes) {
        for (int nth = 1; nth <= reads; ++nth) {
            SCOPED_TRACE("read " + std::to_string(nth) + " fails: " + c.message);
            Put("other.txt", "other");
            Open("other.txt");
            host.ClearRecords();
            FaultInjection::Fail(FaultInjection::kRead, nth, c.err);
            Open("long.txt", {u"OK"});
            FaultInjection::Reset();
            EXPECT_EQ(Boxes(), std::vector<std::string>{Message(c.message, "long.txt")});
            EXPECT_EQ(Summary(), "title=Untitled path= unchanged length=0 starts=\"\"");
            EXPECT_TRUE(Holds("long.txt", bytes));
        }
    }
}

TEST_F(FaultTest, ShortReadsStillOpenTheWholeFile)
{
    const std::string bytes = LongText('s');
    Put("long.txt", bytes);
    ASSERT_TRUE(Start());
    for (int nth : {1, 2, 5, 0}) {
        SCOPED_TRACE("short read " + std::to_string(nth) + " (0: every read)");
        Put("other.txt", "other");
        Open("other.txt");
        FaultInjection::Shorten(FaultInjection::kRead, nth);
        Open("long.txt");
        FaultInjection::Reset();
        EXPECT_EQ(Boxes(), std::vector<std::string>{});
        EXPECT_EQ(Summary(),
                  "title=long.txt path=" + P("long.txt") + " unchanged length=" + std::to_string(bytes.size())
                      + " starts=\"sline 0 \"");
        EXPECT_TRUE(Text16() == Widened(bytes)) << "the text differs from the file";
    }
}

TEST_F(FaultTest, AFileThatCannotBeOpenedLeavesTheDocumentAsItWas)
{
    Put("named.txt", "named");
    Put("other.txt", "other text");
    ASSERT_TRUE(Start({P("named.txt")}));
    Type(u"edited ");
    struct Cause {
        int err;
        std::string message;
    } causes[] = {
        {EIO, kHardIO},
        {EMFILE, "%1 could not be opened because there are too many open files."},
        {ENFILE, "%1 could not be opened because there are too many open files."},
        {ENOMEM, "An unknown error occurred while accessing %1."},
    };
    for (const Cause& c : causes) {
        SCOPED_TRACE(c.message);
        host.ClearRecords();
        FaultInjection::Fail(FaultInjection::kOpen, 0, c.err);
        // The save prompt first (No), then the failure.
        Open("other.txt", {u"No", u"OK"});
        FaultInjection::Reset();
        ASSERT_EQ(Boxes().size(), 2u);
        EXPECT_EQ(Boxes()[1], Message(c.message, "other.txt"));
        EXPECT_EQ(Summary(), "title=named.txt path=" + P("named.txt") + " changed length=12 starts=\"edited n\"");
    }
    EXPECT_EQ(Get("named.txt"), "named");
    EXPECT_EQ(Get("other.txt"), "other text");
}

// --- Save -------------------------------------------------------------------

TEST_F(FaultTest, AnIOErrorAtAnyWriteOfSaveKeepsTheOldFile)
{
    const std::string old = LongText('o');
    Put("doc.txt", old);
    ASSERT_TRUE(Start({P("doc.txt")}));
    Type(u"n");
    const std::string saved = "n" + old;
    // A save that succeeds tells how many writes there are; then the old
    // file comes back (a change on disk, so each save asks first) and the
    // document is changed again.
    const int writes = CallsOf(FaultInjection::kWrite, [&] { Save(); });
    ASSERT_TRUE(Holds("doc.txt", saved));
    ASSERT_GE(writes, 3);
    Put("doc.txt", old);
    Touch();
    ASSERT_TRUE(Doc()->IsModified());

    for (int nth = 1; nth <= writes; ++nth) {
        SCOPED_TRACE("write " + std::to_string(nth) + " fails");
        host.ClearRecords();
        FaultInjection::Fail(FaultInjection::kWrite, nth, EIO);
        Save({u"Yes", u"OK"});
        FaultInjection::Reset();
        EXPECT_EQ(Boxes(), (std::vector<std::string>{P("doc.txt") + kChanged, Message(kHardIO, "doc.txt")}));
        EXPECT_TRUE(Holds("doc.txt", old));
        EXPECT_EQ(Listing(), std::vector<std::string>{"doc.txt"});
        EXPECT_EQ(Summary(),
                  "title=doc.txt path=" + P("doc.txt") + " changed length=" + std::to_string(saved.size())
                      + " starts=\"noline 0\"");
    }
    Save({u"Yes"});
    EXPECT_TRUE(Holds("doc.txt", saved));
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(FaultTest, ShortWritesStillSaveTheWholeText)
{
    const std::string old = LongText('o');
    Put("doc.txt", old);
    ASSERT_TRUE(Start({P("doc.txt")}));
    Type(u"w");
    FaultInjection::Shorten(FaultInjection::kWrite, 0);
    Save();
    FaultInjection::Reset();
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
    EXPECT_TRUE(Holds("doc.txt", "w" + old));
    EXPECT_EQ(Listing(), std::vector<std::string>{"doc.txt"});
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(FaultTest, AFailedSaveAsToANewFileLeavesNothingBehind)
{
    ASSERT_TRUE(Start());
    const std::u16string pasted = Widened(LongText('p'));
    Paste(pasted);
    ASSERT_EQ(Text16().size(), pasted.size());
    const int writes = CallsOf(FaultInjection::kWrite, [&] { SaveAs("probe.txt"); });
    ASSERT_GE(writes, 2);
    fs::remove(P("probe.txt"));
    Command(ID_FILE_NEW);  // the probe named the document; start afresh
    host.Run();
    Ctrl('V');
    for (int err : {ENOSPC, EIO}) {
        for (int nth = 1; nth <= writes; ++nth) {
            SCOPED_TRACE("write " + std::to_string(nth) + " fails with " + std::to_string(err));
            host.ClearRecords();
            FaultInjection::Fail(FaultInjection::kWrite, nth, err);
            SaveAs("new.txt", {u"OK"});
            FaultInjection::Reset();
            EXPECT_EQ(Boxes(), std::vector<std::string>{Message(err == EIO ? kHardIO : kDiskFull, "new.txt")});
            EXPECT_EQ(Listing(), std::vector<std::string>{}) << "neither the file nor a temporary one";
            EXPECT_EQ(Summary(),
                      "title=Untitled path= changed length=" + std::to_string(pasted.size()) + " starts=\"pline 0 \"");
        }
    }
}

TEST_F(FaultTest, NoRoomForTheTemporaryFileKeepsTheOldFile)
{
    // A disk too full to create the temporary file: writing the old file in
    // place would empty it and then fail part-way.
    const std::string old = LongText('o');
    Put("doc.txt", old);
    ASSERT_TRUE(Start({P("doc.txt")}));
    Type(u"n");
    for (int err : {ENOSPC, EDQUOT, EIO}) {
        SCOPED_TRACE(std::to_string(err));
        host.ClearRecords();
        // A save opens the old file (to hold it), then the temporary file;
        // the disk is full for everything after the first open.
        FaultInjection::Fail(FaultInjection::kOpen, 2, err);
        FaultInjection::Fail(FaultInjection::kWrite, 0, err);
        Save({u"OK"});
        FaultInjection::Reset();
        EXPECT_EQ(Boxes(), std::vector<std::string>{Message(err == EIO ? kHardIO : kDiskFull, "doc.txt")});
        EXPECT_TRUE(Holds("doc.txt", old));
        EXPECT_EQ(Listing(), std::vector<std::string>{"doc.txt"});
        EXPECT_TRUE(Doc()->IsModified());
    }
    Save();
    EXPECT_TRUE(Holds("doc.txt", "n" + old));
}

TEST_F(FaultTest, AFailedSaveInPlaceKeepsTheTextForAnotherTry)
{
    // Without the right to create files in the folder the file is written
    // in place; a failure there puts the old content back, the document
    // keeps every character and a later save writes them all.
    const std::string old = LongText('o');
    Put("doc.txt", old);
    ASSERT_TRUE(Start({P("doc.txt")}));
    Type(u"n");
    // Half the text is written over the old one before the failure.
    FaultInjection::Fail(FaultInjection::kOpen, 2, EACCES);
    FaultInjection::Shorten(FaultInjection::kWrite, 1);
    FaultInjection::Fail(FaultInjection::kWrite, 2, EIO);
    Save({u"OK"});
    FaultInjection::Reset();
    EXPECT_EQ(Boxes(), std::vector<std::string>{Message(kHardIO, "doc.txt")});
    EXPECT_TRUE(Holds("doc.txt", old));
    EXPECT_EQ(Summary(),
              "title=doc.txt path=" + P("doc.txt") + " changed length=" + std::to_string(old.size() + 1)
                  + " starts=\"noline 0\"");
    Save();
    EXPECT_TRUE(Holds("doc.txt", "n" + old));
    EXPECT_EQ(Listing(), std::vector<std::string>{"doc.txt"});
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(FaultTest, AKilledSaveLeavesTheCompleteOldOrTheCompleteNewFile)
{
    const std::string old = LongText('o');
    Put("doc.txt", old);
    ASSERT_TRUE(Start({P("doc.txt")}));
    Type(u"n");
    const std::string saved = "n" + old;

    // Where the save may be stopped: before each write, sync and rename.
    int points = 0;
    FaultInjection::SetPauseHook([&](Op) { ++points; });
    Save();
    FaultInjection::Reset();
    ASSERT_TRUE(Holds("doc.txt", saved));
    ASSERT_GE(points, 5);
    Touch();
    ASSERT_TRUE(Doc()->IsModified());

    for (int k = 1; k <= points + 1; ++k) {
        SCOPED_TRACE("killed at point " + std::to_string(k));
        Put("doc.txt", old);
        pid_t child = ::fork();
        if (child == 0) {
            int seen = 0;
            FaultInjection::SetPauseHook([&](Op) {
                if (++seen == k)
                    ::kill(::getpid(), SIGKILL);
            });
            Save({u"Yes"});  // over the old file put back: a change on disk
            ::_exit(host.MessageBoxes().size() == 1 ? 0 : 1);
        }
        ASSERT_GT(child, 0);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (k <= points) {
            EXPECT_TRUE(WIFSIGNALED(status)) << "status " << status;
            EXPECT_TRUE(Holds("doc.txt", old)) << "the old file is gone before the new one is complete";
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
            EXPECT_TRUE(Holds("doc.txt", saved));
        }
        // A killed save leaves its temporary file; nothing else.
        for (const std::string& name : Listing()) {
            if (name == "doc.txt")
                continue;
            EXPECT_EQ(name.substr(0, 3) + name.substr(name.size() - 4), "MFC.tmp");
            fs::remove(P(name));
        }
    }
}
