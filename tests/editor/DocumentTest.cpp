// The text document and its files: what New, Open, Save and Save As do to
// the bytes on disk and to the text, title and changed state a person sees,
// including every failure the file system can give.
#include "tests/support/EditorTest.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "framework/io/Archive.h"
#include "framework/io/FileException.h"
#include "framework/io/File.h"
#include "tests/support/ChildProcess.h"

namespace fs = std::filesystem;

class DocumentTest : public EditorFolderTest {
protected:
    // Others (the unprivileged child of some tests) may look inside.
    DocumentTest() : EditorFolderTest(0755) {}

    // Runs body in a child process that is the unprivileged user 65534
    // (when the tests run as root; otherwise as the current user, whom the
    // files' permission bits refuse just as well) and returns its report.
    std::string AsUnprivileged(const std::function<std::string()>& body)
    {
        return support::ReportUnprivileged([&] {
            std::string report = body();
            return host.Starved() ? report + " [a modal loop starved]" : report;
        });
    }

    static std::string Joined(const std::vector<std::string>& items)
    {
        std::string s;
        for (const auto& i : items)
            s += "[" + i + "]";
        return s;
    }
};

// Another process holding a file open with a share mode, until destroyed.
class HeldByOtherProcess {
public:
    HeldByOtherProcess(const std::string& path, UINT flags)
        : m_child([&] { return m_file.Open(U16(path).c_str(), flags) != FALSE; })
    {}
    bool Held() const { return m_child.Ready(); }

private:
    CFile m_file;  // open in the child only
    support::HoldingChild m_child;
};

// --- the file format ---------------------------------------------------------

TEST_F(DocumentTest, EveryByteValueReadsAsItsCharacterAndWritesBackUnchanged)
{
    std::string bytes;
    for (int b = 1; b <= 255; ++b)
        bytes += char(b);
    bytes += bytes;  // twice, so every value also follows every other run
    Put("all.bin", bytes);
    ASSERT_TRUE(Start({P("all.bin")}));
    EXPECT_EQ(Show(Text16()), Show(Widened(bytes)));
    EXPECT_EQ(State().substr(0, State().find(" text")), "title=all.bin path=" + P("all.bin") + " unchanged");

    SaveAs("copy.bin");
    EXPECT_EQ(Get("copy.bin"), bytes);
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
    EXPECT_EQ(Doc()->GetTitle(), u"copy.bin");

    // A plain Save of the unchanged text writes the same bytes again (over
    // another program's change, when told to).
    Put("copy.bin", "something else");
    Save({u"Yes"});
    EXPECT_EQ(Get("copy.bin"), bytes);
}

TEST_F(DocumentTest, LineEndsAreNotConverted)
{
    Put("ab.txt", "A\r\nB");
    ASSERT_TRUE(Start({P("ab.txt")}));
    EXPECT_EQ(View()->GetEditCtrl().GetLineCount(), 2);
    EXPECT_EQ(host.Row(3).substr(0, 2), "A ");
    EXPECT_EQ(host.Row(4).substr(0, 2), "B ");
    Save();
    EXPECT_EQ(Get("ab.txt"), "A\r\nB");

    // Enter in the text is written as the bytes 0x0D 0x0A.
    Type(u"C\r");
    Save();
    EXPECT_EQ(Get("ab.txt"), "C\r\nA\r\nB");
}

TEST_F(DocumentTest, TabsOfAFileStandAtTheirStops)
{
    Put("tabs.txt", "a\tb\r\n\tc");
    ASSERT_TRUE(Start({P("tabs.txt")}));
    const CPoint b = host.Find(u"a       b");
    ASSERT_GE(b.x, 0) << host.ScreenText();
    // The caret at the end stands behind the "c" that the tab moved on.
    host.Key(VK_END, 0, true);
    host.Run();
    EXPECT_EQ(host.Screen().m_caret, CPoint(b.x + 9, b.y + 1));
}

