#include "editor/PaneSplitter.h"

LRESULT CPaneSplitter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CSplitterWnd::WindowProc(message, wParam, lParam);
}
