// Files at the size limit, and texts long enough that the control's buffer
// holds them in two pieces: what ends up on disk after opening, Replace
// all and saving, and the save prompt for characters a byte cannot hold.
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <random>

#include "EditorHarness.h"

namespace {

class LargeFileTest : public EditorTest {
protected:
    LargeFileTest()
    {
        char pattern[] = "/tmp/tessel-large-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        m_dir = made ? made : "";
    }
    ~LargeFileTest() override
    {
        if (!m_dir.empty())
            (void)std::system(("rm -rf '" + m_dir + "'").c_str());
    }
    std::string Put(const std::string& name, const std::string& bytes)
    {
        std::string path = m_dir + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    static std::string Get(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void Tap(int id)
    {
        CRect cells = GetWindowCells(Tool()->GetDlgItem(id)->m_hWnd);
        host.Click(cells.left + cells.Width() / 2, cells.top);
        host.Run();
    }
    void Keys(UINT vk, bool ctrl = false)
    {
        host.Key(vk, 0, ctrl);
        host.Run();
    }

private:
    std::string m_dir;
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
    const std::string path = Put("full.txt", bytes);

    ASSERT_TRUE(Start({path}));
    ASSERT_EQ(View()->GetWindowTextLength(), 1048575);
    Command(ID_TOOLS_FIND_REPLACE);
    Type(u"a");
    Tap(IDC_REPLACE_TEXT);
    Type(u"bb");
    Tap(IDC_FIND);
    ASSERT_EQ(Sel().second - Sel().first, 1);
    Tap(IDC_REPLACE_ALL);
    EXPECT_EQ(View()->GetWindowTextLength(), int(expected.size()));
    EXPECT_TRUE(Doc()->IsModified());
    host.Ctrl('S');
    host.Run();
    EXPECT_TRUE(host.MessageBoxes().empty());
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_TRUE(Get(path) == expected) << "the saved file differs";
    EXPECT_EQ(Get(path).size(), 1048575u);
}

TEST_F(LargeFileTest, ACharacterAboveEightBitsAnywhereAsksBeforeSaving)
{
    // The euro sign typed at the end, then a letter typed at the start: the
    // buffer's two pieces then hold the letter and everything else.
    const std::string old(10000, 'x');
    const std::string path = Put("wide.txt", old);
    ASSERT_TRUE(Start({path}));
    Keys(VK_END, true);
    Type(u"\u20AC");
    Keys(VK_HOME, true);
    Type(u"z");
    host.OnModal([this] { host.ClickButton(u"No"); });
    host.Ctrl('S');
    host.Run();
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_TRUE(Get(path) == old) << "the file was written";
    EXPECT_TRUE(Doc()->IsModified());

    // Without it the save goes through without a word.
    Keys(VK_END, true);
    Type(u"\b");
    host.ClearRecords();
    host.Ctrl('S');
    host.Run();
    for (const auto& box : host.MessageBoxes())
        ADD_FAILURE() << CString(box.text).ToUtf8();
    EXPECT_TRUE(Get(path) == "z" + old) << "the file was not written";
}

}  // namespace
