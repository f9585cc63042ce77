#include "framework/io/FileException.h"

#include <cerrno>

#include "framework/base/AfxRes.h"
#include "framework/res/StringTable.h"

int CFileException::OsErrorToException(LONG winError)
{
    // The platform's system error codes, grouped by the cause they stand for.
    switch (winError) {
    case 0:  // no error
        return none;
    case 2:   // file not found
    case 6:   // invalid handle
    case 18:  // no more files
        return fileNotFound;
    case 3:    // path not found
    case 15:   // invalid drive
    case 17:   // not the same device
    case 53:   // bad network path
    case 67:   // bad network name
    case 123:  // invalid name
    case 161:  // bad path name
    case 206:  // file name too long
        return badPath;
    case 4:   // too many open files
    case 36:  // sharing buffer exceeded
        return tooManyOpenFiles;
    case 5:    // access denied
    case 12:   // invalid access
    case 19:   // write protected
    case 65:   // network access denied
    case 80:   // file exists
    case 183:  // already exists
        return accessDenied;
    case 11:  // bad format
    case 26:  // not a DOS disk
        return invalidFile;
    case 16:  // the current directory
        return removeCurrentDir;
    case 82:  // cannot make the directory entry
        return directoryFull;
    case 24:   // bad length
    case 25:   // seek error
    case 27:   // sector not found
    case 131:  // negative seek
    case 132:  // seek on a device
        return badSeek;
    case 20:  // bad unit
    case 21:  // not ready
    case 22:  // bad command
    case 23:  // data error (CRC)
    case 29:  // write fault
    case 30:  // read fault
    case 31:  // general failure
        return hardIO;
    case 32:  // sharing violation
        return sharingViolation;
    case 33:   // lock violation
    case 158:  // not locked
    case 167:  // lock failed
        return lockViolation;
    case 38:  // end of file
        return endOfFile;
    case 39:   // handle disk full
    case 112:  // disk full
        return diskFull;
    default: return genericException;
    }
}

int CFileException::ErrnoToException(int err)
{
    switch (err) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:  // as the platform's "file exists"
        return accessDenied;
    case EBADF: return invalidFile;
    case ENOSPC:
    case EDQUOT: return diskFull;
    case EIO: return hardIO;
    case EAGAIN:   // a conflicting lock; EWOULDBLOCK is the same value here
    case ETXTBSY:  // a running program's file
        return sharingViolation;
    case EDEADLK:
    case ENOLCK: return lockViolation;
    case ESPIPE: return badSeek;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(int err, const CString& name)
{
    throw CFileException(ErrnoToException(err), err, name);
}

BOOL FillFileException(CFileException* error, int cause, LONG osError, const CString& fileName)
{
    if (error) {
        error->m_cause = cause;
        error->m_lOsError = osError;
        error->m_strFileName = fileName;
    }
    return FALSE;
}

BOOL CFileException::GetErrorMessage(CString& out) const
{
    int cause = m_cause >= none && m_cause <= noBackup ? m_cause : genericException;
    CString name = m_strFileName;
    if (name.IsEmpty())
        name.LoadString(AFX_IDS_UNNAMED_FILE);
    AfxFormatString1(out, cause == noBackup ? AFX_IDP_FILE_NO_BACKUP : AFX_IDP_FILE_NONE + UINT(cause), name);
    return TRUE;
}

void AfxThrowArchiveException(int cause, const char16_t* fileName) { throw CArchiveException(cause, fileName); }
