#include "framework/io/MetadataCopy.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace {

// The names of a file's extended attributes; false when they cannot be
// listed (a file system without them has none).
bool ListAttributes(int fd, std::vector<std::string>& names)
{
    names.clear();
    std::string buf;
    for (;;) {
        ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == ENOTSUP;
        buf.assign(size_t(size), '\0');
        ssize_t n = size ? ::flistxattr(fd, buf.data(), buf.size()) : 0;
        if (n >= 0) {
            buf.resize(size_t(n));
            break;
        }
        if (errno != ERANGE)
            return false;
    }
    for (size_t at = 0; at < buf.size();) {
        size_t end = buf.find('\0', at);
        if (end == std::string::npos)
            end = buf.size();
        if (end > at)
            names.push_back(buf.substr(at, end - at));
        at = end + 1;
    }
    return true;
}

bool GetAttribute(int fd, const std::string& name, std::string& value)
{
    for (;;) {
        ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        value.assign(size_t(size), '\0');
        ssize_t n = size ? ::fgetxattr(fd, name.c_str(), value.data(), value.size()) : 0;
        if (n >= 0) {
            value.resize(size_t(n));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// Gives copy the extended attributes of original, and none besides; true
// when they are all equal in the end.
bool CopyAttributes(int original, int copy)
{
    std::vector<std::string> had, has;
    if (!ListAttributes(original, had) || !ListAttributes(copy, has))
        return false;
    for (const std::string& name : has)
        if (std::find(had.begin(), had.end(), name) == had.end() && ::fremovexattr(copy, name.c_str()) != 0)
            return false;
    for (const std::string& name : had) {
        std::string value, now;
        if (!GetAttribute(original, name, value))
            return false;
        if (::fsetxattr(copy, name.c_str(), value.data(), value.size(), 0) != 0
            && !(GetAttribute(copy, name, now) && now == value))
            return false;
    }
    return true;
}

}  // namespace

bool CopyMetadata(int original, int copy, const struct stat& status)
{
    if (::fchown(copy, status.st_uid, status.st_gid) != 0 || !CopyAttributes(original, copy)
        || ::fchmod(copy, status.st_mode & 07777) != 0)
        return false;
    struct stat made;
    return ::fstat(copy, &made) == 0 && made.st_uid == status.st_uid && made.st_gid == status.st_gid
        && (made.st_mode & 07777) == (status.st_mode & 07777);
}
