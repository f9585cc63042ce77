#include "framework/io/LinkSafePath.h"

#include <fcntl.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "framework/io/Path.h"

namespace {

// Symbolic links followed at most this many times, as the system does.
constexpr int kMaxLinks = 40;

// The path of a folder as the kernel knows it (links resolved), or
// fallback when the system does not tell.
std::string DescriptorPath(int fd, const std::string& fallback)
{
    std::string proc = "/proc/self/fd/" + std::to_string(fd);
    std::string buf(PATH_MAX, '\0');
    ssize_t n = ::readlink(proc.c_str(), buf.data(), buf.size());
    if (n <= 0 || size_t(n) >= buf.size() || buf[0] != '/')
        return fallback;
    buf.resize(size_t(n));
    return buf;
}

// What the link name in folder points to; empty when it cannot be read.
std::string ReadLinkAt(int folder, const std::string& name, off_t size)
{
    std::string link(size_t(size > 0 ? size : 255) + 1, '\0');
    for (;;) {
        ssize_t n = ::readlinkat(folder, name.c_str(), link.data(), link.size());
        if (n < 0)
            return std::string();
        if (size_t(n) < link.size()) {
            link.resize(size_t(n));
            return link;
        }
        link.resize(link.size() * 2);
    }
}

// The kernel's rule for links in a world-writable sticky folder: such a
// link is followed only by its owner, or when the folder's owner owns it.
bool MayFollow(int folder, const struct stat& link)
{
    struct stat st;
    if (::fstat(folder, &st) != 0)
        return false;
    bool shared = (st.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == ::geteuid() || link.st_uid == st.st_uid;
}

}  // namespace

int LinkSafePath::OpenFolder(const std::string& path)
{
    Close();
    m_exists = false;
    m_name = PathFileName(path);
    m_folderPath = PathParent(path);
    m_folder = ::open(m_folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return m_folder < 0 ? errno : 0;
}

int LinkSafePath::Resolve(const std::string& path)
{
    if (int err = OpenFolder(path))
        return err;
    bool followed = false;
    for (int links = 0;; ++links) {
        if (m_name.empty() || m_name == "." || m_name == "..")
            return EISDIR;
        if (::fstatat(m_folder, m_name.c_str(), &m_status, AT_SYMLINK_NOFOLLOW) != 0) {
            m_exists = false;
            if (errno != ENOENT)
                return errno;
            break;
        }
        m_exists = true;
        if (!S_ISLNK(m_status.st_mode))
            break;
        if (links == kMaxLinks)
            return ELOOP;
        if (!MayFollow(m_folder, m_status))
            return EACCES;
        followed = true;
        std::string link = ReadLinkAt(m_folder, m_name, m_status.st_size);
        if (link.empty())
            return ENOENT;
        m_name = PathFileName(link);
        if (size_t slash = link.rfind('/'); slash != std::string::npos) {
            // Relative to the link's own folder, or absolute: the kernel
            // walks it, links and ".." included.
            int next = ::openat(m_folder, link.substr(0, slash + 1).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            int err = errno;
            Close();
            if (next < 0)
                return err;
            m_folder = next;
        }
    }
    // Where a link led, the system tells the folder's path.
    if (followed)
        m_folderPath = DescriptorPath(m_folder, m_folderPath);
    return 0;
}

void LinkSafePath::Close()
{
    if (m_folder >= 0)
        ::close(m_folder);
    m_folder = -1;
}
