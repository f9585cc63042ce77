// CFile: a file of the file system, opened with an access mode and a share
// mode as on the platform being emulated.
//
// Share modes become open-file-description locks over the whole file
// (fcntl F_OFD_SETLK), so they hold between processes and between two opens
// in the same process:
//   - shareDenyNone takes no lock;
//   - shareDenyWrite takes a shared lock;
//   - shareExclusive, shareDenyRead and shareCompat (the platform treats it as
//     exclusive) take an exclusive lock. A read-only open cannot hold an
//     exclusive lock on this system; it takes a shared one after checking
//     that no one else holds any lock.
// Before locking, an open checks the locks of others the platform's way: an
// open for writing fails while anyone holds a lock (a lock denies writers),
// an open for reading fails while anyone holds an exclusive lock. A conflict
// is CFileException::sharingViolation. Someone who opened with
// shareDenyNone holds no lock, so a later opener cannot see them.
//
// Descriptors are opened close-on-exec, so started programs inherit none.
// Names are the system's bytes (CString::FromBytes); the file keeps its full
// path (GetFilePath). Only a regular file opens: a folder, a FIFO, a socket
// or a device is refused at once, without waiting or reading
// (accessDenied, with EISDIR for a folder and EINVAL for the others).
// Failures throw CFileException by value (see FileException.h) with the full
// path; Open reports them through its error argument instead.
#pragma once

#include "framework/base/String.h"
#include "framework/base/Types.h"

using LONGLONG = long long;
using ULONGLONG = unsigned long long;

class CFileException;

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,  // always so here: descriptors are close-on-exec
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // no meaning for a plain CFile
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };
    static constexpr int hFileNull = -1;

    CFile() = default;
    // Opens the file; throws CFileException on failure.
    CFile(const char16_t* fileName, UINT openFlags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens the file. On failure returns FALSE and, when error is given,
    // fills it with the cause, the errno value and the full path. modeCreate
    // creates the file or empties it (not with modeNoTruncate); the emptying
    // happens only after the share check has passed.
    virtual BOOL Open(const char16_t* fileName, UINT openFlags, CFileException* error = nullptr);

    // Reads up to count bytes; fewer (0 at the end) when the file ends.
    virtual UINT Read(void* buffer, UINT count);
    // Writes all count bytes or throws.
    virtual void Write(const void* buffer, UINT count);
    // Moves the position; returns the new one. A position before the start
    // is badSeek.
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG length);
    // Puts the file's data on the disk (fsync).
    virtual void Flush();
    // Closes the file; throws if the system reports an error on closing.
    virtual void Close();
    // Closes the file, ignoring any error.
    virtual void Abort();

    BOOL IsOpen() const { return m_hFile != hFileNull; }
    int GetHandle() const { return m_hFile; }
    // The full path, as given to Open after PathFullName.
    const CString& GetFilePath() const { return m_strFileName; }
    // The part of the path after its last separator.
    CString GetFileName() const;
    void SetFilePath(const char16_t* path);

    // Deletes a file. Throws CFileException: sharingViolation while another
    // open holds a lock on it.
    static void Remove(const char16_t* fileName);
    // Renames a file. As on the platform, an existing file of the new name is
    // not replaced (accessDenied), and a file another open holds a lock on is
    // not moved (sharingViolation).
    static void Rename(const char16_t* oldName, const char16_t* newName);

protected:
    // Checks the locks others hold on fd against an open with this access
    // (modeRead, modeWrite or modeReadWrite) and share mode, then takes the
    // lock the share mode asks for. Returns 0 or an errno value: EAGAIN for a
    // sharing violation.
    static int LockShare(int fd, UINT access, UINT share);
    // Throws the CFileException for errno value err on this file.
    [[noreturn]] void ThrowErrno(int err) const;

    int m_hFile = hFileNull;
    CString m_strFileName;
};
