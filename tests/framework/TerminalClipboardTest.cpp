// Handing text to the terminal's clipboard: Base64 and the OSC 52 sequence.
#include <gtest/gtest.h>

#include <string>

#include "framework/host/TerminalClipboard.h"

namespace {

TEST(TerminalClipboardTest, Base64PadsTheLastGroup)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xFF\xFE", "//4="},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(TerminalClipboard::Base64(bytes), expected) << bytes;
}

TEST(TerminalClipboardTest, Osc52CarriesTheTextAsUtf8)
{
    EXPECT_EQ(TerminalClipboard::Osc52(u"\u00E9"), "\033]52;c;w6k=\a");
}

}  // namespace
