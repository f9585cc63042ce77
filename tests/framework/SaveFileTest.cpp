#include "framework/io/SaveFile.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "framework/io/Archive.h"
#include "framework/io/FaultInjection.h"
#include "framework/io/FileException.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Faults.h"
#include "tests/support/ScratchFolder.h"

using support::HoldingChild;
using support::MessageOf;
using support::ModeOf;
using support::ReadBytes;
using support::RunInChild;
using support::RunUnprivileged;
using support::ScratchFolder;
using support::SharedFolder;
using support::WriteBytes;

namespace {

const std::string kOld = "the old content\r\n";

std::string NewContent()
{
    std::string s;
    for (int i = 0; i < 3000; ++i)
        s += "line " + std::to_string(i) + "\r\n";
    return s;  // several archive buffers long
}

// Saves content to path as the document does: through a storing archive.
// Returns the cause of a failure, none on success.
int Save(const CString& path, const std::string& content, CFileException* failure = nullptr)
{
    SaveFile file;
    CFileException error;
    if (!file.Open(path, &error)) {
        if (failure)
            *failure = error;
        return error.m_cause;
    }
    try {
        CArchive ar(&file, CArchive::store, 4096);
        for (size_t at = 0; at < content.size(); at += 1000)
            ar.Write(content.data() + at, UINT(std::min<size_t>(1000, content.size() - at)));
        ar.Close();
        file.Commit();
    } catch (const CFileException& e) {
        file.Abort();
        if (failure)
            *failure = e;
        return e.m_cause;
    }
    return CFileException::none;
}

TEST(SaveFileTest, TemporaryNamesFollowTheFormat)
{
    EXPECT_EQ(SaveFile::TempFileName(u"/home/ann", 0xABCDE), CString(u"/home/ann/MFCABCDE.tmp"));
    EXPECT_EQ(SaveFile::TempFileName(u"/home/ann", 0x1F), CString(u"/home/ann/MFC   1F.tmp"))
        << "the number is padded with spaces to five places";
    EXPECT_EQ(SaveFile::TempFileName(u"/x", 0x100000), CString(u"/x/MFC100000.tmp"));
}

TEST(SaveFileTest, WritesThroughATemporaryFileInTheSameFolder)
{
    SharedFolder folder;
    WriteBytes(folder / "doc.txt", kOld);
    // Names that are taken are skipped: occupy the ones the next seconds would give.
    UINT now = UINT(std::time(nullptr)) & 0xFFFFF;
    for (UINT n = now; n < now + 3; ++n)
        WriteBytes(SaveFile::TempFileName(CString::FromUtf8(folder.Path()), n).ToUtf8(), "taken");

    SaveFile file;
    ASSERT_TRUE(file.Open(folder.Name("doc.txt")));
    EXPECT_FALSE(file.IsInPlace());
    std::string temp = file.GetTempPath().ToUtf8();
    EXPECT_EQ(temp.substr(0, folder.Path().size() + 4), folder.Path() + "/MFC");
    EXPECT_EQ(temp.substr(temp.size() - 4), ".tmp");
    EXPECT_NE(ReadBytes(temp), "taken") << "an existing name is never reused";
    EXPECT_EQ(file.GetFilePath().ToUtf8(), folder / "doc.txt");

    file.Write("new", 3);
    EXPECT_EQ(ReadBytes(folder / "doc.txt"), kOld) << "the old file stays until the commit";
    file.Commit();
    EXPECT_EQ(ReadBytes(folder / "doc.txt"), "new");
    EXPECT_EQ(folder.Entries().size(), 4u) << "the temporary file became doc.txt";
    EXPECT_NE(::access(temp.c_str(), F_OK), 0);
}

TEST(SaveFileTest, KeepsPermissionBitsAndGivesNewFilesTheUsualOnes)
{
    SharedFolder folder;
    for (mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0755), mode_t(0604)}) {
        WriteBytes(folder / "f", kOld, mode);
        ASSERT_EQ(Save(folder.Name("f"), "new"), CFileException::none);
        EXPECT_EQ(ModeOf(folder / "f"), mode) << std::oct << mode;
        EXPECT_EQ(ReadBytes(folder / "f"), "new");
    }
    mode_t mask = ::umask(022);
    ASSERT_EQ(Save(folder.Name("fresh"), "new"), CFileException::none);
    ::umask(mask);
    EXPECT_EQ(ModeOf(folder / "fresh"), mode_t(0644));
}

