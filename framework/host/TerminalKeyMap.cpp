#include "framework/host/TerminalKeyMap.h"

#include <array>
#include <charconv>

#include "framework/base/Utf16.h"
#include "framework/base/WinUser.h"

// Only the key-code constants are used here; the curses header comes last
// because its macros (move, erase, timeout, ...) would clash with others.
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace {

// Keys of the US layout that have no named constant in WinUser.h.
constexpr UINT kVkF11 = VK_F1 + 10;
constexpr UINT kVkOemMinus = 0xBD;
constexpr UINT kVkOemBackslash = 0xDC;
constexpr UINT kVkOemCloseBracket = 0xDD;

constexpr char32_t kEsc = 0x1B;
// An escape sequence longer than this is garbage; it is dropped.
constexpr size_t kMaxSequence = 32;

// Keys that yield a character of their own keep it whatever the modifiers.
char16_t CharOfKey(UINT vk)
{
    switch (vk) {
    case VK_BACK: return 0x08;
    case VK_TAB: return 0x09;
    case VK_RETURN: return 0x0D;
    case VK_ESCAPE: return 0x1B;
    default: return 0;
    }
}

// The extended key names of xterm-like terminal descriptions: a base name,
// then nothing (Shift) or the xterm modifier parameter 2..8.
struct NamedBase {
    const char* name;
    UINT vk;
};
constexpr std::array<NamedBase, 10> kNamedBases{{
    {"kUP", VK_UP},
    {"kDN", VK_DOWN},
    {"kLFT", VK_LEFT},
    {"kRIT", VK_RIGHT},
    {"kHOM", VK_HOME},
    {"kEND", VK_END},
    {"kPRV", VK_PRIOR},
    {"kNXT", VK_NEXT},
    {"kDC", VK_DELETE},
    {"kIC", VK_INSERT},
}};

// The key of an "Esc [ n ~" sequence.
UINT TildeKey(int n)
{
    switch (n) {
    case 1: case 7: return VK_HOME;
    case 2: return VK_INSERT;
    case 3: return VK_DELETE;
    case 4: case 8: return VK_END;
    case 5: return VK_PRIOR;
    case 6: return VK_NEXT;
    case 11: case 12: case 13: case 14: case 15: return VK_F1 + UINT(n - 11);
    case 17: case 18: case 19: case 20: case 21: return VK_F1 + 5 + UINT(n - 17);
    case 23: case 24: return kVkF11 + UINT(n - 23);
    default: return 0;
    }
}

// The key of the final letter of "Esc [ 1 ; m X" and "Esc O X".
UINT LetterKey(char final)
{
    switch (final) {
    case 'A': return VK_UP;
    case 'B': return VK_DOWN;
    case 'C': return VK_RIGHT;
    case 'D': return VK_LEFT;
    case 'H': return VK_HOME;
    case 'F': return VK_END;
    case 'P': return VK_F1;
    case 'Q': return VK_F1 + 1;
    case 'R': return VK_F1 + 2;
    case 'S': return VK_F1 + 3;
    default: return 0;
    }
}

}  // namespace

InputEvent TerminalKeyMap::KeyEvent(UINT vk, int xtermModifier)
{
    int bits = xtermModifier > 1 ? xtermModifier - 1 : 0;
    // Bit 8 is Meta, which terminals send for Alt as often as bit 2.
    return InputEvent::KeyPress(vk, CharOfKey(vk), bits & 4, bits & 1, (bits & 2) || (bits & 8));
}

