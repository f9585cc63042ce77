// The input router: which window each key, paste, click and turn of the
// wheel reaches, and as which messages.
#include "framework/win/InputRouter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/win/WindowSystem.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/LoggedWindow.h"

namespace {

using support::MakeLoggedWindow;
using support::WindowLog;

// On a 20 x 6 screen: a frame "f" with a child "g" in its top-left cells,
// and over it the active popup "p" (caption and close box on row 1,
// columns 4 to 15) with a child "b" at cells (5..8, 2), which has the
// focus, and a disabled child "d" at cells (5..8, 4).
struct Scene {
    explicit Scene(WindowLog& log)
    {
        f = MakeLoggedWindow(log, "f", {0, 0, 20, 6}, {});
        g = MakeLoggedWindow(log, "g", {0, 0, 4, 1}, {}, f);
        p = MakeLoggedWindow(log, "p", {4, 1, 16, 5}, {.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU},
                             nullptr, f);
        b = MakeLoggedWindow(log, "b", {1, 0, 5, 1}, {}, p);
        MakeLoggedWindow(log, "d", {1, 2, 5, 3}, {.style = WS_VISIBLE | WS_DISABLED}, p);
        SetFocus(b);
        log.Take();
    }
    HWND f, g, p, b;
};

struct Case {
    const char* what;
    std::function<void(HeadlessHost&, Scene&, WindowLog&)> input;
    std::string messages;
};

TEST(InputRouter, EachInputReachesItsWindow)
{
    const Case cases[] = {
        {"a click goes to the deepest window under it, which keeps the mouse until the release",
         [](HeadlessHost& host, Scene&, WindowLog&) { host.Drag(6, 2, 0, 0); },
         "b:WM_LBUTTONDOWN b:WM_MOUSEMOVE b:WM_LBUTTONUP"},
        {"a click outside the active window only tells the active window",
         [](HeadlessHost& host, Scene&, WindowLog&) { host.Click(1, 0); }, "p:WM_CANCELMODE"},
        {"a click on a disabled window goes nowhere", [](HeadlessHost& host, Scene&, WindowLog&) { host.Click(6, 4); },
         ""},
        {"a click on the close box closes the window",
         [](HeadlessHost& host, Scene&, WindowLog&) { host.Click(14, 1); },
         "p:WM_CLOSE p:WM_DESTROY d:WM_DESTROY d:WM_NCDESTROY b:WM_DESTROY b:WM_NCDESTROY p:WM_NCDESTROY"},
        {"the wheel goes to the window under the mouse, which passes it to its parent",
         [](HeadlessHost& host, Scene&, WindowLog&) { host.Wheel(6, 2, 1); }, "b:WM_MOUSEWHEEL p:WM_MOUSEWHEEL"},
        {"a key goes to the focus: its press, its character and its release",
         [](HeadlessHost& host, Scene&, WindowLog&) { host.Key('A', u'a'); }, "b:WM_KEYDOWN b:WM_CHAR b:WM_KEYUP"},
        {"a key while the focus lies outside the active window goes to the active window",
         [](HeadlessHost& host, Scene& s, WindowLog& log) {
             SetFocus(s.g);
             log.Take();
             host.Key('A', u'a');
         },
         "p:WM_KEYDOWN p:WM_CHAR g:WM_KEYUP"},
        {"a paste goes to the focus whole, and as the keys that type it where it is not taken",
         [](HeadlessHost& host, Scene&, WindowLog&) { host.TerminalPaste(u"a"); },
         "b:WM_PASTETEXT b:WM_KEYDOWN b:WM_CHAR b:WM_KEYUP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowLog log;
        support::HeadlessWindows windows(20, 6);
        Scene scene(log);
        c.input(windows.host, scene, log);
        windows.host.Run();
        EXPECT_EQ(log.Take(), c.messages);
    }
}

}  // namespace
