// The recovery journal's file: its name, its header, its atomic
// replacement (a failure or a cut at each step leaves one journal whole),
// the state folder it lives in, and whether its writer still runs.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>

#include "framework/io/JournalFile.h"
#include "framework/io/StateFolder.h"
#include "tests/support/Faults.h"
#include "tests/support/ScratchFolder.h"

namespace {

class JournalFileTest : public ::testing::Test {
protected:
    JournalFileTest() { m_folder = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY); }
    ~JournalFileTest() override { ::close(m_folder); }

    support::ScratchFolder dir;
    support::FaultReset faults;
    int m_folder = -1;
};

TEST_F(JournalFileTest, NameComesFromThePathAndNeverCollides)
{
    const std::string own
        = "~" + std::to_string(::getpid()) + "-" + std::to_string(JournalFile::StartTimeOf(::getpid())) + ".journal";
    struct Case {
        std::string path;
        std::string key;
    } cases[] = {
        {"/home/ann/notes.txt", "%2Fhome%2Fann%2Fnotes.txt"},
        {"/a/b", "%2Fa%2Fb"},
        {"/a%2Fb", "%2Fa%252Fb"},
        {"/x~1\n", "%2Fx%7E1%0A"},
        {"", "untitled"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JournalFile::NameFor(c.path), c.key + own) << c.path;
    // Too long to escape: a hash, and the header's path tells the two apart.
    std::string a = "/" + std::string(300, 'a'), b = "/" + std::string(300, 'b');
    const std::string name = JournalFile::NameFor(a);
    EXPECT_EQ(name[0], '#');
    const std::string key = name.substr(0, name.find('~'));
    ASSERT_EQ(JournalFile::Write(m_folder, name, JournalFile::OwnHeader(a, {}), "mine"), 0);
    ASSERT_EQ(JournalFile::Write(m_folder, key + "~1-1.journal", JournalFile::OwnHeader(b, {}), "other"), 0);
    auto found = JournalFile::ForPath(m_folder, a);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].text, "mine");
}

TEST_F(JournalFileTest, HeaderAndTextComeBackFromAPrivateFile)
{
    struct stat st = {};
    st.st_dev = 7;
    st.st_ino = 42;
    st.st_size = 5;
    st.st_mtim = {1700000000, 123456789};
    JournalHeader header = JournalFile::OwnHeader("/x/a\nb:c", FileIdentity::Of(st));
    const std::string text("caf\xE9\0\r\n", 7);
    ASSERT_EQ(JournalFile::Write(m_folder, "j.journal", header, text), 0);
    auto back = JournalFile::Read(m_folder, "j.journal");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, text);
    EXPECT_EQ(back->header.path, header.path);
    EXPECT_TRUE(back->header.identity == header.identity);
    EXPECT_EQ(back->header.pid, ::getpid());
    EXPECT_EQ(back->header.host, header.host);
    EXPECT_EQ(back->header.written, header.written);
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"j.journal"});
    ASSERT_EQ(::stat((dir / "j.journal").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    // Cut short, it is no journal.
    std::string whole = JournalFile::Encode(header, text);
    EXPECT_FALSE(JournalFile::Decode(whole.substr(0, whole.size() - 1)));
}

TEST_F(JournalFileTest, AFailureOrACutAtEachStepLeavesOneJournalWhole)
{
    struct Case {
        const char* what;
        FaultInjection::Operation op;
        int nth;
        const char* after;  // the journal's text after the second write
    } cases[] = {
        {"open", FaultInjection::kOpen, 1, "first"},           {"write", FaultInjection::kWrite, 1, "first"},
        {"fsync", FaultInjection::kFsync, 1, "first"},         {"rename", FaultInjection::kRename, 1, "first"},
        {"folder fsync", FaultInjection::kFsync, 2, "second"},
    };
    const JournalHeader header = JournalFile::OwnHeader("/doc", {});
    for (const Case& c : cases) {
        FaultInjection::Reset();
        ASSERT_EQ(JournalFile::Write(m_folder, "j.journal", header, "first"), 0);
        FaultInjection::Fail(c.op, c.nth, EIO);
        EXPECT_EQ(JournalFile::Write(m_folder, "j.journal", header, "second"), EIO) << c.what;
        FaultInjection::Reset();
        EXPECT_EQ(JournalFile::Read(m_folder, "j.journal")->text, c.after) << c.what;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"j.journal"}) << c.what;
        // A cut (the process gone) before each step: the old one or the new one.
        for (int step = 0; step < FaultInjection::kOperationCount; ++step) {
            ASSERT_EQ(JournalFile::Write(m_folder, "j.journal", header, "first"), 0);
            bool cut = false;
            FaultInjection::SetPauseHook([&](FaultInjection::Operation op) {
                if (op == FaultInjection::Operation(step) && !cut) {
                    cut = true;
                    EXPECT_EQ(JournalFile::Read(m_folder, "j.journal")->text, "first");
                }
            });
            EXPECT_EQ(JournalFile::Write(m_folder, "j.journal", header, "second"), 0);
            FaultInjection::Reset();
            EXPECT_EQ(JournalFile::Read(m_folder, "j.journal")->text, "second");
        }
    }
}

TEST_F(JournalFileTest, StateFolderIsMadePrivateAndALinkIsRefused)
{
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    int fd = StateFolder::Open();
    ASSERT_GE(fd, 0);
    ::close(fd);
    struct stat st;
    ASSERT_EQ(::stat((dir / "state/tessel").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::chmod((dir / "state/tessel").c_str(), 0755);
    fd = StateFolder::Open();
    ::close(fd);
    ::stat((dir / "state/tessel").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::mkdir((dir / "elsewhere").c_str(), 0700);
    ::mkdir((dir / "trap").c_str(), 0700);
    ::symlink((dir / "elsewhere").c_str(), (dir / "trap/tessel").c_str());
    ::setenv("XDG_STATE_HOME", (dir / "trap").c_str(), 1);
    EXPECT_EQ(StateFolder::Open(), -1);
    EXPECT_EQ(errno, ENOTDIR);
    ::unsetenv("XDG_STATE_HOME");
}

TEST_F(JournalFileTest, OnlyALiveTesselOfThisHostIsTheWriter)
{
    JournalHeader own = JournalFile::OwnHeader("/doc", {});
    JournalHeader parent = own;
    parent.pid = ::getppid();
    parent.started = JournalFile::StartTimeOf(parent.pid);
    JournalHeader reused = own;
    reused.started += 1;
    JournalHeader elsewhere = own;
    elsewhere.host += "-other";
    JournalHeader gone = own;
    gone.pid = 0x3FFFFFFF;
    // Killed, and not yet waited for by its parent.
    JournalHeader ended = own;
    ended.pid = ::fork();
    if (ended.pid == 0)
        ::_exit(0);
    ended.started = JournalFile::StartTimeOf(ended.pid);
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, id_t(ended.pid), &info, WEXITED | WNOWAIT), 0);  // ended, left unreaped
    struct Case {
        const char* what;
        const JournalHeader& header;
        bool runs;
    } cases[] = {{"own", own, true},
                 {"parent", parent, true},
                 {"reused pid", reused, false},
                 {"other host", elsewhere, false},
                 {"gone", gone, false},
                 {"ended", ended, false}};
    for (const Case& c : cases)
        EXPECT_EQ(JournalFile::WriterRuns(c.header), c.runs) << c.what;
    ::waitpid(ended.pid, nullptr, 0);
}

}  // namespace
