// How cells look on a terminal: the colour schemes' contrast and
// distinctness, monochrome, icon pixels, stand-ins.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

#include "framework/base/WinUser.h"
#include "framework/host/TerminalLook.h"

namespace {

using Look = TerminalLook::Look;
constexpr TerminalLook::Caps kMono{0, true};
constexpr TerminalLook::Caps kEight{8, true};
constexpr TerminalLook::Caps kSixteen{16, true};
constexpr TerminalLook::Caps kFull{256, true};

Look LookOf(std::uint16_t attr, const TerminalLook::Caps& caps, char16_t ch = u'a')
{
    return TerminalLook::LookOf(Cell{ch, attr}, caps);
}

TEST(TerminalLookTest, RolesSeenTogetherAreDistinguishable)
{
    // Text with its selection and beneath a modal window; a bar with its
    // disabled and opened items; a dialog's caption, label, buttons, field
    // with selection and disabled text.
    const std::vector<std::vector<std::uint16_t>> groups = {
        {ATTR_NORMAL, ATTR_REVERSE, ATTR_INACTIVE},
        {ATTR_BAR, ATTR_BAR | ATTR_DISABLED, ATTR_BAR | ATTR_REVERSE, ATTR_BAR | ATTR_REVERSE | ATTR_DISABLED},
        {ATTR_BAR | ATTR_CAPTION, ATTR_NORMAL, ATTR_BUTTON | ATTR_FOCUS, ATTR_FIELD, ATTR_FIELD | ATTR_REVERSE,
         ATTR_DISABLED},
    };
    for (const TerminalLook::Caps& caps : {kMono, kEight, kSixteen, kFull}) {
        for (std::vector<std::uint16_t> group : groups) {
            // With colours the buttons stand out from labels too.
            if (caps.colours > 0 && group.size() == 6) {
                group.push_back(ATTR_BUTTON);
                group.push_back(ATTR_BUTTON | ATTR_DISABLED);
            }
            std::set<std::tuple<int, int, unsigned>> seen;
            for (std::uint16_t role : group) {
                Look look = LookOf(role, caps);
                EXPECT_TRUE(seen.insert({look.fg, look.bg, look.video}).second)
                    << "colours " << caps.colours << ", attributes " << role;
                EXPECT_EQ(look.ch, u'a');
            }
        }
    }
}

// The contrast ratio of two colours (WCAG 2): (L1 + 0.05) / (L2 + 0.05) of
// their relative luminances.
double Luminance(unsigned rgb)
{
    auto channel = [](unsigned v) {
        double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(rgb >> 16) + 0.7152 * channel((rgb >> 8) & 0xFF) + 0.0722 * channel(rgb & 0xFF);
}

double Contrast(unsigned a, unsigned b)
{
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A terminal colour: the palette's for 0..15, the cube's and the grey
// ramp's (which terminals share) above.
unsigned Rgb(int colour, const unsigned* palette)
{
    if (colour < 16)
        return palette[colour];
    if (colour >= 232) {
        unsigned v = 8 + 10 * unsigned(colour - 232);
        return v << 16 | v << 8 | v;
    }
    static constexpr unsigned kSteps[6] = {0, 95, 135, 175, 215, 255};
    int i = colour - 16;
    return kSteps[i / 36] << 16 | kSteps[(i / 6) % 6] << 8 | kSteps[i % 6];
}

TEST(TerminalLookTest, EveryTextHasContrastWithItsBackground)
{
    // xterm's palette and the VGA one of the Linux console and PuTTY.
    static constexpr unsigned kXterm[16]
        = {0x000000, 0xCD0000, 0x00CD00, 0xCDCD00, 0x0000EE, 0xCD00CD, 0x00CDCD, 0xE5E5E5,
           0x7F7F7F, 0xFF0000, 0x00FF00, 0xFFFF00, 0x5C5CFF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    static constexpr unsigned kVga[16]
        = {0x000000, 0xAA0000, 0x00AA00, 0xAA5500, 0x0000AA, 0xAA00AA, 0x00AAAA, 0xAAAAAA,
           0x555555, 0xFF5555, 0x55FF55, 0xFFFF55, 0x5555FF, 0xFF55FF, 0x55FFFF, 0xFFFFFF};
    for (const TerminalLook::Caps& caps : {kEight, kSixteen, kFull}) {
        for (unsigned attr = 0; attr < (1u << 9); ++attr) {
            Look look = LookOf(std::uint16_t(attr), caps);
            // The terminal's own colours are unknown (light or dark): text
            // sets both colours or neither.
            ASSERT_EQ(look.fg < 0, look.bg < 0) << "colours " << caps.colours << ", attributes " << attr;
            if (look.fg < 0)
                continue;
            ASSERT_LT(look.fg, caps.colours);
            ASSERT_LT(look.bg, caps.colours);
            for (const unsigned* palette : {kXterm, kVga})
                EXPECT_GE(Contrast(Rgb(look.fg, palette), Rgb(look.bg, palette)), 3.0)
                    << "colours " << caps.colours << ", attributes " << attr << ": " << look.fg << " on " << look.bg;
        }
    }
}

TEST(TerminalLookTest, Scheme)
{
    using H = TerminalLook;
    // Enabled toolbar buttons read like the menu bar: black on grey.
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_BUTTON, kSixteen), (Look{u'a', 0, 7, 0}));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_BUTTON, kFull), (Look{u'a', 16, 252, 0}));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_BUTTON, kEight), (Look{u'a', 0, 7, 0}));

    EXPECT_EQ(LookOf(ATTR_NORMAL, kSixteen), (Look{u'a', -1, -1, 0}));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_DISABLED, kSixteen), (Look{u'a', 8, 7, 0}));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_CAPTION, kSixteen), (Look{u'a', 15, 4, H::kVideoBold}));
    EXPECT_EQ(LookOf(ATTR_BUTTON | ATTR_FOCUS, kSixteen), (Look{u'a', 0, 11, 0}));
    EXPECT_EQ(LookOf(ATTR_BUTTON | ATTR_BOLD, kSixteen), (Look{u'a', 0, 7, H::kVideoBold}));
    EXPECT_EQ(LookOf(ATTR_FIELD, kSixteen), (Look{u'a', 0, 6, 0}));
    EXPECT_EQ(LookOf(ATTR_REVERSE, kSixteen).video, unsigned(H::kVideoReverse));
    EXPECT_EQ(LookOf(ATTR_BOLD, kSixteen).video, unsigned(H::kVideoBold));
    // The focus of a check box and disabled labels lie on the terminal's
    // own background: a colour pair, or dim text in its own colours.
    EXPECT_EQ(LookOf(ATTR_FOCUS, kSixteen), (Look{u'a', 0, 11, 0}));
    EXPECT_EQ(LookOf(ATTR_DISABLED, kSixteen), (Look{u'a', -1, -1, H::kVideoDim}));
    // Beneath a modal window everything turns grey or dim.
    EXPECT_EQ(LookOf(ATTR_INACTIVE, kSixteen), (Look{u'a', -1, -1, H::kVideoDim}));
    EXPECT_EQ(LookOf(ATTR_INACTIVE | ATTR_FIELD, kSixteen), (Look{u'a', 15, 8, 0}));
    EXPECT_EQ(LookOf(ATTR_INACTIVE | ATTR_BAR | ATTR_CAPTION, kSixteen), (Look{u'a', 15, 8, 0}));

    // 256 colours: the cube's and the grey ramp's.
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_CAPTION, kFull), (Look{u'a', 231, 25, H::kVideoBold}));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_DISABLED, kFull), (Look{u'a', 240, 252, 0}));
    EXPECT_EQ(LookOf(ATTR_FIELD, kFull), (Look{u'a', 16, 116, 0}));

    // Eight colours: no bright colours, dim instead of grey.
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_CAPTION, kEight), (Look{u'a', 7, 4, H::kVideoBold}));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_DISABLED, kEight), (Look{u'a', 0, 7, H::kVideoDim}));
    EXPECT_EQ(LookOf(ATTR_BUTTON | ATTR_FOCUS, kEight).bg, 3);

    // Without colours: bars reversed, reverse toggling back inside them.
    EXPECT_EQ(LookOf(ATTR_BAR, kMono).video, unsigned(H::kVideoReverse));
    EXPECT_EQ(LookOf(ATTR_BAR | ATTR_REVERSE, kMono).video, 0u);
    EXPECT_EQ(LookOf(ATTR_FIELD, kMono).video, unsigned(H::kVideoUnderline));
    EXPECT_EQ(LookOf(ATTR_DISABLED, kMono).video, unsigned(H::kVideoDim));
    for (const TerminalLook::Caps& caps : {kMono, kEight, kSixteen, kFull})
        EXPECT_EQ(LookOf(ATTR_NORMAL, caps).fg, -1);
}

