// The terminal's state around the host: what restores it (at the end, at
// exit, on a crash, before a stop) and the signals that end the session,
// stop and continue the program, or change the terminal's size.
//
// The handlers only do async-signal-safe things; the host's main loop
// learns of them through the wake pipe and the Take functions.
//
// The handlers come first, before curses touches the terminal: a crash at
// any moment after gives the terminal's settings back, and curses, finding
// the signals handled, installs no handlers of its own (it would otherwise
// ignore stops while it draws, and its handlers would outlive the host).
#pragma once

#include <csignal>
#include <cstddef>
#include <string_view>

namespace TerminalSignals {

// Whether a host holds the terminal.
bool InUse();
// The terminal is the host's from now on, before anything changes it: its
// settings kept as found, the wake pipe made, the handlers installed, the
// exit covered.
void Start();
// Curses has set up its screen: the bytes that undo it and the host's modes
// are prepared, for a crash or a stop, and curses ends it at the end.
void ScreenStarted();
// Keeps the program's own settings, to take them again after a stop.
void KeepProgramSettings();
// Turns on the mouse reports and bracketed paste.
void ModesOn();
// Gives the terminal back as it was found (also after a start that failed
// half way) and puts back the signals' handlers as they were found.
void Stop();
// The end of the wake pipe a wait for input watches, or -1.
int WakeFd();
// Whether the terminal's size changed since last asked.
bool TakeResized();
// Whether the program was continued after a stop since last asked.
bool TakeResumed();
// Kept, and written on standard error once the terminal is restored.
void ReportAtExit(std::string_view line);
// Writes bytes to the terminal, past curses.
void WriteToTerminal(const char* bytes, std::size_t length);

// While it lives, a stop or a continue waits: both write to the terminal,
// which would split what curses is sending. Served as it ends.
class StopsHeld {
public:
    StopsHeld();
    ~StopsHeld();
    StopsHeld(const StopsHeld&) = delete;
    StopsHeld& operator=(const StopsHeld&) = delete;

private:
    sigset_t m_before;
    bool m_held = false;
};

}  // namespace TerminalSignals