TEST(SaveFileTest, FollowsSymbolicLinksAndKeepsThem)
{
    SharedFolder folder;
    ::mkdir((folder / "real").c_str(), 0755);
    WriteBytes(folder / "real/target.txt", kOld, 0640);
    ASSERT_EQ(::symlink("real/target.txt", (folder / "link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("link.txt", (folder / "link2.txt").c_str()), 0);

    ASSERT_EQ(Save(folder.Name("link2.txt"), "via links"), CFileException::none);
    struct stat st;
    ASSERT_EQ(::lstat((folder / "link2.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link is not replaced by a file";
    ASSERT_EQ(::lstat((folder / "link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(folder / "real/target.txt"), "via links");
    EXPECT_EQ(ModeOf(folder / "real/target.txt"), mode_t(0640));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.txt", "link2.txt", "real"}));

    // A link to a file that does not exist yet creates that file.
    ASSERT_EQ(::symlink("real/later.txt", (folder / "dangling").c_str()), 0);
    ASSERT_EQ(Save(folder.Name("dangling"), "made"), CFileException::none);
    EXPECT_EQ(ReadBytes(folder / "real/later.txt"), "made");

    ASSERT_EQ(::symlink("loop", (folder / "loop").c_str()), 0);
    EXPECT_EQ(Save(folder.Name("loop"), "x"), CFileException::badPath);
}

TEST(SaveFileTest, OnlyRegularFilesAreWritten)
{
    SharedFolder folder;
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0666), 0);
    ::mkdir((folder / "folder").c_str(), 0755);
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::string socketPath = folder / "socket";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const std::string& path : {folder / "fifo", folder / "folder", folder / "socket", std::string("/dev/null")}) {
        CFileException error;
        EXPECT_EQ(Save(CString::FromBytes(path), "x", &error), CFileException::accessDenied) << path;
        EXPECT_EQ(MessageOf(error), "Access to " + path + " was denied.");
    }
    ::close(sock);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"fifo", "folder", "socket"})) << "nothing made beside";
}

TEST(SaveFileTest, DiskFullAtAnyWriteKeepsTheOldFileAndRemovesTheTemporaryOne)
{
    support::FaultReset reset;
    SharedFolder folder;
    const std::string content = NewContent();
    WriteBytes(folder / "doc.txt", kOld);
    FaultInjection::Count();
    ASSERT_EQ(Save(folder.Name("doc.txt"), content), CFileException::none);
    const int writes = FaultInjection::Calls(FaultInjection::kWrite);
    ASSERT_GE(writes, 3) << "the content spans several buffers";

    for (int n = 1; n <= writes; ++n) {
        WriteBytes(folder / "doc.txt", kOld);
        FaultInjection::Reset();
        FaultInjection::Fail(FaultInjection::kWrite, n, ENOSPC);
        CFileException error;
        EXPECT_EQ(Save(folder.Name("doc.txt"), content, &error), CFileException::diskFull) << "write " << n;
        EXPECT_EQ(MessageOf(error), "Disk full while accessing " + folder / "doc.txt" + ".") << "write " << n;
        EXPECT_EQ(ReadBytes(folder / "doc.txt"), kOld) << "write " << n;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"doc.txt"}) << "write " << n;
    }
}

TEST(SaveFileTest, FailuresOfSyncAndRenameKeepTheOldFile)
{
    support::FaultReset reset;
    SharedFolder folder;
    const support::FaultCase cases[] = {
        {"fsync I/O error", FaultInjection::kFsync, EIO, CFileException::hardIO},
        {"fsync disk full", FaultInjection::kFsync, ENOSPC, CFileException::diskFull},
        {"rename refused", FaultInjection::kRename, EACCES, CFileException::accessDenied},
        {"rename I/O error", FaultInjection::kRename, EIO, CFileException::hardIO},
        {"short writes then full", FaultInjection::kWrite, EDQUOT, CFileException::diskFull},
    };
    for (const auto& c : cases) {
        WriteBytes(folder / "doc.txt", kOld);
        FaultInjection::Reset();
        FaultInjection::Shorten(FaultInjection::kWrite, 0);
        FaultInjection::Fail(c.op, c.op == FaultInjection::kWrite ? 3 : 1, c.err);
        EXPECT_EQ(Save(folder.Name("doc.txt"), NewContent()), c.cause) << c.what;
        EXPECT_EQ(ReadBytes(folder / "doc.txt"), kOld) << c.what;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"doc.txt"}) << c.what;
    }
}

