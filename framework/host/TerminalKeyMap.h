// Translation of terminal input into the host's input events.
//
// The terminal host reads the terminal's bytes in blocks and feeds them
// here. TerminalKeyMap turns them into InputEvents the way a keyboard with
// virtual-key codes would produce them: a key code, the character the key
// yields and the modifiers held. It does no terminal I/O, so the terminal
// host feeds it and tests drive it directly.
//
// It decodes UTF-8 itself, dropping malformed bytes. Keys come from the
// sequences the terminal's description names (DefineSequence, with the
// curses key codes the description's key names stand for) and from the
// common xterm ones: Alt+key (Esc followed by the key), modified keys
// (Esc [ 1 ; 5 D is Ctrl+Left), function and editing keys (Esc [ n ~,
// Esc O P, and the Linux console's Esc [ [ A). Also the markers of
// bracketed paste, whose text comes out as Paste events of many
// characters each (the escape sequences inside a paste, a start marker
// among them, are no text: dropped, while the paste goes on), and mouse
// reports in both encodings terminals send: SGR (Esc [ < b ; x ; y M, or m
// for a release) and the older X10 one (Esc [ M and three bytes, each
// value + 32). The left button makes presses, drags
// and releases; the wheel (buttons 64 and 65) makes wheel notches.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/screen/Host.h"

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
    bool Pending() const { return m_state != State::Ground || m_utf8Need > 0; }
    // Whether the terminal is between the start and end markers of a paste.
    bool InPaste() const { return m_paste; }
    // Leaves paste mode when the end marker never came (input stopped in
    // the middle of a paste for long), so control keys work again: the text
    // so far comes out; what was cut short there is dropped.
    void EndPaste(std::vector<InputEvent>& out);
    // Whether the next units must be the terminal's bytes as they came,
    // undecoded (the coordinates of an X10 mouse report).
    bool TakesRawBytes() const { return m_state == State::MouseX10; }

    // Binds a key code the terminal description assigns at run time to one
    // of its extended key names, such as "kLFT5" (Ctrl+Left). False when the
    // name is not one of KnownKeyNames().
    bool DefineNamedKey(int code, std::string_view name);
    // The extended key names DefineNamedKey understands.
    static std::vector<std::string> KnownKeyNames();
    // Binds an escape sequence the terminal description names to the key
    // code (a curses key code, or one DefineNamedKey bound) it stands for.
    // It wins over the xterm meaning of the same sequence.
    void DefineSequence(std::string_view bytes, int code);

    // The event of a key without a character of its own (arrows, function
    // keys, ...) with the modifiers given by an xterm modifier parameter
    // (2 Shift, 3 Alt, 5 Ctrl, ... ; 1 or 0 none).
    static InputEvent KeyEvent(UINT vk, int xtermModifier = 1);
    // The events of a character typed with or without Alt: the virtual key
    // it comes from, its control-key meaning, or a plain character (two
    // events for a character beyond the 16-bit range). Nothing for
    // characters no key yields.
    static void CharEvents(char32_t c, bool alt, std::vector<InputEvent>& out);

private:
    enum class State { Ground, Escape, Csi, Ss3, LinuxFunction, MouseX10 };

    void FeedKeyCode(int code, bool alt, std::vector<InputEvent>& out);
    void FeedByte(unsigned char b, std::vector<InputEvent>& out);
    void FeedChar(char32_t c, std::vector<InputEvent>& out);
    void PasteChar(char32_t c);
    void DeliverPaste(std::vector<InputEvent>& out);
    // The key of the terminal description's sequence just ended, if it
    // names one; true when it did.
    bool DescribedKey(std::string_view bytes, std::vector<InputEvent>& out);
    // Gives the keys decoded since `from` the Alt an Esc before the
    // sequence stood for.
    void AltSince(size_t from, std::vector<InputEvent>& out);
    void DecodeCsi(char final, std::vector<InputEvent>& out);
    static void DecodeSs3(char final, std::vector<InputEvent>& out);
    void DecodeSgrMouse(bool release, std::vector<InputEvent>& out);
    void FeedX10Byte(unsigned char b, std::vector<InputEvent>& out);
    // One mouse report: the button code of both encodings (low bits the
    // button, 3 a release in X10; 32 a move; 64 the wheel), the cell from 0.
    void MouseReport(int button, int x, int y, bool release, std::vector<InputEvent>& out);

    State m_state = State::Ground;
    std::string m_sequence;  // parameters and intermediates of an open CSI sequence
    // A UTF-8 sequence under way: the bytes still to come, the code point
    // so far and the least value its length may encode.
    int m_utf8Need = 0;
    char32_t m_utf8Value = 0;
    char32_t m_utf8Min = 0;
    // An Esc before the sequence under way: Alt held with its key.
    bool m_altPrefix = false;
    bool m_paste = false;
    bool m_pasteAfterCr = false;
    std::u16string m_pasteText;  // the paste's text not yet delivered
    bool m_pasteFirst = false;   // whether nothing of the paste was delivered yet
    unsigned char m_x10[2] = {0, 0};  // the bytes of an X10 report so far
    int m_x10Count = 0;
    bool m_buttonDown = false;
    std::unordered_map<int, InputEvent> m_named;
    std::unordered_map<std::string, int> m_sequences;  // the description's, by their bytes
};
