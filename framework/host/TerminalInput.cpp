// The terminal host's input: what the terminal sends, read and turned into
// input events by the key map; the end of the session; the waits.
#include "framework/host/TerminalHost.h"

#include <cerrno>
#include <cwchar>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

#include "framework/host/TerminalKeyMap.h"
#include "framework/host/TerminalSignals.h"
#include "framework/io/SessionEnd.h"

// Last, because of its macros (move, erase, timeout, ...).
#define NCURSES_WIDECHAR 1
#include <curses.h>

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
    int wake = TerminalSignals::WakeFd();
    struct pollfd p[2] = {{STDIN_FILENO, POLLIN, 0}, {wake, POLLIN, 0}};
    int n = poll(p, wake >= 0 ? 2 : 1, timeoutMs);
    if (n > 0 && p[1].revents) {
        char bytes[64];
        while (read(wake, bytes, sizeof bytes) > 0) {
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
