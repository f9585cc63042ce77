// TextEncoding: how the session reads and writes its text files, chosen
// once at the start (tessel --encoding, TESSEL_ENCODING) and holding for
// every New, Open, Save and Save As, the recovery copies too.
//
//   EightBit  one byte a character, each byte the character of its value;
//             a character beyond 8 bits narrowed to one byte (Narrowing.h).
//             The default.
//   Utf8      UTF-8, every byte kept (Utf8Codec.h): a byte that is no part
//             of well-formed UTF-8 is the unit U+DC00 + byte in the text
//             and is written back as that byte.
#pragma once

#include <optional>
#include <string_view>

enum class TextEncoding { EightBit, Utf8 };

// The session's encoding; EightBit until set. Setting it also sets how edit
// controls step and measure their text (SetClusterEditing).
TextEncoding SessionTextEncoding();
void SetSessionTextEncoding(TextEncoding encoding);

// The encoding a name stands for, as a person writes it on the command line
// ("utf-8", "utf8", "8bit", "8-bit", in any case); none for another name.
std::optional<TextEncoding> TextEncodingNamed(std::string_view name);
// How a person is told the encoding: "UTF-8" or "8-bit".
const char* TextEncodingShownName(TextEncoding encoding);
