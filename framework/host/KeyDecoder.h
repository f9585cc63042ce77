// Keys from terminal input: the key press a character is (typed with or
// without Alt), what a curses key code stands for, the keys of the escape
// sequences and extended key names the terminal's description gives, and
// the keys of the common xterm sequences: Esc [ n ~, Esc [ 1 ; m X (a
// modified key: Esc [ 1 ; 5 D is Ctrl+Left), Esc O X and the Linux console's
// Esc [ [ X. TerminalKeyMap cuts the input into characters and sequences
// and hands each over whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "framework/screen/InputEvent.h"

class KeyDecoder {
public:
    // The numbers of a CSI sequence's parameters: "1;5" is 1 and 5, a
    // number left out is 0, and those after the fourth are ignored.
    struct CsiParameters {
        int values[4] = {0, 0, 0, 0};
        int count = 0;
    };
    // Nothing when the parameters hold anything but digits and ";" (an
    // intermediate byte, a colon): no key is known for those.
    static std::optional<CsiParameters> ParseCsi(std::string_view parameters);

    // The event of a key without a character of its own (arrows, function
    // keys, ...) with the modifiers given by an xterm modifier parameter
    // (2 Shift, 3 Alt, 5 Ctrl, ... ; 1 or 0 none).
    static InputEvent KeyEvent(UINT vk, int xtermModifier = 1);
    // The events of a character typed with or without Alt: the virtual key
    // it comes from, its control-key meaning, or a plain character (two
    // events for a character beyond the 16-bit range). Nothing for
    // characters no key yields.
    static void DecodeChar(char32_t c, bool alt, std::vector<InputEvent>& out);

    // Binds a key code the terminal description assigns at run time to one
    // of its extended key names, such as "kLFT5" (Ctrl+Left). False when the
    // name is not one of KnownKeyNames().
    bool DefineNamedKey(int code, std::string_view name);
    // The extended key names DefineNamedKey understands.
    static std::vector<std::string> KnownKeyNames();
    // Binds an escape sequence the terminal description names to the key
    // code (a curses key code, or one DefineNamedKey bound) it stands for.
    void DefineSequence(std::string_view bytes, int code);

    // The key of a curses key code, with Alt when `alt`; nothing for a key
    // with no meaning here (the keypad's centre, media keys, ...).
    void DecodeKeyCode(int code, bool alt, std::vector<InputEvent>& out) const;
    // The key of a whole sequence the description names; false when it
    // names none.
    bool DecodeDescribed(std::string_view bytes, std::vector<InputEvent>& out) const;
    // The key of "Esc [ parameters final"; nothing for unknown ones (focus
    // reports, keys this program has no use for).
    static void DecodeCsi(const CsiParameters& parameters, char final, std::vector<InputEvent>& out);
    // The key of "Esc O final".
    static void DecodeSs3(char final, std::vector<InputEvent>& out);
    // The key of the Linux console's "Esc [ [ final": F1 to F5.
    static void DecodeLinuxFunction(char32_t final, std::vector<InputEvent>& out);

private:
    std::unordered_map<int, InputEvent> m_named;
    std::unordered_map<std::string, int> m_sequences;  // the description's, by their bytes
};
