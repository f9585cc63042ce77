// Dialog-template controls fitted to cells: one-line controls take one row,
// push buttons show their bracketed labels a cell apart from their
// neighbours, and controls stacked on purpose keep their places.
#include "framework/win/ControlFitting.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "framework/base/WinUser.h"

static std::ostream& operator<<(std::ostream& os, const CRect& r)
{
    return os << "(" << r.left << "," << r.top << " " << r.right << "," << r.bottom << ")";
}

namespace {

res::DialogItem Item(std::u16string_view cls, std::u16string_view text, DWORD style, int x, int y, int cx, int cy)
{
    return {cls, text, 0, -1, WS_CHILD | WS_VISIBLE | style, 0, x, y, cx, cy};
}

struct Case {
    const char* what;
    std::vector<res::DialogItem> items;
    std::vector<CRect> cells;
};

TEST(ControlFitting, FitsEachControlToWhatItShows)
{
    const Case cases[] = {
        {"buttons touching in dialog units stand a cell apart, the narrow one wide enough for its label",
         {Item(u"BUTTON", u"Find", BS_PUSHBUTTON, 0, 29, 41, 12),
          Item(u"BUTTON", u"Replace", BS_PUSHBUTTON, 41, 29, 41, 12),
          Item(u"BUTTON", u"Replace all", BS_PUSHBUTTON, 82, 29, 41, 12)},
         {CRect(0, 4, 11, 5), CRect(12, 4, 24, 5), CRect(25, 4, 38, 5)}},
        {"a single-line field of one and three quarter rows is one row; a multi-line one keeps its rows",
         {Item(u"EDIT", u"", ES_AUTOHSCROLL, 39, 0, 32, 14), Item(u"EDIT", u"", ES_MULTILINE, 7, 35, 233, 88)},
         {CRect(12, 0, 21, 1), CRect(2, 4, 72, 15)}},
        {"a check box has room for its box and label",
         {Item(u"BUTTON", u"Match case", BS_AUTOCHECKBOX, 1, 43, 20, 10)},
         {CRect(0, 5, 14, 6)}},
        {"a button over a combo box that shares its place stays where it is",
         {Item(u"COMBOBOX", u"", CBS_DROPDOWN, 46, 0, 75, 41), Item(u"BUTTON", u"Go to", BS_PUSHBUTTON, 75, 0, 24, 14)},
         {CRect(14, 0, 36, 5), CRect(23, 0, 30, 1)}},
        {"a control beside a button moves along when the button has no width to spare",
         {Item(u"BUTTON", u"&Apply", BS_PUSHBUTTON, 0, 0, 24, 12), Item(u"STATIC", u"Note", 0, 24, 0, 30, 8)},
         {CRect(0, 0, 7, 1), CRect(8, 0, 17, 1)}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitControlsToCells(c.items), c.cells) << c.what;
}

}  // namespace
