#include "framework/host/TerminalSignals.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "framework/base/SafeText.h"
#include "framework/io/CrashCopy.h"
#include "framework/io/SessionEnd.h"

// Last, because of its macros (move, erase, timeout, ...).
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace {

// ===== signals: restoring the terminal, ending the session, crashes,
// stopping and continuing =====
//
// Everything a handler does is async-signal-safe: it writes bytes prepared
// while the host started, sets the tty settings kept then, notes a request
// and wakes the main loop through a pipe. The rest happens in the main
// loop, in order.

// The mouse (clicks, then drags where the terminal knows them, reported in
// the SGR encoding where it knows that) and bracketed paste. The key map
// decodes the reports in either encoding, not curses.
constexpr char kModesOn[] = "\033[?1000h\033[?1002h\033[?1006h\033[?2004h";
constexpr char kModesOff[] = "\033[?1006l\033[?1002l\033[?1000l\033[?2004l";

volatile std::sig_atomic_t g_live = 0;
// Whether curses has a screen on the terminal, to end at the end.
bool g_screen = false;
// Prepared while the host starts: the bytes that undo the host's terminal
// modes (and leave the alternate screen), those that set them again after a
// stop, the original tty settings and the program's own. A length is set
// once its bytes are in place: a handler never writes half made bytes.
char g_restore[512];
volatile std::sig_atomic_t g_restoreLength = 0;
char g_resume[512];
volatile std::sig_atomic_t g_resumeLength = 0;
struct termios g_termios;
bool g_haveTermios = false;
struct termios g_programTermios;
bool g_haveProgramTermios = false;
bool g_atexitInstalled = false;

// Signals that would end the program end the session instead: the handler
// only notes them (SessionEnd) and wakes the main loop, which then ends the
// session in order, unsaved text first. Repeats only wake it again (a
// hang-up often comes twice: from the terminal's end and from whoever
// closed it). Each blocks the others while it runs, so that of two that
// come together the first is noted first and decides how the program
// ends. No SA_RESTART: a blocked call returns, so that the loop gets the
// request. The real-time signals, whose default also ends the program,
// join these when the handlers are installed.
constexpr int kEndSignals[] = {SIGHUP,  SIGTERM, SIGINT,    SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE,  SIGALRM,
                               SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};
// Crash signals: the terminal is restored and the unsaved text written
// (CrashCopy); then the signal takes its default action (a core dump).
// Every other signal the host handles waits meanwhile: a stop or a
// continue would take the terminal again half way.
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP};
// What each signal the host handles did before, by number, for the end.
struct sigaction g_previous[NSIG];
bool g_handled[NSIG];
// The crash handler's own stack, so that it runs even when the program's
// stack overflowed.
alignas(16) char g_altStack[64 * 1024];
stack_t g_previousAltStack;
bool g_altStackSet = false;
// Stopping (SIGTSTP) gives the terminal back first; continuing (SIGCONT)
// takes it again and has the main loop draw the whole screen.
volatile std::sig_atomic_t g_stopped = 0;
volatile std::sig_atomic_t g_resumed = 0;
// A new size (SIGWINCH), for the main loop to take.
volatile std::sig_atomic_t g_resized = 0;
// A pipe that a signal handler writes a byte to, so that a wait for input
// ends (the self-pipe): an end signal, a continue, or a new size.
int g_wake[2] = {-1, -1};
// The lines to show once the terminal is restored.
std::string g_reports;

