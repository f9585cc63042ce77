#include "framework/io/Path.h"

#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace {

TEST(PathTest, NameAndFolderSplitAtTheLastSlashOnly)
{
    struct Case {
        const char* path;
        const char* name;
        const char* folder;
    };
    const Case cases[] = {
        {"/home/ann/notes.txt", "notes.txt", "/home/ann/"},
        {"/home/ann\\b.txt", "ann\\b.txt", "/home/"},
        {"a\\b.txt", "a\\b.txt", ""},
        {"dir/sub/", "", "dir/sub/"},
        {"", "", ""},
        {"/", "", "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathFileName(CString(c.path)).ToUtf8(), c.name) << c.path;
        EXPECT_EQ(PathFolder(CString(c.path)).ToUtf8(), c.folder) << c.path;
    }
}

TEST(PathTest, BytePathsSplitAndJoinAtOneSlash)
{
    struct Case {
        std::string path;
        std::string name;
        std::string parent;
    };
    const Case cases[] = {
        {"/home/ann/notes.txt", "notes.txt", "/home/ann"},
        {"/notes.txt", "notes.txt", "/"},
        {"/home/ann\\b.txt", "ann\\b.txt", "/home"},
        {"/caf\xe9/\xff.txt", "\xff.txt", "/caf\xe9"},  // bytes that are no UTF-8 stay
        {"/home/ann/", "", "/home/ann"},
        {"/", "", "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathFileName(c.path), c.name) << c.path;
        EXPECT_EQ(PathParent(c.path), c.parent) << c.path;
        EXPECT_EQ(PathJoin(c.parent, c.name), c.path) << c.path;
    }
}

TEST(PathTest, FullNamesAreAbsoluteAndFoldedWhereNoLinkDecides)
{
    support::ScratchFolder dir;
    dir.Enter();
    ::mkdir((dir / "real").c_str(), 0700);
    ::mkdir((dir / "real/sub").c_str(), 0700);
    ASSERT_EQ(::symlink("real/sub", (dir / "alias").c_str()), 0);
    std::string base = PathCurrentDirectory().ToUtf8();
    ASSERT_EQ(base, dir.Path());
    struct Case {
        std::string name;
        std::string full;
    };
    const Case cases[] = {
        {"/a/b/c.txt", "/a/b/c.txt"},
        {"/a/./b/../c.txt", "/a/c.txt"},
        {"/a//b//c.txt", "/a/b/c.txt"},
        {"/../../x", "/x"},
        {"/a/b/", "/a/b/"},
        {"/a/b/..", "/a"},
        {"/", "/"},
        {"rel.txt", base + "/rel.txt"},
        {"real/sub/../x.txt", base + "/real/x.txt"},
        // After a link ".." is the kernel's: alias/.. is real, not base.
        {"alias/../x.txt", base + "/alias/../x.txt"},
        // Quotes and backslashes are characters of a name.
        {"\"q\"x.txt", base + "/\"q\"x.txt"},
        {"a\\b.txt", base + "/a\\b.txt"},
        {"\"/a b/c.txt\"", base + "/\"/a b/c.txt\""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathFullName(CString::FromBytes(c.name)).ToBytes(), c.full) << "name: " << c.name;
}

TEST(PathTest, NamesKeepTheirBytesExactly)
{
    struct Case {
        std::string bytes;
        std::u16string shown;  // the CString
    };
    const Case cases[] = {
        {"caf\xc3\xa9.txt", u"caf\u00e9.txt"},    // UTF-8
        {"caf\xe9.txt", u"caf\xdce9.txt"},        // Latin-1: the byte kept
        {"\xf0\x9f\x98\x80", u"\U0001F600"},      // beyond 16 bits: a pair
        {"\xed\xa0\x80", u"\xdced\xdca0\xdc80"},  // an encoded surrogate is no UTF-8
        {"\xc0\xaf", u"\xdcc0\xdcaf"},            // nor is an overlong "/"
        {"\xe2\x82", u"\xdce2\xdc82"},            // a cut sequence
        {"a\xff\xfe"
         "b",
         u"a\xdcff\xdcfe"
         "b"},
    };
    for (const Case& c : cases) {
        CString s = CString::FromBytes(c.bytes);
        EXPECT_EQ(s.Str(), c.shown) << c.bytes;
        EXPECT_EQ(s.ToBytes(), c.bytes) << c.bytes;
    }
}

}  // namespace