void TerminalKeyMap::CharEvents(char32_t c, bool alt, std::vector<InputEvent>& out)
{
    switch (c) {
    case 0x0D:
    case 0x0A:
        out.push_back(InputEvent::KeyPress(VK_RETURN, 0x0D, false, false, alt));
        return;
    case 0x09:
        out.push_back(InputEvent::KeyPress(VK_TAB, 0x09, false, false, alt));
        return;
    case 0x08:
    case 0x7F:
        out.push_back(InputEvent::KeyPress(VK_BACK, 0x08, false, false, alt));
        return;
    case 0x1B:
        out.push_back(InputEvent::KeyPress(VK_ESCAPE, 0x1B, false, false, alt));
        return;
    case 0x00:
        // Ctrl+Space (and Ctrl+@) yield NUL.
        out.push_back(InputEvent::KeyPress(VK_SPACE, 0, true, false, alt));
        return;
    case 0x1C:
        out.push_back(InputEvent::KeyPress(kVkOemBackslash, 0x1C, true, false, alt));
        return;
    case 0x1D:
        out.push_back(InputEvent::KeyPress(kVkOemCloseBracket, 0x1D, true, false, alt));
        return;
    case 0x1E:
        out.push_back(InputEvent::KeyPress('6', 0x1E, true, true, alt));
        return;
    case 0x1F:
        out.push_back(InputEvent::KeyPress(kVkOemMinus, 0x1F, true, true, alt));
        return;
    default:
        break;
    }
    if (c < 0x20) {
        // The remaining control codes are Ctrl+letter.
        out.push_back(InputEvent::KeyPress('A' + UINT(c) - 1, char16_t(c), true, false, alt));
        return;
    }
    if (c >= 0x80 && c < 0xA0)
        return;  // C1 controls: no key yields them
    if (Utf16::IsSurrogate(c))
        return;  // a lone surrogate is no character
    if (c > 0x10FFFF)
        return;
    if (c <= 0xFFFF) {
        InputEvent key = InputEvent::Typing(char16_t(c));
        key.alt = alt;
        out.push_back(key);
        return;
    }
    // Beyond the 16-bit range: the two halves of the surrogate pair, one
    // after the other, as a platform delivers them.
    out.push_back(InputEvent::KeyPress(0, Utf16::HighOf(c), false, false, alt));
    out.push_back(InputEvent::KeyPress(0, Utf16::LowOf(c), false, false, alt));
}

std::vector<std::string> TerminalKeyMap::KnownKeyNames()
{
    std::vector<std::string> names;
    for (const NamedBase& base : kNamedBases) {
        names.emplace_back(base.name);
        for (char m = '2'; m <= '8'; ++m)
            names.push_back(std::string(base.name) + m);
    }
    return names;
}

bool TerminalKeyMap::DefineNamedKey(int code, std::string_view name)
{
    for (const NamedBase& base : kNamedBases) {
        std::string_view b(base.name);
        if (!name.starts_with(b))
            continue;
        std::string_view rest = name.substr(b.size());
        if (rest.empty()) {
            m_named[code] = KeyEvent(base.vk, 2);
            return true;
        }
        if (rest.size() == 1 && rest[0] >= '2' && rest[0] <= '8') {
            m_named[code] = KeyEvent(base.vk, rest[0] - '0');
            return true;
        }
    }
    return false;
}

void TerminalKeyMap::DefineSequence(std::string_view bytes, int code)
{
    m_sequences[std::string(bytes)] = code;
}

bool TerminalKeyMap::DescribedKey(std::string_view bytes, std::vector<InputEvent>& out)
{
    if (m_sequences.empty())
        return false;
    auto it = m_sequences.find(std::string(bytes));
    if (it == m_sequences.end())
        return false;
    FeedKeyCode(it->second, false, out);
    return true;
}

void TerminalKeyMap::AltSince(size_t from, std::vector<InputEvent>& out)
{
    if (!m_altPrefix)
        return;
    m_altPrefix = false;
    for (size_t i = from; i < out.size(); ++i)
        if (out[i].kind == InputEvent::Kind::Key)
            out[i].alt = true;
}

