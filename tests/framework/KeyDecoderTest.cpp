// Keys from terminal input: xterm's sequences, the description's, curses key
// codes and the control characters.
#include <gtest/gtest.h>

#include <functional>
#include <string_view>
#include <tuple>
#include <vector>

#include "framework/base/WinUser.h"
#include "framework/host/KeyDecoder.h"

// For the key codes curses reports; last because of its macros.
#define NCURSES_WIDECHAR 1
#include <curses.h>

namespace {

// vk, ch, ctrl, shift, alt
using KeyTuple = std::tuple<UINT, char16_t, bool, bool, bool>;
KeyTuple Key(UINT vk, char16_t ch = 0, bool ctrl = false, bool shift = false, bool alt = false)
{
    return {vk, ch, ctrl, shift, alt};
}

std::vector<KeyTuple> Tuples(const std::vector<InputEvent>& events)
{
    std::vector<KeyTuple> out;
    for (const InputEvent& e : events) {
        EXPECT_EQ(e.kind, InputEvent::Kind::Key);
        out.emplace_back(e.vk, e.ch, e.ctrl, e.shift, e.alt);
    }
    return out;
}

TEST(KeyDecoderTest, CsiSequences)
{
    const struct {
        std::string_view parameters;
        char final;
        std::vector<KeyTuple> keys;
    } cases[] = {
        {"", 'A', {Key(VK_UP)}},
        {"1;5", 'D', {Key(VK_LEFT, 0, true)}},
        {"5", 'A', {Key(VK_UP, 0, true)}},                     // the modifier first
        {"1;9", 'C', {Key(VK_RIGHT, 0, false, false, true)}},  // Meta is Alt
        {"1;8", 'H', {Key(VK_HOME, 0, true, true, true)}},
        {"3;2", '~', {Key(VK_DELETE, 0, false, true)}},
        {"2;5;1;1;9", '~', {Key(VK_INSERT, 0, true)}},  // past the fourth: ignored
        {"13", '~', {Key(VK_F1 + 2)}},
        {"21", '~', {Key(VK_F10)}},
        {"23;3", '~', {Key(VK_F1 + 10, 0, false, false, true)}},
        {"", 'Z', {Key(VK_TAB, 0x09, false, true)}},
        {"16", '~', {}},
        {"1;5", 'X', {}},
        {"", 'I', {}},  // a focus report
    };
    for (const auto& c : cases) {
        auto parameters = KeyDecoder::ParseCsi(c.parameters);
        ASSERT_TRUE(parameters) << c.parameters;
        std::vector<InputEvent> out;
        KeyDecoder::DecodeCsi(*parameters, c.final, out);
        EXPECT_EQ(Tuples(out), c.keys) << c.parameters << c.final;
    }
    // Intermediate bytes and colons: no key is known for those.
    for (std::string_view parameters : {"1:5", "1 ", "1;5$"})
        EXPECT_FALSE(KeyDecoder::ParseCsi(parameters)) << parameters;
}

TEST(KeyDecoderTest, OtherSequencesKeyCodesAndControlCharacters)
{
    KeyDecoder keys;
    keys.DefineSequence("\x1B[7~", KEY_END);
    using Events = std::vector<InputEvent>;
    const struct {
        const char* what;
        std::function<void(Events&)> decode;
        std::vector<KeyTuple> keys;
    } cases[] = {
        {"SS3 M", [](Events& out) { KeyDecoder::DecodeSs3('M', out); }, {Key(VK_RETURN, 0x0D)}},
        {"SS3 S", [](Events& out) { KeyDecoder::DecodeSs3('S', out); }, {Key(VK_F4)}},
        {"SS3 x", [](Events& out) { KeyDecoder::DecodeSs3('x', out); }, {}},
        {"console E", [](Events& out) { KeyDecoder::DecodeLinuxFunction('E', out); }, {Key(VK_F1 + 4)}},
        {"console F", [](Events& out) { KeyDecoder::DecodeLinuxFunction('F', out); }, {}},
        {"described", [&](Events& out) { EXPECT_TRUE(keys.DecodeDescribed("\x1B[7~", out)); }, {Key(VK_END)}},
        {"not described", [&](Events& out) { EXPECT_FALSE(keys.DecodeDescribed("\x1B[8~", out)); }, {}},
        {"F37", [&](Events& out) { keys.DecodeKeyCode(KEY_F(37), false, out); }, {Key(VK_F1, 0, true, true)}},
        {"Alt+A1", [&](Events& out) { keys.DecodeKeyCode(KEY_A1, true, out); }, {Key(VK_HOME, 0, false, false, true)}},
        {"Ctrl+\\", [](Events& out) { KeyDecoder::DecodeChar(0x1C, false, out); }, {Key(0xDC, 0x1C, true)}},
        {"Ctrl+]", [](Events& out) { KeyDecoder::DecodeChar(0x1D, false, out); }, {Key(0xDD, 0x1D, true)}},
        {"Ctrl+^", [](Events& out) { KeyDecoder::DecodeChar(0x1E, false, out); }, {Key('6', 0x1E, true, true)}},
        {"Ctrl+_", [](Events& out) { KeyDecoder::DecodeChar(0x1F, false, out); }, {Key(0xBD, 0x1F, true, true)}},
        {"Alt+Tab",
         [](Events& out) { KeyDecoder::DecodeChar(0x09, true, out); },
         {Key(VK_TAB, 0x09, false, false, true)}},
        {"Alt+Z", [](Events& out) { KeyDecoder::DecodeChar(U'Z', true, out); }, {Key('Z', u'Z', false, true, true)}},
    };
    for (const auto& c : cases) {
        Events out;
        c.decode(out);
        EXPECT_EQ(Tuples(out), c.keys) << c.what;
    }
}

}  // namespace
