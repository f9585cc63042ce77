#include "framework/host/TerminalHost.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "framework/base/String.h"
#include "framework/base/Utf16.h"
#include "framework/base/WinUser.h"
#include "framework/host/CanvasDiff.h"
#include "framework/host/TerminalKeyMap.h"
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
// Prepared while the host starts: the bytes that undo the host's terminal
// modes (and leave the alternate screen), those that set them again after a
// stop, the original tty settings and the program's own.
char g_restore[512];
size_t g_restoreLength = 0;
char g_resume[512];
size_t g_resumeLength = 0;
struct termios g_termios;
bool g_haveTermios = false;
struct termios g_programTermios;
bool g_haveProgramTermios = false;
bool g_atexitInstalled = false;

// Signals that would end the program end the session instead: the handler
// only notes them (SessionEnd) and wakes the main loop, which then ends the
// session in order, unsaved text first. Repeats only wake it again (a
// hang-up often comes twice: from the terminal's end and from whoever
// closed it). No SA_RESTART: a blocked call returns, so that the loop gets
// the request. The real-time signals, whose default also ends the program,
// join these when the handlers are installed.
constexpr int kEndSignals[] = {SIGHUP,  SIGTERM,   SIGINT,  SIGQUIT, SIGUSR1, SIGUSR2,  SIGPIPE,
                               SIGALRM, SIGXCPU,   SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO, SIGPWR,
                               SIGSTKFLT};
// Crash signals: the terminal is restored and the unsaved text written
// (CrashCopy); then the signal takes its default action (a core dump).
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
// A pipe that a signal handler writes a byte to, so that a wait for input
// ends (the self-pipe): an end signal, a continue, or a new size.
int g_wake[2] = {-1, -1};
// curses's own handler of SIGWINCH, which notes the new size; ours calls it
// and wakes the wait.
struct sigaction g_cursesWinch;
bool g_winchChained = false;
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

// Puts the terminal back with async-signal-safe calls only: the prepared
// bytes and the saved tty settings.
void RestoreFromSignal()
{
    if (!g_live)
        return;
    g_live = 0;
    WriteAll(g_restore, g_restoreLength);
    if (g_haveTermios)
        tcsetattr(STDIN_FILENO, TCSANOW, &g_termios);
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
    WriteAll(g_resume, g_resumeLength);
    g_resumed = 1;
    Wake();
}