void TerminalKeyMap::FeedKeyCode(int code, bool alt, std::vector<InputEvent>& out)
{
    InputEvent e;
    bool found = true;
    switch (code) {
    case KEY_UP: e = KeyEvent(VK_UP); break;
    case KEY_DOWN: e = KeyEvent(VK_DOWN); break;
    case KEY_LEFT: e = KeyEvent(VK_LEFT); break;
    case KEY_RIGHT: e = KeyEvent(VK_RIGHT); break;
    case KEY_HOME: case KEY_A1: e = KeyEvent(VK_HOME); break;
    case KEY_END: case KEY_C1: e = KeyEvent(VK_END); break;
    case KEY_PPAGE: case KEY_A3: e = KeyEvent(VK_PRIOR); break;
    case KEY_NPAGE: case KEY_C3: e = KeyEvent(VK_NEXT); break;
    case KEY_IC: e = KeyEvent(VK_INSERT); break;
    case KEY_DC: e = KeyEvent(VK_DELETE); break;
    case KEY_BACKSPACE: e = KeyEvent(VK_BACK); break;
    case KEY_ENTER: e = KeyEvent(VK_RETURN); break;
    case KEY_BTAB: e = KeyEvent(VK_TAB, 2); break;
    case KEY_SR: e = KeyEvent(VK_UP, 2); break;
    case KEY_SF: e = KeyEvent(VK_DOWN, 2); break;
    case KEY_SLEFT: e = KeyEvent(VK_LEFT, 2); break;
    case KEY_SRIGHT: e = KeyEvent(VK_RIGHT, 2); break;
    case KEY_SHOME: e = KeyEvent(VK_HOME, 2); break;
    case KEY_SEND: e = KeyEvent(VK_END, 2); break;
    case KEY_SPREVIOUS: e = KeyEvent(VK_PRIOR, 2); break;
    case KEY_SNEXT: e = KeyEvent(VK_NEXT, 2); break;
    case KEY_SDC: e = KeyEvent(VK_DELETE, 2); break;
    case KEY_SIC: e = KeyEvent(VK_INSERT, 2); break;
    default:
        found = false;
        break;
    }
    if (!found && code >= KEY_F(1) && code <= KEY_F(48)) {
        // xterm numbers F13..F24 as Shift+F1..F12, F25..F36 as Ctrl+F1..F12
        // and F37..F48 as Ctrl+Shift+F1..F12.
        int n = code - KEY_F(1);
        static constexpr int kModifier[4] = {1, 2, 5, 6};
        e = KeyEvent(VK_F1 + UINT(n % 12), kModifier[n / 12]);
        found = true;
    }
    if (!found) {
        auto it = m_named.find(code);
        if (it == m_named.end())
            return;  // a key with no meaning here (keypad centre, media keys, ...)
        e = it->second;
    }
    if (alt)
        e.alt = true;
    out.push_back(e);
}

void TerminalKeyMap::Feed(Input input, std::vector<InputEvent>& out)
{
    switch (input.kind) {
    case Input::Kind::Key: {
        bool alt = m_state == State::Escape;
        // A key code ends unfinished sequences, which are dropped.
        m_state = State::Ground;
        m_altPrefix = false;
        m_utf8Need = 0;
        FeedKeyCode(input.value, alt, out);
        return;
    }
    case Input::Kind::Byte:
        if (m_state == State::MouseX10)
            FeedX10Byte(static_cast<unsigned char>(input.value), out);
        else
            FeedByte(static_cast<unsigned char>(input.value), out);
        return;
    case Input::Kind::Char:
        m_utf8Need = 0;
        if (m_state == State::MouseX10)
            FeedX10Byte(static_cast<unsigned char>(input.value), out);
        else
            FeedChar(input.value < 0 ? 0xFFFFFFFF : char32_t(input.value), out);
        return;
    }
}

