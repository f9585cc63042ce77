// Choosing what to redraw: the runs of cells that changed.
#include <gtest/gtest.h>

#include <vector>

#include "framework/host/CanvasDiff.h"

namespace {

Canvas MakeCanvas(int cols, int rows)
{
    Canvas c;
    c.Resize(cols, rows);
    return c;
}

TEST(CanvasDiffTest, OnlyChangedCellsAreRedrawn)
{
    Canvas a = MakeCanvas(20, 3);
    Canvas b = a;
    EXPECT_TRUE(DiffCanvas(a, b).empty());
    // The caret is no cell.
    b.m_caretVisible = true;
    b.m_caret = CPoint(4, 1);
    EXPECT_TRUE(DiffCanvas(a, b).empty());

    b.At(19, 2).ch = u'x';
    EXPECT_EQ(DiffCanvas(a, b), (std::vector<CellRun>{{2, 19, 1}}));
    // Attributes and colours count as changes too.
    b = a;
    b.At(0, 0).attr = ATTR_REVERSE;
    b.At(5, 1).fg = 3;
    EXPECT_EQ(DiffCanvas(a, b), (std::vector<CellRun>{{0, 0, 1}, {1, 5, 1}}));
}

TEST(CanvasDiffTest, NearbyChangesShareARun)
{
    Canvas a = MakeCanvas(20, 1);
    Canvas b = a;
    b.At(2, 0).ch = u'x';
    b.At(5, 0).ch = u'y';
    b.At(15, 0).ch = u'z';
    EXPECT_EQ(DiffCanvas(a, b, 4), (std::vector<CellRun>{{0, 2, 4}, {0, 15, 1}}));
    // Exactly joinGap unchanged cells between still join.
    EXPECT_EQ(DiffCanvas(a, b, 2), (std::vector<CellRun>{{0, 2, 4}, {0, 15, 1}}));
    EXPECT_EQ(DiffCanvas(a, b, 1), (std::vector<CellRun>{{0, 2, 1}, {0, 5, 1}, {0, 15, 1}}));
    EXPECT_EQ(DiffCanvas(a, b, 100), (std::vector<CellRun>{{0, 2, 14}}));
}

TEST(CanvasDiffTest, ANewSizeRedrawsEverything)
{
    Canvas a = MakeCanvas(3, 2);
    EXPECT_EQ(DiffCanvas(MakeCanvas(0, 0), a), (std::vector<CellRun>{{0, 0, 3}, {1, 0, 3}}));
    EXPECT_EQ(DiffCanvas(MakeCanvas(3, 3), a), (std::vector<CellRun>{{0, 0, 3}, {1, 0, 3}}));
    EXPECT_TRUE(DiffCanvas(a, MakeCanvas(0, 0)).empty());
    EXPECT_TRUE(DiffCanvas(a, MakeCanvas(0, 5)).empty());
}

}  // namespace