void WriteAll(const char* p, size_t n)
{
    while (n > 0) {
        ssize_t w = write(STDOUT_FILENO, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        p += w;
        n -= size_t(w);
    }
}

// The tty settings the terminal had before the program took it.
void PutBackTermios()
{
    if (g_haveTermios)
        tcsetattr(STDIN_FILENO, TCSANOW, &g_termios);
}

// Gives the terminal back with async-signal-safe calls only: the prepared
// bytes and the saved tty settings.
void WriteRestore()
{
    WriteAll(g_restore, size_t(g_restoreLength));
    PutBackTermios();
}

// Puts the terminal back for good, from a signal that ends the process.
void RestoreFromSignal()
{
    if (!g_live)
        return;
    g_live = 0;
    WriteRestore();
}

void Wake()
{
    if (g_wake[1] >= 0) {
        char b = 0;
        ssize_t n = write(g_wake[1], &b, 1);
        (void)n;  // a full pipe has woken the wait already
    }
}

extern "C" void OnCrashSignal(int sig)
{
    RestoreFromSignal();
    CrashCopy::Write(STDERR_FILENO);
    // The handler was installed with SA_RESETHAND, so the signal, blocked
    // until the handler returns, then takes its default action.
    std::raise(sig);
}

extern "C" void OnEndSignal(int sig, siginfo_t* info, void*)
{
    int saved = errno;
    // A write of the program's own to a pipe without a reader, or past the
    // file size limit, raises the signal from the process itself: the write
    // fails with EPIPE or EFBIG and says so where it was made.
    bool ownWrite = (sig == SIGPIPE || sig == SIGXFSZ) && info && info->si_code == SI_USER && info->si_pid == getpid();
    if (!ownWrite) {
        SessionEnd::Request(sig);
        Wake();
    }
    errno = saved;
}

// Takes the terminal again after a stop: the program's tty settings and
// modes; the main loop draws the whole screen.
void ResumeFromSignal()
{
    g_stopped = 0;
    if (!g_live)
        return;
    if (g_haveProgramTermios)
        tcsetattr(STDIN_FILENO, TCSANOW, &g_programTermios);
    WriteAll(g_resume, size_t(g_resumeLength));
    g_resumed = 1;
    Wake();
}

extern "C" void OnStop(int)
{
    int saved = errno;
    if (g_live)
        WriteRestore();
    // Stops as the signal's default action does: the default restored for a
    // moment, the signal unblocked and sent again. The process stops in
    // kill and goes on from there when continued.
    g_stopped = 1;
    struct sigaction standard {
    }, ours;
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(SIGTSTP, &standard, &ours);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    kill(getpid(), SIGTSTP);
    sigaction(SIGTSTP, &ours, nullptr);
    // Continued: SIGCONT took the terminal again, unless the stop was
    // discarded (an orphaned process group is not stopped).
    if (g_stopped)
        ResumeFromSignal();
    errno = saved;
}

extern "C" void OnContinue(int)
{
    int saved = errno;
    // Also after a stop that no handler saw (SIGSTOP): a shell may have set
    // its own tty settings meanwhile.
    ResumeFromSignal();
    errno = saved;
}

extern "C" void OnWinch(int)
{
    int saved = errno;
    g_resized = 1;
    Wake();
    errno = saved;
}

// Gives the terminal back as it was found: curses's own end and the host's
// modes off (once it had a screen), the tty settings; then the lines kept
// for after.
void Restore()
{
    if (g_live) {
        g_live = 0;
        if (g_screen) {
            endwin();
            WriteAll(kModesOff, sizeof kModesOff - 1);
            g_screen = false;
        }
        PutBackTermios();
    }
    if (!g_reports.empty()) {
        std::fputs(g_reports.c_str(), stderr);
        std::fflush(stderr);
        g_reports.clear();
    }
}

// A program that exits without destroying the host still leaves the
// terminal as it found it.
extern "C" void OnExit() { Restore(); }

// Appends a terminfo string capability without its padding ("$<5>").
void AppendCapability(std::string& out, const char* name)
{
    const char* s = tigetstr(name);
    if (!s || s == reinterpret_cast<const char*>(-1))
        return;
    for (; *s; ++s) {
        if (s[0] == '$' && s[1] == '<') {
            const char* close = std::strchr(s, '>');
            if (close) {
                s = close;
                continue;
            }
        }
        out += *s;
    }
}

void Prepare(char* to, size_t room, volatile std::sig_atomic_t& length, const std::string& bytes)
{
    length = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    const size_t count = std::min(bytes.size(), room);
    std::memcpy(to, bytes.data(), count);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    length = std::sig_atomic_t(count);
}

void PrepareRestore()
{
    std::string bytes = kModesOff;
    bytes += "\033[0m";
    AppendCapability(bytes, "rmkx");
    AppendCapability(bytes, "cnorm");
    AppendCapability(bytes, "rmcup");
    Prepare(g_restore, sizeof g_restore, g_restoreLength, bytes);
    std::string again;
    AppendCapability(again, "smcup");
    AppendCapability(again, "smkx");
    again += kModesOn;
    Prepare(g_resume, sizeof g_resume, g_resumeLength, again);
}

// Handles sig, blocking the signals of mask meanwhile; the old way is kept.
void Handle(int sig, struct sigaction action, int flags, const sigset_t& mask)
{
    action.sa_mask = mask;
    action.sa_flags = flags;
    g_handled[sig] = sigaction(sig, &action, &g_previous[sig]) == 0;
}
void Handle(int sig, void (*handler)(int), int flags, const sigset_t& mask)
{
    struct sigaction action {};
    action.sa_handler = handler;
    Handle(sig, action, flags, mask);
}
void Handle(int sig, void (*handler)(int, siginfo_t*, void*), const sigset_t& mask)
{
    struct sigaction action {};
    action.sa_sigaction = handler;
    Handle(sig, action, SA_SIGINFO, mask);
}

// The end signals, the real-time ones among them.
sigset_t EndSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kEndSignals)
        sigaddset(&set, sig);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
        sigaddset(&set, sig);
    return set;
}

