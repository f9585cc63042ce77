// UTF-8 a byte at a time: the code points of the well-formed sequences.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

#include "framework/host/Utf8Decoder.h"

namespace {

std::u32string Decode(Utf8Decoder& utf8, std::string_view bytes)
{
    std::u32string out;
    for (char b : bytes)
        if (std::optional<char32_t> c = utf8.Take(static_cast<unsigned char>(b)))
            out += *c;
    return out;
}

TEST(Utf8DecoderTest, MalformedBytesAreDroppedWithoutWhatFollows)
{
    const std::pair<std::string_view, std::u32string> cases[] = {
        {"h\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", U"h\u00E9\u20AC\U0001F600"},
        {"\xBD"
         "a",
         U"a"},  // a stray continuation
        {"\xFF\xC0\xAF"
         "b",
         U"b"},  // bytes UTF-8 never has
        {"\xE0\x80\xAF"
         "c",
         U"c"},  // an overlong form
        {"\xED\xA0\x80"
         "d",
         U"d"},  // an encoded surrogate
        {"\xF4\x90\x80\x80"
         "e",
         U"e"},  // above U+10FFFF
        {"\xC3"
         "f",
         U"f"},  // cut short: the byte counts for itself
        {"\xE2\x82\x11", U"\x11"},
    };
    for (const auto& [bytes, text] : cases) {
        Utf8Decoder utf8;
        EXPECT_EQ(Decode(utf8, bytes), text) << testing::PrintToString(bytes);
        EXPECT_FALSE(utf8.Open());
    }
    // A sequence under way is open until its last byte, or until dropped.
    Utf8Decoder utf8;
    EXPECT_EQ(Decode(utf8, "\xE2\x82"), U"");
    EXPECT_TRUE(utf8.Open());
    utf8.Reset();
    EXPECT_FALSE(utf8.Open());
    EXPECT_EQ(Decode(utf8, "\xAC"), U"");
}

}  // namespace
