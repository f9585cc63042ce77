#include "tests/support/HeadlessWindows.h"

namespace support {

HeadlessWindows::HeadlessWindows(int cols, int rows) : host(cols, rows) { WindowSystem::Get().SetHost(&host); }

HeadlessWindows::~HeadlessWindows()
{
    WindowSystem::Get().Reset();
    WindowSystem::Get().SetHost(nullptr);
}

std::vector<std::string> HeadlessWindows::Boxes() const
{
    std::vector<std::string> texts;
    for (const auto& box : host.MessageBoxes())
        texts.push_back(CString(box.text).ToUtf8());
    return texts;
}

CPoint TapPoint(HWND window)
{
    CRect cells = GetWindowCells(window);
    return {cells.left + cells.Width() / 2, cells.top};
}

}  // namespace support
