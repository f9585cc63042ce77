#include "framework/io/FileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "framework/io/Path.h"

namespace {

std::string Native(const char16_t* path) { return CString(path).ToBytes(); }

}  // namespace

DWORD GetFileAttributes(const char16_t* path)
{
    std::string native = Native(path);
    struct stat st;
    if (native.empty() || ::stat(native.c_str(), &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = 0;
    if (S_ISDIR(st.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (::access(native.c_str(), W_OK) != 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    CString name = PathFileName(CString(path));
    if (!name.IsEmpty() && name[0] == u'.' && name != u"." && name != u"..")
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL PathExists(const char16_t* path) { return GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

BOOL PathIsFolder(const char16_t* path)
{
    DWORD attributes = GetFileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL GetDiskFreeSpaceEx(const char16_t* path, ULONGLONG* freeToCaller, ULONGLONG* totalBytes, ULONGLONG* totalFree)
{
    struct statvfs vfs;
    std::string native = Native(path);
    if (native.empty() || ::statvfs(native.c_str(), &vfs) != 0)
        return FALSE;
    ULONGLONG unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    if (freeToCaller)
        *freeToCaller = ULONGLONG(vfs.f_bavail) * unit;
    if (totalBytes)
        *totalBytes = ULONGLONG(vfs.f_blocks) * unit;
    if (totalFree)
        *totalFree = ULONGLONG(vfs.f_bfree) * unit;
    return TRUE;
}

BOOL ListFolder(const char16_t* folder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::string native = Native(folder);
    DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
    if (!dir)
        return FALSE;
    int fd = ::dirfd(dir);
    int err = 0;
    for (;;) {
        // readdir tells the end from a failure only through errno.
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            err = errno;
            break;
        }
        std::string_view name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        FolderEntry item;
        item.name = CString::FromBytes(name);
        bool folderType = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st;
            folderType = ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        item.isFolder = folderType ? TRUE : FALSE;
        entries.push_back(std::move(item));
    }
    ::closedir(dir);
    if (err) {
        entries.clear();
        errno = err;
        return FALSE;
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        int c = a.name.CompareNoCase(b.name);
        return c != 0 ? c < 0 : a.name.Compare(b.name) < 0;
    });
    return TRUE;
}