void TerminalKeyMap::FeedByte(unsigned char b, std::vector<InputEvent>& out)
{
    if (b >= 0x80 && b < 0xC0) {
        // A continuation byte: part of the sequence under way, or garbage.
        if (m_utf8Need == 0)
            return;
        m_utf8Value = (m_utf8Value << 6) | (b & 0x3F);
        if (--m_utf8Need > 0)
            return;
        // Overlong forms and surrogates are malformed.
        if (m_utf8Value < m_utf8Min || Utf16::IsSurrogate(m_utf8Value) || m_utf8Value > 0x10FFFF)
            return;
        FeedChar(m_utf8Value, out);
        return;
    }
    // Anything else starts afresh; an unfinished sequence before it is lost.
    m_utf8Need = 0;
    if (b < 0x80) {
        FeedChar(b, out);
    } else if (b >= 0xC2 && b < 0xE0) {
        m_utf8Need = 1;
        m_utf8Value = b & 0x1F;
        m_utf8Min = 0x80;
    } else if (b >= 0xE0 && b < 0xF0) {
        m_utf8Need = 2;
        m_utf8Value = b & 0x0F;
        m_utf8Min = 0x800;
    } else if (b >= 0xF0 && b < 0xF5) {
        m_utf8Need = 3;
        m_utf8Value = b & 0x07;
        m_utf8Min = 0x10000;
    }
    // 0xC0, 0xC1 and 0xF5..0xFF never occur in UTF-8: dropped.
}

void TerminalKeyMap::FeedChar(char32_t c, std::vector<InputEvent>& out)
{
    switch (m_state) {
    case State::Ground:
        if (c == kEsc)
            m_state = State::Escape;
        else if (m_paste)
            PasteChar(c);
        else
            CharEvents(c, false, out);
        return;
    case State::Escape:
        if (c == '[') {
            m_state = State::Csi;
            m_sequence.clear();
        } else if (c == 'O') {
            m_state = State::Ss3;
        } else if (c == kEsc) {
            // Esc Esc: Alt with the key whose sequence follows, or the
            // first is a key of its own.
            if (m_paste)
                return;
            if (m_altPrefix)
                CharEvents(kEsc, false, out);
            m_altPrefix = true;
        } else {
            m_state = State::Ground;
            if (m_paste) {
                PasteChar(c);
            } else {
                if (m_altPrefix)
                    CharEvents(kEsc, false, out);
                m_altPrefix = false;
                CharEvents(c, true, out);
            }
        }
        return;
    case State::Csi:
        if (c >= 0x20 && c <= 0x3F) {
            m_sequence += char(c);
            if (m_sequence.size() > kMaxSequence) {
                m_state = State::Ground;
                m_altPrefix = false;
            }
            return;
        }
        if (c == '[' && m_sequence.empty()) {
            // The Linux console's function keys: Esc [ [ A to Esc [ [ E.
            m_state = State::LinuxFunction;
            return;
        }
        m_state = State::Ground;
        if (c >= 0x40 && c <= 0x7E) {
            size_t from = out.size();
            DecodeCsi(char(c), out);
            AltSince(from, out);
        } else {
            m_altPrefix = false;
            FeedChar(c, out);  // not part of a sequence: the sequence is dropped
        }
        return;
    case State::Ss3:
        m_state = State::Ground;
        if (c >= 0x40 && c <= 0x7E) {
            size_t from = out.size();
            const char bytes[3] = {char(kEsc), 'O', char(c)};
            if (!m_paste && !DescribedKey(std::string_view(bytes, 3), out))
                DecodeSs3(char(c), out);
            AltSince(from, out);
        } else {
            m_altPrefix = false;
            FeedChar(c, out);
        }
        return;
    case State::LinuxFunction: {
        m_state = State::Ground;
        size_t from = out.size();
        const char bytes[4] = {char(kEsc), '[', '[', char(c)};
        if (!m_paste && !DescribedKey(std::string_view(bytes, 4), out) && c >= 'A' && c <= 'E')
            out.push_back(KeyEvent(VK_F1 + UINT(c - 'A')));
        AltSince(from, out);
        return;
    }
    case State::MouseX10:
        FeedX10Byte(static_cast<unsigned char>(c), out);
        return;
    }
}

