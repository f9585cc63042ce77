// Handing text to the terminal's clipboard: the OSC 52 sequence, which
// carries the text as UTF-8 in Base64.
#pragma once

#include <string>
#include <string_view>

namespace TerminalClipboard {

// The bytes in Base64 (the standard alphabet, with padding).
std::string Base64(std::string_view bytes);
// The sequence that puts the text on the terminal's clipboard ("c").
std::string Osc52(std::u16string_view text);

}  // namespace TerminalClipboard
