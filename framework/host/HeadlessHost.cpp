#include "framework/host/HeadlessHost.h"

#include "framework/base/String.h"
#include "framework/win/StaticControl.h"
#include "framework/win/WindowSystem.h"

void HeadlessHost::Key(UINT vk, char16_t ch, bool ctrl, bool shift, bool alt)
{
    m_queue.push_back({InputEvent::KeyPress(vk, ch, ctrl, shift, alt), nullptr});
}

void HeadlessHost::Type(std::u16string_view text)
{
    for (char16_t c : text) {
        switch (c) {
        case u'\r':
        case u'\n': Key(VK_RETURN, u'\r'); break;
        case u'\t': Key(VK_TAB, u'\t'); break;
        case u'\b': Key(VK_BACK, u'\b'); break;
        default:
            // Letters, digits and the space bar have their own key codes; the
            // codes of punctuation would be those of Page Up, the arrows,
            // Delete and so on (0x21 to 0x2F), so its keys send none.
            m_queue.push_back({InputEvent::Typing(c), nullptr});
        }
    }
}

void HeadlessHost::TerminalPaste(std::u16string_view text, bool first)
{
    InputEvent e;
    e.kind = InputEvent::Kind::Paste;
    e.text = text;
    e.first = first;
    m_queue.push_back({e, nullptr});
}

void HeadlessHost::Click(int x, int y)
{
    InputEvent down;
    down.kind = InputEvent::Kind::MouseDown;
    down.x = x;
    down.y = y;
    InputEvent up = down;
    up.kind = InputEvent::Kind::MouseUp;
    m_queue.push_back({down, nullptr});
    m_queue.push_back({up, nullptr});
}

void HeadlessHost::Drag(int x0, int y0, int x1, int y1)
{
    InputEvent e;
    e.kind = InputEvent::Kind::MouseDown;
    e.x = x0;
    e.y = y0;
    m_queue.push_back({e, nullptr});
    e.kind = InputEvent::Kind::MouseMove;
    e.x = x1;
    e.y = y1;
    m_queue.push_back({e, nullptr});
    e.kind = InputEvent::Kind::MouseUp;
    m_queue.push_back({e, nullptr});
}

void HeadlessHost::Wheel(int x, int y, int notches)
{
    InputEvent e;
    e.kind = InputEvent::Kind::Wheel;
    e.x = x;
    e.y = y;
    e.notches = notches;
    m_queue.push_back({e, nullptr});
}

void HeadlessHost::Timer()
{
    InputEvent e;
    e.kind = InputEvent::Kind::Timer;
    m_queue.push_back({e, nullptr});
}

void HeadlessHost::Resize(int cols, int rows)
{
    InputEvent e;
    e.kind = InputEvent::Kind::Resize;
    e.x = cols;
    e.y = rows;
    m_queue.push_back({e, [this, cols, rows](InputEvent&) {
                           m_cols = cols;
                           m_rows = rows;
                           return true;
                       }});
}

void HeadlessHost::EndSession(int signal)
{
    InputEvent e;
    e.kind = InputEvent::Kind::EndSession;
    e.x = signal;
    m_queue.push_back({e, nullptr});
}

void HeadlessHost::ClickButton(std::u16string_view text)
{
    std::u16string wanted(text);
    InputEvent down;
    down.kind = InputEvent::Kind::MouseDown;
    m_queue.push_back({down, [this, wanted](InputEvent& e) {
                           HWND active = WindowSystem::Get().ActiveTopLevel();
                           if (!active)
                               return false;
                           for (HWND child = GetWindow(active, GW_CHILD); child;
                                child = GetWindow(child, GW_HWNDNEXT)) {
                               if (GetClassName(child).CompareNoCase(u"BUTTON") != 0 || !IsWindowVisible(child))
                                   continue;
                               CString label = GetWindowText(child);
                               if (label.Str() != wanted && StripMnemonic(label).Str() != wanted)
                                   continue;
                               CRect cells = GetWindowCells(child);
                               e.x = cells.left + cells.Width() / 2;
                               e.y = cells.top;
                               // A person clicks only a button that shows: not
                               // one scrolled out of its dialog's view.
                               if (WindowSystem::Get().WindowFromCell(CPoint(e.x, e.y), nullptr) != child)
                                   return false;
                               InputEvent up = e;
                               up.kind = InputEvent::Kind::MouseUp;
                               m_queue.push_front({up, nullptr});
                               return true;
                           }
                           return false;
                       }});
}

void HeadlessHost::ClickText(std::u16string_view text)
{
    std::u16string wanted(text);
    InputEvent down;
    down.kind = InputEvent::Kind::MouseDown;
    m_queue.push_back({down, [this, wanted](InputEvent& e) {
                           CPoint p = Find(wanted);
                           if (p.x < 0)
                               return false;
                           e.x = p.x;
                           e.y = p.y;
                           InputEvent up = e;
                           up.kind = InputEvent::Kind::MouseUp;
                           m_queue.push_front({up, nullptr});
                           return true;
                       }});
}

bool HeadlessHost::Next(InputEvent& event)
{
    while (!m_queue.empty()) {
        Step step = std::move(m_queue.front());
        m_queue.pop_front();
        event = step.event;
        if (step.resolve && !step.resolve(event)) {
            // Nothing to click where the script expected it: a faulty test.
            ++m_starved;
            continue;
        }
        return true;
    }
    return false;
}

bool HeadlessHost::WaitEvent(InputEvent& event)
{
    if (Next(event))
        return true;
    while (!m_onModal.empty()) {
        auto step = std::move(m_onModal.front());
        m_onModal.pop_front();
        step();
        if (Next(event))
            return true;
    }
    ++m_starved;
    return false;
}

void HeadlessHost::Run()
{
    WindowSystem& ws = WindowSystem::Get();
    InputEvent e;
    while (Next(e))
        ws.Dispatch(e);
}

const Canvas& HeadlessHost::Screen() { return WindowSystem::Get().Paint(); }

std::string HeadlessHost::Row(int y) { return Screen().RowText(y); }

std::string HeadlessHost::ScreenText() { return Screen().Text(); }

CPoint HeadlessHost::Find(std::u16string_view text)
{
    const Canvas& c = Screen();
    for (int y = 0; y < c.Rows(); ++y) {
        // One unit a cell, so that where the text is found is its cell.
        std::u16string row;
        for (int x = 0; x < c.Cols(); ++x) {
            const char32_t ch = c.At(x, y).ch;
            row += ch > 0xFFFF ? u'\uFFFD' : char16_t(ch);
        }
        size_t at = row.find(text);
        if (at != std::u16string::npos)
            return {int(at), y};
    }
    return {-1, -1};
}
