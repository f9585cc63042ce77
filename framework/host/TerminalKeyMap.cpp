#include "framework/host/TerminalKeyMap.h"

#include <optional>

namespace {

constexpr char32_t kEsc = 0x1B;
// An escape sequence longer than this is garbage; it is dropped.
constexpr size_t kMaxSequence = 32;

}  // namespace

void TerminalKeyMap::AltSince(size_t from, std::vector<InputEvent>& out)
{
    if (!m_altPrefix)
        return;
    m_altPrefix = false;
    for (size_t i = from; i < out.size(); ++i)
        if (out[i].kind == InputEvent::Kind::Key)
            out[i].alt = true;
}

void TerminalKeyMap::Feed(Input input, std::vector<InputEvent>& out)
{
    switch (input.kind) {
    case Input::Kind::Key: {
        bool alt = m_state == State::Escape;
        // A key code ends unfinished sequences, which are dropped.
        m_state = State::Ground;
        m_altPrefix = false;
        m_utf8.Reset();
        m_keys.DecodeKeyCode(input.value, alt, out);
        return;
    }
    case Input::Kind::Byte: {
        unsigned char b = static_cast<unsigned char>(input.value);
        if (m_state == State::MouseX10)
            FeedX10Byte(b, out);
        else if (std::optional<char32_t> c = m_utf8.Take(b))
            FeedChar(*c, out);
        return;
    }
    case Input::Kind::Char:
        m_utf8.Reset();
        if (m_state == State::MouseX10)
            FeedX10Byte(static_cast<unsigned char>(input.value), out);
        else
            FeedChar(input.value < 0 ? 0xFFFFFFFF : char32_t(input.value), out);
        return;
    }
}

void TerminalKeyMap::FeedChar(char32_t c, std::vector<InputEvent>& out)
{
    switch (m_state) {
    case State::Ground:
        if (c == kEsc)
            m_state = State::Escape;
        else if (m_paste.Active())
            m_paste.Take(c);
        else
            KeyDecoder::DecodeChar(c, false, out);
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
            if (m_paste.Active())
                return;
            if (m_altPrefix)
                KeyDecoder::DecodeChar(kEsc, false, out);
            m_altPrefix = true;
        } else {
            m_state = State::Ground;
            if (m_paste.Active()) {
                m_paste.Take(c);
            } else {
                if (m_altPrefix)
                    KeyDecoder::DecodeChar(kEsc, false, out);
                m_altPrefix = false;
                KeyDecoder::DecodeChar(c, true, out);
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
            EndCsi(char(c), out);
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
            if (!m_paste.Active() && !m_keys.DecodeDescribed(std::string_view(bytes, 3), out))
                KeyDecoder::DecodeSs3(char(c), out);
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
        if (!m_paste.Active() && !m_keys.DecodeDescribed(std::string_view(bytes, 4), out))
            KeyDecoder::DecodeLinuxFunction(c, out);
        AltSince(from, out);
        return;
    }
    case State::MouseX10: FeedX10Byte(static_cast<unsigned char>(c), out); return;
    }
}

void TerminalKeyMap::EndCsi(char final, std::vector<InputEvent>& out)
{
    // A mouse report inside a paste is dropped with the rest of what is no
    // text.
    if (!m_sequence.empty() && m_sequence[0] == '<' && (final == 'M' || final == 'm')) {
        if (!m_paste.Active())
            m_mouse.DecodeSgr(std::string_view(m_sequence).substr(1), final == 'm', out);
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
    if (!m_paste.Active() && m_keys.DecodeDescribed("\x1B[" + m_sequence + final, out))
        return;
    std::optional<KeyDecoder::CsiParameters> parameters = KeyDecoder::ParseCsi(m_sequence);
    if (!parameters)
        return;
    if (final == '~' && parameters->values[0] == PasteDecoder::kStartMarker) {
        m_paste.Start();
        return;
    }
    if (final == '~' && parameters->values[0] == PasteDecoder::kEndMarker) {
        m_paste.End(out);
        return;
    }
    if (!m_paste.Active())
        KeyDecoder::DecodeCsi(*parameters, final, out);
}

void TerminalKeyMap::FeedX10Byte(unsigned char b, std::vector<InputEvent>& out)
{
    if (m_x10Count < 2) {
        m_x10[m_x10Count++] = b;
        return;
    }
    m_state = State::Ground;
    if (!m_paste.Active())
        m_mouse.DecodeX10(m_x10[0], m_x10[1], b, out);
}

void TerminalKeyMap::Flush(std::vector<InputEvent>& out)
{
    if (m_paste.Active()) {
        m_paste.Deliver(out);
        return;
    }
    m_utf8.Reset();
    State state = m_state;
    m_state = State::Ground;
    // An Esc before a sequence cut short is a key of its own.
    if (m_altPrefix)
        KeyDecoder::DecodeChar(kEsc, false, out);
    m_altPrefix = false;
    switch (state) {
    case State::Ground: break;
    case State::Escape: KeyDecoder::DecodeChar(kEsc, false, out); break;
    case State::Csi:
        // Only "Esc [" arrived: that is Alt+[; a longer fragment is dropped.
        if (m_sequence.empty())
            KeyDecoder::DecodeChar('[', true, out);
        break;
    case State::Ss3: KeyDecoder::DecodeChar('O', true, out); break;
    case State::LinuxFunction:
    case State::MouseX10: break;  // a sequence or report cut short is dropped
    }
}

void TerminalKeyMap::EndOfInput(std::vector<InputEvent>& out)
{
    if (m_paste.Active())
        m_paste.Deliver(out);
}

void TerminalKeyMap::EndPaste(std::vector<InputEvent>& out)
{
    m_paste.End(out);
    m_state = State::Ground;
    m_altPrefix = false;
    m_utf8.Reset();
}
