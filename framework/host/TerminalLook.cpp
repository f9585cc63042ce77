#include "framework/host/TerminalLook.h"

#include <cstdint>

#include "framework/base/WinUser.h"

namespace {

// The scheme: the colours of each role of text at each depth. Every role
// that has colours sets both, text and background, so that its contrast
// does not depend on the terminal's own default colours (which may be
// light or dark); text on the default background gets attributes only.
// The pairs keep a contrast ratio of at least 3:1 (most of them 4.5:1 and
// more) in the usual palettes (xterm, VGA and the Linux console, Tango,
// PuTTY, Windows Terminal, macOS Terminal). At 256 colours they come from
// the colour cube and the grey ramp, which terminals do not redefine, so
// the ratios hold exactly: bars 13.6, disabled bar text 4.6, captions 6.4,
// the focus 15, fields 12.7, greyed fields and captions 5.2.
struct Role {
    int fg;
    int bg;
    unsigned video;
};
struct Scheme {
    Role bar;  // menu bar, toolbar (its buttons too), scroll bars
    Role barDisabled;
    Role caption;          // the caption of a popup window
    Role captionInactive;  // ... beneath a modal window
    Role button;
    Role buttonFocus;
    Role buttonDisabled;
    Role field;  // edit fields, lists, combo boxes
    Role fieldDisabled;
    Role focus;  // a focused check box or other control
};
constexpr unsigned kBold = TerminalLook::kVideoBold;
constexpr unsigned kDim = TerminalLook::kVideoDim;
// Eight colours: no grey, so disabled things are dim.
constexpr Scheme kScheme8{
    {0, 7, 0}, {0, 7, kDim}, {7, 4, kBold}, {0, 7, 0},    {0, 7, 0},
    {0, 3, 0}, {0, 7, kDim}, {0, 6, 0},     {0, 7, kDim}, {0, 3, 0},
};
constexpr Scheme kScheme16{
    {0, 7, 0},  {8, 7, 0}, {15, 4, kBold}, {15, 8, 0}, {0, 7, 0},
    {0, 11, 0}, {8, 7, 0}, {0, 6, 0},      {15, 8, 0}, {0, 11, 0},
};
// 16 #000000, 25 #005faf, 116 #87d7d7, 220 #ffd700, 231 #ffffff,
// 240 #585858, 242 #6c6c6c, 252 #d0d0d0.
constexpr Scheme kScheme256{
    {16, 252, 0}, {240, 252, 0}, {231, 25, kBold}, {231, 242, 0}, {16, 252, 0},
    {16, 220, 0}, {240, 252, 0}, {16, 116, 0},     {231, 242, 0}, {16, 220, 0},
};

// The lower half block, for a pixel whose upper half is transparent.
constexpr char16_t kLowerHalf = u'\u2584';

// Whether an icon palette colour counts as lit when there are no colours.
// The icon palette is the classic 16-colour one, whose order matches the
// terminal's ANSI colour numbers (black, maroon, green, olive, navy, ...).
bool IsLight(int index)
{
    static constexpr bool kLight[16]
        = {false, false, false, true, false, false, false, true, true, false, true, true, false, true, true, true};
    return index >= 0 && index < 16 && kLight[index];
}
}  // namespace

