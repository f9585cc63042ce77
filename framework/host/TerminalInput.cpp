#include "framework/host/TerminalInput.h"

#include <cerrno>
#include <algorithm>
#include <cwchar>
#include <string>

#include <poll.h>
#include <unistd.h>

#include "framework/host/TerminalScreen.h"
#include "framework/host/TerminalSignals.h"
#include "framework/io/SessionEnd.h"

// Last, because of its macros (move, erase, timeout, ...).
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace {

// How long the rest of an escape sequence may take to come, how long a
// paste may pause before the screen shows how far it got, and before its
// end marker is taken as lost.
constexpr int kSequenceWaitMs = 25;
constexpr int kPasteShowMs = 100;
constexpr int kPastePauseMs = 500;
// What one read takes at most.
constexpr size_t kReadBlock = 64 * 1024;

// The key capabilities of terminal descriptions and the curses key codes
// they stand for; the function keys kf1..kf48 come on top.
struct KeyCapability {
    const char* name;
    int code;
};
constexpr KeyCapability kKeyCapabilities[] = {
    {"kcuu1", KEY_UP},   {"kcud1", KEY_DOWN}, {"kcub1", KEY_LEFT}, {"kcuf1", KEY_RIGHT}, {"khome", KEY_HOME},
    {"kend", KEY_END},   {"kpp", KEY_PPAGE},  {"knp", KEY_NPAGE},  {"kich1", KEY_IC},    {"kdch1", KEY_DC},
    {"kent", KEY_ENTER}, {"kcbt", KEY_BTAB},  {"kri", KEY_SR},     {"kind", KEY_SF},     {"ka1", KEY_A1},
    {"ka3", KEY_A3},     {"kb2", KEY_B2},     {"kc1", KEY_C1},     {"kc3", KEY_C3},      {"kbs", KEY_BACKSPACE},
};

// A key's sequence in the description: only escape sequences (a single
// byte such as DEL for Backspace is a character the key map knows).
const char* KeySequence(const char* name)
{
    const char* seq = tigetstr(name);
    if (!seq || seq == reinterpret_cast<const char*>(-1) || seq[0] != '\033' || !seq[1])
        return nullptr;
    return seq;
}

}  // namespace

TerminalInput::TerminalInput(bool utf8, TerminalScreen& screen) : m_screen(screen), m_utf8(utf8) { DefineKeys(); }

void TerminalInput::DefineKeys()
{
    for (const KeyCapability& key : kKeyCapabilities)
        if (const char* seq = KeySequence(key.name))
            m_keys.DefineSequence(seq, key.code);
    for (int n = 1; n <= 48; ++n)
        if (const char* seq = KeySequence(("kf" + std::to_string(n)).c_str()))
            m_keys.DefineSequence(seq, KEY_F(n));
    // xterm-like descriptions name Ctrl and Shift combinations of the
    // cursor keys (kLFT5 is Ctrl+Left): each gets a code of its own.
    int code = KEY_MAX + 0x100;
    for (const std::string& name : TerminalKeyMap::KnownKeyNames()) {
        const char* seq = KeySequence(name.c_str());
        if (seq && m_keys.DefineNamedKey(code, name))
            m_keys.DefineSequence(seq, code++);
    }
}

