// SaveFile: writes the new content of a file so that nothing the file had
// is lost, and a failure at any moment leaves the complete old file.
//
//   SaveFile file;
//   CFileException error;
//   if (!file.Open(path, &error)) { report error; }
//   try { write through file (or a CArchive on it); file.Commit(); }
//   catch (CException&) { file.Abort(); report; }
//
// The name is resolved (LinkSafePath) when Open runs: its folder is opened
// as the system finds it, and a symbolic link as last part is followed
// from the folder the link lies in (as the kernel does, refusing a link of
// another user in a world-writable sticky folder, and at most 40 links);
// the file that is written in the end is opened relative to its folder
// without following links, so that nothing swapped in meanwhile is
// written through. Only a regular file, or a name that names nothing yet,
// is written: a folder, a device, a FIFO or a socket is refused
// (accessDenied). The old file is held with an exclusive lock while
// saving, so a file that another open holds a lock on is not saved over
// (sharingViolation), and one this process may not write is refused
// (accessDenied).
//
// Two ways to save, chosen by Open (ChooseRenameOrInPlace):
//  - A new copy renamed over the file, when that keeps everything the file
//    had: a new file; or one with a single link whose owner and group the
//    copy can be given, whose permission bits it takes and whose extended
//    attributes (ACLs among them) it holds equal (MetadataCopy), in a
//    folder where a new file can be made and where the rename is allowed
//    (in a sticky folder only to the owner of the file or of the folder,
//    or to root). The copy
//    is a temporary file in the file's folder, named by the format
//    "%s/%s%5X.tmp" from the folder, the prefix "MFC" and a number that
//    counts up from the current time in seconds (its low 20 bits) to the
//    first name that does not exist. Commit syncs it, moves it over the
//    file in one step and syncs the folder.
//  - Otherwise in place (IsInPlace): what is written is kept in memory,
//    and Commit first reserves the room for the new length (fallocate; a
//    full disk fails here, before any old byte changes), then keeps the old
//    content as a backup copy, NAME~ beside the file (NAME~1 ... when that
//    is taken) or, when that folder takes no new file, in the first of
//    FallbackFolders() that does, a long name cut to fit (FittedCopyName);
//    then writes the new content over the old, syncs it and removes the
//    backup. Should the writing fail, the old content is written back and
//    the backup removed; should that fail too, the backup stays. No backup
//    anywhere: the save fails (noBackup; accessDenied for a file that may
//    be written but not read), the file as it was.
//
// OpenNew is for a file that must not exist yet (a recovery copy): it fails
// with EEXIST (accessDenied, as the platform's "file exists") when anything
// has the name, a link included, and Commit puts the file in place only if
// nothing took the name meanwhile, failing with EEXIST otherwise; the new
// file is private to its owner (0600). It never writes in place.
//
// Every failure throws (or, from Open, reports) CFileException with the
// target's full path as the user named it. Abort, and the destructor of a
// file not committed, remove the temporary file and leave the old file as
// it was.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "framework/io/File.h"
#include "framework/io/FileIdentity.h"
#include "framework/io/LinkSafePath.h"

class SaveFile : public CFile {
public:
    SaveFile() = default;
    ~SaveFile() override;

    BOOL Open(const char16_t* target, CFileException* error = nullptr);
    BOOL OpenNew(const char16_t* target, CFileException* error = nullptr);
    // In place, kept until Commit; otherwise written to the temporary file.
    void Write(const void* buffer, UINT count) override;
    // Finishes the save; the file is closed afterwards, also on failure.
    void Commit();
    // Commit, so that code that closes the file finishes the save.
    void Close() override { Commit(); }
    // Gives up the save: the temporary file is removed, the old file kept.
    void Abort() override;

    BOOL IsInPlace() const { return IsOpen() && m_inPlace; }
    // The temporary file's path; empty when writing in place or not open.
    const CString& GetTempPath() const { return m_tempPath; }
    // The file that is written in the end: its real folder and its name.
    const CString& GetTargetPath() const { return m_targetPath; }
    // The file as Open found it (unknown when there was none yet), and as
    // Commit left it.
    const FileIdentity& GetOldIdentity() const { return m_oldIdentity; }
    const FileIdentity& GetNewIdentity() const { return m_newIdentity; }

    // The name of the temporary file with this number in folder (a path
    // without its final separator).
    static CString TempFileName(const CString& folder, UINT number);

private:
    using CFile::Open;
    void Discard();
    // A failed Open or OpenNew of full: nothing kept, and error filled.
    BOOL FailOpen(CFileException* error, const CString& full, int err, int cause);
    // The choice between the two ways to save, for the old file as it is
    // open (old): a copy renamed over it where the copy may take its place
    // and keeps all it has (the temporary file is then made and open),
    // otherwise in place. Returns 0, or the errno value of a failure that
    // also dooms writing in place (a full disk, a failing device).
    int ChooseRenameOrInPlace(const struct stat& old);
    // Whether a rename over the old file keeps it whole and is allowed: it
    // has no second name, and its folder lets this user rename over it.
    bool MayRenameOver(const struct stat& old) const;
    // Creates the temporary file in the folder with mode; the descriptor or
    // -1 with errno set.
    int CreateTemp(mode_t mode);
    void CommitCopy();
    void CommitInPlace();
    // Makes the backup copy of the file's first length bytes; throws when
    // none can be made.
    void MakeBackup(off_t length);
    void RemoveBackup();

    CString m_targetPath;
    CString m_tempPath;
    LinkSafePath m_target;       // the target's folder and its name there
    std::string m_tempName;      // the temporary file's name in that folder
    int m_targetFd = hFileNull;  // the old file, locked while saving
    bool m_inPlace = false;
    bool m_new = false;          // opened by OpenNew
    std::string m_pending;       // in place: the new content
    int m_backupFd = hFileNull;  // the backup copy, kept open to put it back
    int m_backupFolderFd = hFileNull;
    std::string m_backupName;
    FileIdentity m_oldIdentity;
    FileIdentity m_newIdentity;
};
