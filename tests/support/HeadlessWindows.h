// The window system on a headless host, for as long as the object lives.
#pragma once

#include <string>
#include <vector>

#include "framework/base/Geometry.h"
#include "framework/host/HeadlessHost.h"
#include "framework/win/WindowFunctions.h"
#include "framework/win/WindowSystem.h"

namespace support {

// The host is the window system's from the start; at the end every window
// is gone and the window system has no host again.
class HeadlessWindows {
public:
    explicit HeadlessWindows(int cols = 80, int rows = 24);
    ~HeadlessWindows();
    HeadlessWindows(const HeadlessWindows&) = delete;
    HeadlessWindows& operator=(const HeadlessWindows&) = delete;

    // The texts of the message boxes shown so far, in turn.
    std::vector<std::string> Boxes() const;

    HeadlessHost host;
};

// Where a tap on a window lands: the middle of its top row of cells.
CPoint TapPoint(HWND window);

}  // namespace support
