#include "framework/io/SaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string>
#include <vector>

#include "framework/io/FallbackFolder.h"
#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"
#include "framework/io/MetadataCopy.h"
#include "framework/io/Path.h"

namespace {

// Names tried for the temporary file before giving up on the folder.
constexpr UINT kMaxTempNames = 0x10000;
// Names tried for a backup copy in one folder: NAME~, then NAME~1 ...
constexpr int kMaxBackupNames = 100;

void CloseFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Puts the folder's entries on the disk after a rename. Some file systems
// cannot sync a folder; the rename itself has happened either way, so a
// failure here is not reported.
void SyncFolder(int folder)
{
    int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Copies length bytes from the start of one file to the start of another:
// in the kernel where it can, through a buffer otherwise (another file
// system). Returns 0 or an errno value.
int CopyContent(int from, int to, off_t length)
{
    off_t in = 0, out = 0;
    while (in < length) {
        ssize_t n = ::copy_file_range(from, &in, to, &out, size_t(length - in), 0);
        if (n > 0)
            continue;
        if (n == 0)
            return EIO;  // the file became shorter meanwhile
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return errno;
        std::string buffer(size_t(std::min<off_t>(length - in, 1 << 16)), '\0');
        while (in < length) {
            ssize_t got = ::pread(from, buffer.data(), size_t(std::min<off_t>(length - in, off_t(buffer.size()))), in);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return got < 0 ? errno : EIO;
            for (ssize_t done = 0; done < got;) {
                ssize_t put = ::pwrite(to, buffer.data() + done, size_t(got - done), out);
                if (put < 0 && errno == EINTR)
                    continue;
                if (put <= 0)
                    return put < 0 ? errno : ENOSPC;
                done += put;
                out += put;
            }
            in += got;
        }
    }
    return 0;
}

// Puts the old content back from the backup, and the file's modification
// time: the way back after a failure, which leaves the file as it was.
bool PutBack(int fd, int backup, off_t length, const struct timespec& modified)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, modified};
    return CopyContent(backup, fd, length) == 0 && ::ftruncate(fd, length) == 0 && ::futimens(fd, times) == 0
        && ::fsync(fd) == 0;
}

}  // namespace

SaveFile::~SaveFile() { Discard(); }

CString SaveFile::TempFileName(const CString& folder, UINT number)
{
    CString name;
    name.Format(u"%s/%s%5X.tmp", folder, u"MFC", number);
    return name;
}

BOOL SaveFile::Open(const char16_t* target, CFileException* error)
{
    Discard();
    m_oldIdentity = FileIdentity();
    m_newIdentity = FileIdentity();
    CString full = PathFullName(CString(target));
    auto fail = [&](int err, int cause) { return FailOpen(error, full, err, cause); };
    if (full.IsEmpty())
        return fail(ENOENT, CFileException::badPath);

    if (int err = m_target.Resolve(full.ToBytes())) {
        // A folder on the way that is missing or is none: a bad path.
        bool badPath = err == ENOENT || err == ENOTDIR || err == ELOOP;
        return fail(err, badPath ? CFileException::badPath : CFileException::ErrnoToException(err));
    }
    m_targetPath = CString::FromBytes(PathJoin(m_target.FolderPath(), m_target.Name()));
    m_strFileName = full;
    const struct stat& old = m_target.Status();
    if (!m_target.Exists()) {
        // A new file gets the usual permissions (0666 less the umask).
        int fd = CreateTemp(0666);
        if (fd < 0) {
            int err = errno;
            return fail(err, CFileException::ErrnoToException(err));
        }
        m_hFile = fd;
        return TRUE;
    }
    // Only a regular file is written: never a folder, a device, a FIFO or
    // a socket.
    if (!S_ISREG(old.st_mode))
        return fail(S_ISDIR(old.st_mode) ? EISDIR : EINVAL, CFileException::accessDenied);

    // Held for the whole save: the right to write it, and no one else's
    // lock. Opened without following a link and without waiting, then
    // checked to be the file just looked at.
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int fd = FaultInjection::OpenAt(m_target.Folder(), m_target.Name().c_str(), O_RDWR | flags);
    if (fd < 0 && errno == EACCES)
        fd = FaultInjection::OpenAt(m_target.Folder(), m_target.Name().c_str(), O_WRONLY | flags);
    if (fd < 0) {
        int err = errno;
        return fail(err, CFileException::ErrnoToException(err));
    }
    m_targetFd = fd;
    struct stat now;
    if (::fstat(fd, &now) != 0 || !S_ISREG(now.st_mode) || now.st_dev != old.st_dev || now.st_ino != old.st_ino)
        return fail(EAGAIN, CFileException::sharingViolation);  // replaced between the look and the open
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (int err = LockShare(fd, modeReadWrite, shareExclusive))
        return fail(err, CFileException::sharingViolation);
    m_oldIdentity = FileIdentity::Of(now);
    if (int err = ChooseRenameOrInPlace(now))
        return fail(err, CFileException::ErrnoToException(err));
    return TRUE;
}

