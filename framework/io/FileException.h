// The exceptions of the framework's file operations.
//
// Failures inside the framework's file operations travel as C++ exceptions
// thrown BY VALUE and caught by reference, most specific first:
//
//   try { ... }
//   catch (CUserException&) { /* already reported: stay silent */ }
//   catch (CFileException& e) { /* report e's cause with e.m_strFileName */ }
//   catch (CException& e) { /* any other framework failure */ }
//
// Every class here derives from CException (framework/base/Exception.h), so
// catch (CException&) takes them all. The Afx helpers at the end throw the
// same objects.
#pragma once

#include "framework/base/Exception.h"
#include "framework/base/String.h"
#include "framework/base/Types.h"

// A failure of a file operation: its cause, the system's own error code
// (here an errno value; -1 when there is none) and the file's full path.
class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        // Ours, beyond the platform's causes: a file written in place was
        // not saved because no backup copy of it could be made anywhere.
        noBackup,
    };

    explicit CFileException(int cause = none, LONG osError = -1, const char16_t* fileName = nullptr)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {}

    // The cause of a system error code of the platform being emulated
    // (2 file not found, 5 access denied, 32 sharing violation, ...).
    static int OsErrorToException(LONG winError);
    // The cause of a POSIX errno value.
    static int ErrnoToException(int err);
    // Throws the CFileException for errno value err on the file name.
    [[noreturn]] static void ThrowOsError(int err, const CString& name);

    // The text of the cause (string AFX_IDP_FILE_NONE + cause, or
    // AFX_IDP_FILE_NO_BACKUP) with "%1" the file's full path, or "an
    // unnamed file" when no name is known.
    BOOL GetErrorMessage(CString& out) const override;

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

// How an Open reports its failure: fills error, when one is given, with the
// cause, the system's error code and the file's full path. Returns FALSE,
// for the Open to return.
BOOL FillFileException(CFileException* error, int cause, LONG osError, const CString& fileName);

// A failure of an archive: using it in the wrong direction, or data that ends
// before what was expected.
class CArchiveException : public CException {
public:
    enum { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = none, const char16_t* fileName = nullptr)
        : m_cause(cause), m_strFileName(fileName)
    {}

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowArchiveException(int cause, const char16_t* fileName = nullptr);
