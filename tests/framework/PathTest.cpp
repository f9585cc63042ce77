#include "framework/io/Path.h"

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(PathTest, NameAndFolderSplitAtTheLastSeparatorOfEitherKind)
{
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\docs\\a.txt", "a.txt", "C:\\docs\\"},
        {"/home/ann/notes.txt", "notes.txt", "/home/ann/"},
        {"/home/ann\\mixed.txt", "mixed.txt", "/home/ann\\"},
        {"dir\\sub/", "", "dir\\sub/"},
        {"plain.txt", "plain.txt", ""},
        {"", "", ""},
        {"/", "", "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathFileName(CString(c.path)).ToUtf8(), c.name) << c.path;
        EXPECT_EQ(PathFolder(CString(c.path)).ToUtf8(), c.folder) << c.path;
    }
    EXPECT_EQ(PathNative(CString(u"a\\b/c\\")).ToUtf8(), "a/b/c/");
}

TEST(PathTest, FullNamesAreAbsoluteFoldedAndUnquoted)
{
    std::string cwd = PathCurrentDirectory().ToUtf8();
    ASSERT_FALSE(cwd.empty());
    ASSERT_EQ(cwd[0], '/');
    std::string base = cwd == "/" ? "" : cwd;
    struct Case {
        const char* name;
        std::string full;
    };
    const Case cases[] = {
        {"/a/b/c.txt", "/a/b/c.txt"},
        {"/a/./b/../c.txt", "/a/c.txt"},
        {"/a//b\\\\c.txt", "/a/b/c.txt"},
        {"\\a\\b\\..\\c.txt", "/a/c.txt"},
        {"/../../x", "/x"},
        {"/a/b/", "/a/b/"},
        {"/a/b/..", "/a"},
        {"/", "/"},
        {"rel.txt", base + "/rel.txt"},
        {"sub\\..\\rel.txt", base + "/rel.txt"},
        {"\"/a b/c d.txt\"", "/a b/c d.txt"},
        {"\"/a b/c.txt\" trailing", "/a b/c.txt"},
        {"\"/unclosed/x", "/unclosed/x"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathFullName(CString(c.name)).ToUtf8(), c.full) << "name: " << c.name;
    EXPECT_EQ(PathFullName(CString(u"/caf\u00e9/\u20ac.txt")), CString(u"/caf\u00e9/\u20ac.txt"));
}

}  // namespace
