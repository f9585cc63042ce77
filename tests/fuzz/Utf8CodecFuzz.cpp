// The UTF-8 codec of files and names on arbitrary bytes:
//   - decoded and encoded again, the bytes come back exactly;
//   - the text is what a plain reading by Utf8::SequenceLength gives: each
//     well-formed sequence its character, each other byte U+DC00 + byte;
//   - read in two blocks, cut anywhere (the first byte says where), the
//     bytes decode to the same text, and the text written in two pieces,
//     cut anywhere (a pair too), encodes to the same bytes, as a file's
//     text with its zero bytes kept as U+DC00;
//   - the same bytes taken as UTF-16 units (any text, lone surrogates too)
//     encode to bytes that decode and encode to themselves again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "framework/base/Utf16.h"
#include "framework/base/Utf8.h"
#include "framework/base/Utf8Codec.h"
#include "tests/support/Text.h"

namespace {

[[noreturn]] void Fail(const std::string& what, std::string_view bytes)
{
    std::fprintf(stderr, "\n*** %zu bytes:", bytes.size());
    for (size_t i = 0; i < bytes.size() && i < 64; ++i)
        std::fprintf(stderr, " %02X", static_cast<unsigned char>(bytes[i]));
    std::fprintf(stderr, "%s\n*** %s\n", bytes.size() > 64 ? " ..." : "", what.c_str());
    std::abort();
}

std::u16string Reference(std::string_view bytes)
{
    std::u16string text;
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = Utf8::SequenceLength(bytes.substr(i));
        if (length == 0) {
            text += Utf8Codec::KeptByte(static_cast<unsigned char>(bytes[i++]));
            continue;
        }
        const char32_t cp = Utf8::CodePoint(bytes.substr(i), length);
        i += length;
        if (cp >= 0x10000) {
            text += Utf16::HighOf(cp);
            text += Utf16::LowOf(cp);
        } else {
            text += char16_t(cp);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = Utf8Codec::DecodeAll(bytes);
    if (Utf8Codec::EncodeAll(text) != bytes)
        Fail("decoded and encoded, the bytes changed", bytes);
    if (text != Reference(bytes))
        Fail("decoded as \"" + support::Show(text) + "\", not as \"" + support::Show(Reference(bytes)) + "\"", bytes);

    if (size > 0) {
        const size_t cut = data[0] % (size + 1);
        std::u16string blocks(size, u'\0');
        const Utf8Codec::Decoded first = Utf8Codec::Decode(data, cut, blocks.data(), false);
        if (first.read > cut || first.read + 3 < cut)
            Fail("the first block of " + std::to_string(cut) + " left " + std::to_string(cut - first.read), bytes);
        const Utf8Codec::Decoded rest
            = Utf8Codec::Decode(data + first.read, size - first.read, blocks.data() + first.written, true);
        blocks.resize(first.written + rest.written);
        if (first.read + rest.read != size || blocks != text)
            Fail("read in blocks cut at " + std::to_string(cut) + ", the text is \"" + support::Show(blocks) + "\"",
                 bytes);

        // As a file's text: its zero bytes kept as units of their own, and
        // written back as zero bytes.
        std::u16string fileText = text;
        Utf8Codec::KeepZeros(fileText.data(), fileText.size());
        if (fileText.find(u'\0') != std::u16string::npos)
            Fail("a zero unit left in a file's text", bytes);
        const size_t split = data[0] % (text.size() + 1);
        std::string pieces(3 * text.size() + 6, '\0');
        auto* out = reinterpret_cast<unsigned char*>(pieces.data());
        Utf8Codec::Encoder encoder(Utf8Codec::Encoder::Text::File);
        size_t n = encoder.Encode(fileText.data(), split, out);
        n += encoder.Encode(fileText.data() + split, fileText.size() - split, out + n);
        n += encoder.Finish(out + n);
        pieces.resize(n);
        if (pieces != bytes)
            Fail("the text in pieces cut at " + std::to_string(split) + " encoded to other bytes", bytes);
    }

    std::u16string units(size / 2, u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    const std::string encoded = Utf8Codec::EncodeAll(units);
    if (encoded.size() > 3 * units.size())
        Fail("encoded in more than three bytes a unit", bytes);
    if (Utf8Codec::EncodeAll(Utf8Codec::DecodeAll(encoded)) != encoded)
        Fail("the bytes of a text (" + support::Show(units) + ") do not read back as themselves", bytes);
    return 0;
}
