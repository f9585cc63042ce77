// The host over a real terminal. It owns the parts and answers the Host
// calls through them: TerminalInput reads what the terminal sends (keys,
// the mouse, pasted text, by TerminalKeyMap) and waits for it;
// TerminalScreen draws the canvas through ncursesw as characters with
// colours and video attributes (TerminalLook); TerminalClipboard hands text
// to the terminal's clipboard (OSC 52); TerminalSignals handles the signals
// and restores the terminal. This class sets the terminal up and gives it
// back.
//
// Only one TerminalHost exists at a time. The terminal is restored when it
// is destroyed, when the program exits without destroying it, and when a
// crash signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP)
// ends the program, after the unsaved text is written (CrashCopy). Every
// other signal that would end the program (SIGHUP, SIGTERM, SIGINT, SIGQUIT,
// SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
// SIGIO, SIGPWR, SIGSTKFLT, the real-time signals), or the terminal
// going away, ends the session instead: the host reports it as an
// EndSession event, after which input ends. A SIGPIPE or SIGXFSZ that the
// program's own write raised only makes that write fail. SIGTSTP gives the
// terminal back (mouse and paste modes off, the alternate screen left)
// before the program stops; SIGCONT takes it again and redraws the screen.
#pragma once

#include <memory>

#include "framework/screen/Host.h"

struct screen;  // the curses screen
class TerminalInput;
class TerminalScreen;

class TerminalHost : public Host {
public:
    // Takes over the terminal on standard input and output. Throws
    // std::runtime_error when there is no usable terminal.
    TerminalHost();
    ~TerminalHost() override;
    TerminalHost(const TerminalHost&) = delete;
    TerminalHost& operator=(const TerminalHost&) = delete;

    CSize ScreenCells() const override;
    bool WaitEvent(InputEvent& event) override;
    void SetWakeTime(std::optional<std::chrono::steady_clock::time_point> when) override;
    // Draws the canvas when input lets it (RedrawThrottle); nothing once
    // the session has ended, when the terminal may be gone.
    void Present(const Canvas& canvas) override;
    bool InputPending() override;
    void Beep(UINT type) override;
    // Keeps the text (Paste takes it from here) and hands it to the
    // terminal's clipboard too, with OSC 52, so that it pastes into other
    // programs. The terminal's clipboard is never asked for.
    void SetClipboardText(const std::u16string& text) override;
    // Kept, and written on standard error once the terminal is restored.
    void ReportAtExit(const std::u16string& line) override;

private:
    screen* m_curses = nullptr;
    std::unique_ptr<TerminalScreen> m_screen;
    std::unique_ptr<TerminalInput> m_input;
    bool m_osc52 = false;  // whether the terminal takes OSC 52
};
