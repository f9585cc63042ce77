// The terminal host on a pseudo-terminal of its own, in a child process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>

#include "framework/host/TerminalHost.h"
#include "tests/support/ChildProcess.h"

namespace {

// What each of the signals curses would take does: D (the default), I
// (ignored) or H (a handler).
std::string Dispositions()
{
    std::string out;
    for (int sig : {SIGINT, SIGTERM, SIGTSTP, SIGWINCH, SIGHUP}) {
        struct sigaction action {};
        ::sigaction(sig, nullptr, &action);
        out += action.sa_handler == SIG_DFL ? 'D' : action.sa_handler == SIG_IGN ? 'I' : 'H';
    }
    return out;
}

// Standard input and output on a new pseudo-terminal of 80x24 cells.
bool OnPseudoTerminal()
{
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return false;
    int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    return terminal >= 0 && ::ioctl(terminal, TIOCSWINSZ, &size) == 0 && ::dup2(terminal, STDIN_FILENO) >= 0
        && ::dup2(terminal, STDOUT_FILENO) >= 0;
}

}  // namespace

// Once the host has ended, a signal that comes before the program exits
// meets what the program had before the host: no handler of the host's or
// of the curses library's, whose screen is gone.
TEST(TerminalHostTest, TheSignalsAreHandledAsFoundOnceTheHostEnds)
{
    std::string report = support::ReportInChild(false, [] {
        if (!OnPseudoTerminal())
            return std::string("no pseudo-terminal");
        ::setenv("TERM", "xterm", 1);
        for (int sig : {SIGINT, SIGTERM, SIGTSTP, SIGWINCH})
            ::signal(sig, SIG_DFL);
        ::signal(SIGHUP, SIG_IGN);
        const std::string before = Dispositions();
        {
            TerminalHost host;
        }
        return before + " " + Dispositions();
    });
    EXPECT_EQ(report, "DDDDI DDDDI");
}
