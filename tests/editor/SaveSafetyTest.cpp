// What a save does to the file on disk beyond its bytes: the file a name
// really names, links, owner, group, mode, extended attributes and ACLs,
// a change made by another program, files that are no regular files, names
// that are not UTF-8, and a full disk.
#include "tests/support/EditorTest.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "framework/io/FaultInjection.h"
#include "tests/support/ChildProcess.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// What a file has besides its bytes, as ls -l and getfattr show it.
std::string Keeps(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return "missing";
    std::string s = "mode=" + std::to_string(st.st_mode) + " owner=" + std::to_string(st.st_uid) + ":"
        + std::to_string(st.st_gid) + " links=" + std::to_string(st.st_nlink);
    char names[4096];
    ssize_t n = ::llistxattr(path.c_str(), names, sizeof names);
    std::map<std::string, std::string> attributes;
    for (ssize_t at = 0; at < n; at += ssize_t(std::strlen(names + at)) + 1) {
        char value[4096];
        ssize_t v = ::lgetxattr(path.c_str(), names + at, value, sizeof value);
        attributes[names + at] = std::string(value, size_t(v > 0 ? v : 0));
    }
    for (const auto& [name, value] : attributes)
        s += " " + name + "=" + std::to_string(std::hash<std::string>()(value));
    return s;
}

ino_t InodeOf(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

int Shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()); }

}  // namespace

class SaveSafetyTest : public EditorFolderTest {
protected:
    // Others (the unprivileged child) may look inside; backups that have
    // to leave the file's folder go to a state folder of the test's own.
    SaveSafetyTest() : EditorFolderTest(0755)
    {
        ::setenv("XDG_STATE_HOME", P("state").c_str(), 1);
        ::mkdir(P("state").c_str(), 0777);
        ::chmod(P("state").c_str(), 0777);
    }
    ~SaveSafetyTest() override { ::unsetenv("XDG_STATE_HOME"); }

    // Opens the file, types, saves (to be run in a child: it starts the
    // editor). The boxes shown and whether the text was saved.
    std::string EditAndSave(const std::string& path, std::u16string typed = u"n")
    {
        if (!Start({path}))
            return "no start";
        Type(typed);
        Save({u"OK"});
        std::string boxes;
        for (const auto& b : Boxes())
            boxes += "[" + b + "]";
        return boxes + (Doc()->IsModified() ? "changed" : "saved");
    }
};