void TerminalKeyMap::Flush(std::vector<InputEvent>& out)
{
    if (m_paste) {
        DeliverPaste(out);
        return;
    }
    m_utf8Need = 0;
    State state = m_state;
    m_state = State::Ground;
    // An Esc before a sequence cut short is a key of its own.
    if (m_altPrefix)
        CharEvents(kEsc, false, out);
    m_altPrefix = false;
    switch (state) {
    case State::Ground:
        break;
    case State::Escape:
        CharEvents(kEsc, false, out);
        break;
    case State::Csi:
        // Only "Esc [" arrived: that is Alt+[; a longer fragment is dropped.
        if (m_sequence.empty())
            CharEvents('[', true, out);
        break;
    case State::Ss3:
        CharEvents('O', true, out);
        break;
    case State::LinuxFunction:
    case State::MouseX10:
        break;  // a sequence or report cut short is dropped
    }
}

void TerminalKeyMap::EndOfInput(std::vector<InputEvent>& out)
{
    if (m_paste)
        DeliverPaste(out);
}

void TerminalKeyMap::EndPaste(std::vector<InputEvent>& out)
{
    if (m_paste)
        DeliverPaste(out);
    m_paste = false;
    m_state = State::Ground;
    m_altPrefix = false;
    m_utf8Need = 0;
}

void TerminalKeyMap::PasteChar(char32_t c)
{
    // Pasted text is text: line ends become Enter ("\r", a CR LF pair
    // once), tabs stay tabs, and other control codes are dropped so that a
    // paste cannot run commands; so are the characters no key yields.
    bool afterCr = m_pasteAfterCr;
    m_pasteAfterCr = c == 0x0D;
    if (c == 0x0A && afterCr)
        return;
    if (c == 0x0D || c == 0x0A) {
        m_pasteText += u'\r';
        return;
    }
    if (c == 0x09) {
        m_pasteText += u'\t';
        return;
    }
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || Utf16::IsSurrogate(c) || c > 0x10FFFF)
        return;
    if (c <= 0xFFFF) {
        m_pasteText += char16_t(c);
    } else {
        m_pasteText += Utf16::HighOf(c);
        m_pasteText += Utf16::LowOf(c);
    }
}

void TerminalKeyMap::DeliverPaste(std::vector<InputEvent>& out)
{
    if (m_pasteText.empty())
        return;
    InputEvent e;
    e.kind = InputEvent::Kind::Paste;
    e.text = std::move(m_pasteText);
    e.first = m_pasteFirst;
    m_pasteText.clear();
    m_pasteFirst = false;
    out.push_back(std::move(e));
}

void TerminalKeyMap::DecodeCsi(char final, std::vector<InputEvent>& out)
{
    if (!m_sequence.empty() && m_sequence[0] == '<' && (final == 'M' || final == 'm')) {
        DecodeSgrMouse(final == 'm', out);
        return;
    }
    if (m_sequence.empty() && final == 'M') {
        // An X10 mouse report: three bytes follow, whatever they are.
        m_state = State::MouseX10;
        m_x10Count = 0;
        return;
    }
    // Other private sequences (replies) start with one of < = > ? and are
    // no keys.
    if (!m_sequence.empty() && m_sequence[0] >= '<' && m_sequence[0] <= '?')
        return;
    if (!m_paste && DescribedKey("\x1B[" + m_sequence + final, out))
        return;
    int params[4] = {0, 0, 0, 0};
    int count = 0;
    const char* p = m_sequence.data();
    const char* end = p + m_sequence.size();
    while (p <= end && count < 4) {
        int value = 0;
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec == std::errc())
            params[count] = value;
        ++count;
        p = next;
        if (p == end)
            break;
        if (*p != ';')
            return;  // intermediates or colons: nothing known
        ++p;
    }
    int modifier = params[1];
    if (final == '~') {
        if (params[0] == 200) {
            // A start marker inside a paste is a sequence of the pasted
            // text (a log with escape codes in it): dropped like any
            // other, the paste goes on with all it has so far.
            if (m_paste)
                return;
            m_paste = true;
            m_pasteAfterCr = false;
            m_pasteFirst = true;
            m_pasteText.clear();
            return;
        }
        if (params[0] == 201) {
            DeliverPaste(out);
            m_paste = false;
            return;
        }
        if (m_paste)
            return;
        if (UINT vk = TildeKey(params[0]))
            out.push_back(KeyEvent(vk, modifier));
        return;
    }
    if (m_paste)
        return;
    if (final == 'Z') {
        out.push_back(KeyEvent(VK_TAB, 2));
        return;
    }
    if (UINT vk = LetterKey(final)) {
        // "Esc [ A" or "Esc [ 1 ; m A"; some terminals put the modifier first.
        if (count == 1 && params[0] > 1)
            modifier = params[0];
        out.push_back(KeyEvent(vk, modifier));
    }
    // Anything else (focus reports, unknown keys) is dropped.
}