// The stop and the continue, which give the terminal back and take it again.
sigset_t StopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTSTP);
    sigaddset(&set, SIGCONT);
    return set;
}

void InstallSignalHandlers()
{
    stack_t stack{};
    stack.ss_sp = g_altStack;
    stack.ss_size = sizeof g_altStack;
    g_altStackSet = sigaltstack(&stack, &g_previousAltStack) == 0;
    // One crash at a time: another crash signal waits (and a fault inside
    // the handler ends the process at once); so does every other signal.
    const sigset_t ends = EndSignals();
    sigset_t crashes = ends;
    for (int sig : kCrashSignals)
        sigaddset(&crashes, sig);
    for (int sig : {SIGTSTP, SIGCONT, SIGWINCH})
        sigaddset(&crashes, sig);
    for (int sig : kCrashSignals)
        Handle(sig, OnCrashSignal, SA_RESETHAND | SA_ONSTACK, crashes);
    SessionEnd::Reset();
    for (int sig : kEndSignals)
        Handle(sig, OnEndSignal, ends);  // no SA_RESTART
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
        Handle(sig, OnEndSignal, ends);  // no SA_RESTART
    // A stop, a continue or a new size interrupts nothing.
    sigset_t none;
    sigemptyset(&none);
    Handle(SIGTSTP, OnStop, SA_RESTART, none);
    Handle(SIGCONT, OnContinue, SA_RESTART, none);
    Handle(SIGWINCH, OnWinch, SA_RESTART, none);
}

void RemoveSignalHandlers()
{
    for (int sig = 1; sig < NSIG; ++sig) {
        if (g_handled[sig])
            sigaction(sig, &g_previous[sig], nullptr);
        g_handled[sig] = false;
    }
    if (g_altStackSet) {
        sigaltstack(&g_previousAltStack, nullptr);
        g_altStackSet = false;
    }
}

// ===== end of signals =====

}  // namespace

namespace TerminalSignals {

bool InUse() { return g_live; }

void KeepProgramSettings() { g_haveProgramTermios = tcgetattr(STDIN_FILENO, &g_programTermios) == 0; }

void Start()
{
    g_haveTermios = tcgetattr(STDIN_FILENO, &g_termios) == 0;
    g_haveProgramTermios = false;
    g_restoreLength = 0;
    g_resumeLength = 0;
    if (g_wake[0] < 0 && pipe2(g_wake, O_NONBLOCK | O_CLOEXEC) != 0)
        g_wake[0] = g_wake[1] = -1;
    g_live = 1;
    InstallSignalHandlers();
    if (!g_atexitInstalled) {
        std::atexit(OnExit);
        g_atexitInstalled = true;
    }
}

void ScreenStarted()
{
    PrepareRestore();
    g_screen = true;
}

void ModesOn() { WriteAll(kModesOn, sizeof kModesOn - 1); }

void Stop()
{
    Restore();
    RemoveSignalHandlers();
    for (int& fd : g_wake) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

int WakeFd() { return g_wake[0]; }

bool TakeResized()
{
    if (!g_resized)
        return false;
    g_resized = 0;
    return true;
}

bool TakeResumed()
{
    if (!g_resumed)
        return false;
    g_resumed = 0;
    return true;
}

void ReportAtExit(std::string_view line)
{
    g_reports += SafeText(line);
    g_reports += '\n';
}

void WriteToTerminal(const char* bytes, std::size_t length) { WriteAll(bytes, length); }

StopsHeld::StopsHeld()
{
    const sigset_t stops = StopSignals();
    m_held = sigprocmask(SIG_BLOCK, &stops, &m_before) == 0;
}

StopsHeld::~StopsHeld()
{
    if (m_held)
        sigprocmask(SIG_SETMASK, &m_before, nullptr);
}

}  // namespace TerminalSignals
