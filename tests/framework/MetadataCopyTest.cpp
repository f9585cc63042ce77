#include "framework/io/MetadataCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace {

// Owner, group, permission bits and extended attributes of a file, as text.
std::string MetadataOf(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return "none";
    std::string text
        = std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + " " + std::to_string(st.st_mode & 07777);
    char names[1024];
    ssize_t size = ::listxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < size; at += ssize_t(std::string(names + at).size()) + 1) {
        char value[256];
        ssize_t n = ::getxattr(path.c_str(), names + at, value, sizeof value);
        text += " " + std::string(names + at) + "=" + std::string(value, size_t(n > 0 ? n : 0));
    }
    return text;
}

TEST(MetadataCopyTest, TheCopyEndsWithTheOriginalsOwnerModeAndAttributesOnly)
{
    struct Case {
        const char* what;
        mode_t mode;
        bool otherOwner;        // the original belongs to user and group 65534 (needs root)
        const char* attribute;  // a user attribute of the original
    };
    const Case cases[] = {
        {"permission bits", 0640, false, nullptr},
        {"set-group-id and sticky bits", 03755, false, nullptr},
        {"an extended attribute", 0600, false, "kept"},
        {"another owner", 0644, true, "kept"},
    };
    support::ScratchFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.otherOwner && ::geteuid() != 0)
            continue;  // only root gives files to others
        const std::string original = dir.Put("original", "old");
        const std::string copy = dir.Put("copy", "new");
        const uid_t owner = c.otherOwner ? 65534 : uid_t(-1);  // -1: as made
        ASSERT_EQ(::chown(original.c_str(), owner, gid_t(owner)), 0);
        ASSERT_EQ(::chmod(original.c_str(), c.mode), 0);
        if (c.attribute) {
            ASSERT_EQ(::setxattr(original.c_str(), "user.note", c.attribute, std::string(c.attribute).size(), 0), 0);
        }
        // An attribute the original lacks goes.
        ASSERT_EQ(::setxattr(copy.c_str(), "user.stale", "x", 1, 0), 0);
        int from = ::open(original.c_str(), O_RDONLY);
        int to = ::open(copy.c_str(), O_RDWR);
        struct stat status;
        ASSERT_EQ(::fstat(from, &status), 0);
        EXPECT_TRUE(CopyMetadata(from, to, status));
        ::close(from);
        ::close(to);
        EXPECT_EQ(MetadataOf(copy), MetadataOf(original));
        EXPECT_EQ(support::ReadBytes(copy), "new");
        ::unlink(original.c_str());
        ::unlink(copy.c_str());
    }
}

}  // namespace
