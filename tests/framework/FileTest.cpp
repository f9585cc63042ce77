#include "framework/io/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"
#include "framework/io/FileSystem.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Faults.h"
#include "tests/support/ScratchFolder.h"

using support::HoldingChild;
using support::MessageOf;
using support::ReadBytes;
using support::RunInChild;
using support::RunUnprivileged;
using support::SharedFolder;
using support::WriteBytes;

namespace {

const char* CauseName(int cause)
{
    static const char* const names[]
        = {"none",         "genericException", "fileNotFound",     "badPath",       "tooManyOpenFiles",
           "accessDenied", "invalidFile",      "removeCurrentDir", "directoryFull", "badSeek",
           "hardIO",       "sharingViolation", "lockViolation",    "diskFull",      "endOfFile"};
    return cause >= 0 && cause < int(std::size(names)) ? names[cause] : "?";
}

// The cause of opening path with flags: none when it opened.
int OpenCause(const CString& path, UINT flags)
{
    CFile file;
    CFileException error;
    return file.Open(path, flags, &error) ? CFileException::none : error.m_cause;
}

// ---------------------------------------------------------------- causes

TEST(FileExceptionTest, ErrnoValuesMapToCauses)
{
    struct Case {
        int err;
        int cause;
    };
    const Case cases[] = {
        {ENOENT, CFileException::fileNotFound},
        {ENOTDIR, CFileException::badPath},
        {ENAMETOOLONG, CFileException::badPath},
        {ELOOP, CFileException::badPath},
        {EMFILE, CFileException::tooManyOpenFiles},
        {ENFILE, CFileException::tooManyOpenFiles},
        {EACCES, CFileException::accessDenied},
        {EPERM, CFileException::accessDenied},
        {EROFS, CFileException::accessDenied},
        {EISDIR, CFileException::accessDenied},
        {EEXIST, CFileException::accessDenied},
        {EBADF, CFileException::invalidFile},
        {ENOSPC, CFileException::diskFull},
        {EDQUOT, CFileException::diskFull},
        {EIO, CFileException::hardIO},
        {EAGAIN, CFileException::sharingViolation},
        {EWOULDBLOCK, CFileException::sharingViolation},
        {EDEADLK, CFileException::lockViolation},
        {ENOLCK, CFileException::lockViolation},
        {ESPIPE, CFileException::badSeek},
        {EINVAL, CFileException::genericException},
        {ENOMEM, CFileException::genericException},
        {0, CFileException::none},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CauseName(CFileException::ErrnoToException(c.err)), CauseName(c.cause))
            << "errno " << c.err << " (" << std::strerror(c.err) << ")";
}

TEST(FileExceptionTest, PlatformErrorCodesMapToCauses)
{
    struct Case {
        LONG code;
        int cause;
    };
    // The codes the document's error handling names, and some without a cause.
    const Case cases[] = {
        {0, CFileException::none},
        {2, CFileException::fileNotFound},
        {3, CFileException::badPath},
        {4, CFileException::tooManyOpenFiles},
        {5, CFileException::accessDenied},
        {80, CFileException::accessDenied},
        {6, CFileException::fileNotFound},
        {32, CFileException::sharingViolation},
        {33, CFileException::lockViolation},
        {38, CFileException::endOfFile},
        {39, CFileException::diskFull},
        {112, CFileException::diskFull},
        {1, CFileException::genericException},
        {87, CFileException::genericException},
        {1234567, CFileException::genericException},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CauseName(CFileException::OsErrorToException(c.code)), CauseName(c.cause)) << "code " << c.code;
}

TEST(FileExceptionTest, MessagesNameTheFileOrAnUnnamedFile)
{
    const char16_t* path = u"/home/ann/My Notes/a.txt";
    struct Case {
        int cause;
        const char* text;
    };
    // A few causes: the string table holds the rest, each formed the same way.
    const Case cases[] = {
        {CFileException::none, "No error occurred."},
        {CFileException::fileNotFound, "/home/ann/My Notes/a.txt was not found."},
        {CFileException::badSeek, "Seek failed on /home/ann/My Notes/a.txt"},
        {CFileException::endOfFile, "An attempt was made to access /home/ann/My Notes/a.txt past its end."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MessageOf(CFileException(c.cause, -1, path)), c.text) << CauseName(c.cause);

    EXPECT_EQ(MessageOf(CFileException(CFileException::fileNotFound)), "an unnamed file was not found.");
    EXPECT_EQ(MessageOf(CFileException(99, -1, path)),
              "An unknown error occurred while accessing /home/ann/My Notes/a.txt.")
        << "a cause out of range reads as generic";
    CString none;
    EXPECT_FALSE(CUserException().GetErrorMessage(none));
}

// ---------------------------------------------------------------- opening

TEST(FileTest, WritesReadsSeeksAndKnowsItsPath)
{
    SharedFolder folder;
    CFile file;
    ASSERT_TRUE(file.Open(folder.Name("data.bin"), CFile::modeCreate | CFile::modeReadWrite));
    file.Write("hello, world", 12);
    EXPECT_EQ(file.GetLength(), 12u);
    EXPECT_EQ(file.Seek(-5, CFile::end), 7u);
    char buf[16] = {};
    EXPECT_EQ(file.Read(buf, sizeof buf), 5u);
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u) << "at the end";
    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0u);
    try {
        file.Seek(-1, CFile::begin);
        ADD_FAILURE() << "a seek before the start must fail";
    } catch (const CFileException& e) {
        EXPECT_STREQ(CauseName(e.m_cause), "badSeek");
    }
    file.SetLength(5);
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(file.GetFilePath().ToUtf8(), folder / "data.bin");
    EXPECT_EQ(file.GetFileName(), CString(u"data.bin"));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadBytes(folder / "data.bin"), "hello");
}

