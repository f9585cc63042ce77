// Helpers for the tests of the file layer: a scratch folder, whole-file
// reads and writes, and code run in a child process (as another process, or
// as an unprivileged user: CI runs the tests as root, whom mode bits do not
// stop).
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/base/String.h"
#include "framework/io/FaultInjection.h"

namespace filetest {

inline constexpr uid_t kNobody = 65534;

// A fresh folder under /tmp, open to every user (so an unprivileged child can
// work in it), removed with its contents at the end.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/tessel-io-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made)
            ADD_FAILURE() << "mkdtemp failed";
        m_path = made ? made : "/tmp";
        ::chmod(m_path.c_str(), 0777);
    }
    ~TempFolder()
    {
        std::string command = "chmod -R u+rwx '" + m_path + "' 2>/dev/null; rm -rf '" + m_path + "'";
        if (std::system(command.c_str()) != 0)
            ADD_FAILURE() << "could not remove " << m_path;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    CString Name(const std::string& name) const { return CString::FromUtf8(*this / name); }

    // The names in the folder, sorted.
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(m_path.c_str())) {
            while (const dirent* e = ::readdir(dir)) {
                std::string name = e->d_name;
                if (name != "." && name != "..")
                    names.push_back(name);
            }
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes, mode_t mode = 0644)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    ::chmod(path.c_str(), mode);
}

inline std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline mode_t ModeOf(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

// Runs body in a forked child and returns its result (0..255), or -1 when
// the child did not exit normally. body must not use gtest assertions.
inline int RunInChild(const std::function<int()>& body)
{
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body() & 0xFF);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs body in a child that cannot override file permissions: as user and
// group nobody when the tests run as root, as the same user otherwise.
// Returns body's result, 255 when the privileges could not be dropped.
inline int RunUnprivileged(const std::function<int()>& body)
{
    return RunInChild([&] {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0))
            return 255;
        return body();
    });
}

// A child process that runs setUp (for instance, opening a file and holding
// a lock on it) and then waits until Release() or the end of the object.
class HoldingChild {
public:
    explicit HoldingChild(const std::function<bool()>& setUp)
    {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) {
            ADD_FAILURE() << "pipe failed";
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            char ok = setUp() ? 'y' : 'n';
            if (::write(ready[1], &ok, 1) != 1)
                ::_exit(2);
            char go;
            while (::read(release[0], &go, 1) < 0 && errno == EINTR) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        m_release = release[1];
        char ok = 'n';
        if (::read(ready[0], &ok, 1) != 1 || ok != 'y')
            ADD_FAILURE() << "the holding child could not set up";
        ::close(ready[0]);
    }
    ~HoldingChild() { Release(); }
    HoldingChild(const HoldingChild&) = delete;
    HoldingChild& operator=(const HoldingChild&) = delete;

    void Release()
    {
        if (m_pid <= 0)
            return;
        ::close(m_release);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_release = -1;
};

// Disarms fault injection at the end of a test, whatever happened.
struct FaultReset {
    FaultReset() { CFaultInjection::Reset(); }
    ~FaultReset() { CFaultInjection::Reset(); }
};

}  // namespace filetest
