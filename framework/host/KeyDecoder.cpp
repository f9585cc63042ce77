#include "framework/host/KeyDecoder.h"

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

// The control characters (and DEL) that are keys of their own, or Ctrl
// with a key other than a letter; the rest below 0x20 are Ctrl+letter.
struct ControlKey {
    char32_t c;
    UINT vk;
    char16_t ch;
    bool ctrl;
    bool shift;
};
constexpr ControlKey kControlKeys[] = {
    {0x0D, VK_RETURN, 0x0D, false, false},
    {0x0A, VK_RETURN, 0x0D, false, false},
    {0x09, VK_TAB, 0x09, false, false},
    {0x08, VK_BACK, 0x08, false, false},
    {0x7F, VK_BACK, 0x08, false, false},
    {0x1B, VK_ESCAPE, 0x1B, false, false},
    {0x00, VK_SPACE, 0, true, false},  // Ctrl+Space (and Ctrl+@) yield NUL
    {0x1C, kVkOemBackslash, 0x1C, true, false},
    {0x1D, kVkOemCloseBracket, 0x1D, true, false},
    {0x1E, '6', 0x1E, true, true},
    {0x1F, kVkOemMinus, 0x1F, true, true},
};

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
    case 1:
    case 7: return VK_HOME;
    case 2: return VK_INSERT;
    case 3: return VK_DELETE;
    case 4:
    case 8: return VK_END;
    case 5: return VK_PRIOR;
    case 6: return VK_NEXT;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: return VK_F1 + UINT(n - 11);
    case 17:
    case 18:
    case 19:
    case 20:
    case 21: return VK_F1 + 5 + UINT(n - 17);
    case 23:
    case 24: return kVkF11 + UINT(n - 23);
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

std::optional<KeyDecoder::CsiParameters> KeyDecoder::ParseCsi(std::string_view parameters)
{
    CsiParameters result;
    const char* p = parameters.data();
    const char* end = p + parameters.size();
    while (p <= end && result.count < 4) {
        int value = 0;
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec == std::errc())
            result.values[result.count] = value;
        ++result.count;
        p = next;
        if (p == end)
            break;
        if (*p != ';')
            return std::nullopt;
        ++p;
    }
    return result;
}

InputEvent KeyDecoder::KeyEvent(UINT vk, int xtermModifier)
{
    int bits = xtermModifier > 1 ? xtermModifier - 1 : 0;
    // Bit 8 is Meta, which terminals send for Alt as often as bit 2.
    return InputEvent::KeyPress(vk, CharOfKey(vk), bits & 4, bits & 1, (bits & 2) || (bits & 8));
}

void KeyDecoder::DecodeChar(char32_t c, bool alt, std::vector<InputEvent>& out)
{
    if (c < 0x20 || c == 0x7F) {
        for (const ControlKey& key : kControlKeys) {
            if (key.c == c) {
                out.push_back(InputEvent::KeyPress(key.vk, key.ch, key.ctrl, key.shift, alt));
                return;
            }
        }
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

std::vector<std::string> KeyDecoder::KnownKeyNames()
{
    std::vector<std::string> names;
    for (const NamedBase& base : kNamedBases) {
        names.emplace_back(base.name);
        for (char m = '2'; m <= '8'; ++m)
            names.push_back(std::string(base.name) + m);
    }
    return names;
}

bool KeyDecoder::DefineNamedKey(int code, std::string_view name)
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

void KeyDecoder::DefineSequence(std::string_view bytes, int code) { m_sequences[std::string(bytes)] = code; }

bool KeyDecoder::DecodeDescribed(std::string_view bytes, std::vector<InputEvent>& out) const
{
    if (m_sequences.empty())
        return false;
    auto it = m_sequences.find(std::string(bytes));
    if (it == m_sequences.end())
        return false;
    DecodeKeyCode(it->second, false, out);
    return true;
}

void KeyDecoder::DecodeKeyCode(int code, bool alt, std::vector<InputEvent>& out) const
{
    InputEvent e;
    bool found = true;
    switch (code) {
    case KEY_UP: e = KeyEvent(VK_UP); break;
    case KEY_DOWN: e = KeyEvent(VK_DOWN); break;
    case KEY_LEFT: e = KeyEvent(VK_LEFT); break;
    case KEY_RIGHT: e = KeyEvent(VK_RIGHT); break;
    case KEY_HOME:
    case KEY_A1: e = KeyEvent(VK_HOME); break;
    case KEY_END:
    case KEY_C1: e = KeyEvent(VK_END); break;
    case KEY_PPAGE:
    case KEY_A3: e = KeyEvent(VK_PRIOR); break;
    case KEY_NPAGE:
    case KEY_C3: e = KeyEvent(VK_NEXT); break;
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
    default: found = false; break;
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
            return;
        e = it->second;
    }
    if (alt)
        e.alt = true;
    out.push_back(e);
}

void KeyDecoder::DecodeCsi(const CsiParameters& parameters, char final, std::vector<InputEvent>& out)
{
    int modifier = parameters.values[1];
    if (final == '~') {
        if (UINT vk = TildeKey(parameters.values[0]))
            out.push_back(KeyEvent(vk, modifier));
        return;
    }
    if (final == 'Z') {
        out.push_back(KeyEvent(VK_TAB, 2));
        return;
    }
    if (UINT vk = LetterKey(final)) {
        // "Esc [ A" or "Esc [ 1 ; m A"; some terminals put the modifier first.
        if (parameters.count == 1 && parameters.values[0] > 1)
            modifier = parameters.values[0];
        out.push_back(KeyEvent(vk, modifier));
    }
}

void KeyDecoder::DecodeSs3(char final, std::vector<InputEvent>& out)
{
    if (final == 'M') {
        out.push_back(KeyEvent(VK_RETURN));
        return;
    }
    if (UINT vk = LetterKey(final))
        out.push_back(KeyEvent(vk));
}

void KeyDecoder::DecodeLinuxFunction(char32_t final, std::vector<InputEvent>& out)
{
    if (final >= 'A' && final <= 'E')
        out.push_back(KeyEvent(VK_F1 + UINT(final - 'A')));
}
