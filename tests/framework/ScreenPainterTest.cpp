// The painter: what the paint pass shows of each window, where it shows it,
// and what it draws around and over the windows' own painting.
#include "framework/win/ScreenPainter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win/WindowSystem.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/LoggedWindow.h"

namespace {

using support::MakeLoggedWindow;
using support::WindowLog;

struct Case {
    const char* what;
    std::function<void(WindowLog&)> make;
    std::vector<std::string> rows;  // the 12 x 5 screen
};

TEST(ScreenPainter, PaintsEachWindowWhereItShows)
{
    const Case cases[] = {
        {"a top-level window: its caption with the close box, its client area below",
         [](WindowLog& log) {
             MakeLoggedWindow(log, "a", {0, 0, 12, 3},
                              {.style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU, .fill = u'x', .text = u"Ab"});
         },
         {" Ab      [x]", "xxxxxxxxxxxx", "xxxxxxxxxxxx", "            ", "            "}},
        {"a child over its parent, cut to the parent's client area",
         [](WindowLog& log) {
             HWND a = MakeLoggedWindow(log, "a", {0, 0, 12, 4}, {.fill = u'.'});
             MakeLoggedWindow(log, "b", {8, 1, 16, 3}, {.fill = u'b'}, a);
         },
         {"............", "........bbbb", "........bbbb", "............", "            "}},
        {"a framed popup: its frame drawn over the client area's edges, over its children too",
         [](WindowLog& log) {
             HWND p = MakeLoggedWindow(log, "p", {2, 0, 10, 4}, {.style = WS_POPUP | WS_VISIBLE, .framed = true});
             MakeLoggedWindow(log, "c", {0, 0, 8, 4}, {.fill = u'c'}, p);
         },
         {"  │cccccc│  ", "  │cccccc│  ", "  │cccccc│  ", "  └──────┘  ", "            "}},
        {"a popup taller than the screen: cut, with an arrow where it goes on",
         [](WindowLog& log) {
             MakeLoggedWindow(log, "p", {0, 0, 12, 8}, {.style = WS_POPUP | WS_VISIBLE, .framed = true});
         },
         {"│          │", "│          │", "│          │", "│          ▼", "└──────────┘"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowLog log;
        support::HeadlessWindows windows(12, 5);
        c.make(log);
        std::vector<std::string> rows;
        for (int y = 0; y < 5; ++y)
            rows.push_back(windows.host.Row(y));
        EXPECT_EQ(rows, c.rows);
    }
}

TEST(ScreenPainter, GreysTheTopLevelWindowsAModalOneDisabled)
{
    WindowLog log;
    support::HeadlessWindows windows(12, 5);
    HWND owner = MakeLoggedWindow(log, "owner", {0, 0, 12, 5}, {.fill = u'o'});
    MakeLoggedWindow(log, "modal", {4, 1, 8, 3}, {.style = WS_POPUP | WS_VISIBLE, .fill = u'm'}, nullptr, owner);
    EnableWindow(owner, FALSE);
    const Canvas& screen = windows.host.Screen();
    EXPECT_TRUE(screen.At(0, 0).attr & ATTR_INACTIVE);
    EXPECT_EQ(screen.At(4, 1).ch, u'm');
    EXPECT_FALSE(screen.At(4, 1).attr & ATTR_INACTIVE);
}

}  // namespace