TEST(SaveFileTest, AbortAndDestructionRemoveTheTemporaryFile)
{
    SharedFolder folder;
    WriteBytes(folder / "doc.txt", kOld);
    {
        SaveFile file;
        ASSERT_TRUE(file.Open(folder.Name("doc.txt")));
        file.Write("partial", 7);
        file.Abort();
        EXPECT_FALSE(file.IsOpen());
    }
    {
        SaveFile file;
        ASSERT_TRUE(file.Open(folder.Name("doc.txt")));
        file.Write("partial", 7);
    }
    EXPECT_EQ(ReadBytes(folder / "doc.txt"), kOld);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"doc.txt"});
}

TEST(SaveFileTest, WritesInPlaceWhenNoTemporaryFileCanBeMade)
{
    support::FaultReset reset;
    SharedFolder folder;
    WriteBytes(folder / "doc.txt", kOld);
    // The second open of a save is the temporary file's; the folder refuses it.
    FaultInjection::Fail(FaultInjection::kOpen, 2, EACCES);
    SaveFile file;
    ASSERT_TRUE(file.Open(folder.Name("doc.txt")));
    EXPECT_TRUE(file.IsInPlace());
    EXPECT_TRUE(file.GetTempPath().IsEmpty());
    file.Write("new", 3);
    EXPECT_EQ(ReadBytes(folder / "doc.txt"), kOld) << "in place too, the old file stays until the commit";
    file.Commit();
    EXPECT_EQ(ReadBytes(folder / "doc.txt"), "new");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"doc.txt"});
}

TEST(SaveFileTest, PermissionsDecideForAnUnprivilegedProcess)
{
    SharedFolder folder;
    // A read-only file in a folder open to all: refused, although the folder
    // would allow a rename over it.
    WriteBytes(folder / "readonly.txt", kOld, 0444);
    int cause = RunUnprivileged([&] { return Save(folder.Name("readonly.txt"), "new"); });
    EXPECT_EQ(cause, CFileException::accessDenied);
    EXPECT_EQ(ReadBytes(folder / "readonly.txt"), kOld);

    // A writable file in a folder where no file may be created: in place.
    ::mkdir((folder / "closed").c_str(), 0755);
    WriteBytes(folder / "closed/doc.txt", kOld, 0666);
    ::chmod((folder / "closed").c_str(), 0555);
    cause = RunUnprivileged([&] {
        SaveFile file;
        if (!file.Open(folder.Name("closed/doc.txt")))
            return 100;
        int inPlace = file.IsInPlace() ? 0 : 101;
        file.Write("new", 3);
        file.Commit();
        return inPlace;
    });
    EXPECT_EQ(cause, 0);
    EXPECT_EQ(ReadBytes(folder / "closed/doc.txt"), "new");

    // Neither: a new file in that folder cannot be made at all.
    CFileException error;
    cause = RunUnprivileged([&] { return Save(folder.Name("closed/new.txt"), "x", &error); });
    EXPECT_EQ(cause, CFileException::accessDenied);
}

