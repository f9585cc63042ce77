#include "framework/base/SafeText.h"

#include <gtest/gtest.h>

namespace {

TEST(SafeTextTest, EscapesWhatWouldSteerTheTerminal)
{
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"notes.txt", "notes.txt"},
        {"caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80"},
        {"a\x1b]2;title\x07z", "a\\x1b]2;title\\x07z"},
        {"a\x1b[31mred", "a\\x1b[31mred"},
        {"line\nforged", "line\\x0aforged"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"del\x7f", "del\\x7f"},
        {"lone\x9b"
         "1J",
         "lone\\x9b1J"},
        {"c1\xC2\x9B", "c1\\xc2\\x9b"},
        {"latin1 \xE9t\xE9", "latin1 \\xe9t\\xe9"},
        {"cut \xE4\xB8", "cut \\xe4\\xb8"},
        {"rtl \xE2\x80\xAEtxt.exe", "rtl \\xe2\\x80\\xaetxt.exe"},
        {"back\\slash", "back\\\\slash"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SafeText(c.in), c.out) << c.out;
    }
    // Into a room too small: as much as fits, never half of an escape.
    char room[6];
    EXPECT_EQ(SafeTextInto("ab\x1b", room, sizeof room), 2u);
    EXPECT_STREQ(room, "ab");
    EXPECT_EQ(SafeTextInto("ab\x1b", room, 1), 0u);
    EXPECT_STREQ(room, "");
}

}  // namespace