TEST_F(SaveSafetyTest, ALinkIsFollowedWhereTheKernelGoes)
{
    // alias/link.txt is real/sub/link.txt, which points to ../target.txt:
    // real/target.txt, whatever the text of the names suggests.
    fs::create_directories(P("real/sub"));
    ASSERT_EQ(::symlink("real/sub", P("alias").c_str()), 0);
    ASSERT_EQ(::symlink("../target.txt", P("real/sub/link.txt").c_str()), 0);
    Put("real/target.txt", "REAL");
    Put("target.txt", "bystander");
    ASSERT_TRUE(Start({"alias/link.txt"}));
    EXPECT_EQ(State(), "title=link.txt path=" + P("alias/link.txt") + " unchanged text=\"REAL\"");
    Type(u"x");
    Save();
    EXPECT_EQ(Get("real/target.txt"), "xREAL");
    EXPECT_EQ(Get("target.txt"), "bystander");
    EXPECT_TRUE(fs::is_symlink(P("real/sub/link.txt")));
    EXPECT_EQ(Listing("real"), (std::vector<std::string>{"sub", "target.txt"})) << "no temporary file left";
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(SaveSafetyTest, QuotesAndBackslashesArePartsOfAName)
{
    Put("q", "decoy");
    Put("\"q\"x.txt", "quoted");
    Put("a/b.txt", "decoy");
    Put("a\\b.txt", "backslash");
    Put("c d.txt", "blank");
    ASSERT_TRUE(Start({"\"q\"x.txt"}));
    EXPECT_EQ(Text(), "quoted");
    Type(u"1");
    Save();
    // From the Open dialog: a typed name that exists is taken as it is; the
    // dialog's quotes only where the name as typed names nothing.
    Open("a\\b.txt");
    EXPECT_EQ(Text(), "backslash");
    Type(u"2");
    Save();
    Open("\"c d.txt\"");
    EXPECT_EQ(Text(), "blank");
    EXPECT_EQ(Get("\"q\"x.txt"), "1quoted");
    EXPECT_EQ(Get("a\\b.txt"), "2backslash");
    EXPECT_EQ(Get("q"), "decoy");
    EXPECT_EQ(Get("a/b.txt"), "decoy");
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(SaveSafetyTest, NamesThatAreNotUtf8AreOpenedSavedAndShown)
{
    // Latin-1 names, as older systems and memory cards have them.
    Put("d\xe9r/caf\xe9.txt", "latin");
    ASSERT_TRUE(Start({P("d\xe9r/caf\xe9.txt")}));
    EXPECT_EQ(Text(), "latin");
    Type(u"!");
    Save();
    EXPECT_EQ(Get("d\xe9r/caf\xe9.txt"), "!latin");
    // Save As starts in that folder, shows its name readably and saves there.
    std::string shown;
    host.OnModal([&] {
        shown = host.ScreenText();
        host.Type(u"new.txt\r");
    });
    Command(ID_FILE_SAVE_AS);
    EXPECT_NE(shown.find("d\xef\xbf\xbdr/"), std::string::npos) << shown;
    EXPECT_EQ(Get("d\xe9r/new.txt"), "!latin");
    EXPECT_EQ(Doc()->GetPathName().ToBytes(), P("d\xe9r/new.txt"));
    EXPECT_EQ(Boxes(), std::vector<std::string>{});
}

TEST_F(SaveSafetyTest, AFileChangedOnDiskIsNotOverwrittenWithoutAsking)
{
    Put("doc.txt", "old");
    ASSERT_TRUE(Start({P("doc.txt")}));
    Type(u"mine ");
    Put("doc.txt", "theirs!");  // another program
    const std::string asked = P("doc.txt") + " has been changed by another program. Save anyway?";
    Save({u"No"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{asked});
    EXPECT_EQ(Get("doc.txt"), "theirs!");
    EXPECT_TRUE(Doc()->IsModified());
    Save({u"Yes"});
    EXPECT_EQ(Get("doc.txt"), "mine old");
    EXPECT_FALSE(Doc()->IsModified());
    // Its own saves are no change by another program.
    Type(u"again ");
    Save();
    EXPECT_EQ(Get("doc.txt"), "mine again old");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{asked, asked}));
}

TEST_F(SaveSafetyTest, OnlyRegularFilesAreWritten)
{
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0666), 0);
    // Neither a FIFO nor a device is ever written.
    ASSERT_TRUE(Start());
    Type(u"x");
    SaveAs(P("pipe"), {u"Yes", u"OK"});
    SaveAs("/dev/null", {u"Yes", u"OK"});
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{
                  P("pipe") + " already exists.\nDo you want to replace it?", "Access to " + P("pipe") + " was denied.",
                  "/dev/null already exists.\nDo you want to replace it?", "Access to /dev/null was denied."}));
    EXPECT_TRUE(Doc()->IsModified());
    struct stat st;
    ASSERT_EQ(::stat(P("pipe").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(SaveSafetyTest, ALinkAnotherUserSwappedInIsNotWrittenThrough)
{
    // A world-writable sticky folder, as /tmp: while root edits doc.txt,
    // another user puts a link to a file of root's in its place.
    fs::create_directory(P("shared"));
    ::chmod(P("shared").c_str(), 01777);
    Put("shared/doc.txt", "old");
    Put("victim", "precious");
    ASSERT_TRUE(Start({P("shared/doc.txt")}));
    Type(u"new ");
    ::unlink(P("shared/doc.txt").c_str());
    ASSERT_EQ(::symlink(P("victim").c_str(), P("shared/doc.txt").c_str()), 0);
    ASSERT_EQ(::lchown(P("shared/doc.txt").c_str(), kNobody, kNobody), 0);
    Save({u"OK"});
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Access to " + P("shared/doc.txt") + " was denied."});
    EXPECT_EQ(Get("victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(P("shared/doc.txt")));
    EXPECT_TRUE(Doc()->IsModified());
}

TEST_F(SaveSafetyTest, SavingKeepsWhatTheFileHas)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give files to other users";
    // The rename of a new copy where it keeps everything; in place where it
    // would not.
    struct Case {
        const char* what;
        const char* setUp;  // shell commands run in the case's folder on file f
        bool unprivileged;  // saved by user nobody
        bool inPlace;
    };
    const Case cases[] = {
        {"plain file", "chmod 640 f", false, false},
        {"set-group-id and sticky bits", "chmod 3755 f", false, false},
        {"extended attribute and ACL", "setfattr -n user.note -v kept f && setfacl -m u:65534:rw f", false, false},
        {"second hard link", "ln f f2", false, true},
        {"shared group file", "chown 65534:0 f && chmod 664 f && chmod 777 .", true, true},
        {"another user's file in a sticky folder", "chmod 666 f && chmod 1777 .", true, true},
        {"another user's file in an open folder", "chmod 666 f && chmod 777 .", true, true},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = P("case" + std::to_string(i++));
        fs::create_directory(folder);
        Put(folder.substr(dir.Path().size() + 1) + "/f", "old");
        ASSERT_EQ(Shell("cd '" + folder + "' && " + c.setUp), 0);
        const std::string f = folder + "/f";
        const std::string had = Keeps(f);
        const ino_t inode = InodeOf(f);
        EXPECT_EQ(support::ReportInChild(c.unprivileged, [&] { return EditAndSave(f); }), "saved");
        EXPECT_EQ(support::ReadBytes(f), "nold");
        EXPECT_EQ(Keeps(f), had);
        EXPECT_EQ(InodeOf(f) == inode, c.inPlace);
        EXPECT_EQ(fs::exists(folder + "/f2") ? support::ReadBytes(folder + "/f2") : "nold", "nold");
    }
    EXPECT_EQ(Listing("state/tessel"), std::vector<std::string>{}) << "no backup left";
}

TEST_F(SaveSafetyTest, InPlaceTheOldContentIsKeptAsABackupUntilTheNewIsOnDisk)
{
    // Beside the file (a second link keeps it from being renamed over), or,
    // when its folder takes no new file, in the state folder; a name of the
    // longest kind is cut so that its backup's names fit.
    const std::string longest(255, 'n');
    const std::string cut = std::string(252, 'n') + "~";
    struct Case {
        const char* what;
        std::string name;
        const char* setUp;  // on the file "$f"
        bool unprivileged;
        std::string backup;
    };
    const Case cases[] = {
        {"beside", "f", "ln \"$f\" f2", false, "f~"},
        {"state folder", "f", "chown 65534 \"$f\" && chmod 755 .", true, P("state/tessel/f~")},
        {"beside, a 255-byte name", longest, "ln \"$f\" f2", false, cut},
        {"state folder, a 255-byte name", longest, "chown 65534 \"$f\" && chmod 755 .", true, P("state/tessel/" + cut)},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // Made private to whoever edits first (a change prepares the places
        // of a recovery copy): each case starts without it.
        fs::remove_all(P("state/tessel"));
        const std::string folder = P("case" + std::to_string(i++));
        const std::string f = folder + "/" + c.name;
        fs::create_directory(folder);
        Put(f.substr(dir.Path().size() + 1), "old");
        ASSERT_EQ(Shell("cd '" + folder + "' && f='" + c.name + "' && " + c.setUp), 0);
        const std::string backup = c.backup[0] == '/' ? c.backup : folder + "/" + c.backup;
        std::string report = support::ReportInChild(c.unprivileged, [&] {
            // What the backup holds whenever the file itself is written.
            std::string seen;
            FaultInjection::SetPauseHook([&](FaultInjection::Operation) {
                if (support::ReadBytes(f) == "old")
                    seen = support::ReadFile(backup).value_or("none");
            });
            return EditAndSave(f) + " backup=" + seen;
        });
        EXPECT_EQ(report, "saved backup=old");
        EXPECT_EQ(support::ReadBytes(f), "nold");
        EXPECT_EQ(fs::exists(folder + "/f2") ? support::ReadBytes(folder + "/f2") : "nold", "nold") << "the link kept";
        EXPECT_FALSE(fs::exists(backup)) << "removed once the new bytes are on disk";
    }
}

TEST_F(SaveSafetyTest, WhereNoBackupCanBeMadeTheSaveSaysSo)
{
    // A hard-linked file in a shared folder where every name its backup
    // may have is taken (by others' files), and no other folder that takes
    // one: the state folder cannot be made, the temporary folder is that one.
    fs::create_directory(P("shared"));
    ::chmod(P("shared").c_str(), 01777);
    Put("shared/f", "old");
    ASSERT_EQ(::link(P("shared/f").c_str(), P("shared/f2").c_str()), 0);
    for (int n = 0; n < 100; ++n)
        Put("shared/f~" + (n ? std::to_string(n) : std::string()), "theirs");
    ::setenv("XDG_STATE_HOME", "/dev/null", 1);
    const char* tmp = std::getenv("TMPDIR");
    const std::string hadTmp = tmp ? tmp : "";
    ::setenv("TMPDIR", P("shared").c_str(), 1);
    const std::string report = EditAndSave(P("shared/f"));
    if (tmp)
        ::setenv("TMPDIR", hadTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    EXPECT_EQ(report, "[No backup copy of " + P("shared/f") + " could be made, so it was not saved.]changed");
    EXPECT_EQ(Get("shared/f"), "old");
    EXPECT_EQ(Get("shared/f~99"), "theirs");
    EXPECT_EQ(Listing("shared").size(), 102u) << "nothing left behind";
}

TEST_F(SaveSafetyTest, AFullDiskKeepsTheOldFileWhole)
{
    // A small file system filled up: saved by root (a new copy), and by a
    // user whose folder takes no new file (in place).
    fs::create_directory(P("disk"));
    if (::mount("tmpfs", P("disk").c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{P("disk")};
    const std::string old(10500, 'o');
    Put("disk/doc.txt", old);
    ASSERT_EQ(::chown(P("disk/doc.txt").c_str(), kNobody, kNobody), 0);
    // Fill what is left, in small pieces so that no room stays.
    int filler = ::open(P("disk/filler").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    ASSERT_GE(filler, 0);
    const std::string block(512, 'f');
    while (::write(filler, block.data(), block.size()) > 0) {
    }
    ::close(filler);
    const std::u16string paste(8600, u'p');
    for (bool unprivileged : {false, true}) {
        SCOPED_TRACE(unprivileged ? "in place" : "new copy");
        std::string report
            = support::ReportInChild(unprivileged, [&] { return EditAndSave(P("disk/doc.txt"), paste); });
        EXPECT_EQ(report, "[Disk full while accessing " + P("disk/doc.txt") + ".]changed");
        EXPECT_TRUE(Get("disk/doc.txt") == old) << "the old file byte for byte";
        EXPECT_EQ(Listing("disk"), (std::vector<std::string>{"doc.txt", "filler"}));
    }
}
