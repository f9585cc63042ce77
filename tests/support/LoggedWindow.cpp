#include "tests/support/LoggedWindow.h"

#include <memory>

#include "framework/screen/Host.h"
#include "framework/win/DC.h"
#include "framework/win/WindowClass.h"

namespace support {

namespace {

struct Named {
    UINT message;
    const char* name;
};

// The messages the window system's parts send a window.
constexpr Named kLogged[] = {
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_CREATE, "WM_CREATE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_FOCUSCHANGED, "WM_FOCUSCHANGED"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_CHAR, "WM_CHAR"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_PASTETEXT, "WM_PASTETEXT"},
    {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
    {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
    {WM_CANCELMODE, "WM_CANCELMODE"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_VSCROLL, "WM_VSCROLL"},
};

class LoggedClass : public WindowClass {
public:
    LoggedClass(WindowLog& log, std::string name, char16_t fill, bool framed)
        : m_log(log), m_name(std::move(name)), m_fill(fill), m_framed(framed)
    {}

    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_NCCREATE)
            m_log.Name(hwnd, m_name);
        for (const Named& n : kLogged)
            if (n.message == msg)
                m_log.Write(m_name + ":" + n.name);
        return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
    void Paint(HWND, CDC& dc) override
    {
        CSize s = dc.Size();
        dc.FillRect(CRect(0, 0, s.cx, s.cy), ATTR_NORMAL, m_fill);
    }
    bool Framed(HWND) const override { return m_framed; }

private:
    WindowLog& m_log;
    std::string m_name;
    char16_t m_fill;
    bool m_framed;
};

}  // namespace

std::string WindowLog::Take()
{
    std::string all;
    for (const std::string& e : m_entries)
        all += (all.empty() ? "" : " ") + e;
    m_entries.clear();
    return all;
}

std::string WindowLog::NameOf(HWND hwnd) const
{
    auto it = m_names.find(hwnd);
    return it == m_names.end() ? "none" : it->second;
}

HWND MakeLoggedWindow(WindowLog& log, std::string name, CRect cells, WindowLook look, HWND parent, HWND owner)
{
    const CSize px = Host::CellPixels();
    CREATESTRUCT cs;
    cs.lpszClass = u"LOGGED";
    cs.lpszName = look.text;
    cs.style = look.style | (parent ? WS_CHILD : 0);
    cs.hwndParent = parent ? parent : owner;
    cs.x = cells.left * px.cx;
    cs.y = cells.top * px.cy;
    cs.cx = cells.Width() * px.cx;
    cs.cy = cells.Height() * px.cy;
    return CreateWindowWithProcedure(cs, std::make_unique<LoggedClass>(log, std::move(name), look.fill, look.framed));
}

}  // namespace support
