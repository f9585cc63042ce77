// The terminal's state around the host: what restores it (at the end, at
// exit, on a crash, before a stop) and the signals that end the session,
// stop and continue the program, or change the terminal's size.
//
// The handlers only do async-signal-safe things; the host's main loop
// learns of them through the wake pipe and the Take functions.
#pragma once

#include <cstddef>
#include <string_view>

namespace TerminalSignals {

// Whether a host holds the terminal.
bool InUse();
// Keeps the terminal's settings as found, to give them back at the end.
void KeepOriginalSettings();
// Gives back the settings kept (a start that failed half way).
void PutBackOriginalSettings();
// Keeps the program's own settings, to take them again after a stop.
void KeepProgramSettings();
// The terminal is the host's from now on: the restore prepared, the wake
// pipe made, the handlers installed, the exit covered.
void Start();
// Turns on the mouse reports and bracketed paste.
void ModesOn();
// Gives the terminal back as it was found and removes the handlers.
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

}  // namespace TerminalSignals
