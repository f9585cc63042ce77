#include "framework/io/LinkSafePath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// The inode of the folder a descriptor or a path stands for.
ino_t InodeOf(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 ? st.st_ino : 0;
}

ino_t InodeOf(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(LinkSafePathTest, ResolvesToTheFolderAndNameTheKernelWouldWrite)
{
    support::ScratchFolder dir;
    dir.Put("real/target.txt", "x");
    const std::string real = fs::canonical(dir / "real").string();
    ASSERT_EQ(::symlink("real/target.txt", (dir / "link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("link.txt", (dir / "link2.txt").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "real/target.txt").c_str(), (dir / "absolute").c_str()), 0);
    ASSERT_EQ(::symlink("real/later.txt", (dir / "dangling").c_str()), 0);
    ASSERT_EQ(::symlink("loop", (dir / "loop").c_str()), 0);
    struct Case {
        const char* path;  // below dir
        int err;
        std::string folder;
        const char* name;
        bool exists;
    };
    const Case cases[] = {
        {"real/target.txt", 0, dir / "real", "target.txt", true},
        {"new.txt", 0, dir.Path(), "new.txt", false},
        {"link.txt", 0, real, "target.txt", true},
        {"link2.txt", 0, real, "target.txt", true},
        {"absolute", 0, real, "target.txt", true},
        {"dangling", 0, real, "later.txt", false},
        {"loop", ELOOP, "", "", false},
        {"missing/x", ENOENT, "", "", false},
        {"real/..", EISDIR, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LinkSafePath path;
        ASSERT_EQ(path.Resolve(dir / c.path), c.err);
        if (c.err != 0)
            continue;
        EXPECT_EQ(path.FolderPath(), c.folder);
        EXPECT_EQ(InodeOf(path.Folder()), InodeOf(c.folder));
        EXPECT_EQ(path.Name(), c.name);
        EXPECT_EQ(path.Exists(), c.exists);
    }
    // OpenFolder follows nothing: the link itself is the name.
    LinkSafePath link;
    ASSERT_EQ(link.OpenFolder(dir / "link.txt"), 0);
    EXPECT_EQ(link.FolderPath(), dir.Path());
    EXPECT_EQ(link.Name(), "link.txt");
}

}  // namespace
