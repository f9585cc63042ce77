// The terminal host's input: the terminal's bytes, read in blocks without
// waiting and turned into input events by the key map; a new size (the
// screen is told, and a Resize event made); the end of the session (a
// signal, or a terminal that went away), after which input ends; and the
// waits. Before it waits for the terminal, with every event read so far
// taken, it has the screen draw the latest canvas: during a paste only when
// the paste pauses.
//
// Made once curses has read the terminal's description: the keys it names
// go to the key map.
#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

#include "framework/host/TerminalKeyMap.h"
#include "framework/screen/InputEvent.h"

class TerminalScreen;

class TerminalInput {
public:
    // Reads standard input; `utf8` when the terminal speaks UTF-8 (by the
    // locale), else a single-byte character set.
    TerminalInput(bool utf8, TerminalScreen& screen);

    // The next event, waiting as long as it takes; false once input has ended.
    bool WaitEvent(InputEvent& event);
    // Whether an event is waiting (reading what the terminal has sent).
    bool InputPending();
    // Whether the session has ended: nothing more is read.
    bool Ended() const { return m_ended; }
    // A wait for input that lasts until then ends with a Timer event.
    void SetWakeTime(std::optional<std::chrono::steady_clock::time_point> when) { m_wake = when; }
    // Whether the terminal is in the middle of a bracketed paste.
    bool InPaste() const { return m_keys.InPaste(); }

private:
    // Gives the key map the keys the terminal description names.
    void DefineKeys();
    // Reads what the terminal has sent, without waiting, until an event is
    // queued or nothing more is there.
    void ReadAvailable();
    // Reads what the terminal has sent, up to a block, without waiting,
    // and feeds it to the key map; false when nothing was there.
    bool ReadBlock(std::vector<InputEvent>& out);
    // The terminal has a new size: the screen learns it, a Resize event made.
    void Resized(std::vector<InputEvent>& out);
    // Waits until the terminal sends something (or a signal comes), for at
    // most timeoutMs (-1: for as long as it takes); false when the time ran out.
    bool WaitForInput(int timeoutMs);
    // Queues the end of the session (the signal, 0 for a vanished
    // terminal) after what was read; input ends with it.
    void EndSession(int signal);

    TerminalScreen& m_screen;
    TerminalKeyMap m_keys;
    std::deque<InputEvent> m_queue;
    std::vector<unsigned char> m_readBuffer;
    bool m_utf8;
    bool m_ended = false;
    int m_errors = 0;  // reads that failed in a row
    std::optional<std::chrono::steady_clock::time_point> m_wake;
};
