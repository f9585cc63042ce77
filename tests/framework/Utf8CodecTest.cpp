// The one UTF-8 codec of files and of the system's names: every class of
// byte sequence both ways, the pieces of a text and the blocks of a file.
#include "framework/base/Utf8Codec.h"

#include <gtest/gtest.h>

#include "framework/base/String.h"
#include "tests/support/Text.h"

using support::Show;

namespace {

std::string Hex(std::string_view bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char b : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", b);
        out += buf;
    }
    return out;
}

// Bytes and the text they are, each the other's image: decoded, the bytes
// give the text; encoded, the text gives the bytes. File names take the
// same way (CString::FromBytes, ToBytes).
TEST(Utf8CodecTest, EveryClassOfSequenceDecodesAndEncodesBack)
{
    const std::string ascii40(40, 'a');
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"ASCII", "abc\r\n", u"abc\r\n"},
        {"two bytes", "caf\xC3\xA9", u"caf\u00E9"},
        {"three bytes", "\xE4\xB8\xAD", u"\u4E2D"},
        {"four bytes: a pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"the highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"a byte order mark", "\xEF\xBB\xBFx", u"\uFEFFx"},
        {"a stray Latin-1 byte", "caf\xE9!", u"caf\xDCE9!"},
        {"stray continuation bytes", "\x80\xBF", u"\xDC80\xDCBF"},
        {"overlong two bytes", "\xC0\xAF", u"\xDCC0\xDCAF"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\xDCE0\xDC80\xDCAF"},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", u"\xDCF0\xDC8F\xDCBF\xDCBF"},
        {"an encoded surrogate", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
        {"never in UTF-8", "\xF5\xFE\xFF", u"\xDCF5\xDCFE\xDCFF"},
        {"cut at the end", "a\xE4\xB8", u"a\xDCE4\xDCB8"},
        {"cut by another character",
         "\xF0\x9F\x98"
         "a",
         u"\xDCF0\xDC9F\xDC98"
         u"a"},
        {"a lead byte twice", "\xC3\xC3\xA9", u"\xDCC3\u00E9"},
        {"in a run of ASCII", ascii40 + "\xE9" + ascii40 + "\xC3\xA9",
         support::Widened(ascii40) + u"\xDCE9" + support::Widened(ascii40) + u"\u00E9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Show(Utf8Codec::DecodeAll(c.bytes)), Show(c.text));
        EXPECT_EQ(Hex(Utf8Codec::EncodeAll(c.text)), Hex(c.bytes));
        EXPECT_EQ(Show(CString::FromBytes(c.bytes).Str()), Show(c.text));
        EXPECT_EQ(Hex(CString(c.text).ToBytes()), Hex(c.bytes));
    }
}

// Text no bytes decode to: surrogates that are neither a pair nor a kept
// byte are U+FFFD; a high surrogate before a kept byte is a pair like any.
TEST(Utf8CodecTest, SurrogatesNoBytesMakeEncodeAsReplacement)
{
    struct Case {
        const char* what;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {"a high surrogate at the end", u"a\xD83D", "a\xEF\xBF\xBD"},
        {"a high surrogate before a letter", u"\xD83Dz", "\xEF\xBF\xBDz"},
        {"a low surrogate below the kept bytes", u"\xDC7F", "\xEF\xBF\xBD"},
        {"a low surrogate above the kept bytes", u"\xDD00", "\xEF\xBF\xBD"},
        {"a high surrogate before a kept byte", u"\xD83D\xDC80", "\xF0\x9F\x92\x80"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Hex(Utf8Codec::EncodeAll(c.text)), Hex(c.bytes));
    }
}

// A text in two pieces (the edit buffer's gap between the halves of a pair)
// encodes as if whole; bytes in blocks (a file read a block at a time)
// decode as if whole, a sequence cut by a block's end left for the next.
TEST(Utf8CodecTest, PiecesAndBlocksAreAsIfWhole)
{
    const std::u16string text = u"a\U0001F600b\u00E9\xDCFF\U0001F600";
    const std::string bytes = Utf8Codec::EncodeAll(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        SCOPED_TRACE("text cut at " + std::to_string(cut));
        std::string out(3 * text.size() + 6, '\0');
        auto* p = reinterpret_cast<unsigned char*>(out.data());
        Utf8Codec::Encoder encoder;
        size_t n = encoder.Encode(text.data(), cut, p);
        n += encoder.Encode(text.data() + cut, text.size() - cut, p + n);
        n += encoder.Finish(p + n);
        out.resize(n);
        EXPECT_EQ(Hex(out), Hex(bytes));
    }
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE("bytes cut at " + std::to_string(cut));
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
        std::u16string out(bytes.size(), u'\0');
        const Utf8Codec::Decoded first = Utf8Codec::Decode(b, cut, out.data(), false);
        EXPECT_GE(first.read + 3, cut);
        const Utf8Codec::Decoded rest
            = Utf8Codec::Decode(b + first.read, bytes.size() - first.read, out.data() + first.written, true);
        EXPECT_EQ(first.read + rest.read, bytes.size());
        out.resize(first.written + rest.written);
        EXPECT_EQ(Show(out), Show(text));
    }
}

}  // namespace
