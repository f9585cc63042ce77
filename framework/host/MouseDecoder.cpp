#include "framework/host/MouseDecoder.h"

#include <charconv>

void MouseDecoder::DecodeSgr(std::string_view parameters, bool release, std::vector<InputEvent>& out)
{
    int values[3] = {0, 0, 0};
    const char* p = parameters.data();
    const char* end = p + parameters.size();
    for (int i = 0; i < 3; ++i) {
        auto [next, ec] = std::from_chars(p, end, values[i]);
        if (ec != std::errc() || values[i] < 0)
            return;
        p = next;
        if (i < 2) {
            if (p == end || *p != ';')
                return;
            ++p;
        }
    }
    if (p != end)
        return;
    Report(values[0], values[1] - 1, values[2] - 1, release, out);
}

void MouseDecoder::DecodeX10(unsigned char button, unsigned char column, unsigned char row,
                             std::vector<InputEvent>& out)
{
    // Bytes below 32 make no report.
    if (button < 32 || column < 32 || row < 32)
        return;
    Report(button - 32, column - 33, row - 33, false, out);
}

void MouseDecoder::Report(int button, int x, int y, bool release, std::vector<InputEvent>& out)
{
    auto make = [&](InputEvent::Kind kind) {
        InputEvent e;
        e.kind = kind;
        e.x = x < 0 ? 0 : x;
        e.y = y < 0 ? 0 : y;
        out.push_back(e);
        return &out.back();
    };
    const int which = button & 3;
    if (button & 64) {
        // The wheel: 64 away from the user, 65 towards; 66 and 67 are the
        // sideways wheel, which nothing here turns. It has no releases.
        if (!release && which < 2 && !(button & 128))
            make(InputEvent::Kind::Wheel)->notches = which == 0 ? 1 : -1;
        return;
    }
    if (button & 128)
        return;  // buttons 8 to 11
    if (button & 32) {
        // A move: a drag while the left button is down; moves without it
        // (any-motion tracking) are not reported.
        if (which == 0 && m_buttonDown)
            make(InputEvent::Kind::MouseMove);
        return;
    }
    if (release || which == 3) {
        // SGR says which button went up; X10 reports every release as 3.
        if ((which == 0 || which == 3) && m_buttonDown) {
            make(InputEvent::Kind::MouseUp);
            m_buttonDown = false;
        }
        return;
    }
    if (which != 0)
        return;  // the middle and right buttons do nothing here
    // A second press while down is what some terminals report for a drag.
    make(m_buttonDown ? InputEvent::Kind::MouseMove : InputEvent::Kind::MouseDown);
    m_buttonDown = true;
}