TEST(SaveFileTest, AFileAnotherProcessHoldsIsNotSavedOver)
{
    SharedFolder folder;
    WriteBytes(folder / "doc.txt", kOld);
    CString path = folder.Name("doc.txt");
    CFile holder;
    HoldingChild child([&] { return holder.Open(path, CFile::modeRead | CFile::shareDenyWrite) != FALSE; });
    ASSERT_TRUE(child.Ready());
    CFileException error;
    EXPECT_EQ(Save(path, "new", &error), CFileException::sharingViolation);
    EXPECT_EQ(MessageOf(error), "A sharing violation occurred while accessing " + folder / "doc.txt" + ".");
    EXPECT_EQ(ReadBytes(folder / "doc.txt"), kOld);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"doc.txt"});
    child.Release();
    EXPECT_EQ(Save(path, "new"), CFileException::none);
}

TEST(SaveFileTest, AKilledSaveLeavesEitherTheOldOrTheNewFile)
{
    support::FaultReset reset;
    SharedFolder folder;
    const std::string content = NewContent();
    WriteBytes(folder / "doc.txt", kOld);
    // Every point where the save may stop: before each write, sync and rename.
    int points = 0;
    FaultInjection::SetPauseHook([&](FaultInjection::Operation) { ++points; });
    ASSERT_EQ(Save(folder.Name("doc.txt"), content), CFileException::none);
    FaultInjection::Reset();
    ASSERT_GE(points, 5);

    bool sawOld = false;
    for (int k = 1; k <= points + 1; ++k) {
        WriteBytes(folder / "doc.txt", kOld);
        int status = RunInChild([&] {
            int seen = 0;
            FaultInjection::SetPauseHook([&](FaultInjection::Operation) {
                if (++seen == k)
                    ::kill(::getpid(), SIGKILL);
            });
            return Save(folder.Name("doc.txt"), content);
        });
        std::string now = ReadBytes(folder / "doc.txt");
        EXPECT_TRUE(now == kOld || now == content) << "killed at point " << k << ": " << now.size() << " bytes";
        if (k <= points) {
            EXPECT_EQ(status, -1) << "the child was killed at point " << k;
            EXPECT_EQ(now, kOld) << "before the rename the old file stands (point " << k << ")";
            sawOld = true;
        } else {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(now, content);
        }
        for (const std::string& name : folder.Entries())
            if (name != "doc.txt")
                ::unlink((folder / name).c_str());
    }
    EXPECT_TRUE(sawOld);
}

}  // namespace

TEST(SaveFileTest, ANewFileNeverReplacesOne)
{
    // OpenNew refuses a name that is taken; a name taken while the file is
    // written makes Commit fail and leaves the other file as it is.
    ScratchFolder folder;
    WriteBytes(folder / "taken.save", kOld);
    SaveFile refused;
    CFileException error;
    EXPECT_FALSE(refused.OpenNew(folder.Name("taken.save"), &error));
    EXPECT_EQ(error.m_lOsError, EEXIST);

    SaveFile file;
    ASSERT_TRUE(file.OpenNew(folder.Name("copy.save"), &error));
    file.Write("new", 3);
    WriteBytes(folder / "copy.save", kOld);
    try {
        file.Commit();
        ADD_FAILURE() << "the commit replaced a file";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_lOsError, EEXIST);
    }
    EXPECT_EQ(ReadBytes(folder / "copy.save"), kOld);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"copy.save", "taken.save"}));

    SaveFile fresh;
    ASSERT_TRUE(fresh.OpenNew(folder.Name("fresh.save")));
    fresh.Write("new", 3);
    fresh.Commit();
    EXPECT_EQ(ReadBytes(folder / "fresh.save"), "new");
    EXPECT_EQ(ModeOf(folder / "fresh.save") & 0777, 0600u);
}
