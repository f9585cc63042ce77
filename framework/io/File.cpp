#include "framework/io/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"
#include "framework/io/Path.h"
#include "framework/io/SessionEnd.h"

namespace {

std::string Native(const CString& fullPath) { return fullPath.ToBytes(); }

// The lock of another open that conflicts with a lock of this type over the
// whole file, if any.
bool Conflicts(int fd, short type)
{
    struct flock probe = {};
    probe.l_type = type;
    probe.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_GETLK, &probe) != 0)
        return false;  // a file system without locks: nothing to conflict with
    return probe.l_type != F_UNLCK;
}

// The cause of a failed open: a missing file whose folder is missing too is a
// bad path, as on the platform.
int OpenFailureCause(int err, const CString& fullPath)
{
    if (err == ENOENT) {
        struct stat st;
        std::string folder = Native(PathFolder(fullPath));
        if (!folder.empty() && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
            return CFileException::badPath;
    }
    return CFileException::ErrnoToException(err);
}

// Whether another open holds a lock on the file at path (which is to be
// deleted or moved).
bool HeldByAnother(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st;
    bool held = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && Conflicts(fd, F_WRLCK);
    ::close(fd);
    return held;
}

}  // namespace

CFile::CFile(const char16_t* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (m_hFile != hFileNull)
        ::close(m_hFile);
}

int CFile::LockShare(int fd, UINT access, UINT share)
{
    bool writing = access != modeRead;
    bool exclusive = share == shareExclusive || share == shareCompat || share == shareDenyRead;
    // Any lock denies writers; only an exclusive one denies readers too.
    if (Conflicts(fd, writing || exclusive ? F_WRLCK : F_RDLCK))
        return EAGAIN;
    if (share == shareDenyNone)
        return 0;
    struct flock lock = {};
    lock.l_type = exclusive && writing ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    // EAGAIN or EACCES: someone took a lock since the check.
    if (errno == EAGAIN || errno == EACCES)
        return EAGAIN;
    return 0;  // locks not supported here: the file is used unlocked
}

BOOL CFile::Open(const char16_t* fileName, UINT openFlags, CFileException* error)
{
    if (m_hFile != hFileNull)
        Abort();
    m_strFileName = PathFullName(CString(fileName));
    auto fail = [&](int err, int cause) { return FillFileException(error, cause, err, m_strFileName); };
    if (m_strFileName.IsEmpty())
        return fail(ENOENT, CFileException::badPath);

    UINT access = openFlags & 0x3;
    UINT share = openFlags & 0x70;
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (access) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: return fail(EINVAL, CFileException::genericException);
    }
    if (share > shareDenyNone)
        return fail(EINVAL, CFileException::genericException);
    if (openFlags & modeCreate)
        flags |= O_CREAT;

    std::string path = Native(m_strFileName);
    int fd;
    // Opened without waiting (a FIFO without a writer would block); a
    // signal that ends the session ends the retries.
    do
        fd = FaultInjection::Open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR && !SessionEnd::Pending());
    if (fd < 0) {
        int err = errno;
        return fail(err, OpenFailureCause(err, m_strFileName));
    }
    // Only a regular file is a file here, checked before anything is read
    // or locked: a folder, FIFO, socket or device is refused at once, as a
    // save refuses it, so that nothing waits on a FIFO or reads a device
    // without end.
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int err = errno;
        ::close(fd);
        return fail(err, CFileException::ErrnoToException(err));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, CFileException::accessDenied);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (int err = LockShare(fd, access, share)) {
        ::close(fd);
        return fail(err, CFileException::sharingViolation);
    }
    // Emptied only now, so that a sharing violation leaves the file whole.
    if ((openFlags & modeCreate) && !(openFlags & modeNoTruncate) && access != modeRead && st.st_size != 0
        && ::ftruncate(fd, 0) != 0) {
        int err = errno;
        ::close(fd);
        return fail(err, CFileException::ErrnoToException(err));
    }
    m_hFile = fd;
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    // While the session is to end, reading stops, so that a reader blocked
    // or busy on an endless file gets back to the input loop.
    if (SessionEnd::Pending())
        ThrowErrno(EINTR);
    ssize_t n;
    do
        n = FaultInjection::Read(m_hFile, buffer, count);
    while (n < 0 && errno == EINTR && !SessionEnd::Pending());
    if (n < 0)
        ThrowErrno(errno);
    return UINT(n);
}

void CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    const char* p = static_cast<const char*>(buffer);
    size_t left = count;
    while (left > 0) {
        ssize_t n = FaultInjection::Write(m_hFile, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            ThrowErrno(ENOSPC);
        p += n;
        left -= size_t(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : from == end ? SEEK_END : -1;
    off_t pos = whence < 0 ? -1 : ::lseek(m_hFile, off_t(offset), whence);
    if (pos < 0) {
        int err = whence < 0 ? EINVAL : errno;
        throw CFileException(CFileException::badSeek, err, m_strFileName);
    }
    return ULONGLONG(pos);
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    off_t pos = ::lseek(m_hFile, 0, SEEK_CUR);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return ULONGLONG(pos);
}

ULONGLONG CFile::GetLength() const
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    struct stat st;
    if (::fstat(m_hFile, &st) != 0)
        ThrowErrno(errno);
    return ULONGLONG(st.st_size);
}

void CFile::SetLength(ULONGLONG length)
{
    if (m_hFile == hFileNull)
        ThrowErrno(EBADF);
    if (::ftruncate(m_hFile, off_t(length)) != 0)
        ThrowErrno(errno);
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (FaultInjection::Fsync(m_hFile) != 0 && errno != EINVAL && errno != EROFS)
        ThrowErrno(errno);  // EINVAL/EROFS: a file that cannot be synced (pipe, device)
}

void CFile::Close()
{
    if (m_hFile == hFileNull)
        return;
    int fd = m_hFile;
    m_hFile = hFileNull;
    // Linux frees the descriptor even when close reports an error, so it is
    // never retried; EINTR says nothing about the data.
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(errno);
}

void CFile::Abort()
{
    if (m_hFile == hFileNull)
        return;
    ::close(m_hFile);
    m_hFile = hFileNull;
}

CString CFile::GetFileName() const { return PathFileName(m_strFileName); }

void CFile::SetFilePath(const char16_t* path) { m_strFileName = PathFullName(CString(path)); }

void CFile::ThrowErrno(int err) const { CFileException::ThrowOsError(err, m_strFileName); }

void CFile::Remove(const char16_t* fileName)
{
    CString full = PathFullName(CString(fileName));
    std::string path = Native(full);
    if (HeldByAnother(path))
        throw CFileException(CFileException::sharingViolation, EAGAIN, full);
    if (::unlink(path.c_str()) != 0) {
        int err = errno;
        throw CFileException(OpenFailureCause(err, full), err, full);
    }
}

void CFile::Rename(const char16_t* oldName, const char16_t* newName)
{
    CString oldFull = PathFullName(CString(oldName));
    CString newFull = PathFullName(CString(newName));
    std::string from = Native(oldFull);
    std::string to = Native(newFull);
    if (HeldByAnother(from))
        throw CFileException(CFileException::sharingViolation, EAGAIN, oldFull);
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0)
        throw CFileException(CFileException::accessDenied, EEXIST, oldFull);
    if (FaultInjection::Rename(from.c_str(), to.c_str()) != 0) {
        int err = errno;
        throw CFileException(OpenFailureCause(err, oldFull), err, oldFull);
    }
}
