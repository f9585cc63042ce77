// CSaveFile: writes the new content of a file so that a failure or a crash
// at any moment leaves either the complete old file or the complete new one.
//
//   CSaveFile file;
//   CFileException error;
//   if (!file.Open(path, &error)) { report error; }
//   try { write through file (or a CArchive on it); file.Commit(); }
//   catch (CException&) { file.Abort(); report; }
//
// Open creates a temporary file in the target's folder, named by the format
// "%s/%s%5X.tmp" from the folder, the prefix "MFC" and a number that counts
// up from the current time in seconds (its low 20 bits) to the first name
// that does not exist. Writes go there. Commit puts the data on the disk,
// gives the temporary file the old file's permission bits (and its owner
// and group where the process may), moves it over the target in one step
// and syncs the folder. A symbolic link as target is followed: the file it
// points to is replaced, the link stays. The old file is held with an
// exclusive lock while saving, so a file that another open holds a lock on
// is not saved over (sharingViolation), and one this process may not write
// is refused (accessDenied) just as a direct open for writing would be.
//
// OpenNew is for a file that must not exist yet (a recovery copy): it fails
// with EEXIST (accessDenied, as the platform's "file exists") when anything
// has the name, a link included, and Commit puts the file in place only if
// nothing took the name meanwhile, failing with EEXIST otherwise; the new
// file is private to its owner (0600). It never writes in place.
//
// When no temporary file can be created in that folder (no right to create
// files there, ...), the target itself is opened for writing and emptied
// (modeCreate | modeReadWrite | shareExclusive) and written in place:
// IsInPlace() then says so, and a failure leaves what was written. A full
// disk or an I/O error when creating the temporary file fails the save
// instead, leaving the old file as it was.
//
// Every failure throws (or, from Open, reports) CFileException with the
// target's full path as the user named it. Abort, and the destructor of a
// file not committed, remove the temporary file and leave the old file as it
// was.
#pragma once

#include <sys/types.h>

#include <string>

#include "framework/io/File.h"

class CSaveFile : public CFile {
public:
    CSaveFile() = default;
    ~CSaveFile() override;

    BOOL Open(const char16_t* target, CFileException* error = nullptr);
    BOOL OpenNew(const char16_t* target, CFileException* error = nullptr);
    // Finishes the save; the file is closed afterwards, also on failure.
    void Commit();
    // Commit, so that code that closes the file finishes the save.
    void Close() override { Commit(); }
    // Gives up the save: the temporary file is removed, the old file kept.
    void Abort() override;

    BOOL IsInPlace() const { return IsOpen() && m_strTempPath.IsEmpty(); }
    // The temporary file's path; empty when writing in place or not open.
    const CString& GetTempPath() const { return m_strTempPath; }
    // The file that is written in the end: the target with links followed.
    const CString& GetTargetPath() const { return m_strTargetPath; }

    // The name of the temporary file with this number in folder (a path
    // without its final separator).
    static CString TempFileName(const CString& folder, UINT number);

private:
    using CFile::Open;
    void Discard();
    // Creates the temporary file in folder with mode; the descriptor or -1
    // with errno set.
    int CreateTemp(const std::string& folder, mode_t mode, CString& tempPath);

    CString m_strTargetPath;
    CString m_strTempPath;
    int m_targetFd = hFileNull;  // the old file, locked while saving
    bool m_new = false;          // opened by OpenNew
};