TEST(FileTest, NamesAreTheSystemsBytesWithSlashAsTheOnlySeparator)
{
    SharedFolder folder;
    ::mkdir((folder / "sub").c_str(), 0755);
    WriteBytes(folder / "sub/a.txt", "wrong");
    WriteBytes(folder / "sub\\a.txt", "backslash");
    WriteBytes(folder / "caf\xe9.txt", "latin-1");
    const std::string names[] = {"sub\\a.txt", "caf\xe9.txt"};
    for (const std::string& name : names) {
        CFile file;
        ASSERT_TRUE(file.Open(CString::FromBytes(folder / ("sub/./../" + name)), CFile::modeRead)) << name;
        EXPECT_EQ(file.GetFilePath().ToBytes(), folder / name);
        char buf[16] = {};
        EXPECT_EQ(std::string(buf, file.Read(buf, sizeof buf)), ReadBytes(folder / name));
    }
}

TEST(FileTest, DescriptorsAreNotInherited)
{
    SharedFolder folder;
    CFile file(folder.Name("f"), CFile::modeCreate | CFile::modeWrite);
    EXPECT_TRUE(::fcntl(file.GetHandle(), F_GETFD) & FD_CLOEXEC);
}

TEST(FileTest, FailedOpensReportCauseErrnoAndFullPath)
{
    SharedFolder folder;
    WriteBytes(folder / "plain", "x");
    ::mkdir((folder / "dir").c_str(), 0755);
    ::mkfifo((folder / "fifo").c_str(), 0666);
    struct Case {
        std::string name;
        UINT flags;
        int cause;
        int err;
    };
    const Case cases[] = {
        {"missing.txt", CFile::modeRead, CFileException::fileNotFound, ENOENT},
        {"nofolder/a.txt", CFile::modeRead, CFileException::badPath, ENOENT},
        {"nofolder/a.txt", CFile::modeCreate | CFile::modeWrite, CFileException::badPath, ENOENT},
        {"plain/a.txt", CFile::modeRead, CFileException::badPath, ENOTDIR},
        {"dir", CFile::modeRead, CFileException::accessDenied, EISDIR},
        {"dir", CFile::modeCreate | CFile::modeWrite, CFileException::accessDenied, EISDIR},
        {"fifo", CFile::modeRead, CFileException::accessDenied, EINVAL},  // at once, without a writer
    };
    for (const Case& c : cases) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(folder.Name(c.name), c.flags, &error)) << c.name;
        EXPECT_STREQ(CauseName(error.m_cause), CauseName(c.cause)) << c.name;
        EXPECT_EQ(error.m_lOsError, c.err) << c.name;
        EXPECT_EQ(error.m_strFileName.ToUtf8(), folder / c.name);
        EXPECT_FALSE(file.IsOpen());
    }
    try {
        CFile thrown(folder.Name("missing.txt"), CFile::modeRead);
        ADD_FAILURE() << "the constructor must throw";
    } catch (const CFileException& e) {
        EXPECT_EQ(MessageOf(e), folder / "missing.txt" + " was not found.");
    }
}

