// Which cells of a canvas changed since the last one shown, so a screen
// that keeps what it shows redraws only those.
#pragma once

#include <vector>

#include "framework/screen/Canvas.h"

// A run of cells on one row: columns x .. x + count - 1 of row y.
struct CellRun {
    int y = 0;
    int x = 0;
    int count = 0;
    friend bool operator==(const CellRun&, const CellRun&) = default;
};

// The runs of cells of `next` that differ from `shown` (in character,
// attributes, colours or marks), row by row, left to right. Changed cells
// with at most `joinGap` unchanged ones between them share a run, since one
// longer write is cheaper than two with a cursor move between. When the
// sizes differ every row of `next` is one whole run.
std::vector<CellRun> DiffCanvas(const Canvas& shown, const Canvas& next, int joinGap = 4);
