// Files at the size limit, and texts long enough that the control's buffer
// holds them in two pieces: what ends up on disk after opening, Replace
// all and saving, and the save prompt for characters a byte cannot hold.
#include <random>

#include "tests/support/EditorTest.h"

namespace {

class LargeFileTest : public EditorTest {
protected:
    support::ScratchFolder dir{"/tmp/tessel-large-"};
};

TEST_F(LargeFileTest, AFullSizeFileIsReplacedUnderTheLimitAndSavedByteForByte)
{
    // 1048575 bytes, as many as a file may hold: "\r\n" lines, about half
    // of them "a", some "A" and bytes from the upper half of Latin-1, which
    // fold to no ASCII letter. Each "a" grows to "bb" while there is room;
    // once the text is full, the one character left of each replacement is
    // "b", so the saved file can be opened again.
    std::mt19937 rng(7);
    const std::string others = "bcxyz A\xC0\xE0\xC1\xFF";
    std::string bytes;
    while (bytes.size() < 1048575) {
        if (rng() % 40 == 0 && bytes.size() + 2 <= 1048575)
            bytes += "\r\n";
        else
            bytes += rng() % 2 ? 'a' : others[rng() % others.size()];
    }
    std::string expected;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const size_t length = expected.size() + bytes.size() - i;  // the text's length before this character
        if (bytes[i] == 'a' || bytes[i] == 'A')
            expected += length < 1048575 ? "bb" : "b";
        else
            expected += bytes[i];
    }
    const std::string path = dir.Put("full.txt", bytes);

    ASSERT_TRUE(Start({path}));
    ASSERT_EQ(View()->GetWindowTextLength(), 1048575);
    // Each line starts where the file's bytes put it, whichever of the
    // blocks the file is read in holds its line end.
    std::vector<int> starts = {0};
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n')
            starts.push_back(int(i) + 1);
    CEdit& edit = View()->GetEditCtrl();
    ASSERT_EQ(edit.GetLineCount(), int(starts.size()));
    for (size_t line = 0; line < starts.size(); ++line)
        ASSERT_EQ(edit.LineIndex(int(line)), starts[line]) << "line " << line;
    Command(ID_TOOLS_FIND_REPLACE);
    Type(u"a");
    Tap(IDC_REPLACE_TEXT);
    Type(u"bb");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel().second - Sel().first, 1);
    Answer({u"Yes"});
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(View()->GetWindowTextLength(), int(expected.size()));
    EXPECT_TRUE(Doc()->IsModified());
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    host.ClearRecords();
    Ctrl('S');
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_TRUE(support::ReadBytes(path) == expected) << "the saved file differs";
    EXPECT_EQ(support::ReadBytes(path).size(), 1048575u);
}

// Replace all cannot be undone: one that would pass the limit asks first,
// No replaces nothing, and a pass that is cut sounds the warning beep.
TEST_F(LargeFileTest, ReplaceAllPastTheLimitAsksFirst)
{
    constexpr int kLimit = 1048575;
    constexpr int kCount = 600000;
    ASSERT_TRUE(Start());
    Load(std::u16string(kCount, u'a'));
    auto replaceAll = [this](const std::u16string& answer) {
        Select(0, 0);
        Command(ID_TOOLS_FIND_REPLACE);
        Fill(IDC_FIND_TEXT, u"a");
        Fill(IDC_REPLACE_TEXT, u"aa");
        Tap(IDC_FIND);
        Answer({answer});
        Tap(IDC_REPLACE_ALL);
    };
    // The first limit - count replacements go in whole; the others are cut.
    const std::string asked = "The text would pass its size limit; " + std::to_string(kCount - (kLimit - kCount))
        + " replacements would be cut short. Replace all anyway?";
    replaceAll(u"No");
    EXPECT_EQ(Boxes(), std::vector<std::string>{asked});
    EXPECT_EQ(host.MessageBoxes()[0].type & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(View()->GetWindowTextLength(), kCount);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_TRUE(host.Beeps().empty());

    replaceAll(u"Yes");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{asked, asked}));
    EXPECT_EQ(View()->GetWindowTextLength(), kLimit);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(host.Beeps(), std::vector<UINT>{MB_ICONEXCLAMATION});
}

TEST_F(LargeFileTest, ACharacterAboveEightBitsAnywhereAsksBeforeSaving)
{
    // The euro sign typed at the end, then a letter typed at the start: the
    // buffer's two pieces then hold the letter and everything else.
    const std::string old(10000, 'x');
    const std::string path = dir.Put("wide.txt", old);
    ASSERT_TRUE(Start({path}));
    Key(VK_END, true);
    Type(u"\u20AC");
    Key(VK_HOME, true);
    Type(u"z");
    host.OnModal([this] { host.ClickButton(u"No"); });
    Ctrl('S');
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_TRUE(support::ReadBytes(path) == old) << "the file was written";
    EXPECT_TRUE(Doc()->IsModified());

    // Without it the save goes through without a word.
    Key(VK_END, true);
    Type(u"\b");
    host.ClearRecords();
    Ctrl('S');
    for (const auto& box : host.MessageBoxes())
        ADD_FAILURE() << CString(box.text).ToUtf8();
    EXPECT_TRUE(support::ReadBytes(path) == "z" + old) << "the file was not written";
}

}  // namespace