TEST(FileTest, AccessIsDeniedByPermissionsForAnUnprivilegedProcess)
{
    SharedFolder folder;
    WriteBytes(folder / "readonly.txt", "keep", 0444);
    WriteBytes(folder / "secret.txt", "keep", 0000);
    CString readonly = folder.Name("readonly.txt");
    CString secret = folder.Name("secret.txt");
    struct Case {
        CString path;
        UINT flags;
        int cause;
    };
    const Case cases[] = {
        {readonly, CFile::modeWrite, CFileException::accessDenied},
        {readonly, CFile::modeCreate | CFile::modeReadWrite, CFileException::accessDenied},
        {readonly, CFile::modeRead | CFile::shareDenyWrite, CFileException::none},
        {secret, CFile::modeRead, CFileException::accessDenied},
    };
    for (const Case& c : cases) {
        int cause = RunUnprivileged([&] { return OpenCause(c.path, c.flags); });
        EXPECT_STREQ(CauseName(cause), CauseName(c.cause)) << c.path.ToUtf8() << " flags " << c.flags;
    }
    EXPECT_EQ(ReadBytes(folder / "readonly.txt"), "keep");
}

// ---------------------------------------------------------------- sharing

TEST(FileShareTest, TwoOpensFollowThePlatformsSharingRules)
{
    SharedFolder folder;
    WriteBytes(folder / "shared.txt", "content");
    CString path = folder.Name("shared.txt");
    const UINT read = CFile::modeRead, write = CFile::modeWrite, both = CFile::modeReadWrite;
    const UINT denyWrite = CFile::shareDenyWrite, denyNone = CFile::shareDenyNone, exclusive = CFile::shareExclusive;
    struct Case {
        const char* what;
        UINT first;
        UINT second;
        bool secondOpens;
    };
    const Case cases[] = {
        {"two readers denying writers", read | denyWrite, read | denyWrite, true},
        {"writer after a reader denying writers", read | denyWrite, both | denyNone, false},
        {"reader after a reader denying writers", read | denyWrite, read | denyNone, true},
        {"exclusive after a reader denying writers", read | denyWrite, both | exclusive, false},
        {"reader after an exclusive writer", both | exclusive, read | denyNone, false},
        {"reader denying writers after an exclusive writer", both | exclusive, read | denyWrite, false},
        {"exclusive reader after a reader denying writers", read | denyWrite, read | exclusive, false},
        {"writer after an exclusive reader", read | exclusive, write | denyNone, false},
        {"compatibility mode is exclusive", both | CFile::shareCompat, read | denyNone, false},
        {"two openers sharing everything", both | denyNone, both | denyNone, true},
    };
    for (const Case& c : cases) {
        CFile first;
        ASSERT_TRUE(first.Open(path, c.first)) << c.what;
        CFile second;
        CFileException error;
        BOOL opened = second.Open(path, c.second, &error);
        EXPECT_EQ(bool(opened), c.secondOpens) << c.what;
        if (!opened) {
            EXPECT_STREQ(CauseName(error.m_cause), "sharingViolation") << c.what;
        }
    }
    CFile again;
    EXPECT_TRUE(again.Open(path, both | exclusive)) << "every lock went with its file";
}

