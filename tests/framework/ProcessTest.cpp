#include "framework/io/Process.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

using support::ReadBytes;
using support::SharedFolder;
using support::WriteBytes;

namespace {

std::string Show(const std::vector<std::string>& tokens)
{
    std::string out;
    for (const std::string& t : tokens)
        out += "[" + t + "]";
    return out;
}

TEST(ProcessCommandLineTest, SplitsAsThePlatformDoes)
{
    struct Case {
        const char* line;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"prog   a\t\tb  ", {"prog", "a", "b"}},
        {"prog \"a b\" c", {"prog", "a b", "c"}},
        {"prog a\"b c\"d", {"prog", "ab cd"}},
        {"prog \"\" x", {"prog", "", "x"}},
        {"prog \"unclosed arg", {"prog", "unclosed arg"}},
        // Backslashes count only before a quote.
        {"prog a\\b c\\\\d", {"prog", "a\\b", "c\\\\d"}},
        {"prog a\\\"b", {"prog", "a\"b"}},
        {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
        {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
        {"prog \"C:\\dir\\\\\" next", {"prog", "C:\\dir\\", "next"}},
        {"prog \"C:\\dir\\\" next", {"prog", "C:\\dir\" next"}},
        // A doubled quote inside quotes is a literal quote.
        {"prog \"a\"\"b\" c", {"prog", "a\"b", "c"}},
        {"prog \"\"\"\"", {"prog", "\""}},
        // The program name: quotes without escapes, or up to a blank.
        {"\"C:\\Program Files\\app.exe\" -x", {"C:\\Program Files\\app.exe", "-x"}},
        {"\"C:\\a\\\" b", {"C:\\a\\", "b"}},
        {"C:\\dir\\setup.exe", {"C:\\dir\\setup.exe"}},
        {"pro\"g a", {"pro\"g", "a"}},
        {"  prog a", {"", "prog", "a"}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(ParseCommandLine(c.line)), Show(c.tokens)) << "line: " << c.line;
}

// A program of the test: a shell script that waits until the file "go" exists
// in the folder (10 s at most), then writes what it was started with into "marker" (its
// arguments one per line, its working folder, a variable, and whether
// descriptor 57 was inherited).
class StartedProgram {
public:
    StartedProgram(const SharedFolder& folder, const std::string& path) : m_folder(folder)
    {
        std::string go = folder / "go", marker = folder / "marker";
        WriteBytes(path,
                   "#!/bin/sh\n"
                   "i=0; while [ ! -e '" + go + "' ] && [ $i -lt 500 ]; do sleep 0.02; i=$((i+1)); done\n"
                   "{ echo \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; pwd; echo \"env=$TESSEL_X\";"
                   " if [ -e /proc/$$/fd/57 ]; then echo leaked; fi; } > '" + marker + ".part'\n"
                   "mv '" + marker + ".part' '" + marker + "'\n",
                   0755);
    }

    // Lets the program finish and returns what it wrote; empty after 10 s.
    std::string Finish() const
    {
        WriteBytes(m_folder / "go", "");
        for (int i = 0; i < 1000; ++i) {
            if (::access((m_folder / "marker").c_str(), F_OK) == 0) {
                std::string report = ReadBytes(m_folder / "marker");
                ::unlink((m_folder / "marker").c_str());
                ::unlink((m_folder / "go").c_str());
                return report;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }

private:
    const SharedFolder& m_folder;
};

BOOL Start(const std::string& line, PROCESS_INFORMATION* info = nullptr, const char* folder = nullptr,
           void* env = nullptr, const char* app = nullptr)
{
    std::string buffer = line;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    startup.wShowWindow = 5;
    PROCESS_INFORMATION local = {};
    return CreateProcessA(app, buffer.data(), nullptr, nullptr, FALSE, 0, env, folder, &startup, info ? info : &local);
}

TEST(ProcessTest, StartsWithoutWaitingAndLeavesNoChild)
{
    SharedFolder folder;
    ::mkdir((folder / "Pocket PC").c_str(), 0755);
    std::string program = folder / "Pocket PC/setup.exe";
    StartedProgram started(folder, program);
    // Held open without close-on-exec: the program must not get it.
    int fd = ::open("/dev/null", O_RDONLY);
    ASSERT_EQ(::dup2(fd, 57), 57);

    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(Start("\"" + program + "\" first \"second arg\"", &info)) << std::strerror(errno);
    // The program cannot have finished: it waits for "go", written only now.
    EXPECT_NE(::access((folder / "marker").c_str(), F_OK), 0);
    EXPECT_GT(info.dwProcessId, 0);
    EXPECT_EQ(::waitpid(info.dwProcessId, nullptr, WNOHANG), -1) << "the program is not our child";
    EXPECT_EQ(errno, ECHILD);

    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(started.Finish(), program + "\nfirst\nsecond arg\n" + cwd + "\nenv=\n");
    ::close(57);
    ::close(fd);
}

TEST(ProcessTest, AnUnquotedPathWithSpacesIsResolvedByWhatExists)
{
    SharedFolder folder;
    ::mkdir((folder / "Setup Dir").c_str(), 0755);
    ::mkdir((folder / "Setup Dir/Pocket PC").c_str(), 0755);
    std::string program = folder / "Setup Dir/Pocket PC/setup.exe";
    StartedProgram started(folder, program);

    // With backslashes, as the launcher builds it.
    std::string line = folder.Path() + "\\Setup Dir\\Pocket PC\\setup.exe";
    ASSERT_TRUE(Start(line)) << std::strerror(errno);
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(started.Finish(), program + "\n" + cwd + "\nenv=\n");

    // The shortest prefix that exists wins, the rest becomes arguments.
    StartedProgram shorter(folder, folder / "Setup");
    ASSERT_TRUE(Start(line + " x"));
    EXPECT_EQ(shorter.Finish(), folder / "Setup" + "\nDir\\Pocket\nPC\\setup.exe\nx\n" + cwd + "\nenv=\n");

    // Quoted, the path is taken as it is.
    ASSERT_TRUE(Start("\"" + line + "\" x"));
    EXPECT_EQ(started.Finish(), program + "\nx\n" + cwd + "\nenv=\n");
}

TEST(ProcessTest, FolderEnvironmentAndApplicationNameAreHonoured)
{
    SharedFolder folder;
    std::string program = folder / "prog";
    StartedProgram started(folder, program);
    char env[] = "TESSEL_X=42\0PATH=/usr/bin:/bin\0";
    ASSERT_TRUE(Start(program + " a", nullptr, "/tmp", env));
    EXPECT_EQ(started.Finish(), program + "\na\n/tmp\nenv=42\n");

    ASSERT_TRUE(Start("shown-name \"b c\"", nullptr, folder.Path().c_str(), env, program.c_str()));
    EXPECT_EQ(started.Finish(), program + "\nb c\n" + folder.Path() + "\nenv=42\n");
}

TEST(ProcessTest, FailuresReturnFalseWithTheError)
{
    SharedFolder folder;
    WriteBytes(folder / "not-executable", "#!/bin/sh\n", 0644);
    ::mkdir((folder / "a folder").c_str(), 0755);
    struct Case {
        std::string line;
        int err;
    };
    const Case cases[] = {
        {folder / "missing.exe", ENOENT},
        {folder / "missing dir/setup.exe", ENOENT},
        {"\"" + folder / "not-executable" + "\"", EACCES},
        {"\"" + folder / "a folder" + "\"", EACCES},
    };
    for (const Case& c : cases) {
        errno = 0;
        EXPECT_FALSE(Start(c.line)) << c.line;
        EXPECT_EQ(errno, c.err) << c.line;
    }
    errno = 0;
    EXPECT_FALSE(Start("/bin/true", nullptr, (folder / "no such folder").c_str()));
    EXPECT_EQ(errno, ENOENT);
}

TEST(ProcessTest, StartupInfoAndModulePath)
{
    STARTUPINFOA info;
    std::memset(&info, 0xAB, sizeof info);
    GetStartupInfoA(&info);
    EXPECT_EQ(info.cb, sizeof info);
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_EQ(info.wShowWindow, 0);

    std::string module = GetModuleFileName().ToUtf8();
    ASSERT_FALSE(module.empty());
    EXPECT_EQ(module[0], '/');
    struct stat st;
    ASSERT_EQ(::stat(module.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
}

}  // namespace