TerminalLook::Look TerminalLook::LookOf(const Cell& cell, const Caps& caps)
{
    Look look;
    look.ch = cell.ch;
    const std::uint16_t a = cell.attr;
    const bool caption = a & ATTR_CAPTION;
    const bool bar = a & ATTR_BAR;
    const bool button = a & ATTR_BUTTON;
    const bool field = a & ATTR_FIELD;
    const bool focus = a & ATTR_FOCUS;
    // Windows beneath a modal one look like disabled controls.
    const bool disabled = a & (ATTR_DISABLED | ATTR_INACTIVE);
    const bool pixels = cell.fg >= 0 || cell.bg >= 0;

    if (caps.colours < 8) {
        // Monochrome: bars and captions in reverse video, fields underlined,
        // the focus bold, disabled things dim.
        if (caption)
            look.video = kVideoReverse | kVideoBold;
        else if (bar)
            look.video = kVideoReverse;
        else if (button && focus)
            look.video = kVideoReverse;
        else if (field)
            look.video = kVideoUnderline | (focus ? unsigned(kVideoBold) : 0u);
        else if (focus)
            look.video = kVideoBold;
        if (disabled)
            look.video |= kVideoDim;
        if (pixels && cell.ch == kUpperHalf) {
            // Pixel art: lit halves as blocks, both halves as a reversed cell.
            bool top = IsLight(cell.fg);
            bool bottom = IsLight(cell.bg);
            look.ch = u' ';
            if (top && bottom)
                look.video ^= kVideoReverse;
            else if (top || bottom) {
                if (caps.unicode)
                    look.ch = top ? kUpperHalf : kLowerHalf;
                else
                    look.video ^= kVideoReverse;
            }
        }
    } else {
        const Scheme& scheme = caps.colours >= 256 ? kScheme256 : caps.colours >= 16 ? kScheme16 : kScheme8;
        Role role{-1, -1, 0};
        if (caption)
            role = disabled ? scheme.captionInactive : scheme.caption;
        else if (bar)
            role = disabled ? scheme.barDisabled : scheme.bar;
        else if (button)
            role = disabled ? scheme.buttonDisabled : focus ? scheme.buttonFocus : scheme.button;
        else if (field)
            role = disabled ? scheme.fieldDisabled : scheme.field;
        else if (disabled)
            role = {-1, -1, kVideoDim};
        else if (focus)
            role = scheme.focus;
        int fg = role.fg;
        int bg = role.bg;
        look.video = role.video;
        if (pixels) {
            if (cell.ch == kUpperHalf) {
                // Two pixels a cell: the upper one as the foreground of an
                // upper half block, the lower one as its background (palette
                // indices are terminal colour numbers, see IsLight). A
                // transparent half shows the background around it.
                if (cell.fg >= 0 && cell.bg >= 0) {
                    fg = cell.fg;
                    bg = cell.bg;
                } else if (cell.fg >= 0) {
                    fg = cell.fg;
                } else {
                    look.ch = kLowerHalf;
                    fg = cell.bg;
                }
                if (!caps.unicode) {
                    bg = cell.fg >= 0 ? cell.fg : cell.bg;
                    look.ch = u' ';
                }
            } else {
                if (cell.fg >= 0)
                    fg = cell.fg;
                if (cell.bg >= 0)
                    bg = cell.bg;
            }
        }
        if (caps.colours < 16) {
            // Eight colours: bright pixels' foregrounds become bold, bright
            // backgrounds their dark twins.
            if (fg >= 8) {
                fg -= 8;
                look.video |= kVideoBold;
            }
            if (bg >= 8)
                bg -= 8;
        }
        look.fg = fg;
        look.bg = bg;
    }
    if (a & ATTR_REVERSE)
        look.video ^= kVideoReverse;
    if (a & ATTR_STANDIN)
        look.video ^= kVideoReverse;
    if (a & ATTR_BOLD)
        look.video |= kVideoBold;
    return look;
}

char32_t TerminalLook::StandIn(char32_t ch)
{
    if (ch >= 0x2500 && ch <= 0x257F) {
        // Box drawing: horizontal lines, vertical lines, everything else a
        // corner or junction.
        switch (ch) {
        case 0x2500:
        case 0x2501:
        case 0x2504:
        case 0x2505:
        case 0x2508:
        case 0x2509:
        case 0x254C:
        case 0x254D:
        case 0x2550: return u'-';
        case 0x2502:
        case 0x2503:
        case 0x2506:
        case 0x2507:
        case 0x250A:
        case 0x250B:
        case 0x254E:
        case 0x254F:
        case 0x2551: return u'|';
        default: return u'+';
        }
    }
    switch (ch) {
    case 0x00A0: return u' ';
    case 0x00B7:
    case 0x2022: return u'*';
    case 0x2013:
    case 0x2014: return u'-';
    case 0x2018:
    case 0x2019: return u'\'';
    case 0x201C:
    case 0x201D: return u'"';
    case 0x2026: return u'.';
    case 0x2580: return u'"';
    case 0x2584: return u'_';
    case 0x2588:
    case 0x2593: return u'#';
    case 0x2591: return u':';
    case 0x2592: return u'%';
    case 0x25B2: return u'^';
    case 0x25BC: return u'v';
    case 0x25B6:
    case 0x25BA: return u'>';
    case 0x25C0:
    case 0x25C4: return u'<';
    case 0x2713:
    case 0x2714: return u'x';
    default: return 0;
    }
}