TEST(FileShareTest, AFileHeldByAnotherProcessCannotBeOpenedForWriting)
{
    SharedFolder folder;
    WriteBytes(folder / "held.txt", "old content");
    CString path = folder.Name("held.txt");
    CFile holder;
    HoldingChild child([&] { return holder.Open(path, CFile::modeRead | CFile::shareDenyWrite) != FALSE; });
    ASSERT_TRUE(child.Ready());

    CFile reader;
    EXPECT_TRUE(reader.Open(path, CFile::modeRead | CFile::shareDenyWrite)) << "readers share";
    reader.Close();

    CFile writer;
    CFileException error;
    EXPECT_FALSE(writer.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &error));
    EXPECT_EQ(MessageOf(error), "A sharing violation occurred while accessing " + folder / "held.txt" + ".");
    EXPECT_EQ(ReadBytes(folder / "held.txt"), "old content") << "a refused create must not empty the file";

    child.Release();
    EXPECT_TRUE(writer.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive));
}

TEST(FileShareTest, AWholeFileLockOfAnotherProgramIsRespected)
{
    SharedFolder folder;
    WriteBytes(folder / "locked.txt", "x");
    std::string native = folder / "locked.txt";
    // Another program's exclusive lock, taken without our classes.
    HoldingChild child([&] {
        int fd = ::open(native.c_str(), O_RDWR);
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        return fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
    });
    ASSERT_TRUE(child.Ready());
    EXPECT_STREQ(CauseName(OpenCause(folder.Name("locked.txt"), CFile::modeRead | CFile::shareDenyNone)),
                 "sharingViolation");
    EXPECT_STREQ(CauseName(OpenCause(folder.Name("locked.txt"), CFile::modeWrite | CFile::shareDenyNone)),
                 "sharingViolation");
}

// ---------------------------------------------------------------- faults

TEST(FileTest, SystemCallFaultsBecomeCausesWithThePath)
{
    support::FaultReset reset;
    SharedFolder folder;
    WriteBytes(folder / "f.txt", "0123456789");
    CString path = folder.Name("f.txt");
    const support::FaultCase cases[] = {
        {"disk full on write", FaultInjection::kWrite, ENOSPC, CFileException::diskFull},
        {"quota on write", FaultInjection::kWrite, EDQUOT, CFileException::diskFull},
        {"I/O error on read", FaultInjection::kRead, EIO, CFileException::hardIO},
        {"I/O error on fsync", FaultInjection::kFsync, EIO, CFileException::hardIO},
        {"too many files on open", FaultInjection::kOpen, EMFILE, CFileException::tooManyOpenFiles},
    };
    for (const auto& c : cases) {
        FaultInjection::Reset();
        FaultInjection::Fail(c.op, 0, c.err);
        int cause = CFileException::none;
        CString name;
        try {
            CFile file(path, CFile::modeReadWrite);
            char buf[4];
            file.Read(buf, sizeof buf);
            file.Write("ab", 2);
            file.Flush();
        } catch (const CFileException& e) {
            cause = e.m_cause;
            name = e.m_strFileName;
        }
        EXPECT_STREQ(CauseName(cause), CauseName(c.cause)) << c.what;
        EXPECT_EQ(name, path) << c.what;
    }
}

TEST(FileTest, ShortTransfersAreCompletedOrReported)
{
    support::FaultReset reset;
    SharedFolder folder;
    FaultInjection::Shorten(FaultInjection::kWrite, 0);
    FaultInjection::Shorten(FaultInjection::kRead, 0);
    CFile file(folder.Name("f"), CFile::modeCreate | CFile::modeReadWrite);
    std::string data(1000, 'x');
    file.Write(data.data(), UINT(data.size()));
    EXPECT_GT(FaultInjection::Calls(FaultInjection::kWrite), 1) << "the writes were cut short";
    EXPECT_EQ(file.GetLength(), 1000u) << "and still everything was written";
    file.SeekToBegin();
    char buf[1000];
    UINT got = file.Read(buf, sizeof buf);
    EXPECT_EQ(got, 500u) << "a short read returns what it got";
}

// ---------------------------------------------------------------- remove, rename

