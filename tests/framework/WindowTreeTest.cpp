// The window tree: the messages that making, destroying and focusing
// windows send, in their order, and where the focus is afterwards.
#include "framework/win/WindowTree.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/win/WindowSystem.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/LoggedWindow.h"

namespace {

using support::MakeLoggedWindow;
using support::WindowLog;

// A top-level window "a" with the children "b" and "c", and a popup "d"
// that "a" owns.
struct Scene {
    explicit Scene(WindowLog& log)
    {
        a = MakeLoggedWindow(log, "a", CRect(0, 0, 20, 10), {});
        b = MakeLoggedWindow(log, "b", CRect(0, 0, 5, 1), {}, a);
        c = MakeLoggedWindow(log, "c", CRect(0, 2, 5, 3), {}, a);
        d = MakeLoggedWindow(log, "d", CRect(2, 2, 8, 6), {.style = WS_POPUP | WS_VISIBLE}, nullptr, a);
        log.Take();
    }
    HWND a, b, c, d;
};

struct Case {
    const char* what;
    std::function<void(WindowLog&, Scene&)> change;
    std::string messages;
    const char* focus;
};

TEST(WindowTree, EachChangeSendsItsMessagesInOrder)
{
    const Case cases[] = {
        {"a window is made: its creation, then its size",
         [](WindowLog& log, Scene&) { MakeLoggedWindow(log, "e", CRect(0, 0, 4, 4), {}); },
         "e:WM_NCCREATE e:WM_CREATE e:WM_SIZE", "none"},
        {"the focus moves: the window losing it hears first, then the one taking it, then its top-level window",
         [](WindowLog&, Scene& s) {
             SetFocus(s.b);
             SetFocus(s.c);
         },
         "b:WM_SETFOCUS a:WM_FOCUSCHANGED b:WM_KILLFOCUS c:WM_SETFOCUS a:WM_FOCUSCHANGED", "c"},
        {"a window goes: its children after it, the popup it owns, and its own end last; the focus in it goes too",
         [](WindowLog&, Scene& s) {
             SetFocus(s.b);
             DestroyWindow(s.a);
         },
         "b:WM_SETFOCUS a:WM_FOCUSCHANGED a:WM_DESTROY c:WM_DESTROY c:WM_NCDESTROY b:WM_DESTROY b:WM_NCDESTROY "
         "d:WM_DESTROY d:WM_NCDESTROY a:WM_NCDESTROY",
         "none"},
        {"a resize that keeps the size sends nothing; one that changes it, the new size",
         [](WindowLog&, Scene& s) {
             MoveWindow(s.b, 10, 0, 50, 16);
             MoveWindow(s.b, 10, 0, 60, 16);
         },
         "b:WM_SIZE", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowLog log;
        support::HeadlessWindows windows;
        Scene scene(log);
        c.change(log, scene);
        EXPECT_EQ(log.Take(), c.messages);
        EXPECT_EQ(log.NameOf(WindowSystem::Get().Tree().Focus()), c.focus);
    }
}

}  // namespace
