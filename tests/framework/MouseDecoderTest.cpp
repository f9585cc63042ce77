// Mouse reports in both encodings: the left button's presses, drags and
// releases, and the wheel.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "framework/host/MouseDecoder.h"

namespace {

using Kind = InputEvent::Kind;
using Mouse = std::tuple<Kind, int, int, int>;  // kind, x, y, notches

std::vector<Mouse> Mice(const std::vector<InputEvent>& events)
{
    std::vector<Mouse> out;
    for (const InputEvent& e : events)
        out.emplace_back(e.kind, e.x, e.y, e.notches);
    return out;
}

// A report as a terminal means it: the button code, the cell from 0.
struct Report {
    int button;
    int x;
    int y;
    bool release = false;
};

// The report in SGR ("b;x;y", the cell from 1) or X10 (each value + 32,
// the cell from 1, every release as button 3).
void Decode(MouseDecoder& mouse, const Report& r, bool sgr, std::vector<InputEvent>& out)
{
    if (sgr) {
        mouse.DecodeSgr(std::to_string(r.button) + ";" + std::to_string(r.x + 1) + ";" + std::to_string(r.y + 1),
                        r.release, out);
    } else {
        int button = r.release ? (r.button & ~3) | 3 : r.button;
        mouse.DecodeX10(static_cast<unsigned char>(button + 32), static_cast<unsigned char>(r.x + 33),
                        static_cast<unsigned char>(r.y + 33), out);
    }
}

TEST(MouseDecoderTest, TheLeftButtonAndTheWheelInBothEncodings)
{
    struct Case {
        const char* what;
        std::vector<Report> reports;
        std::vector<Mouse> events;
    } cases[] = {
        {"press, drag, release",
         {{0, 3, 4}, {32, 5, 4}, {0, 7, 5, true}},
         {{Kind::MouseDown, 3, 4, 0}, {Kind::MouseMove, 5, 4, 0}, {Kind::MouseUp, 7, 5, 0}}},
        {"a second press while down is a drag",
         {{0, 1, 1}, {0, 2, 2}, {0, 2, 2, true}},
         {{Kind::MouseDown, 1, 1, 0}, {Kind::MouseMove, 2, 2, 0}, {Kind::MouseUp, 2, 2, 0}}},
        {"a far column", {{0, 200, 0}, {0, 200, 0, true}}, {{Kind::MouseDown, 200, 0, 0}, {Kind::MouseUp, 200, 0, 0}}},
        {"a release without a press", {{0, 1, 1, true}}, {}},
        {"the middle and right buttons", {{1, 1, 1}, {1, 1, 1, true}, {2, 1, 1}, {2, 1, 1, true}}, {}},
        {"moves without the button", {{35, 1, 1}, {32, 2, 2}}, {}},
        {"the wheel, also with Shift and Ctrl; not sideways",
         {{64, 9, 2}, {65, 0, 23}, {66, 1, 1}, {67, 1, 1}, {84, 9, 2}},
         {{Kind::Wheel, 9, 2, 1}, {Kind::Wheel, 0, 23, -1}, {Kind::Wheel, 9, 2, 1}}},
        {"buttons 8 to 11", {{128, 1, 1}, {129, 1, 1}}, {}},
    };
    for (const Case& c : cases) {
        for (bool sgr : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (sgr ? " (SGR)" : " (X10)"));
            MouseDecoder mouse;
            std::vector<InputEvent> out;
            for (const Report& r : c.reports)
                Decode(mouse, r, sgr, out);
            EXPECT_EQ(Mice(out), c.events);
        }
    }
}

TEST(MouseDecoderTest, MalformedReportsMakeNothing)
{
    MouseDecoder mouse;
    std::vector<InputEvent> out;
    for (const char* parameters : {"", "0;4", "0;4;5;6", "a;1;1", "0;-1;1", "0;1;1 "})
        mouse.DecodeSgr(parameters, false, out);
    mouse.DecodeX10(31, 40, 40, out);  // bytes below 32
    mouse.DecodeX10(32, 40, 0, out);
    EXPECT_TRUE(out.empty());
    // A cell before the first (0 in SGR, byte 32 in X10) is the first.
    mouse.DecodeSgr("0;0;0", false, out);
    mouse.DecodeX10(32 + 3, 32, 32, out);
    EXPECT_EQ(Mice(out), (std::vector<Mouse>{{Kind::MouseDown, 0, 0, 0}, {Kind::MouseUp, 0, 0, 0}}));
}

}  // namespace