extern "C" void OnStop(int)
{
    int saved = errno;
    if (g_live) {
        WriteAll(g_restore, g_restoreLength);
        if (g_haveTermios)
            tcsetattr(STDIN_FILENO, TCSANOW, &g_termios);
    }
    // Stops as the signal's default action does: the default restored for a
    // moment, the signal unblocked and sent again. The process stops in
    // kill and goes on from there when continued.
    g_stopped = 1;
    struct sigaction standard {}, ours;
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

extern "C" void OnWinch(int sig, siginfo_t* info, void* context)
{
    int saved = errno;
    if (g_cursesWinch.sa_flags & SA_SIGINFO) {
        if (g_cursesWinch.sa_sigaction)
            g_cursesWinch.sa_sigaction(sig, info, context);
    } else if (g_cursesWinch.sa_handler != SIG_DFL && g_cursesWinch.sa_handler != SIG_IGN) {
        g_cursesWinch.sa_handler(sig);
    }
    Wake();
    errno = saved;
}

// Gives the terminal back as it was found: curses's own end, the host's
// modes off, the tty settings; then the lines kept for after.
void Restore()
{
    if (g_live) {
        g_live = 0;
        endwin();
        WriteAll(kModesOff, sizeof kModesOff - 1);
        if (g_haveTermios)
            tcsetattr(STDIN_FILENO, TCSANOW, &g_termios);
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

void Prepare(char* to, size_t room, size_t& length, const std::string& bytes)
{
    length = std::min(bytes.size(), room);
    std::memcpy(to, bytes.data(), length);
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

void InstallSignalHandlers()
{
    stack_t stack {};
    stack.ss_sp = g_altStack;
    stack.ss_size = sizeof g_altStack;
    g_altStackSet = sigaltstack(&stack, &g_previousAltStack) == 0;
    // One crash at a time: another crash signal waits (and a fault inside
    // the handler ends the process at once).
    sigset_t crashes;
    sigemptyset(&crashes);
    for (int sig : kCrashSignals)
        sigaddset(&crashes, sig);
    for (int sig : kCrashSignals)
        Handle(sig, OnCrashSignal, SA_RESETHAND | SA_ONSTACK, crashes);
    SessionEnd::Reset();
    sigset_t none;
    sigemptyset(&none);
    for (int sig : kEndSignals)
        Handle(sig, OnEndSignal, none);  // no SA_RESTART
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
        Handle(sig, OnEndSignal, none);  // no SA_RESTART
    // A stop or continue interrupts nothing.
    Handle(SIGTSTP, OnStop, SA_RESTART, none);
    Handle(SIGCONT, OnContinue, SA_RESTART, none);
    if (sigaction(SIGWINCH, nullptr, &g_cursesWinch) == 0) {
        struct sigaction action {};
        action.sa_sigaction = OnWinch;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_SIGINFO | (g_cursesWinch.sa_flags & SA_RESTART);
        g_winchChained = sigaction(SIGWINCH, &action, nullptr) == 0;
    }
}

void RemoveSignalHandlers()
{
    for (int sig = 1; sig < NSIG; ++sig) {
        if (g_handled[sig])
            sigaction(sig, &g_previous[sig], nullptr);
        g_handled[sig] = false;
    }
    if (g_winchChained) {
        sigaction(SIGWINCH, &g_cursesWinch, nullptr);
        g_winchChained = false;
    }
    if (g_altStackSet) {
        sigaltstack(&g_previousAltStack, nullptr);
        g_altStackSet = false;
    }
}

// ===== end of signals =====

// --- looks ---

constexpr int kWhite = 7;
constexpr int kBlack = 0;

// The scheme: the colours of each role of text at each depth. Every role
// that has colours sets both, text and background, so that its contrast
// does not depend on the terminal's own default colours (which may be
// light or dark); text on the default background gets attributes only.
// The pairs keep a contrast ratio of at least 3:1 (most of them 4.5:1 and
// more) in the usual palettes (xterm, VGA and the Linux console, Tango,
// PuTTY, Windows Terminal, macOS Terminal). At 256 colours they come from
// the colour cube and the grey ramp, which terminals do not redefine, so
// the ratios hold exactly: bars 13.6, disabled bar text 4.6, captions 6.4,
// the focus 15, fields 12.7, greyed fields and captions 5.2.
struct Role {
    int fg;
    int bg;
    unsigned video;
};
struct Scheme {
    Role bar;              // menu bar, toolbar (its buttons too), scroll bars
    Role barDisabled;
    Role caption;          // the caption of a popup window
    Role captionInactive;  // ... beneath a modal window
    Role button;
    Role buttonFocus;
    Role buttonDisabled;
    Role field;            // edit fields, lists, combo boxes
    Role fieldDisabled;
    Role focus;            // a focused check box or other control
};
constexpr unsigned kBold = TerminalHost::VIDEO_BOLD;
constexpr unsigned kDim = TerminalHost::VIDEO_DIM;
// Eight colours: no grey, so disabled things are dim.
constexpr Scheme kScheme8{
    {0, 7, 0}, {0, 7, kDim}, {7, 4, kBold}, {0, 7, 0}, {0, 7, 0},
    {0, 3, 0}, {0, 7, kDim}, {0, 6, 0},     {0, 7, kDim}, {0, 3, 0},
};
constexpr Scheme kScheme16{
    {0, 7, 0},  {8, 7, 0}, {15, 4, kBold}, {15, 8, 0}, {0, 7, 0},
    {0, 11, 0}, {8, 7, 0}, {0, 6, 0},      {15, 8, 0}, {0, 11, 0},
};
// 16 #000000, 25 #005faf, 116 #87d7d7, 220 #ffd700, 231 #ffffff,
// 240 #585858, 242 #6c6c6c, 252 #d0d0d0.
constexpr Scheme kScheme256{
    {16, 252, 0},  {240, 252, 0}, {231, 25, kBold}, {231, 242, 0}, {16, 252, 0},
    {16, 220, 0},  {240, 252, 0}, {16, 116, 0},     {231, 242, 0}, {16, 220, 0},
};

constexpr char16_t kUpperHalf = u'\u2580';
constexpr char16_t kLowerHalf = u'\u2584';

// Whether an icon palette colour counts as lit when there are no colours.
// The icon palette is the classic 16-colour one, whose order matches the
// terminal's ANSI colour numbers (black, maroon, green, olive, navy, ...).
bool IsLight(int index)
{
    static constexpr bool kLight[16] = {false, false, false, true, false, false, false, true,
                                        true,  false, true,  true, false, true,  true,  true};
    return index >= 0 && index < 16 && kLight[index];
}

}  // namespace

// --- the look of a cell ---

TerminalHost::Look TerminalHost::LookOf(const Cell& cell, const Caps& caps)
{
    Look look;
    look.ch = cell.ch;
    const std::uint16_t a = cell.attr;
    const bool caption = a & ATTR_CAPTION;
    const bool bar = a & ATTR_BAR;
    const bool button = a & ATTR_BUTTON;
    const bool field = a & ATTR_FIELD;
    const bool focus = a & ATTR_FOCUS;
    // Windows beneath a modal one look like disabled controls.
    const bool disabled = a & (ATTR_DISABLED | ATTR_INACTIVE);
    const bool pixels = cell.fg >= 0 || cell.bg >= 0;

    if (caps.colours < 8) {
        // Monochrome: bars and captions in reverse video, fields underlined,
        // the focus bold, disabled things dim.
        if (caption)
            look.video = VIDEO_REVERSE | VIDEO_BOLD;
        else if (bar)
            look.video = VIDEO_REVERSE;
        else if (button && focus)
            look.video = VIDEO_REVERSE;
        else if (field)
            look.video = VIDEO_UNDERLINE | (focus ? unsigned(VIDEO_BOLD) : 0u);
        else if (focus)
            look.video = VIDEO_BOLD;
        if (disabled)
            look.video |= VIDEO_DIM;
        if (pixels && cell.ch == kUpperHalf) {
            // Pixel art: lit halves as blocks, both halves as a reversed cell.
            bool top = IsLight(cell.fg);
            bool bottom = IsLight(cell.bg);
            look.ch = u' ';
            if (top && bottom)
                look.video ^= VIDEO_REVERSE;
            else if (top || bottom) {
                if (caps.unicode)
                    look.ch = top ? kUpperHalf : kLowerHalf;
                else
                    look.video ^= VIDEO_REVERSE;
            }
        }
    } else {
        const Scheme& scheme = caps.colours >= 256 ? kScheme256 : caps.colours >= 16 ? kScheme16 : kScheme8;
        Role role{-1, -1, 0};
        if (caption)
            role = disabled ? scheme.captionInactive : scheme.caption;
        else if (bar)
            role = disabled ? scheme.barDisabled : scheme.bar;
        else if (button)
            role = disabled ? scheme.buttonDisabled : focus ? scheme.buttonFocus : scheme.button;
        else if (field)
            role = disabled ? scheme.fieldDisabled : scheme.field;
        else if (disabled)
            role = {-1, -1, VIDEO_DIM};
        else if (focus)
            role = scheme.focus;
        int fg = role.fg;
        int bg = role.bg;
        look.video = role.video;
        if (pixels) {
            if (cell.ch == kUpperHalf) {
                // Two pixels a cell: the upper one as the foreground of an
                // upper half block, the lower one as its background (palette
                // indices are terminal colour numbers, see IsLight). A
                // transparent half shows the background around it.
                if (cell.fg >= 0 && cell.bg >= 0) {
                    fg = cell.fg;
                    bg = cell.bg;
                } else if (cell.fg >= 0) {
                    fg = cell.fg;
                } else {
                    look.ch = kLowerHalf;
                    fg = cell.bg;
                }
                if (!caps.unicode) {
                    bg = cell.fg >= 0 ? cell.fg : cell.bg;
                    look.ch = u' ';
                }
            } else {
                if (cell.fg >= 0)
                    fg = cell.fg;
                if (cell.bg >= 0)
                    bg = cell.bg;
            }
        }
        if (caps.colours < 16) {
            // Eight colours: bright pixels' foregrounds become bold, bright
            // backgrounds their dark twins.
            if (fg >= 8) {
                fg -= 8;
                look.video |= VIDEO_BOLD;
            }
            if (bg >= 8)
                bg -= 8;
        }
        look.fg = fg;
        look.bg = bg;
    }
    if (a & ATTR_REVERSE)
        look.video ^= VIDEO_REVERSE;
    if (a & ATTR_BOLD)
        look.video |= VIDEO_BOLD;
    return look;
}

char16_t TerminalHost::StandIn(char16_t ch)
{
    if (ch >= 0x2500 && ch <= 0x257F) {
        // Box drawing: horizontal lines, vertical lines, everything else a
        // corner or junction.
        switch (ch) {
        case 0x2500: case 0x2501: case 0x2504: case 0x2505: case 0x2508: case 0x2509:
        case 0x254C: case 0x254D: case 0x2550:
            return u'-';
        case 0x2502: case 0x2503: case 0x2506: case 0x2507: case 0x250A: case 0x250B:
        case 0x254E: case 0x254F: case 0x2551:
            return u'|';
        default:
            return u'+';
        }
    }
    switch (ch) {
    case 0x00A0: return u' ';
    case 0x00B7: case 0x2022: return u'*';
    case 0x2013: case 0x2014: return u'-';
    case 0x2018: case 0x2019: return u'\'';
    case 0x201C: case 0x201D: return u'"';
    case 0x2026: return u'.';
    case 0x2580: return u'"';
    case 0x2584: return u'_';
    case 0x2588: case 0x2593: return u'#';
    case 0x2591: return u':';
    case 0x2592: return u'%';
    case 0x25B2: return u'^';
    case 0x25BC: return u'v';
    case 0x25B6: case 0x25BA: return u'>';
    case 0x25C0: case 0x25C4: return u'<';
    case 0x2713: case 0x2714: return u'x';
    default: return 0;
    }
}

// --- setting up and tearing down ---

TerminalHost::TerminalHost()
    : m_keys(std::make_unique<TerminalKeyMap>()), m_pairs(257 * 257, 0), m_printable(0x10000, -1)
{
    if (g_live)
        throw std::runtime_error("the terminal is already in use by another host");
    std::setlocale(LC_ALL, "");
    m_utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    g_haveTermios = tcgetattr(STDIN_FILENO, &g_termios) == 0;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
        throw std::runtime_error("standard input and output must be a terminal");
    const char* term = std::getenv("TERM");
    m_screen = newterm(nullptr, stdout, stdin);
    if (!m_screen) {
        throw std::runtime_error(std::string("cannot use the terminal type \"") + (term ? term : "") + "\"");
    }
    set_term(m_screen);
    // A terminal that cannot put the cursor where it is told (TERM=dumb, a
    // printing terminal) cannot show a screen. Nothing has been sent to it.
    const char* cup = tigetstr("cup");
    if (!cup || cup == reinterpret_cast<const char*>(-1) || !*cup) {
        delscreen(m_screen);
        m_screen = nullptr;
        if (g_haveTermios)
            tcsetattr(STDIN_FILENO, TCSANOW, &g_termios);
        throw std::runtime_error(std::string("the terminal type \"") + (term ? term : "") +
                                 "\" cannot move the cursor (no \"cup\" capability)");
    }

    // Raw mode so that Ctrl+C, Ctrl+S, Ctrl+Q and Ctrl+Z are keys, without
    // flow control, so Ctrl+S and Ctrl+Q reach the program.
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    meta(stdscr, TRUE);
    intrflush(stdscr, FALSE);
    // The host defers drawing itself while input is waiting; curses must
    // not stop half way through an update for the same reason.
    typeahead(-1);
    set_escdelay(25);
    struct termios t;
    if (tcgetattr(STDIN_FILENO, &t) == 0) {
        t.c_iflag &= ~tcflag_t(IXON | IXOFF);
        tcsetattr(STDIN_FILENO, TCSANOW, &t);
        def_prog_mode();
    }
    g_haveProgramTermios = tcgetattr(STDIN_FILENO, &g_programTermios) == 0;

    // NO_COLOR (set and not empty) asks for no colours: attributes only.
    const char* noColour = std::getenv("NO_COLOR");
    if (!(noColour && *noColour) && has_colors() && start_color() == OK) {
        m_defaultColours = use_default_colors() == OK;
        m_caps.colours = COLORS;
    }
    // The clipboard through OSC 52 where the description says the terminal
    // takes it (Ms), and where it says nothing, except on the Linux console,
    // which would show the sequence as text.
    const char* ms = tigetstr("Ms");
    bool hasMs = ms && ms != reinterpret_cast<const char*>(-1) && *ms;
    m_osc52 = hasMs || !(term && std::strncmp(term, "linux", 5) == 0);
    // Mouse reports reach the key map as they are: curses would take the
    // reports its terminal description names for a key of its own, and
    // only those.
    keyok(KEY_MOUSE, FALSE);
    DefineNamedKeys();
    m_caps.unicode = Printable(kUpperHalf);

    PrepareRestore();
    if (g_wake[0] < 0 && pipe2(g_wake, O_NONBLOCK | O_CLOEXEC) != 0)
        g_wake[0] = g_wake[1] = -1;
    g_live = 1;
    InstallSignalHandlers();
    if (!g_atexitInstalled) {
        std::atexit(OnExit);
        g_atexitInstalled = true;
    }
    refresh();
    std::fflush(stdout);
    WriteAll(kModesOn, sizeof kModesOn - 1);
}

TerminalHost::~TerminalHost()
{
    Restore();
    RemoveSignalHandlers();
    for (int& fd : g_wake) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
    if (m_screen)
        delscreen(m_screen);
}

namespace {
std::string Base64(std::string_view bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = unsigned(static_cast<unsigned char>(bytes[i])) << 16 |
                     unsigned(static_cast<unsigned char>(bytes[i + 1])) << 8 | static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = unsigned(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            v |= unsigned(static_cast<unsigned char>(bytes[i + 1])) << 8;
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}
}  // namespace

void TerminalHost::SetClipboardText(const std::u16string& text)
{
    Host::SetClipboardText(text);
    if (!m_osc52 || m_ended)
        return;
    // OSC 52 for the clipboard ("c"), the text as UTF-8 in base64; written
    // between screen updates, it moves nothing on the screen.
    std::string sequence = "\033]52;c;" + Base64(CString(text).ToUtf8()) + "\a";
    std::fflush(stdout);
    WriteAll(sequence.data(), sequence.size());
}

void TerminalHost::ReportAtExit(const std::u16string& line)
{
    g_reports += CString(line).ToUtf8();
    g_reports += '\n';
}

void TerminalHost::DefineNamedKeys()
{
    // xterm-like descriptions name Ctrl and Shift combinations of the
    // cursor keys (kLFT5 is Ctrl+Left); curses gives them codes at run time.
    int spare = KEY_MAX + 0x100;
    for (const std::string& name : TerminalKeyMap::KnownKeyNames()) {
        const char* seq = tigetstr(name.c_str());
        if (!seq || seq == reinterpret_cast<const char*>(-1) || !*seq)
            continue;
        int code = key_defined(seq);
        if (code == 0) {
            // Described but not bound: bind it to a code of our own.
            while (keyname(spare))
                ++spare;
            if (define_key(seq, spare) != OK)
                continue;
            code = spare++;
        }
        if (code > 0)
            m_keys->DefineNamedKey(code, name);
    }
}

CSize TerminalHost::ScreenCells() const
{
    int rows = 0;
    int cols = 0;
    getmaxyx(stdscr, rows, cols);
    return {cols, rows};
}

void TerminalHost::Beep(UINT)
{
    // The default sound and the warning both ring the bell.
    beep();
}

// --- input ---

namespace {
// How long the rest of an escape sequence may take to come, and how long a
// paste may pause before its end marker is taken as lost.
constexpr int kSequenceWaitMs = 25;
constexpr int kPastePauseMs = 500;
}  // namespace

bool TerminalHost::WaitEvent(InputEvent& event)
{
    while (m_queue.empty()) {
        if (m_ended)
            return false;
        ReadAvailable();
        if (!m_queue.empty())
            break;
        // The terminal has sent nothing more for now. Whatever was read is
        // dispatched and, with nothing left to dispatch, the screen shows
        // the latest canvas before the wait.
        TakeResume();
        DrawLatest();
        if (m_keys->InPaste()) {
            // A paste that pauses goes on, unless its end marker got lost.
            if (!WaitForInput(kPastePauseMs))
                m_keys->EndPaste();
        } else if (m_keys->Pending()) {
            // The rest of an escape sequence comes at once or not at all.
            if (!WaitForInput(kSequenceWaitMs)) {
                std::vector<InputEvent> out;
                m_keys->Flush(out);
                m_queue.insert(m_queue.end(), out.begin(), out.end());
            }
        } else {
            WaitForInput(-1);
        }
    }
    event = m_queue.front();
    m_queue.pop_front();
    return true;
}

bool TerminalHost::InputPending()
{
    ReadAvailable();
    return !m_queue.empty();
}

void TerminalHost::EndSession(int signal)
{
    // Reported once, after what was read before; nothing is read after it.
    if (m_ended)
        return;
    m_ended = true;
    InputEvent e;
    e.kind = InputEvent::Kind::EndSession;
    e.x = signal;
    m_queue.push_back(e);
}

void TerminalHost::ReadAvailable()
{
    // Bytes that make no event (a paste's end marker, a sequence cut short,
    // a mouse move without the button) are read on, so that "input is
    // waiting" means an event is, never a byte that will come to nothing.
    std::vector<InputEvent> out;
    while (m_queue.empty() && !m_ended) {
        if (int signal = SessionEnd::Take()) {
            EndSession(signal);
            break;
        }
        if (!ReadOne(out))
            break;
        m_queue.insert(m_queue.end(), out.begin(), out.end());
        out.clear();
    }
}

bool TerminalHost::ReadOne(std::vector<InputEvent>& out)
{
    // Without waiting: curses hands out what it holds already (the rest of
    // a sequence it looked ahead into), then what the terminal has sent.
    wtimeout(stdscr, 0);
    // Bytes, not wide characters: curses would swallow the keys after a
    // malformed UTF-8 sequence, so the key map decodes UTF-8 itself.
    errno = 0;
    int r = wgetch(stdscr);
    if (r == ERR) {
        if (TerminalGone())
            EndSession(0);
        return false;
    }
    m_errors = 0;
    if (r == KEY_RESIZE) {
        m_keys->Flush(out);
        CSize size = ScreenCells();
        InputEvent e;
        e.kind = InputEvent::Kind::Resize;
        e.x = size.cx;
        e.y = size.cy;
        out.push_back(e);
        m_shownValid = false;
        return true;
    }
    if (r > 0xFF) {
        m_keys->Feed(TerminalKeyMap::Key(r), out);
    } else if (m_utf8 || r < 0x80 || m_keys->TakesRawBytes()) {
        m_keys->Feed(TerminalKeyMap::Byte(static_cast<unsigned char>(r)), out);
    } else {
        // A single-byte character set: the locale says which character.
        wint_t wc = btowc(r);
        if (wc != WEOF)
            m_keys->Feed(TerminalKeyMap::Char(char32_t(wc)), out);
    }
    return true;
}

bool TerminalHost::WaitForInput(int timeoutMs)
{
    struct pollfd p[2] = {{STDIN_FILENO, POLLIN, 0}, {g_wake[0], POLLIN, 0}};
    int n = poll(p, g_wake[0] >= 0 ? 2 : 1, timeoutMs);
    if (n > 0 && p[1].revents) {
        char bytes[64];
        while (read(g_wake[0], bytes, sizeof bytes) > 0) {
        }
    }
    // A signal ends the wait early, as input would: the caller looks again.
    return n != 0;
}

bool TerminalHost::TerminalGone()
{
    // Nothing came. With a hang-up or an error on the terminal that is the
    // end of it.
    struct pollfd p {STDIN_FILENO, POLLIN, 0};
    int n = poll(&p, 1, 0);
    if (n < 0)
        return errno != EINTR;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
        return true;
    if (!(p.revents & POLLIN))
        return false;  // nothing was there: the usual case
    // Input waiting but failing reads: a signal interrupted one (harmless),
    // or the terminal is unusable, when many fail in a row.
    if (errno == EINTR)
        return false;
    return ++m_errors >= 100;
}

// --- output ---

void TerminalHost::Present(const Canvas& canvas)
{
    // Once the session has ended nothing is drawn: the terminal may be gone.
    if (m_ended)
        return;
    TakeResume();
    m_latest = canvas;
    m_latestDrawn = false;
    // While events are queued (a paste, fast typing) the screen would be
    // outdated at once; it is drawn when input pauses, and at least a few
    // times a second.
    auto now = std::chrono::steady_clock::now();
    if (InputPending() && now - m_lastDraw < std::chrono::milliseconds(100))
        return;
    if (m_ended)
        return;  // the session ended meanwhile
    DrawLatest();
}

void TerminalHost::TakeResume()
{
    // After a stop the terminal shows something else: everything is drawn
    // anew. The stop showed the cursor, which curses is told first, so that
    // hiding it again is not taken for nothing to do.
    if (!g_resumed)
        return;
    g_resumed = 0;
    if (m_latestDrawn) {
        m_latest = m_shown;
        m_latestDrawn = false;
    }
    m_shownValid = false;
    curs_set(1);
    m_cursor = -1;
}

bool TerminalHost::Printable(char16_t ch)
{
    signed char& known = m_printable[ch];
    if (known < 0) {
        bool ok = ch >= 0x20 && !Utf16::IsSurrogate(ch);
        if (ok) {
            // Representable in the locale's character set, one column wide.
            char bytes[MB_LEN_MAX];
            std::mbstate_t state{};
            ok = std::wcrtomb(bytes, wchar_t(ch), &state) != size_t(-1) && wcwidth(wchar_t(ch)) == 1;
        }
        known = ok ? 1 : 0;
    }
    return known;
}

char16_t TerminalHost::Glyph(char16_t ch)
{
    if (Printable(ch))
        return ch;
    if (char16_t s = StandIn(ch))
        return s;
    return Printable(u'\uFFFD') ? u'\uFFFD' : u'?';
}

short TerminalHost::PairOf(int fg, int bg)
{
    if (m_caps.colours == 0)
        return 0;
    if (!m_defaultColours) {
        if (fg < 0)
            fg = kWhite;
        if (bg < 0)
            bg = kBlack;
    }
    if (fg < 0 && bg < 0)
        return 0;
    short& pair = m_pairs[size_t((fg + 1) * 257 + (bg + 1))];
    if (pair == 0) {
        // Pairs are made as needed; when the terminal has no more, the
        // default colours stand in.
        if (m_nextPair >= COLOR_PAIRS || fg >= COLORS || bg >= COLORS)
            return 0;
        if (init_pair(m_nextPair, short(fg), short(bg)) != OK)
            return 0;
        pair = m_nextPair++;
    }
    return pair;
}

void TerminalHost::DrawLatest()
{
    if (m_latestDrawn)
        return;
    const Canvas& canvas = m_latest;
    if (!m_shownValid) {
        // After a resize (or at the start) nothing on the screen is known:
        // the terminal is cleared and everything drawn anew.
        clearok(curscr, TRUE);
        m_shown.Resize(0, 0);
    }
    if (m_shown.Cols() != canvas.Cols() || m_shown.Rows() != canvas.Rows()) {
        // A canvas of another size leaves nothing of the old one behind.
        werase(stdscr);
        m_shown.Resize(0, 0);
    }
    CSize screen = ScreenCells();
    std::vector<cchar_t> line;
    for (const CellRun& run : DiffCanvas(m_shown, canvas)) {
        if (run.y >= screen.cy || run.x >= screen.cx)
            continue;
        int count = std::min(run.count, screen.cx - run.x);
        line.assign(size_t(count), cchar_t{});
        for (int i = 0; i < count; ++i) {
            Look look = LookOf(canvas.At(run.x + i, run.y), m_caps);
            attr_t attrs = A_NORMAL;
            if (look.video & VIDEO_BOLD)
                attrs |= A_BOLD;
            if (look.video & VIDEO_DIM)
                attrs |= A_DIM;
            if (look.video & VIDEO_REVERSE)
                attrs |= A_REVERSE;
            if (look.video & VIDEO_UNDERLINE)
                attrs |= A_UNDERLINE;
            wchar_t text[2] = {wchar_t(Glyph(look.ch)), 0};
            setcchar(&line[size_t(i)], text, attrs, PairOf(look.fg, look.bg), nullptr);
        }
        mvwadd_wchnstr(stdscr, run.y, run.x, line.data(), count);
    }
    bool caret = canvas.m_caretVisible && canvas.Contains(canvas.m_caret.x, canvas.m_caret.y) &&
                 canvas.m_caret.x < screen.cx && canvas.m_caret.y < screen.cy;
    if (caret)
        wmove(stdscr, canvas.m_caret.y, canvas.m_caret.x);
    if (int(caret) != m_cursor) {
        curs_set(caret ? 1 : 0);
        m_cursor = caret;
    }
    leaveok(stdscr, caret ? FALSE : TRUE);
    wnoutrefresh(stdscr);
    doupdate();
    std::swap(m_shown, m_latest);
    m_shownValid = true;
    m_latestDrawn = true;
    m_lastDraw = std::chrono::steady_clock::now();
}
