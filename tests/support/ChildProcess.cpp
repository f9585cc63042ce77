#include "tests/support/ChildProcess.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace support {

namespace {

constexpr uid_t kNobody = 65534;

bool DropPrivileges()
{
    return ::geteuid() != 0
        || (::setgroups(0, nullptr) == 0 && ::setresgid(kNobody, kNobody, kNobody) == 0
            && ::setresuid(kNobody, kNobody, kNobody) == 0);
}

void WriteAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ::_exit(4);
        done += size_t(n);
    }
}

}  // namespace

int RunInChild(const std::function<int()>& body)
{
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body() & 0xFF);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunUnprivileged(const std::function<int()>& body)
{
    return RunInChild([&] { return DropPrivileges() ? body() : 255; });
}

std::string ReportUnprivileged(const std::function<std::string()>& body) { return ReportInChild(true, body); }

std::string ReportInChild(bool unprivileged, const std::function<std::string()>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "[no pipe for the child's report]";
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        WriteAll(fds[1], !unprivileged || DropPrivileges() ? body() : "[the child could not drop its privileges]");
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            report.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report += " [child status " + std::to_string(status) + "]";
    return report;
}

HoldingChild::HoldingChild(const std::function<bool()>& setUp)
{
    int ready[2], release[2];
    if (::pipe(ready) != 0)
        return;
    if (::pipe(release) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
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
    while (m_pid > 0 && ::read(ready[0], &ok, 1) < 0 && errno == EINTR) {
    }
    m_ready = m_pid > 0 && ok == 'y';
    ::close(ready[0]);
}

void HoldingChild::Release()
{
    if (m_release >= 0)
        ::close(m_release);
    m_release = -1;
    if (m_pid > 0)
        ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

}  // namespace support