BOOL SaveFile::FailOpen(CFileException* error, const CString& full, int err, int cause)
{
    Discard();
    m_strFileName = full;
    return FillFileException(error, cause, err, full);
}

int SaveFile::ChooseRenameOrInPlace(const struct stat& old)
{
    if (MayRenameOver(old)) {
        int fd = CreateTemp(0600);
        if (fd < 0) {
            // A full disk or a failing device is no reason to write in place:
            // that writing would fail too.
            int err = errno;
            if (err == ENOSPC || err == EDQUOT || err == EIO)
                return err;
        } else if (CopyMetadata(m_targetFd, fd, old)) {
            m_hFile = fd;  // the copy, renamed over the file by Commit
            return 0;
        } else {
            ::close(fd);
            ::unlinkat(m_target.Folder(), m_tempName.c_str(), 0);
            m_tempName.clear();
            m_tempPath.Empty();
        }
    }
    m_inPlace = true;
    m_hFile = m_targetFd;
    m_targetFd = hFileNull;
    m_pending.reserve(size_t(old.st_size) + 4096);  // the new content is often about as long
    return 0;
}

bool SaveFile::MayRenameOver(const struct stat& old) const
{
    // A second name of the file would keep the old content.
    if (old.st_nlink != 1)
        return false;
    // In a sticky folder only root and the owners of the file or of the
    // folder may rename over the file.
    uid_t me = ::geteuid();
    struct stat folder;
    return me == 0 || me == old.st_uid
        || (::fstat(m_target.Folder(), &folder) == 0 && (!(folder.st_mode & S_ISVTX) || me == folder.st_uid));
}

