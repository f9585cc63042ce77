// The host over a real terminal: what the terminal sends is read in blocks
// and comes in as input events (keys, the mouse, pasted text, by
// TerminalKeyMap); the canvas goes out through ncursesw as characters with
// colours and video attributes. The parts live in files by concern:
// TerminalInput.cpp, TerminalScreen.cpp, TerminalLook (colour schemes),
// TerminalClipboard (OSC 52) and TerminalSignals (signals and restoring
// the terminal); this class ties them together.
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

#include <deque>
#include <memory>
#include <vector>

#include "framework/host/TerminalLook.h"
#include "framework/screen/Host.h"
#include "framework/screen/RedrawThrottle.h"

struct screen;  // the curses screen
class TerminalKeyMap;

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
    void Present(const Canvas& canvas) override;
    bool InputPending() override;
    void Beep(UINT type) override;
    // Keeps the text (Paste takes it from here) and hands it to the
    // terminal's clipboard too, with OSC 52, so that it pastes into other
    // programs. The terminal's clipboard is never asked for.
    void SetClipboardText(const std::u16string& text) override;
    // Kept, and written on standard error once the terminal is restored.
    void ReportAtExit(const std::u16string& line) override;

    // How cells look: colour schemes and stand-ins (TerminalLook).
    using Caps = TerminalLook::Caps;
    using Look = TerminalLook::Look;

private:
    // Reads what the terminal has sent, without waiting, until an event is
    // queued or nothing more is there.
    void ReadAvailable();
    // Reads what the terminal has sent, up to a block, without waiting,
    // and feeds it to the key map; false when nothing was there.
    bool ReadBlock(std::vector<InputEvent>& out);
    // The terminal has a new size: curses is told, a Resize event made.
    void Resized(std::vector<InputEvent>& out);
    // Waits until the terminal sends something (or a signal comes), for at
    // most timeoutMs (-1: for as long as it takes); false when the time ran out.
    bool WaitForInput(int timeoutMs);
    // Queues the end of the session (the signal, 0 for a vanished
    // terminal) after what was read; input ends with it.
    void EndSession(int signal);
    void DrawLatest();
    // After the program was stopped and continued: the next draw is of the
    // whole screen.
    void TakeResume();
    bool Printable(char16_t ch);
    char16_t Glyph(char16_t ch);
    short PairOf(int fg, int bg);
    // Gives the key map the keys the terminal description names.
    void DefineKeys();

    screen* m_screen = nullptr;
    std::unique_ptr<TerminalKeyMap> m_keys;
    std::deque<InputEvent> m_queue;
    std::vector<unsigned char> m_readBuffer;
    bool m_ended = false;
    int m_errors = 0;

    bool m_utf8 = true;  // whether the terminal speaks UTF-8, by the locale
    bool m_osc52 = false;  // whether the terminal takes OSC 52
    Caps m_caps;
    bool m_defaultColours = false;
    std::vector<short> m_pairs;          // by (fg + 1) * 257 + (bg + 1); 0 not yet made
    short m_nextPair = 1;
    std::vector<signed char> m_printable;  // by code unit; -1 not yet known
    int m_cursor = -1;                   // the cursor's visibility as last set

    Canvas m_latest;      // the last canvas presented
    bool m_latestDrawn = true;
    Canvas m_shown;       // what the terminal shows
    bool m_shownValid = false;
    RedrawThrottle m_redraws;
};
