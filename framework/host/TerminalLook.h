// How a cell of the canvas looks on a terminal: its attributes and palette
// colours turned into terminal colours and video attributes, by a colour
// scheme for 8, 16 and 256 colours and for none; and ASCII stand-ins for
// symbols a character set lacks.
#pragma once

#include "framework/screen/Canvas.h"

class TerminalLook {
public:
    // What a terminal can show: how many colours (0 for none) and whether
    // block characters are available in the locale's character set.
    struct Caps {
        int colours = 0;
        bool unicode = true;
    };
    // Video attributes of a look.
    enum Video : unsigned {
        kVideoBold = 1,
        kVideoDim = 2,
        kVideoReverse = 4,
        kVideoUnderline = 8,
    };
    // How a cell appears: the character, the terminal colours (0..255, the
    // first 16 in the usual ANSI order; -1 the terminal's default) and
    // video attributes.
    struct Look {
        char32_t ch = U' ';
        int fg = -1;
        int bg = -1;
        unsigned video = 0;
        friend bool operator==(const Look&, const Look&) = default;
    };
    // Maps a cell's attributes and palette colours to a look. A stand-in for
    // a byte that is no character (ATTR_STANDIN) shows in reverse video.
    static Look LookOf(const Cell& cell, const Caps& caps);
    // An ASCII stand-in for a symbol the terminal cannot show (box lines,
    // arrows, blocks), or 0 when there is none.
    static char32_t StandIn(char32_t ch);
    // The upper half block, which pixel art is drawn with; whether the
    // terminal can show it decides Caps::unicode.
    static constexpr char16_t kUpperHalf = u'\u2580';
    // Colours that stand in for the terminal's defaults where it has none.
    static constexpr int kWhite = 7;
    static constexpr int kBlack = 0;
};
