// The terminal host set up and torn down: curses for output, raw mode,
// colours, the keys the description names, the signals; and the small
// services (size, bell, clipboard, lines for after the end).
#include "framework/host/TerminalHost.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include "framework/base/String.h"
#include "framework/host/TerminalClipboard.h"
#include "framework/host/TerminalKeyMap.h"
#include "framework/host/TerminalSignals.h"

// Last, because of its macros (move, erase, timeout, ...).
#define NCURSES_WIDECHAR 1
#include <curses.h>

TerminalHost::TerminalHost()
    : m_keys(std::make_unique<TerminalKeyMap>()), m_pairs(257 * 257, 0), m_printable(0x10000, -1)
{
    if (TerminalSignals::InUse())
        throw std::runtime_error("the terminal is already in use by another host");
    std::setlocale(LC_ALL, "");
    m_utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
        throw std::runtime_error("standard input and output must be a terminal");
    // The handlers before curses changes anything (TerminalSignals.h).
    TerminalSignals::Start();
    const char* term = std::getenv("TERM");
    m_screen = newterm(nullptr, stdout, stdin);
    if (!m_screen) {
        TerminalSignals::Stop();
        throw std::runtime_error(std::string("cannot use the terminal type \"") + (term ? term : "") + "\"");
    }
    set_term(m_screen);
    // A terminal that cannot put the cursor where it is told (TERM=dumb, a
    // printing terminal) cannot show a screen. Nothing has been sent to it.
    const char* cup = tigetstr("cup");
    if (!cup || cup == reinterpret_cast<const char*>(-1) || !*cup) {
        delscreen(m_screen);
        m_screen = nullptr;
        TerminalSignals::Stop();
        throw std::runtime_error(std::string("the terminal type \"") + (term ? term : "") +
                                 "\" cannot move the cursor (no \"cup\" capability)");
    }
    TerminalSignals::ScreenStarted();

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
    struct termios t;
    if (tcgetattr(STDIN_FILENO, &t) == 0) {
        t.c_iflag &= ~tcflag_t(IXON | IXOFF);
        tcsetattr(STDIN_FILENO, TCSANOW, &t);
        def_prog_mode();
    }
    TerminalSignals::KeepProgramSettings();

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
    // The host reads the terminal itself; curses only sets the keypad to
    // send what the description names.
    DefineKeys();
    m_caps.unicode = Printable(TerminalLook::kUpperHalf);

    refresh();
    std::fflush(stdout);
    TerminalSignals::ModesOn();
}

TerminalHost::~TerminalHost()
{
    TerminalSignals::Stop();
    if (m_screen)
        delscreen(m_screen);
}
void TerminalHost::SetClipboardText(const std::u16string& text)
{
    Host::SetClipboardText(text);
    if (!m_osc52 || m_ended)
        return;
    // Written between screen updates, it moves nothing on the screen.
    std::string sequence = TerminalClipboard::Osc52(text);
    std::fflush(stdout);
    TerminalSignals::WriteToTerminal(sequence.data(), sequence.size());
}

void TerminalHost::ReportAtExit(const std::u16string& line)
{
    TerminalSignals::ReportAtExit(CString(line).ToBytes());
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

