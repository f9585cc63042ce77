// What tells a file on disk apart from another, or from itself as it was:
// its device and inode, its size and its modification time to the
// nanosecond. A document notes it when it reads or writes its file, and
// compares before it writes again.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

struct FileIdentity {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified = {};

    static FileIdentity Of(const struct stat& st)
    {
        FileIdentity id;
        id.known = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
        id.size = st.st_size;
        id.modified = st.st_mtim;
        return id;
    }
    // Unknown when the descriptor cannot be asked.
    static FileIdentity Of(int fd)
    {
        struct stat st;
        return ::fstat(fd, &st) == 0 ? Of(st) : FileIdentity();
    }
    // The same file, unchanged since; two unknown identities are equal.
    friend bool operator==(const FileIdentity& a, const FileIdentity& b)
    {
        if (!a.known || !b.known)
            return a.known == b.known;
        return a.device == b.device && a.inode == b.inode && a.size == b.size && a.modified.tv_sec == b.modified.tv_sec
            && a.modified.tv_nsec == b.modified.tv_nsec;
    }
};
