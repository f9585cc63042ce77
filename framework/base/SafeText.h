// Text made safe to write to a terminal: a name of the system (bytes that
// anyone who can make a file chose) written as it stands could move the
// cursor, retitle or recolour the terminal, or forge a line of its own.
//
// Printable ASCII and well-formed UTF-8 stay as they are. Each byte of a
// control character (C0, DEL, the C1 controls U+0080 to U+009F), of a
// character that reorders the text around it (the bidirectional embeddings,
// overrides and isolates), and each byte that is no part of well-formed
// UTF-8 is written as \xHH; a backslash is written as \\ so that an escape
// can always be told from the name's own text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The safe form of the bytes.
std::string SafeText(std::string_view bytes);

// The same into out, with a terminating zero: as much as fits in room bytes,
// never half of an escape; returns the length written. Async-signal-safe:
// it only reads and writes the memory given.
std::size_t SafeTextInto(std::string_view bytes, char* out, std::size_t room) noexcept;
