#include "framework/io/SaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"
#include "framework/io/Path.h"

namespace {

// Symbolic links followed at most this many times, as the system does.
constexpr int kMaxLinks = 40;
// Names tried for the temporary file before giving up on the folder.
constexpr UINT kMaxTempNames = 0x10000;

// The file that path finally names: each symbolic link on the last part is
// replaced by what it points to. A dangling link gives the missing file it
// points to. Returns 0 or ELOOP.
int FollowLinks(std::string& path)
{
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::string link(size_t(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0)
            return 0;  // changed meanwhile; the open that follows will tell
        link.resize(size_t(n));
        if (link.empty() || link[0] != '/')
            link = path.substr(0, path.rfind('/') + 1) + link;
        path = PathFullName(CString::FromUtf8(link)).ToUtf8();
    }
    return ELOOP;
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Puts the folder's entries on the disk after a rename. Some file systems
// cannot sync a folder; the rename itself has happened either way, so a
// failure here is not reported.
void SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

CSaveFile::~CSaveFile()
{
    if (IsOpen() || m_targetFd != hFileNull)
        Discard();
}

CString CSaveFile::TempFileName(const CString& folder, UINT number)
{
    CString name;
    name.Format(u"%s/%s%5X.tmp", folder, u"MFC", number);
    return name;
}

BOOL CSaveFile::Open(const char16_t* target, CFileException* error)
{
    if (IsOpen() || m_targetFd != hFileNull)
        Discard();
    CString full = PathFullName(CString(target));
    auto fail = [&](int err, int cause) {
        Discard();
        m_strFileName = full;
        if (error) {
            error->m_cause = cause;
            error->m_lOsError = err;
            error->m_strFileName = full;
        }
        return FALSE;
    };
    if (full.IsEmpty())
        return fail(ENOENT, CFileException::badPath);

    std::string path = full.ToUtf8();
    if (int err = FollowLinks(path))
        return fail(err, CFileException::ErrnoToException(err));
    m_strTargetPath = CString::FromUtf8(path);

    struct stat old;
    bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        return fail(EISDIR, CFileException::accessDenied);
    if (exists && S_ISREG(old.st_mode)) {
        // Held for the whole save: the right to write it, and no one else's lock.
        int fd = CFaultInjection::Open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            int err = errno;
            return fail(err, CFileException::ErrnoToException(err));
        }
        m_targetFd = fd;
        if (int err = LockShare(fd, modeReadWrite, shareExclusive))
            return fail(err, CFileException::sharingViolation);
    }

    int fd = -1;
    CString tempPath;
    if (!exists || S_ISREG(old.st_mode)) {
        // A new file gets the usual permissions (0666 less the umask); a
        // replacement starts private and takes the old file's bits below.
        fd = CreateTemp(FolderOf(path), exists ? 0600 : 0666, tempPath);
        // A full disk or a failing device is no reason to write in place:
        // that writing would fail too, after the old file had been emptied.
        int err = errno;
        if (fd < 0 && (err == ENOSPC || err == EDQUOT || err == EIO))
            return fail(err, CFileException::ErrnoToException(err));
    }
    if (fd >= 0 && exists) {
        // The owner first: changing it may clear set-id bits that fchmod sets.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, uid_t(-1), old.st_gid) != 0) {
            // Neither owner nor group may be given away: the file stays ours.
        }
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            int err = errno;
            ::close(fd);
            ::unlink(tempPath.ToUtf8().c_str());
            return fail(err, CFileException::ErrnoToException(err));
        }
    }
    if (fd >= 0) {
        m_hFile = fd;
        m_strTempPath = tempPath;
        m_strFileName = full;
        return TRUE;
    }

    // No temporary file in that folder: write the target in place. Our own
    // lock on it would stand in the way of that open, so it goes first.
    if (m_targetFd != hFileNull) {
        ::close(m_targetFd);
        m_targetFd = hFileNull;
    }
    CFileException inPlace;
    if (!CFile::Open(m_strTargetPath, modeCreate | modeReadWrite | shareExclusive, &inPlace))
        return fail(inPlace.m_lOsError, inPlace.m_cause);
    m_strFileName = full;
    return TRUE;
}

int CSaveFile::CreateTemp(const std::string& path, mode_t mode, CString& tempPath)
{
    CString folder = CString::FromUtf8(path);
    UINT number = UINT(std::time(nullptr)) & 0xFFFFF;
    int fd = -1;
    for (UINT attempt = 0; attempt < kMaxTempNames; ++attempt, ++number) {
        tempPath = TempFileName(folder, number);
        fd = CFaultInjection::Open(tempPath.ToUtf8().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                                   mode);
        if (fd >= 0 || errno != EEXIST)
            break;
    }
    return fd;
}

BOOL CSaveFile::OpenNew(const char16_t* target, CFileException* error)
{
    if (IsOpen() || m_targetFd != hFileNull)
        Discard();
    CString full = PathFullName(CString(target));
    auto fail = [&](int err) {
        Discard();
        m_strFileName = full;
        if (error) {
            error->m_cause = CFileException::ErrnoToException(err);
            error->m_lOsError = err;
            error->m_strFileName = full;
        }
        return FALSE;
    };
    if (full.IsEmpty())
        return fail(ENOENT);
    std::string path = full.ToUtf8();
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0)
        return fail(EEXIST);
    CString tempPath;
    int fd = CreateTemp(FolderOf(path), 0600, tempPath);
    if (fd < 0)
        return fail(errno);
    m_hFile = fd;
    m_strTempPath = tempPath;
    m_strTargetPath = full;
    m_strFileName = full;
    m_new = true;
    return TRUE;
}

void CSaveFile::Commit()
{
    if (!IsOpen())
        return;
    if (m_strTempPath.IsEmpty()) {
        try {
            CFile::Flush();
            CFile::Close();
        } catch (const CFileException&) {
            CFile::Abort();
            throw;
        }
        return;
    }
    try {
        CFile::Flush();
        CFile::Close();
        std::string temp = m_strTempPath.ToUtf8();
        std::string target = m_strTargetPath.ToUtf8();
        int moved = m_new ? CFaultInjection::RenameNoReplace(temp.c_str(), target.c_str())
                          : CFaultInjection::Rename(temp.c_str(), target.c_str());
        if (moved != 0)
            ThrowErrno(errno);
        m_new = false;
        m_strTempPath.Empty();
        SyncFolder(FolderOf(target));
    } catch (const CFileException&) {
        Discard();
        throw;
    }
    if (m_targetFd != hFileNull) {
        ::close(m_targetFd);
        m_targetFd = hFileNull;
    }
}

void CSaveFile::Abort() { Discard(); }

void CSaveFile::Discard()
{
    m_new = false;
    CFile::Abort();
    if (!m_strTempPath.IsEmpty()) {
        ::unlink(m_strTempPath.ToUtf8().c_str());
        m_strTempPath.Empty();
    }
    if (m_targetFd != hFileNull) {
        ::close(m_targetFd);
        m_targetFd = hFileNull;
    }
}
