// The terminal host set up and torn down: curses for output, raw mode, the
// signals, the screen and the input; and the Host calls, each answered by
// the part it belongs to.
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
#include "framework/host/TerminalInput.h"
#include "framework/host/TerminalScreen.h"
#include "framework/host/TerminalSignals.h"
#include "framework/screen/RedrawThrottle.h"

// Last, because of its macros (move, erase, timeout, ...).
#define NCURSES_WIDECHAR 1
#include <curses.h>

TerminalHost::TerminalHost()
{
    if (TerminalSignals::InUse())
        throw std::runtime_error("the terminal is already in use by another host");
    std::setlocale(LC_ALL, "");
    const bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
        throw std::runtime_error("standard input and output must be a terminal");
    // The handlers before curses changes anything (TerminalSignals.h).
    TerminalSignals::Start();
    const char* term = std::getenv("TERM");
    m_curses = newterm(nullptr, stdout, stdin);
    if (!m_curses) {
        TerminalSignals::Stop();
        throw std::runtime_error(std::string("cannot use the terminal type \"") + (term ? term : "") + "\"");
    }
    set_term(m_curses);
    // A terminal that cannot put the cursor where it is told (TERM=dumb, a
    // printing terminal) cannot show a screen. Nothing has been sent to it.
    const char* cup = tigetstr("cup");
    if (!cup || cup == reinterpret_cast<const char*>(-1) || !*cup) {
        delscreen(m_curses);
        m_curses = nullptr;
        TerminalSignals::Stop();
        throw std::runtime_error(std::string("the terminal type \"") + (term ? term : "")
                                 + "\" cannot move the cursor (no \"cup\" capability)");
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

    m_screen = std::make_unique<TerminalScreen>();
    // The clipboard through OSC 52 where the description says the terminal
    // takes it (Ms), and where it says nothing, except on the Linux console,
    // which would show the sequence as text.
    const char* ms = tigetstr("Ms");
    bool hasMs = ms && ms != reinterpret_cast<const char*>(-1) && *ms;
    m_osc52 = hasMs || !(term && std::strncmp(term, "linux", 5) == 0);
    // The host reads the terminal itself; curses only sets the keypad to
    // send what the description names.
    m_input = std::make_unique<TerminalInput>(utf8, *m_screen);

    refresh();
    std::fflush(stdout);
    TerminalSignals::ModesOn();
}

TerminalHost::~TerminalHost()
{
    TerminalSignals::Stop();
    if (m_curses)
        delscreen(m_curses);
}

CSize TerminalHost::ScreenCells() const { return m_screen->Cells(); }

bool TerminalHost::WaitEvent(InputEvent& event) { return m_input->WaitEvent(event); }

void TerminalHost::SetWakeTime(std::optional<std::chrono::steady_clock::time_point> when)
{
    m_input->SetWakeTime(when);
}

bool TerminalHost::InputPending() { return m_input->InputPending(); }

void TerminalHost::Present(const Canvas& canvas)
{
    if (m_input->Ended())
        return;
    const RedrawThrottle::Clock::time_point now = RedrawThrottle::Clock::now();
    const bool pending = m_input->InputPending();
    if (m_input->Ended())
        return;  // the session ended meanwhile
    m_screen->Present(canvas, now, pending, m_input->InPaste());
}

void TerminalHost::Beep(UINT)
{
    // The default sound and the warning both ring the bell.
    m_screen->Bell();
}

void TerminalHost::SetClipboardText(const std::u16string& text)
{
    Host::SetClipboardText(text);
    if (!m_osc52 || m_input->Ended())
        return;
    // Written between screen updates, it moves nothing on the screen.
    std::string sequence = TerminalClipboard::Osc52(text);
    std::fflush(stdout);
    TerminalSignals::WriteToTerminal(sequence.data(), sequence.size());
}

void TerminalHost::ReportAtExit(const std::u16string& line) { TerminalSignals::ReportAtExit(CString(line).ToBytes()); }
