// Mouse reports, in both encodings terminals send: SGR (Esc [ < b ; x ; y M,
// or m for a release) and the older X10 one (Esc [ M and three bytes, each
// value + 32). The left button makes presses, drags and releases; the wheel
// (buttons 64 and 65) makes wheel notches; the other buttons and moves
// without a button make nothing. TerminalKeyMap finds the reports and hands
// over their parameters or bytes.
#pragma once

#include <string_view>
#include <vector>

#include "framework/screen/InputEvent.h"

class MouseDecoder {
public:
    // An SGR report's parameters after the "<" ("b;x;y", the cell counted
    // from 1); `release` for the final "m". Nothing for malformed ones.
    void DecodeSgr(std::string_view parameters, bool release, std::vector<InputEvent>& out);
    // An X10 report's three bytes: the button, the column and the row, each
    // its value + 32, the cell counted from 1; every release has button 3.
    void DecodeX10(unsigned char button, unsigned char column, unsigned char row, std::vector<InputEvent>& out);

private:
    // One report: the button code of both encodings (low bits the button,
    // 3 a release in X10; 32 a move; 64 the wheel), the cell from 0.
    void Report(int button, int x, int y, bool release, std::vector<InputEvent>& out);

    bool m_buttonDown = false;
};
