// Bracketed paste: the pasted characters as the text typing them would give.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/host/PasteDecoder.h"

namespace {

// The text of the Paste events, each piece's start marked with "|", or "!"
// for the first piece of a paste.
std::u16string Pieces(const std::vector<InputEvent>& events)
{
    std::u16string text;
    for (const InputEvent& e : events) {
        EXPECT_EQ(e.kind, InputEvent::Kind::Paste);
        text += (e.first ? u"!" : u"|") + e.text;
    }
    return text;
}

TEST(PasteDecoderTest, LineEndsAreEnterControlCodesAreDropped)
{
    const std::pair<std::u32string, std::u16string> cases[] = {
        {U"a\r\nb", u"!a\rb"},
        {U"a\n\rb\r\r\n", u"!a\r\rb\r\r"},
        {U"\tx\x01\x1B\x7F\u0085y", u"!\txy"},
        {U"\u00E9\U0001F600", u"!\u00E9\U0001F600"},
        {std::u32string{0xD800, 0x110000, U'z'}, u"!z"},
        {U"\x02", u""},
    };
    for (const auto& [typed, pieces] : cases) {
        PasteDecoder paste;
        paste.Start();
        for (char32_t c : typed)
            paste.Take(c);
        std::vector<InputEvent> out;
        paste.End(out);
        EXPECT_EQ(Pieces(out), pieces);
        EXPECT_FALSE(paste.Active());
    }
}

TEST(PasteDecoderTest, PiecesComeAsDeliveredOnlyTheFirstMarkedFirst)
{
    PasteDecoder paste;
    std::vector<InputEvent> out;
    paste.Start();
    paste.Take(U'a');
    paste.Deliver(out);
    paste.Deliver(out);
    paste.Start();  // a start marker in the pasted text: the paste goes on
    EXPECT_TRUE(paste.Active());
    for (char32_t c : std::u32string_view(U"b\r"))
        paste.Take(c);
    paste.Deliver(out);
    for (char32_t c : std::u32string_view(U"\nc"))  // a CR LF pair cut by a delivery: one line end
        paste.Take(c);
    paste.End(out);
    paste.End(out);
    paste.Start();
    paste.Take(U'd');
    paste.End(out);
    EXPECT_EQ(Pieces(out), u"!a|b\r|c!d");
}

}  // namespace
