// Windows for the tests of the window system's parts: windows of the
// generic class that fill their client area with one character when
// painted, and write the messages the parts send them to one log.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/base/Geometry.h"
#include "framework/win/Window.h"

namespace support {

class WindowLog {
public:
    // What was written since the last Take, as "name:WM_X" entries in
    // turn, and clears it.
    std::string Take();
    void Write(std::string entry) { m_entries.push_back(std::move(entry)); }
    void Name(HWND hwnd, std::string name) { m_names[hwnd] = std::move(name); }
    // The window's name, or "none".
    std::string NameOf(HWND hwnd) const;

private:
    std::vector<std::string> m_entries;
    std::map<HWND, std::string> m_names;
};

struct WindowLook {
    DWORD style = WS_VISIBLE;
    char16_t fill = u' ';
    bool framed = false;
    const char16_t* text = u"";
};

// Makes a window that writes to log under name: a child of parent, or a
// top-level window owned by owner; cells are its place in its parent's
// client area, or on the screen.
HWND MakeLoggedWindow(WindowLog& log, std::string name, CRect cells, WindowLook look, HWND parent = nullptr,
                      HWND owner = nullptr);

}  // namespace support
