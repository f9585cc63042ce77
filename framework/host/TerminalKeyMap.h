// Translation of terminal input into the host's input events.
//
// The terminal host reads the terminal's bytes in blocks and feeds them
// here. TerminalKeyMap turns them into InputEvents the way a keyboard with
// virtual-key codes would produce them: a key code, the character the key
// yields and the modifiers held. It does no terminal I/O, so the terminal
// host feeds it and tests drive it directly.
//
// It cuts the input into characters (Utf8Decoder) and escape sequences,
// takes an Esc before a key or sequence as Alt held with it, and hands each
// piece to the decoder it belongs to: keys (KeyDecoder: characters, curses
// key codes, the sequences of the terminal's description and the common
// xterm ones), mouse reports (MouseDecoder: SGR and X10) and the text
// between the markers of a bracketed paste (PasteDecoder). Inside a paste
// every escape sequence, a start marker among them, is no text: dropped,
// while the paste goes on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/host/KeyDecoder.h"
#include "framework/host/MouseDecoder.h"
#include "framework/host/PasteDecoder.h"
#include "framework/host/Utf8Decoder.h"
#include "framework/screen/InputEvent.h"

class TerminalKeyMap {
public:
    // One unit of input: a character (a Unicode code point), one byte of
    // UTF-8 text as the terminal sends it, or a curses key code.
    struct Input {
        enum class Kind { Char, Byte, Key };
        Kind kind = Kind::Char;
        int value = 0;
    };
    static Input Char(char32_t c) { return {Input::Kind::Char, static_cast<int>(c)}; }
    static Input Byte(unsigned char b) { return {Input::Kind::Byte, b}; }
    static Input Key(int code) { return {Input::Kind::Key, code}; }

    // Translates one unit of input, appending the events it completes.
    void Feed(Input input, std::vector<InputEvent>& out);
    // Says that the terminal has paused: an escape sequence still open is
    // complete as it stands (a lone Esc is the Esc key). Inside a paste a
    // pause only delivers the text so far (the rest is on its way), so a
    // sequence or character cut by it is kept for the bytes to come.
    void Flush(std::vector<InputEvent>& out);
    // Says that what the terminal had sent is all fed: the text of a paste
    // so far comes out as one Paste event.
    void EndOfInput(std::vector<InputEvent>& out);
    // Whether an escape sequence or a character is open, so the host should
    // wait a moment for the rest of it and call Flush when none comes.
    bool Pending() const { return m_state != State::Ground || m_utf8.Open(); }
    // Whether the terminal is between the start and end markers of a paste.
    bool InPaste() const { return m_paste.Active(); }
    // Leaves paste mode when the end marker never came (input stopped in
    // the middle of a paste for long), so control keys work again: the text
    // so far comes out; what was cut short there is dropped.
    void EndPaste(std::vector<InputEvent>& out);
    // Whether the next units must be the terminal's bytes as they came,
    // undecoded (the coordinates of an X10 mouse report).
    bool TakesRawBytes() const { return m_state == State::MouseX10; }

    // The keys of the terminal's description (KeyDecoder); a sequence bound
    // here wins over the xterm meaning of the same bytes.
    bool DefineNamedKey(int code, std::string_view name) { return m_keys.DefineNamedKey(code, name); }
    static std::vector<std::string> KnownKeyNames() { return KeyDecoder::KnownKeyNames(); }
    void DefineSequence(std::string_view bytes, int code) { m_keys.DefineSequence(bytes, code); }

private:
    enum class State { Ground, Escape, Csi, Ss3, LinuxFunction, MouseX10 };

    void FeedChar(char32_t c, std::vector<InputEvent>& out);
    void FeedX10Byte(unsigned char b, std::vector<InputEvent>& out);
    // A CSI sequence has ended with `final`: a mouse report, a paste
    // marker or a key.
    void EndCsi(char final, std::vector<InputEvent>& out);
    // Gives the keys decoded since `from` the Alt an Esc before the
    // sequence stood for.
    void AltSince(size_t from, std::vector<InputEvent>& out);

    Utf8Decoder m_utf8;
    KeyDecoder m_keys;
    MouseDecoder m_mouse;
    PasteDecoder m_paste;

    State m_state = State::Ground;
    std::string m_sequence;  // parameters and intermediates of an open CSI sequence
    // An Esc before the sequence under way: Alt held with its key.
    bool m_altPrefix = false;
    unsigned char m_x10[2] = {0, 0};  // the bytes of an X10 report so far
    int m_x10Count = 0;
};
