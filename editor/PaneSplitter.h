// The frame's splitter. It passes every message on to the splitter
// unchanged.
#pragma once

#include "framework/app/SplitterWnd.h"

class CPaneSplitter : public CSplitterWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
