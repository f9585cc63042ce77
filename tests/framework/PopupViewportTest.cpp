// The popup viewport: where a popup shows on a screen too small for it, and
// how far its client area scrolls to show the control with the focus.
#include "framework/win/PopupViewport.h"

#include <gtest/gtest.h>

#include <ostream>

#include "framework/win/WindowSystem.h"
#include "tests/support/HeadlessWindows.h"
#include "tests/support/LoggedWindow.h"

static std::ostream& operator<<(std::ostream& os, const CRect& r)
{
    return os << "(" << r.left << "," << r.top << " " << r.right << "," << r.bottom << ")";
}

static std::ostream& operator<<(std::ostream& os, const CPoint& p) { return os << "(" << p.x << "," << p.y << ")"; }

namespace {

using support::MakeLoggedWindow;

struct Case {
    const char* what;
    CSize screen;
    CRect popup;    // screen cells, as the program placed it
    CRect control;  // cells of the popup's client area
    CRect shown;    // screen cells where the popup shows
    CPoint offset;  // cells of the client area scrolled out of view
};

TEST(PopupViewport, ACutPopupShowsOnTheScreenScrolledToItsFocus)
{
    // Popups with a caption and a frame, like dialogs.
    const Case cases[] = {
        {"a popup that fits shows where it is, unscrolled",
         {40, 12},
         {5, 2, 25, 8},
         {2, 1, 8, 2},
         {5, 2, 25, 8},
         {0, 0}},
        {"a popup past the screen's edge moves onto it whole",
         {40, 12},
         {30, 0, 50, 5},
         {2, 1, 8, 2},
         {20, 0, 40, 5},
         {0, 0}},
        {"a popup taller than the screen is cut; a control below the cut comes into view with a row to spare",
         {40, 10},
         {0, 0, 30, 20},
         {2, 15, 10, 16},
         {0, 0, 30, 10},
         {0, 9}},
        {"a popup wider than the screen is cut; a control to the right comes into view with a column to spare",
         {20, 12},
         {0, 0, 50, 6},
         {40, 1, 45, 2},
         {0, 0, 20, 6},
         {27, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        support::WindowLog log;
        support::HeadlessWindows windows(c.screen.cx, c.screen.cy);
        HWND popup
            = MakeLoggedWindow(log, "popup", c.popup, {.style = WS_POPUP | WS_CAPTION | WS_VISIBLE, .framed = true});
        HWND control = MakeLoggedWindow(log, "control", c.control, {.style = WS_VISIBLE}, popup);
        SetFocus(control);
        PopupViewport& viewport = WindowSystem::Get().Viewport();
        EXPECT_EQ(viewport.WindowCells(popup), c.shown);
        EXPECT_EQ(viewport.ViewOffset(popup), c.offset);
    }
}

TEST(PopupViewport, ScrollingStopsAtWhatIsCutOff)
{
    support::WindowLog log;
    support::HeadlessWindows windows(20, 8);
    HWND popup = MakeLoggedWindow(log, "popup", {0, 0, 30, 12}, {.style = WS_POPUP | WS_VISIBLE, .framed = true});
    PopupViewport& viewport = WindowSystem::Get().Viewport();
    EXPECT_FALSE(viewport.ScrollView(popup, -1, -1));
    EXPECT_TRUE(viewport.ScrollView(popup, 100, 100));
    EXPECT_EQ(viewport.ViewOffset(popup), CPoint(10, 4));
    EXPECT_FALSE(viewport.ScrollView(popup, 1, 1));
    // A larger screen shows more, and scrolls back as far as it must.
    windows.host.Resize(20, 10);
    windows.host.Run();
    EXPECT_EQ(viewport.ViewOffset(popup), CPoint(10, 2));
}

}  // namespace