bool TerminalInput::WaitEvent(InputEvent& event)
{
    while (m_queue.empty()) {
        if (m_ended)
            return false;
        ReadAvailable();
        if (!m_queue.empty())
            break;
        // The terminal has sent nothing more for now. Whatever was read is
        // dispatched and, with nothing left to dispatch, the screen shows
        // the latest canvas before the wait; in a paste, once it pauses.
        if (m_keys.InPaste()) {
            // A paste that pauses goes on, unless its end marker got lost.
            if (WaitForInput(kPasteShowMs))
                continue;
            m_screen.DrawLatest();
            if (!WaitForInput(kPastePauseMs - kPasteShowMs)) {
                std::vector<InputEvent> out;
                m_keys.EndPaste(out);
                m_queue.insert(m_queue.end(), out.begin(), out.end());
            }
            continue;
        }
        m_screen.DrawLatest();
        if (m_keys.Pending()) {
            // The rest of an escape sequence comes at once or not at all.
            if (!WaitForInput(kSequenceWaitMs)) {
                std::vector<InputEvent> out;
                m_keys.Flush(out);
                m_queue.insert(m_queue.end(), out.begin(), out.end());
            }
        } else if (m_wake) {
            // Input, or the time the program has work of its own.
            using namespace std::chrono;
            const auto left = duration_cast<milliseconds>(*m_wake - steady_clock::now()).count() + 1;
            if (left > 1 && WaitForInput(int(std::min<long long>(left, 60'000))))
                continue;
            if (steady_clock::now() >= *m_wake) {
                m_wake.reset();
                InputEvent e;
                e.kind = InputEvent::Kind::Timer;
                m_queue.push_back(e);
            }
        } else {
            WaitForInput(-1);
        }
    }
    event = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

bool TerminalInput::InputPending()
{
    ReadAvailable();
    return !m_queue.empty();
}

void TerminalInput::EndSession(int signal)
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

void TerminalInput::ReadAvailable()
{
    // Bytes that make no event (a paste's end marker, a sequence cut short,
    // a mouse move without the button) are read on, so that "input is
    // waiting" means an event is, never a byte that will come to nothing.
    // A paste's text comes out once everything the terminal has sent so
    // far is read: in as few pieces as it arrives in.
    std::vector<InputEvent> out;
    while (m_queue.empty() && !m_ended) {
        if (int signal = SessionEnd::Take()) {
            EndSession(signal);
            break;
        }
        bool more = true;
        if (TerminalSignals::TakeResized())
            Resized(out);
        else if (!ReadBlock(out)) {
            m_keys.EndOfInput(out);
            more = false;
        }
        for (InputEvent& e : out)
            m_queue.push_back(std::move(e));
        out.clear();
        if (!more)
            break;
    }
}

void TerminalInput::Resized(std::vector<InputEvent>& out)
{
    // The screen learns the new size and is drawn anew.
    CSize cells = m_screen.Resize();
    m_keys.Flush(out);
    InputEvent e;
    e.kind = InputEvent::Kind::Resize;
    e.x = cells.cx;
    e.y = cells.cy;
    out.push_back(e);
}

bool TerminalInput::ReadBlock(std::vector<InputEvent>& out)
{
    // Without waiting: only when something is there.
    struct pollfd p {
        STDIN_FILENO, POLLIN, 0
    };
    int ready = poll(&p, 1, 0);
    if (ready <= 0) {
        if (ready < 0 && errno != EINTR && errno != EAGAIN)
            EndSession(0);
        return false;
    }
    if (!(p.revents & POLLIN)) {
        // A hang-up or an error, and nothing left to read.
        EndSession(0);
        return false;
    }
    m_readBuffer.resize(kReadBlock);
    ssize_t n = read(STDIN_FILENO, m_readBuffer.data(), m_readBuffer.size());
    if (n <= 0) {
        // The end of the terminal (it hung up), or a read that failed: an
        // interrupted one is harmless; the terminal is unusable when many
        // fail in a row.
        if (n == 0 || errno == EIO || (errno != EINTR && errno != EAGAIN && ++m_errors >= 100))
            EndSession(0);
        return false;
    }
    m_errors = 0;
    for (ssize_t i = 0; i < n; ++i) {
        unsigned char b = m_readBuffer[size_t(i)];
        if (m_utf8 || b < 0x80 || m_keys.TakesRawBytes()) {
            m_keys.Feed(TerminalKeyMap::Byte(b), out);
        } else {
            // A single-byte character set: the locale says which character.
            wint_t wc = btowc(b);
            if (wc != WEOF)
                m_keys.Feed(TerminalKeyMap::Char(char32_t(wc)), out);
        }
    }
    return true;
}

bool TerminalInput::WaitForInput(int timeoutMs)
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