TEST_F(DocumentTest, ByteOrderMarksStayCharacters)
{
    struct Case {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"\xFF\xFEh", "\\u00FF\\u00FEh"},
        {"\xEF\xBB\xBFh", "\\u00EF\\u00BB\\u00BFh"},
        {"\xE9", "\\u00E9"},
    };
    ASSERT_TRUE(Start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        Put("mark.txt", c.bytes);
        Open("mark.txt");
        EXPECT_EQ(Show(Text16()), c.shown);
        Type(u"!");
        Save();
        EXPECT_EQ(Get("mark.txt"), "!" + c.bytes);
        Command(ID_FILE_NEW);  // so the next Open reads the file again
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(DocumentTest, EmptyTextWritesAnEmptyFile)
{
    ASSERT_TRUE(Start());
    SaveAs("empty.txt");
    EXPECT_EQ(Get("empty.txt"), "");

    Type(u"abc\b\b\b");
    EXPECT_TRUE(Doc()->IsModified());
    Save();
    EXPECT_EQ(Get("empty.txt"), "");
    EXPECT_EQ(State(), "title=empty.txt path=" + P("empty.txt") + " unchanged text=\"\"");
}

TEST_F(DocumentTest, EmptyFileOpensOverAnotherTextAsAnEmptyNamedDocument)
{
    Put("empty.txt", "");
    Put("full.txt", "some text\r\nmore");
    ASSERT_TRUE(Start({P("full.txt")}));
    Type(u"changed ");
    Open("empty.txt", {u"No"});
    EXPECT_EQ(State(), "title=empty.txt path=" + P("empty.txt") + " unchanged text=\"\"");
    EXPECT_EQ(host.Find(u"some text").x, -1);
    EXPECT_EQ(host.Find(u"more").x, -1);
    EXPECT_EQ(Get("full.txt"), "some text\r\nmore");
}

TEST_F(DocumentTest, LargestFileOpensAndOneByteMoreIsRefusedBeforeReading)
{
    std::string largest(1048575, 'x');
    for (size_t i = 80; i < largest.size(); i += 81)
        largest.replace(i - 1, 2, "\r\n");
    Put("largest.txt", largest);
    Put("toolarge.txt", largest + "y");
    Put("before.txt", "before");

    ASSERT_TRUE(Start({P("largest.txt")}));
    EXPECT_EQ(Text16().size(), 1048575u);
    EXPECT_EQ(Doc()->GetTitle(), u"largest.txt");
    EXPECT_FALSE(Doc()->IsModified());
    SaveAs("copy.txt");
    EXPECT_EQ(Get("copy.txt"), largest);

    Command(ID_FILE_NEW);
    Open("before.txt");
    Type(u"typed ");
    host.ClearRecords();
    // Counting reads shows that nothing of the file is read.
    FaultInjection::Count();
    Open("toolarge.txt", {u"No", u"OK"});
    EXPECT_EQ(FaultInjection::Calls(FaultInjection::kRead), 0);
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Save changes to " + P("before.txt") + "?", "The file is too large to open."}));
    EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
    EXPECT_EQ(Get("before.txt"), "before");
}

TEST_F(DocumentTest, TooLargeFileOnTheCommandLineEndsTheProgram)
{
    Put("toolarge.txt", std::string(1048576, 'x'));
    host.OnModal([this] { host.ClickButton(u"OK"); });
    EXPECT_FALSE(Start({P("toolarge.txt")}));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"The file is too large to open."});
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST_F(DocumentTest, ZeroByteFailsAndLeavesAnEmptyUntitledDocument)
{
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a zero in the middle", std::string("ab\0cd", 5)},
        {"UTF-16 letters", std::string("h\0i\0", 4)},
        {"a zero at the end", std::string("abc\0", 4)},
        {"a zero among the blocks read at once", std::string(100, 'x') + std::string(1, '\0') + std::string(5000, 'y')},
    };
    Put("named.txt", "named");
    ASSERT_TRUE(Start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open("named.txt");
        Put("zero.bin", c.bytes);
        host.ClearRecords();
        Open("zero.bin", {u"OK"});
        EXPECT_EQ(Boxes(), std::vector<std::string>{"Failed to open document."});
        EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
    }
}