int SaveFile::CreateTemp(mode_t mode)
{
    CString folder = CString::FromBytes(m_target.FolderPath());
    UINT number = UINT(std::time(nullptr)) & 0xFFFFF;
    int fd = -1;
    for (UINT attempt = 0; attempt < kMaxTempNames; ++attempt, ++number) {
        m_tempPath = TempFileName(folder, number);
        m_tempName = PathFileName(m_tempPath.ToBytes());
        fd = FaultInjection::OpenAt(m_target.Folder(), m_tempName.c_str(),
                                    O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    if (fd < 0) {
        int err = errno;
        m_tempName.clear();
        m_tempPath.Empty();
        errno = err;
    }
    return fd;
}

BOOL SaveFile::OpenNew(const char16_t* target, CFileException* error)
{
    Discard();
    m_oldIdentity = FileIdentity();
    m_newIdentity = FileIdentity();
    CString full = PathFullName(CString(target));
    auto fail = [&](int err) { return FailOpen(error, full, err, CFileException::ErrnoToException(err)); };
    if (full.IsEmpty())
        return fail(ENOENT);
    if (int err = m_target.OpenFolder(full.ToBytes()))
        return fail(err);
    struct stat st;
    const std::string& name = m_target.Name();
    if (name.empty() || ::fstatat(m_target.Folder(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return fail(EEXIST);
    int fd = CreateTemp(0600);
    if (fd < 0)
        return fail(errno);
    m_hFile = fd;
    m_targetPath = full;
    m_strFileName = full;
    m_new = true;
    return TRUE;
}

void SaveFile::Write(const void* buffer, UINT count)
{
    if (m_inPlace && IsOpen()) {
        m_pending.append(static_cast<const char*>(buffer), count);
        return;
    }
    CFile::Write(buffer, count);
}

void SaveFile::Commit()
{
    if (!IsOpen())
        return;
    try {
        if (m_inPlace)
            CommitInPlace();
        else
            CommitCopy();
    } catch (const CFileException&) {
        Discard();
        throw;
    }
    Discard();
}

void SaveFile::CommitCopy()
{
    CFile::Flush();
    m_newIdentity = FileIdentity::Of(m_hFile);
    CFile::Close();
    const int folder = m_target.Folder();
    const char* name = m_target.Name().c_str();
    int moved = m_new ? FaultInjection::RenameNoReplaceAt(folder, m_tempName.c_str(), folder, name)
                      : FaultInjection::RenameAt(folder, m_tempName.c_str(), folder, name);
    if (moved != 0)
        ThrowErrno(errno);
    m_tempName.clear();
    m_tempPath.Empty();
    SyncFolder(m_target.Folder());
}

void SaveFile::CommitInPlace()
{
    const off_t length = off_t(m_pending.size());
    // As the file is now (reserving room may touch its times).
    struct stat st;
    if (::fstat(m_hFile, &st) != 0)
        ThrowErrno(errno);
    // The room for the new length first: a full disk fails here, before a
    // single old byte has changed. A file system that cannot reserve room
    // goes on; the backup copy keeps the old content then.
    if (length > 0 && ::fallocate(m_hFile, FALLOC_FL_KEEP_SIZE, 0, length) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        ThrowErrno(errno);
    MakeBackup(st.st_size);
    try {
        Seek(0, begin);
        CFile::Write(m_pending.data(), UINT(m_pending.size()));
        SetLength(ULONGLONG(length));
        CFile::Flush();
    } catch (const CFileException&) {
        // The old content back; the backup stays only when that fails too.
        if (PutBack(m_hFile, m_backupFd, st.st_size, st.st_mtim))
            RemoveBackup();
        throw;
    }
    m_newIdentity = FileIdentity::Of(m_hFile);
    CFile::Close();
    RemoveBackup();
}

namespace {

// Makes a backup copy of the file's first length bytes in folder as name~
// (name~1 ... when that is taken; a long name cut so that these fit),
// private to the user, and syncs it. Returns its descriptor and the name
// used, or -1 with errno set and nothing left behind.
int WriteBackup(int file, off_t length, int folder, const std::string& name, std::string& used)
{
    const std::string fitted = FittedCopyName(name, "~", std::to_string(kMaxBackupNames - 1));
    int fd = -1;
    for (int n = 0; n < kMaxBackupNames; ++n) {
        used = fitted + (n ? std::to_string(n) : std::string());
        fd = FaultInjection::OpenAt(folder, used.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    if (fd < 0)
        return -1;
    int err = CopyContent(file, fd, length);
    if (!err && FaultInjection::Fsync(fd) != 0)
        err = errno;
    if (err) {
        ::close(fd);
        ::unlinkat(folder, used.c_str(), 0);
        errno = err;
        return -1;
    }
    return fd;
}

}  // namespace

void SaveFile::MakeBackup(off_t length)
{
    // Beside the file, where the user would look for it first.
    m_backupFd = WriteBackup(m_hFile, length, m_target.Folder(), m_target.Name(), m_backupName);
    if (m_backupFd >= 0) {
        m_backupFolderFd = ::dup(m_target.Folder());
        return;
    }
    int err = errno;
    // A file we may write but not read (EBADF) cannot be copied anywhere.
    const std::vector<CString> fallbacks = err == EBADF ? std::vector<CString>() : FallbackFolders();
    for (const CString& fallback : fallbacks) {
        int folder = ::open(fallback.ToBytes().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0 && (m_backupFd = WriteBackup(m_hFile, length, folder, m_target.Name(), m_backupName)) >= 0) {
            m_backupFolderFd = folder;
            return;
        }
        CloseFd(folder);
    }
    m_backupName.clear();
    // A file we may write but not read (EBADF): access to it is denied.
    // Otherwise no folder took a copy (all names taken, no right to make
    // one, no room), which is what the user is told.
    if (err == EBADF)
        ThrowErrno(EACCES);
    throw CFileException(CFileException::noBackup, err, m_strFileName);
}

void SaveFile::RemoveBackup()
{
    if (m_backupFolderFd >= 0 && !m_backupName.empty())
        ::unlinkat(m_backupFolderFd, m_backupName.c_str(), 0);
    m_backupName.clear();
    CloseFd(m_backupFd);
    CloseFd(m_backupFolderFd);
}

void SaveFile::Abort() { Discard(); }

void SaveFile::Discard()
{
    m_new = false;
    m_inPlace = false;
    std::string().swap(m_pending);
    CFile::Abort();
    if (!m_tempName.empty() && m_target.Folder() >= 0)
        ::unlinkat(m_target.Folder(), m_tempName.c_str(), 0);
    m_tempName.clear();
    m_tempPath.Empty();
    // A backup still named here is one the old content could not be put
    // back from: it stays.
    m_backupName.clear();
    CloseFd(m_backupFd);
    CloseFd(m_backupFolderFd);
    CloseFd(m_targetFd);
    m_target.Close();
}