TEST(FileTest, RemoveAndRenameKeepFilesOthersHoldOrThatExist)
{
    SharedFolder folder;
    WriteBytes(folder / "a", "A");
    WriteBytes(folder / "b", "B");
    auto causeOf = [](const std::function<void()>& op) {
        try {
            op();
            return int(CFileException::none);
        } catch (const CFileException& e) {
            return e.m_cause;
        }
    };
    EXPECT_STREQ(CauseName(causeOf([&] { CFile::Rename(folder.Name("a"), folder.Name("b")); })), "accessDenied");
    EXPECT_EQ(ReadBytes(folder / "b"), "B") << "an existing file is not replaced";
    EXPECT_STREQ(CauseName(causeOf([&] { CFile::Remove(folder.Name("gone")); })), "fileNotFound");

    {
        CString held = folder.Name("a");
        CFile holder;
        HoldingChild child([&] { return holder.Open(held, CFile::modeRead | CFile::shareDenyWrite) != FALSE; });
        ASSERT_TRUE(child.Ready());
        EXPECT_STREQ(CauseName(causeOf([&] { CFile::Remove(held); })), "sharingViolation");
        EXPECT_STREQ(CauseName(causeOf([&] { CFile::Rename(held, folder.Name("c")); })), "sharingViolation");
    }
    EXPECT_STREQ(CauseName(causeOf([&] { CFile::Rename(folder.Name("a"), folder.Name("c")); })), "none");
    EXPECT_STREQ(CauseName(causeOf([&] { CFile::Remove(folder.Name("b")); })), "none");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"c"});
}

// ---------------------------------------------------------------- file system

TEST(FileSystemTest, AttributesTellFoldersHiddenAndReadOnlyFiles)
{
    SharedFolder folder;
    WriteBytes(folder / "plain", "x", 0666);
    WriteBytes(folder / ".hidden", "x", 0666);
    WriteBytes(folder / "readonly", "x", 0444);
    ::mkdir((folder / "dir").c_str(), 0777);
    ::chmod((folder / "dir").c_str(), 0777);
    struct Case {
        std::string name;
        DWORD attributes;
    };
    const Case cases[] = {
        {"plain", FILE_ATTRIBUTE_NORMAL},  {".hidden", FILE_ATTRIBUTE_HIDDEN},   {"readonly", FILE_ATTRIBUTE_READONLY},
        {"dir", FILE_ATTRIBUTE_DIRECTORY}, {"missing", INVALID_FILE_ATTRIBUTES},
    };
    for (const Case& c : cases) {
        CString path = folder.Name(c.name);
        // Asked as a process that mode bits bind; the result is the exit code.
        int got = RunUnprivileged([&] {
            DWORD a = GetFileAttributes(path);
            return a == INVALID_FILE_ATTRIBUTES ? 254 : int(a & 0xFF);
        });
        int want = c.attributes == INVALID_FILE_ATTRIBUTES ? 254 : int(c.attributes);
        EXPECT_EQ(got, want) << c.name;
    }
    EXPECT_TRUE(PathExists(folder.Name("plain")));
    EXPECT_FALSE(PathExists(folder.Name("missing")));
    EXPECT_TRUE(PathIsFolder(folder.Name("dir")));
    EXPECT_FALSE(PathIsFolder(folder.Name("plain")));
}

TEST(FileSystemTest, ListsAFoldersEntriesSortedWithFoldersMarked)
{
    SharedFolder folder;
    WriteBytes(folder / "b.txt", "");
    WriteBytes(folder / "A.txt", "");
    ::mkdir((folder / "c dir").c_str(), 0755);
    ASSERT_EQ(::symlink("c dir", (folder / "link").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (folder / "dangling").c_str()), 0);
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(CString::FromUtf8(folder.Path()), entries));
    std::string listing;
    for (const FolderEntry& e : entries)
        listing += e.name.ToUtf8() + (e.isFolder ? "/ " : " ");
    EXPECT_EQ(listing, "A.txt b.txt c dir/ dangling link/ ");

    EXPECT_FALSE(ListFolder(folder.Name("missing"), entries));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(entries.empty());
}

TEST(FileSystemTest, FreeSpaceOfAVolume)
{
    SharedFolder folder;
    ULONGLONG available = 0, total = 0, free = 0;
    ASSERT_TRUE(GetDiskFreeSpaceEx(CString::FromUtf8(folder.Path()), &available, &total, &free));
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);
    EXPECT_LE(available, free);
    EXPECT_FALSE(GetDiskFreeSpaceEx(folder.Name("missing/deeper"), &available, nullptr, nullptr));
}

}  // namespace
