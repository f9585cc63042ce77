// Code run in a child process: as another process, or as a user whom file
// permissions stop (CI runs the tests as root, whom mode bits do not stop).
// The bodies run after a fork and must not use gtest assertions.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace support {

// Runs body in a child; its result (0..255), or -1 when the child did not
// exit normally.
int RunInChild(const std::function<int()>& body);

// Runs body in a child that cannot override file permissions: as user and
// group nobody when the tests run as root, as the same user otherwise.
// Returns body's result, 255 when the privileges could not be dropped.
int RunUnprivileged(const std::function<int()>& body);

// Runs body as RunUnprivileged does and returns the report it makes; a child
// that could not drop its privileges or did not end normally says so in
// the report.
std::string ReportUnprivileged(const std::function<std::string()>& body);
// Runs body in a child, unprivileged or as this process is, and returns its
// report as ReportUnprivileged does.
std::string ReportInChild(bool unprivileged, const std::function<std::string()>& body);

// A child process that runs setUp (for instance, opening a file and holding
// a lock on it) and then waits until Release() or the end of the object.
class HoldingChild {
public:
    explicit HoldingChild(const std::function<bool()>& setUp);
    ~HoldingChild() { Release(); }
    HoldingChild(const HoldingChild&) = delete;
    HoldingChild& operator=(const HoldingChild&) = delete;

    // Whether setUp succeeded in the child.
    bool Ready() const { return m_ready; }
    void Release();

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_ready = false;
};

}  // namespace support