void TerminalKeyMap::DecodeSs3(char final, std::vector<InputEvent>& out)
{
    if (final == 'M') {
        out.push_back(KeyEvent(VK_RETURN));
        return;
    }
    if (UINT vk = LetterKey(final))
        out.push_back(KeyEvent(vk));
}

void TerminalKeyMap::DecodeSgrMouse(bool release, std::vector<InputEvent>& out)
{
    // "<b;x;y", the cell counted from 1.
    int values[3] = {0, 0, 0};
    const char* p = m_sequence.data() + 1;
    const char* end = m_sequence.data() + m_sequence.size();
    for (int i = 0; i < 3; ++i) {
        auto [next, ec] = std::from_chars(p, end, values[i]);
        if (ec != std::errc() || values[i] < 0)
            return;
        p = next;
        if (i < 2) {
            if (p == end || *p != ';')
                return;
            ++p;
        }
    }
    if (p != end)
        return;
    MouseReport(values[0], values[1] - 1, values[2] - 1, release, out);
}

void TerminalKeyMap::FeedX10Byte(unsigned char b, std::vector<InputEvent>& out)
{
    if (m_x10Count < 2) {
        m_x10[m_x10Count++] = b;
        return;
    }
    m_state = State::Ground;
    // Each byte is its value + 32, the cell counted from 1; bytes below 32
    // make no report.
    if (m_x10[0] < 32 || m_x10[1] < 32 || b < 32)
        return;
    MouseReport(m_x10[0] - 32, m_x10[1] - 33, b - 33, false, out);
}

void TerminalKeyMap::MouseReport(int button, int x, int y, bool release, std::vector<InputEvent>& out)
{
    // A report inside a paste is dropped with the rest of what is no text.
    if (m_paste)
        return;
    auto make = [&](InputEvent::Kind kind) {
        InputEvent e;
        e.kind = kind;
        e.x = x < 0 ? 0 : x;
        e.y = y < 0 ? 0 : y;
        out.push_back(e);
        return &out.back();
    };
    const int which = button & 3;
    if (button & 64) {
        // The wheel: 64 away from the user, 65 towards; 66 and 67 are the
        // sideways wheel, which nothing here turns. It has no releases.
        if (!release && which < 2 && !(button & 128))
            make(InputEvent::Kind::Wheel)->notches = which == 0 ? 1 : -1;
        return;
    }
    if (button & 128)
        return;  // buttons 8 to 11
    if (button & 32) {
        // A move: a drag while the left button is down; moves without it
        // (any-motion tracking) are not reported.
        if (which == 0 && m_buttonDown)
            make(InputEvent::Kind::MouseMove);
        return;
    }
    if (release || which == 3) {
        // SGR says which button went up; X10 reports every release as 3.
        if ((which == 0 || which == 3) && m_buttonDown) {
            make(InputEvent::Kind::MouseUp);
            m_buttonDown = false;
        }
        return;
    }
    if (which != 0)
        return;  // the middle and right buttons do nothing here
    // A second press while down is what some terminals report for a drag.
    make(m_buttonDown ? InputEvent::Kind::MouseMove : InputEvent::Kind::MouseDown);
    m_buttonDown = true;
}