TEST(TerminalLookTest, IconPixelsAsHalfBlocks)
{
    auto pixel = [](std::int8_t top, std::int8_t bottom, const TerminalLook::Caps& caps) {
        Cell cell{u'\u2580', ATTR_NORMAL, top, bottom};
        return TerminalLook::LookOf(cell, caps);
    };
    EXPECT_EQ(pixel(12, 14, kSixteen), (Look{u'\u2580', 12, 14, 0}));
    // A transparent half shows the background.
    EXPECT_EQ(pixel(12, -1, kSixteen), (Look{u'\u2580', 12, -1, 0}));
    EXPECT_EQ(pixel(-1, 14, kSixteen), (Look{u'\u2584', 14, -1, 0}));
    // Eight colours: bright foregrounds bold, backgrounds darkened.
    EXPECT_EQ(pixel(12, 14, kEight), (Look{u'\u2580', 4, 6, TerminalLook::kVideoBold}));
    // No block characters: one colour a cell.
    EXPECT_EQ(pixel(12, 14, {16, false}), (Look{u' ', 12, 12, 0}));
    EXPECT_EQ(pixel(-1, 14, {16, false}).bg, 14);
    // No colours: lit pixels as blocks.
    EXPECT_EQ(pixel(15, 15, kMono), (Look{u' ', -1, -1, TerminalLook::kVideoReverse}));
    EXPECT_EQ(pixel(15, 0, kMono), (Look{u'\u2580', -1, -1, 0}));
    EXPECT_EQ(pixel(0, 15, kMono), (Look{u'\u2584', -1, -1, 0}));
    EXPECT_EQ(pixel(0, 15, {0, false}), (Look{u' ', -1, -1, TerminalLook::kVideoReverse}));
    EXPECT_EQ(pixel(0, -1, kMono), (Look{u' ', -1, -1, 0}));
}

TEST(TerminalLookTest, AsciiStandIns)
{
    EXPECT_EQ(TerminalLook::StandIn(u'\u2500'), u'-');
    EXPECT_EQ(TerminalLook::StandIn(u'\u2502'), u'|');
    EXPECT_EQ(TerminalLook::StandIn(u'\u250C'), u'+');
    EXPECT_EQ(TerminalLook::StandIn(u'\u25B2'), u'^');
    EXPECT_EQ(TerminalLook::StandIn(u'\u25BC'), u'v');
    EXPECT_EQ(TerminalLook::StandIn(u'\u2591'), u':');
    EXPECT_EQ(TerminalLook::StandIn(u'\u2588'), u'#');
    EXPECT_EQ(TerminalLook::StandIn(u'\u4E00'), 0);
}

}  // namespace
