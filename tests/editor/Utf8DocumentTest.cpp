// Files in UTF-8, for a session that asks for them (tessel --encoding=utf-8,
// TESSEL_ENCODING): what Open makes of the bytes, what Save, Save As and
// both recovery copies write, and that a text opened and saved unchanged is
// its file byte for byte.
#include <csignal>
#include <random>

#include "editor/EncodingOption.h"
#include "framework/app/TextEncoding.h"
#include "framework/io/CrashCopy.h"
#include "tests/support/EditorTest.h"

namespace {

// A file of mixed scripts: Latin, CJK, an emoji (a surrogate pair in the
// text), a Latin-1 byte that is no UTF-8 (kept as U+DCE9), mixed line ends.
const std::string kMixed = "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 \xE9t\xE9\r\nend\n";
const std::u16string kMixedText = u"caf\u00E9 \u4E2D\u6587 \U0001F600 \xDCE9t\xDCE9\r\nend\n";

class Utf8DocumentTest : public EditorFolderTest {
protected:
    ~Utf8DocumentTest() override { SetSessionTextEncoding(TextEncoding::EightBit); }

    // Starts the editor as main does: the encoding's words taken out of the
    // command line first, the environment's TESSEL_ENCODING after them.
    bool StartAs(std::vector<std::string> words, const char* environment = nullptr)
    {
        words.insert(words.begin(), "tessel");
        std::vector<char*> args;
        for (std::string& w : words)
            args.push_back(w.data());
        EXPECT_EQ(TakeEncodingOption(args, environment), -1);
        std::vector<std::string> rest(args.begin() + 1, args.end());
        return Start(rest);
    }
    bool StartUtf8(const std::vector<std::string>& words = {})
    {
        std::vector<std::string> all{"--encoding=utf-8"};
        all.insert(all.end(), words.begin(), words.end());
        return StartAs(all);
    }
};

TEST_F(Utf8DocumentTest, TheOptionOrTheEnvironmentChoosesHowTheFileReads)
{
    Put("f.txt", "caf\xC3\xA9");
    struct Case {
        std::vector<std::string> words;
        const char* environment;
        std::u16string text;
    } cases[] = {
        {{"--encoding=utf-8", P("f.txt")}, nullptr, u"caf\u00E9"},
        {{"--encoding", "UTF-8", P("f.txt")}, nullptr, u"caf\u00E9"},
        {{"-e", "utf-8", P("f.txt")}, nullptr, u"caf\u00E9"},
        {{P("f.txt")}, "utf-8", u"caf\u00E9"},
        {{"-e", "8bit", P("f.txt")}, "utf-8", u"caf\u00C3\u00A9"},
        {{"--encoding=8bit", P("f.txt")}, "nonsense", u"caf\u00C3\u00A9"},
        {{P("f.txt")}, "", u"caf\u00C3\u00A9"},
        {{"--", "-e"}, "utf-8", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words.front() + (c.environment ? std::string(" with ") + c.environment : ""));
        SetSessionTextEncoding(TextEncoding::EightBit);
        Put("-e", "");
        ASSERT_TRUE(StartAs(c.words, c.environment));
        EXPECT_EQ(Show(Text16()), Show(c.text));
        // The option's words are no file name.
        EXPECT_EQ(Doc()->GetTitle(), c.words.back() == "-e" ? u"-e" : u"f.txt");
        Stop();
    }
}

TEST_F(Utf8DocumentTest, TypedAndPastedCharactersAreSavedAsUtf8WithTheKeptBytes)
{
    Put("mixed.txt", kMixed);
    ASSERT_TRUE(StartUtf8({P("mixed.txt")}));
    EXPECT_EQ(Show(Text16()), Show(kMixedText));
    EXPECT_FALSE(Doc()->IsModified());

    Type(u"\u00C0\u4E00\U0001F44D");
    Paste(u"\u20AC ");
    Save();
    EXPECT_EQ(Boxes(), std::vector<std::string>{}) << "UTF-8 asks nothing";
    EXPECT_EQ(Get("mixed.txt"), "\xC3\x80\xE4\xB8\x80\xF0\x9F\x91\x8D\xE2\x82\xAC " + kMixed);
    EXPECT_FALSE(Doc()->IsModified());

    Command(ID_FILE_NEW);
    Type(u"\u4E2D\r");
    SaveAs("new.txt");
    EXPECT_EQ(Get("new.txt"), "\xE4\xB8\xAD\r\n");
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(Utf8DocumentTest, FindWithoutMatchCaseFoldsEveryScript)
{
    // Latin, Greek, Cyrillic and Deseret (beyond U+FFFF: a surrogate pair
    // in the text), each in its capital form in the file.
    Put("scripts.txt", "CAF\xC3\x89 \xCE\x9A\xCE\x91\xCE\xA3 \xD0\x94\xD0\x90 \xF0\x90\x90\x80\xF0\x90\x90\x81\r\n");
    ASSERT_TRUE(StartUtf8({P("scripts.txt")}));
    Command(ID_TOOLS_FIND_REPLACE);
    ASSERT_TRUE(SetMatchCase(false));
    const struct {
        std::u16string find;
        std::pair<int, int> sel;
    } cases[] = {
        {u"caf\u00E9", {0, 4}},
        {u"\u03BA\u03B1\u03C3", {5, 8}},  // small kappa, alpha, sigma
        {u"\u03C2", {7, 8}},              // final sigma folds as sigma does
        {u"\u0434\u0430", {9, 11}},       // small de, a
        {u"\U00010428\U00010429", {12, 16}},
        {u"\U00010429", {14, 16}},
    };
    for (const auto& c : cases) {
        Select(0, 0);
        Fill(IDC_FIND_TEXT, c.find);
        Tap(IDC_FIND);
        EXPECT_EQ(Sel(), c.sel) << Show(c.find);
    }
}

TEST_F(Utf8DocumentTest, AnyFileOpenedAndSavedUnchangedIsIdentical)
{
    std::string allBytes;
    for (int b = 0; b <= 255; ++b)
        allBytes += char(b);
    std::mt19937 random(28);
    std::string noise(300000, ' ');
    for (char& c : noise)
        c = char(random() % 256);
    // A character cut by the end of each block the file is read in.
    std::string straddling(128 * 1024 - 1, 'x');
    straddling += "\xF0\x9F\x98\x80\xE4\xB8\xAD" + std::string(128 * 1024 - 2, 'y') + "\xE4\xB8\xAD";
    struct Case {
        const char* what;
        std::string bytes;
        bool wellFormed;  // then the text is the characters the bytes encode
    } cases[] = {
        {"mixed scripts", kMixed, false},
        {"every byte value, twice", allBytes + allBytes, false},
        {"a byte order mark and every line end",
         "\xEF\xBB\xBF"
         "a\r\nb\nc\rd\n\r",
         true},
        {"a sequence cut at the end", "text \xE4\xB8", false},
        {"overlong forms and encoded surrogates", "\xC0\xAF\xE0\x80\xAF\xED\xA0\x80\xF4\x90\x80\x80", false},
        {"random bytes", noise, false},
        {"characters across the blocks read", straddling, true},
        {"empty", "", true},
    };
    ASSERT_TRUE(StartUtf8());
    int copies = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Put("in.txt", c.bytes);
        Open("in.txt");
        EXPECT_FALSE(Doc()->IsModified());
        if (c.wellFormed) {
            EXPECT_TRUE(Text16() == U16(c.bytes)) << "the text is not the bytes' characters";
        }
        const std::string copy = "out" + std::to_string(++copies) + ".txt";
        SaveAs(copy);
        EXPECT_EQ(Boxes(), std::vector<std::string>{});
        EXPECT_TRUE(Get(copy) == c.bytes) << "the bytes written differ";
    }
}

// The limit is the text's 1048575 characters, whatever their bytes. A file
// longer than three bytes a character of it is refused before any read; a
// shorter one whose text passes it, once that much is read.
TEST_F(Utf8DocumentTest, TheLimitCountsCharactersNotBytes)
{
    std::string cjk;
    for (int i = 0; i < 1048575; ++i)
        cjk += "\xE4\xB8\xAD";
    Put("largest.txt", cjk);
    Put("toolong.txt", cjk + "x");
    Put("toomany.txt", std::string(1048576, 'x'));
    ASSERT_TRUE(StartUtf8({P("largest.txt")}));
    EXPECT_EQ(Text16(), std::u16string(1048575, u'\u4E2D'));
    SaveAs("copy.txt");
    EXPECT_TRUE(Get("copy.txt") == cjk);

    struct Case {
        const char* name;
        bool read;
    } cases[] = {{"toolong.txt", false}, {"toomany.txt", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Command(ID_FILE_NEW);
        host.ClearRecords();
        FaultInjection::Count();
        Open(c.name, {u"OK"});
        EXPECT_EQ(FaultInjection::Calls(FaultInjection::kRead) > 0, c.read);
        EXPECT_EQ(Boxes(), std::vector<std::string>{"The file is too large to open."});
        EXPECT_EQ(State(), "title=Untitled path= unchanged text=\"\"");
        FaultInjection::Reset();
    }
    // A crash copy has room for as much.
    Open("copy.txt");
    Key(VK_DELETE);
    EXPECT_TRUE(CrashCopy::Write(-1));
    EXPECT_TRUE(Get("copy.txt.save") == cjk.substr(3));
}

// The control's text cannot hold a zero character, so a zero byte is kept
// as a unit of its own, as a byte that is no UTF-8 is, and written back as
// zero by the save and by the crash copy.
TEST_F(Utf8DocumentTest, ZeroBytesAreKeptAndWrittenBack)
{
    Put("zero.bin", std::string("\xE4\xB8\xAD\0x", 5));
    ASSERT_TRUE(StartUtf8());
    Open("zero.bin");
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
    EXPECT_EQ(Show(Text16()), Show(u"\u4E2D\xDC00x"));
    Key(VK_DELETE);
    Ctrl('S');
    EXPECT_EQ(Get("zero.bin"), std::string("\0x", 2));
    Type(u"y");
    EXPECT_TRUE(CrashCopy::Write(-1));
    EXPECT_EQ(Get("zero.bin.save"), std::string("y\0x", 3));
}

TEST_F(Utf8DocumentTest, BothRecoveryCopiesWriteUtf8WithTheKeptBytes)
{
    Put("mixed.txt", kMixed);
    ASSERT_TRUE(StartUtf8({P("mixed.txt")}));
    Type(u"\U0001F44D");
    // A crash copy first, read in place by the handler's own encoder...
    EXPECT_TRUE(CrashCopy::Write(-1));
    EXPECT_EQ(Get("mixed.txt.save"), "\xF0\x9F\x91\x8D" + kMixed);
    // ...then the end of the session beside it.
    host.EndSession(SIGHUP);
    host.Run();
    EXPECT_EQ(Get("mixed.txt.save.1"), "\xF0\x9F\x91\x8D" + kMixed);
    EXPECT_EQ(Get("mixed.txt"), kMixed);
}

TEST_F(Utf8DocumentTest, TheAboutBoxSaysTheFilesAreUtf8)
{
    ASSERT_TRUE(StartUtf8());
    bool seen = false;
    host.OnModal([&] {
        seen = true;
        CPoint build = host.Find(u"Build: 57.0");
        CPoint files = host.Find(u"Files: UTF-8");
        EXPECT_GT(files.y, build.y);
        EXPECT_EQ(files.x, build.x);
        host.Key(VK_ESCAPE, 0x1B);
    });
    Command(ID_APP_ABOUT);
    EXPECT_TRUE(seen);
}

}  // namespace
