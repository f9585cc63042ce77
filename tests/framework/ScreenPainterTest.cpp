// The painter: what the paint pass shows of each window, where it shows it,
// and what it draws around and over the windows' own painting.
#include "framework/win/ScreenPainter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win/WindowCreation.h"
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

// Text of every plane: each character in the cells its width gives it, marks
// on the cell before them, a wide character cut by an edge as a blank.
TEST(ScreenPainter, DrawsWideCharactersAndMarksWhole)
{
    struct Text {
        CRect cells;  // of a one-row static in the window below
        const char16_t* text;
    };
    struct WideCase {
        const char* what;
        std::vector<Text> statics;
        CRect popup;  // a popup filled with 'm' over them, if not empty
        std::string row;
    };
    const WideCase cases[] = {
        {"wide characters two cells each, a surrogate pair one character",
         {{{0, 0, 12, 1}, u"a\u4E2D\U0001F600b\uFF21"}},
         {},
         "a\u4E2D\U0001F600b\uFF21    "},
        {"marks and joiners on the cell before them",
         {{{0, 0, 12, 1}, u"e\u0301x\U0001F468\u200D\U0001F469\u2764\uFE0F."}},
         {},
         "e\u0301x\U0001F468\u200D\U0001F469\u2764\uFE0F.    "},
        {"a mark that starts a text: a cell of its own", {{{0, 0, 12, 1}, u"\u0301a"}}, {}, "\u0301a          "},
        {"a byte that is no character: one stand-in cell",
         {{{0, 0, 12, 1},
           u"a\xDCE9"
           u"b"}},
         {},
         "a\uFFFDb         "},
        {"cut by the window's right edge: a blank, not half",
         {{{0, 0, 5, 1}, u"ab\u4E2D\u6587"}},
         {},
         "ab\u4E2D ......."},
        {"cut by the screen's right edge", {{{9, 0, 14, 1}, u"ab\u4E2D"}}, {}, ".........ab "},
        {"a popup over both halves' neighbours: the halves it cuts blank",
         {{{0, 0, 12, 1}, u"\u4E2D\u6587\u4E2D\u6587\u4E2D\u6587"}},
         {3, 0, 7, 1},
         "\u4E2D mmmm \u4E2D\u6587"},
        {"text over one half of a wide character blanks the other",
         {{{0, 0, 12, 1}, u"\u4E2D\u6587\u4E2D\u6587\u4E2D\u6587"}, {{3, 0, 5, 1}, u"xy"}},
         {},
         "\u4E2D xy \u6587\u4E2D\u6587"},
    };
    for (const WideCase& c : cases) {
        SCOPED_TRACE(c.what);
        WindowLog log;
        support::HeadlessWindows windows(12, 2);
        HWND owner = MakeLoggedWindow(log, "owner", {0, 0, 12, 2}, {.fill = u'.'});
        for (const Text& t : c.statics)
            CreateWindowEx(0, u"STATIC", t.text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                           t.cells.left * 10, t.cells.top * 16, t.cells.Width() * 10, 16, owner, 0, nullptr);
        if (!c.popup.IsRectEmpty())
            MakeLoggedWindow(log, "popup", c.popup, {.style = WS_POPUP | WS_VISIBLE, .fill = u'm'}, nullptr, owner);
        EXPECT_EQ(windows.host.Row(0), c.row);
    }
    // The stand-in has a look of its own.
    WindowLog log;
    support::HeadlessWindows windows(12, 2);
    HWND owner = MakeLoggedWindow(log, "owner", {0, 0, 12, 2}, {});
    CreateWindowEx(0, u"STATIC", u"\xDCE9\uFFFD", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 0, 0, 120, 16, owner, 0,
                   nullptr);
    EXPECT_TRUE(windows.host.Screen().At(0, 0).attr & ATTR_STANDIN);
    EXPECT_FALSE(windows.host.Screen().At(1, 0).attr & ATTR_STANDIN);
}

}  // namespace
