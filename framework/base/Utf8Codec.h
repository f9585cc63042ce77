// Utf8Codec: bytes to UTF-16 text and back, keeping every byte.
//
// Well-formed UTF-8 (Utf8::SequenceLength says what that is) becomes its
// characters, a surrogate pair for a code point above U+FFFF. Every other
// byte (a stray continuation byte, a lead byte whose sequence is cut, an
// overlong form, an encoded surrogate, a code point above U+10FFFF, 0xF5 to
// 0xFF) is kept as a unit of its own: the lone low surrogate U+DC00 + byte,
// so U+DC80 to U+DCFF, which no decoded character is. Encoding writes each
// kept byte back as that byte, so decoding any bytes and encoding the text
// gives the same bytes. A surrogate that is neither half of a pair nor a
// kept byte (text made some other way) is written as U+FFFD.
//
// File names and command lines (CString::FromBytes, ToBytes) and the text of
// files in UTF-8 (the edit view's raw input and output, the crash copy) all
// go through this one codec. Both directions run over ASCII sixteen units at
// a time where the processor can; neither allocates, so a signal handler
// may encode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Utf8Codec {

// The unit that keeps byte b (0x80 to 0xFF) in the text.
constexpr char16_t KeptByte(unsigned char b) { return char16_t(0xDC00 + b); }
// Whether the unit is a kept byte.
constexpr bool IsKeptByte(char16_t unit) { return unit >= 0xDC80 && unit <= 0xDCFF; }

// A file's text keeps a zero byte too, as U+DC00: the control's text ends at
// a zero unit, so a zero byte read from a file is stored as this unit
// (KeepZeros) and written back as the zero byte by an encoder made for a
// file's text. Names and command lines never hold a zero byte; their
// encoder writes this unit as U+FFFD, like any other lone surrogate.
constexpr char16_t kKeptZero = 0xDC00;
// Whether the unit stands for a byte of a file's text.
constexpr bool IsKeptFileByte(char16_t unit) { return unit == kKeptZero || IsKeptByte(unit); }
// Turns every zero unit of a decoded file's text into kKeptZero.
void KeepZeros(char16_t* units, std::size_t count) noexcept;

struct Decoded {
    std::size_t read = 0;     // bytes decoded
    std::size_t written = 0;  // units written
};

// Decodes count bytes into units, which has room for count units (never
// more units than bytes come out). Unless atEnd, a sequence that the end of
// the bytes cuts and that more bytes may complete is left unread, for the
// next call to begin with (at most three bytes); atEnd, its bytes are kept
// bytes.
Decoded Decode(const unsigned char* bytes, std::size_t count, char16_t* units, bool atEnd) noexcept;

// Encodes text given in pieces, in order: a high surrogate at the end of a
// piece waits for the start of the next.
class Encoder {
public:
    // What the text being encoded is: a file's text writes kKeptZero back
    // as the zero byte it stands for.
    enum class Text { Name, File };
    explicit Encoder(Text text = Text::Name) : m_file(text == Text::File) {}

    // Never more bytes than this for each unit encoded, over the whole text
    // and Finish: a text of n units needs at most 3 * n bytes.
    static constexpr std::size_t kMostBytesPerUnit = 3;

    // Writes the bytes of count units at out, which has room for
    // 3 * count + 3 bytes; returns how many it wrote.
    std::size_t Encode(const char16_t* units, std::size_t count, unsigned char* out) noexcept;
    // After the last piece: the bytes of a high surrogate still waiting
    // (U+FFFD), at out (room for 3 bytes); returns how many.
    std::size_t Finish(unsigned char* out) noexcept;

private:
    char16_t m_held = 0;  // a high surrogate that ended the last piece
    bool m_file = false;  // kKeptZero is a zero byte
};

// The whole of some bytes, or of a text, at once.
std::u16string DecodeAll(std::string_view bytes);
std::string EncodeAll(std::u16string_view text);

}  // namespace Utf8Codec
