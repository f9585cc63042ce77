#include "framework/host/CanvasDiff.h"

std::vector<CellRun> DiffCanvas(const Canvas& shown, const Canvas& next, int joinGap)
{
    std::vector<CellRun> runs;
    const int cols = next.Cols();
    const int rows = next.Rows();
    if (shown.Cols() != cols || shown.Rows() != rows) {
        if (cols > 0)
            for (int y = 0; y < rows; ++y)
                runs.push_back({y, 0, cols});
        return runs;
    }
    for (int y = 0; y < rows; ++y) {
        int start = -1;  // first cell of the open run
        int last = -1;   // last changed cell of the open run
        for (int x = 0; x < cols; ++x) {
            if (next.SameCell(shown, x, y))
                continue;
            if (start >= 0 && x - last - 1 > joinGap) {
                runs.push_back({y, start, last - start + 1});
                start = -1;
            }
            if (start < 0)
                start = x;
            last = x;
        }
        if (start >= 0)
            runs.push_back({y, start, last - start + 1});
    }
    return runs;
}