TEST_F(DocumentTest, CharacterAbove8BitsAsksBeforeSaving)
{
    const std::string& prompt = kUnsavablePrompt;
    Put("euro.txt", "x");
    ASSERT_TRUE(Start({P("euro.txt")}));
    Type(u"\u20AC");
    ASSERT_EQ(Show(Text16()), "\\u20ACx");

    Save({u"No"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{prompt});
    EXPECT_EQ(host.MessageBoxes().back().type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(Get("euro.txt"), "x");
    EXPECT_TRUE(Doc()->IsModified());

    // No after Save As writes nothing either, not even an empty file.
    host.ClearRecords();
    SaveAs("other.txt", {u"No"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{prompt});
    EXPECT_EQ(Get("other.txt"), std::nullopt);
    EXPECT_EQ(Doc()->GetTitle(), u"euro.txt");

    host.ClearRecords();
    Save({u"Yes"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{prompt});
    EXPECT_EQ(Get("euro.txt"), "\xACx");
    EXPECT_FALSE(Doc()->IsModified());

    Command(ID_FILE_NEW);
    Open("euro.txt");
    EXPECT_EQ(Show(Text16()), "\\u00ACx");
    EXPECT_EQ(Boxes().size(), 1u) << "8-bit text asks nothing";
}

// Whatever Save writes opens again: a character beyond 8 bits goes as its
// low byte, or as "?" where that byte is 0, never as a zero byte. Seventeen
// of each, for the narrowing of sixteen at a time and of the rest.
TEST_F(DocumentTest, WhatSaveNarrowsOpensAgain)
{
    struct Case {
        const char* what;
        std::u16string typed;
        std::string saved;
    } cases[] = {
        {"a low byte of its own", u"\u20AC", "\xAC"},
        {"low byte 0", u"\u0100", "?"},
        {"an ideograph with low byte 0", u"\u4E00", "?"},
        {"a surrogate pair whose second half ends in 0", u"\U0001F600", "=?"},
        {"a surrogate pair both of whose halves end in 0", u"\U00010000", "??"},
    };
    Put("narrow.txt", "x");
    ASSERT_TRUE(Start({P("narrow.txt")}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::u16string typed;
        std::string saved;
        for (int i = 0; i < 17; ++i) {
            typed += c.typed;
            saved += c.saved;
        }
        Command(ID_EDIT_SELECT_ALL);
        Type(typed);
        host.ClearRecords();
        Save({u"Yes"});
        EXPECT_EQ(Boxes(), std::vector<std::string>{kUnsavablePrompt});
        EXPECT_EQ(Get("narrow.txt"), saved);

        Command(ID_FILE_NEW);
        host.ClearRecords();
        Open("narrow.txt");
        EXPECT_EQ(Boxes(), std::vector<std::string>{});
        EXPECT_EQ(State(),
                  "title=narrow.txt path=" + P("narrow.txt") + " unchanged text=\"" + Show(Widened(saved)) + "\"");
    }
}

// --- failures ------------------------------------------------------------------

TEST_F(DocumentTest, MissingFileOnTheCommandLineEndsTheProgram)
{
    host.OnModal([this] { host.ClickButton(u"OK"); });
    EXPECT_FALSE(Start({"missing.txt"}));
    EXPECT_EQ(Boxes(), std::vector<std::string>{P("missing.txt") + " was not found."});
    EXPECT_EQ(host.MessageBoxes()[0].type & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST_F(DocumentTest, MissingFolderOnTheCommandLineIsAnInvalidPath)
{
    host.OnModal([this] { host.ClickButton(u"OK"); });
    EXPECT_FALSE(Start({P("nowhere/missing.txt")}));
    EXPECT_EQ(Boxes(), std::vector<std::string>{P("nowhere/missing.txt") + " contains an invalid path."});
}

TEST_F(DocumentTest, OnlyARegularFileOpensAndNothingElseIsWaitedOnOrRead)
{
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0666), 0);
    fs::create_directory(P("folder"));
    Put("mine.txt", "mine");
    ASSERT_TRUE(Start({P("mine.txt")}));
    Open("pipe", {u"OK"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Access to " + P("pipe") + " was denied."});
    EXPECT_EQ(State(), "title=mine.txt path=" + P("mine.txt") + " unchanged text=\"mine\"");
    for (const std::string& path : {P("pipe"), P("folder"), std::string("/dev/zero")}) {
        Stop();
        host.ClearRecords();
        FaultInjection::Count();
        host.OnModal([this] { host.ClickButton(u"OK"); });
        EXPECT_FALSE(Start({path}));
        EXPECT_EQ(FaultInjection::Calls(FaultInjection::kRead), 0) << path;
        EXPECT_EQ(Boxes(), std::vector<std::string>{"Access to " + path + " was denied."});
    }
}

TEST_F(DocumentTest, FileWhoseLengthReadsAsZeroOpensToItsEnd)
{
    std::ifstream in("/proc/self/status");
    ASSERT_TRUE(in) << "needs /proc";
    ASSERT_TRUE(Start({"/proc/self/status"}));
    EXPECT_NE(Text().find("State:"), std::string::npos);
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(DocumentTest, SharingViolationAtOpenKeepsTheDocumentAsItWas)
{
    Put("mine.txt", "mine");
    Put("held.txt", "held");
    ASSERT_TRUE(Start({P("mine.txt")}));
    HeldByOtherProcess other(P("held.txt"), CFile::modeReadWrite | CFile::shareExclusive);
    ASSERT_TRUE(other.Held());

    // Unchanged: stays unchanged.
    Open("held.txt", {u"OK"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{"A sharing violation occurred while accessing " + P("held.txt") + "."});
    EXPECT_EQ(State(), "title=mine.txt path=" + P("mine.txt") + " unchanged text=\"mine\"");

    // Changed, and not saved at the prompt: still changed afterwards.
    Type(u"more ");
    host.ClearRecords();
    Open("held.txt", {u"No", u"OK"});
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Save changes to " + P("mine.txt") + "?",
                                        "A sharing violation occurred while accessing " + P("held.txt") + "."}));
    EXPECT_EQ(State(), "title=mine.txt path=" + P("mine.txt") + " changed text=\"more mine\"");
    EXPECT_EQ(Get("mine.txt"), "mine");
}

TEST_F(DocumentTest, SharingViolationAtSaveKeepsFileAndChanges)
{
    Put("shared.txt", "old");
    ASSERT_TRUE(Start({P("shared.txt")}));
    Type(u"new ");
    HeldByOtherProcess reader(P("shared.txt"), CFile::modeRead | CFile::shareDenyWrite);
    ASSERT_TRUE(reader.Held());
    Save({u"OK"});
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"A sharing violation occurred while accessing " + P("shared.txt") + "."});
    EXPECT_EQ(State(), "title=shared.txt path=" + P("shared.txt") + " changed text=\"new old\"");
    EXPECT_EQ(Get("shared.txt"), "old");
    EXPECT_EQ(Listing(), std::vector<std::string>{"shared.txt"});
}

TEST_F(DocumentTest, AccessDeniedAtOpenKeepsTheDocumentAsItWas)
{
    Put("secret.txt", "secret");
    ::chmod(P("secret.txt").c_str(), 0);
    std::string report = AsUnprivileged([this] {
        if (!Start())
            return std::string("no start");
        Type(u"draft");
        Open(P("secret.txt"), {u"No", u"OK"});
        return Joined(Boxes()) + " " + State();
    });
    EXPECT_EQ(report,
              "[Save changes to Untitled?][Access to " + P("secret.txt")
                  + " was denied.] title=Untitled path= changed text=\"draft\"");
}

TEST_F(DocumentTest, AccessDeniedAtSaveAsKeepsTheDocumentChanged)
{
    fs::create_directory(P("locked"));
    ::chmod(P("locked").c_str(), 0555);
    std::string report = AsUnprivileged([this] {
        if (!Start())
            return std::string("no start");
        Type(u"draft");
        SaveAs(P("locked/new.txt"), {u"OK"});
        return Joined(Boxes()) + " " + State();
    });
    EXPECT_EQ(report,
              "[Access to " + P("locked/new.txt") + " was denied.] title=Untitled path= changed text=\"draft\"");
    EXPECT_EQ(Listing("locked"), std::vector<std::string>{});
}

TEST_F(DocumentTest, ReadOnlyFileAtSaveBecomesSaveAs)
{
    Put("readonly.txt", "old");
    ::chmod(P("readonly.txt").c_str(), 0444);
    fs::create_directory(P("out"));
    ::chmod(P("out").c_str(), 0777);
    std::string report = AsUnprivileged([this] {
        if (!Start({P("readonly.txt")}))
            return std::string("no start");
        Type(u"new ");
        std::string seen;
        host.OnModal([&] {
            seen = host.ScreenText().find("Save As") != std::string::npos ? "Save As shown" : "no Save As";
            host.Type(U16(P("out/copy.txt")) + u"\r");
        });
        Ctrl('S');
        return seen + " " + Joined(Boxes()) + " " + State();
    });
    EXPECT_EQ(report, "Save As shown  title=copy.txt path=" + P("out/copy.txt") + " unchanged text=\"new old\"");
    EXPECT_EQ(Get("readonly.txt"), "old");
    EXPECT_EQ(Get("out/copy.txt"), "new old");
}

TEST_F(DocumentTest, WritableFileInAFolderWithoutRightsIsSavedInPlace)
{
    fs::create_directory(P("fixed"));
    Put("fixed/open.txt", "old");
    ::chmod(P("fixed/open.txt").c_str(), 0666);
    ::chmod(P("fixed").c_str(), 0555);
    std::string report = AsUnprivileged([this] {
        if (!Start({P("fixed/open.txt")}))
            return std::string("no start");
        Type(u"new ");
        Save();
        return Joined(Boxes()) + " " + State();
    });
    EXPECT_EQ(report, " title=open.txt path=" + P("fixed/open.txt") + " unchanged text=\"new old\"");
    EXPECT_EQ(Get("fixed/open.txt"), "new old");
    EXPECT_EQ(Listing("fixed"), std::vector<std::string>{"open.txt"});
}

TEST_F(DocumentTest, DeletedFileAtSaveBecomesSaveAs)
{
    Put("gone.txt", "old");
    ASSERT_TRUE(Start({P("gone.txt")}));
    Type(u"new ");
    fs::remove(P("gone.txt"));

    // Cancelled: nothing written, still changed.
    std::string seen;
    host.OnModal([&] {
        seen = host.ScreenText();
        host.ClickButton(u"Cancel");
    });
    Ctrl('S');
    EXPECT_NE(seen.find("Save As"), std::string::npos) << seen;
    EXPECT_EQ(Listing(), std::vector<std::string>{});
    EXPECT_EQ(State(), "title=gone.txt path=" + P("gone.txt") + " changed text=\"new old\"");

    // Accepting the proposed name writes the file again.
    host.OnModal([&] { host.Key(VK_RETURN, u'\r'); });
    Ctrl('S');
    EXPECT_EQ(Get("gone.txt"), "new old");
    EXPECT_EQ(State(), "title=gone.txt path=" + P("gone.txt") + " unchanged text=\"new old\"");
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(DocumentTest, DiskFullAtAnyWriteKeepsTheOldFile)
{
    std::string old(600000, 'o');
    Put("big.txt", old);
    ASSERT_TRUE(Start({P("big.txt")}));
    Type(u"n");
    const std::string newText = "n" + old;
    const std::string expected = "Disk full while accessing " + P("big.txt") + ".";

    int failed = 0;
    for (int nth = 1; nth < 100; ++nth) {
        SCOPED_TRACE("write " + std::to_string(nth) + " fails");
        host.ClearRecords();
        FaultInjection::Reset();
        FaultInjection::Fail(FaultInjection::kWrite, nth, ENOSPC);
        host.OnModal([this] { host.ClickButton(u"OK"); });
        Ctrl('S');
        if (Boxes().empty())
            break;  // every write went through: the save succeeded
        ++failed;
        EXPECT_EQ(Boxes(), std::vector<std::string>{expected});
        EXPECT_EQ(Get("big.txt"), old);
        EXPECT_EQ(Listing(), std::vector<std::string>{"big.txt"});
        EXPECT_TRUE(Doc()->IsModified());
    }
    EXPECT_GE(failed, 5) << "a save of 600001 bytes makes several writes";
    EXPECT_EQ(Get("big.txt"), newText);
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(DocumentTest, FailingFlushOrReplaceKeepsTheOldFile)
{
    struct Case {
        FaultInjection::Operation op;
        int err;
        std::string message;
    } cases[] = {
        {FaultInjection::kFsync, EIO, "A hardware I/O error was reported while accessing %1."},
        {FaultInjection::kRename, ENOSPC, "Disk full while accessing %1."},
        {FaultInjection::kRename, EXDEV, "An unknown error occurred while accessing %1."},
    };
    Put("keep.txt", "old");
    ASSERT_TRUE(Start({P("keep.txt")}));
    Type(u"new ");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        host.ClearRecords();
        FaultInjection::Reset();
        FaultInjection::Fail(c.op, 0, c.err);
        Save({u"OK"});
        std::string message = c.message;
        message.replace(message.find("%1"), 2, P("keep.txt"));
        EXPECT_EQ(Boxes(), std::vector<std::string>{message});
        EXPECT_EQ(Get("keep.txt"), "old");
        EXPECT_EQ(Listing(), std::vector<std::string>{"keep.txt"});
        EXPECT_EQ(State(), "title=keep.txt path=" + P("keep.txt") + " changed text=\"new old\"");
    }
}

TEST_F(DocumentTest, ReadErrorDuringOpenLeavesAnEmptyUntitledDocument)
{
    Put("named.txt", "named");
    Put("bad.txt", std::string(5000, 'b'));
    ASSERT_TRUE(Start({P("named.txt")}));
    FaultInjection::Fail(FaultInjection::kRead, 2, EIO);
    Open("bad.txt", {u"OK"});
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"A hardware I/O error was reported while accessing " + P("bad.txt") + "."});
    EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
}

// A file whose length says 10 bytes while it holds `size`, like one another
// program appends to; by default its reading never ends.
class GrowingFile : public CFile {
public:
    ULONGLONG size = ~0ull;
    ULONGLONG read = 0;
    ULONGLONG GetLength() const override { return 10; }
    ULONGLONG Seek(LONGLONG, UINT) override { return 0; }
    UINT Read(void* buffer, UINT count) override
    {
        count = UINT(std::min<ULONGLONG>(count, size - read));
        std::memset(buffer, 'x', count);
        read += count;
        return count;
    }
};

TEST_F(DocumentTest, FileThatGrewSinceItsLengthWasTakenOpensWhole)
{
    ASSERT_TRUE(Start());
    GrowingFile grown;
    grown.size = 70000;
    CArchive ar(&grown, CArchive::load, 4096);
    Doc()->Serialize(ar);
    EXPECT_EQ(Text(), std::string(70000, 'x'));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(DocumentTest, FileStillGrowingWhileReadIsRefusedWithoutFillingMemory)
{
    Put("named.txt", "named");
    ASSERT_TRUE(Start({P("named.txt")}));
    GrowingFile endless;
    CArchive ar(&endless, CArchive::load, 4096);
    host.OnModal([this] { host.ClickButton(u"OK"); });
    EXPECT_THROW(Doc()->Serialize(ar), CUserException);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"The file is too large to open."});
    EXPECT_LE(endless.read, 1048575u + 4096u);
}
