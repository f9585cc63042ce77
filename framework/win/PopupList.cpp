#include "framework/win/PopupList.h"

#include <algorithm>

#include "framework/win/DC.h"
#include "framework/win/ModalSession.h"
#include "framework/win/StaticControl.h"
#include "framework/win/WindowSystem.h"

int PopupListControl::Rows(HWND hwnd) const
{
    return std::max(1, WindowSystem::Get().Viewport().ChildArea(hwnd).Height());
}

void PopupListControl::Move(HWND hwnd, int delta)
{
    int n = int(m_items.size());
    if (n == 0)
        return;
    int i = m_sel;
    for (int step = 0; step < n; ++step) {
        i = i < 0 ? (delta > 0 ? 0 : n - 1) : std::clamp(i + delta, 0, n - 1);
        if (m_items[size_t(i)].enabled && !m_items[size_t(i)].separator)
            break;
        if ((delta > 0 && i == n - 1) || (delta < 0 && i == 0))
            return;
    }
    if (!m_items[size_t(i)].enabled || m_items[size_t(i)].separator)
        return;
    m_sel = i;
    int rows = Rows(hwnd);
    if (m_sel < m_top)
        m_top = m_sel;
    else if (m_sel >= m_top + rows)
        m_top = m_sel - rows + 1;
    WindowSystem::Get().Invalidate();
}

LRESULT PopupListControl::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_UP: Move(hwnd, -1); break;
        case VK_DOWN: Move(hwnd, 1); break;
        case VK_PRIOR: Move(hwnd, -Rows(hwnd)); break;
        case VK_NEXT: Move(hwnd, Rows(hwnd)); break;
        case VK_HOME:
            m_sel = -1;
            Move(hwnd, 1);
            break;
        case VK_END:
            m_sel = -1;
            Move(hwnd, -1);
            break;
        case VK_RETURN:
            // With nothing highlighted Enter closes the list and chooses
            // nothing, as Esc does.
            m_result = m_sel >= 0 ? m_sel : POPUP_CANCELLED;
            m_done = true;
            break;
        case VK_ESCAPE:
        case VK_F10: m_done = true; break;
        case VK_LEFT:
        case VK_RIGHT:
            if (m_arrowsLeave) {
                m_result = wParam == VK_LEFT ? POPUP_LEFT : POPUP_RIGHT;
                m_done = true;
            }
            break;
        default: break;
        }
        return 0;
    case WM_LBUTTONDOWN: {
        int row = short(HIWORD(UINT_PTR(lParam))) / Host::CellPixels().cy;
        int i = m_top + row;
        if (i >= 0 && i < int(m_items.size()) && m_items[size_t(i)].enabled && !m_items[size_t(i)].separator) {
            m_sel = i;
            m_result = i;
            m_done = true;
        }
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // One entry a notch; the highlight stays on its entry.
        int top = m_top - short(HIWORD(wParam)) / WHEEL_DELTA;
        m_top = std::clamp(top, 0, std::max(0, int(m_items.size()) - Rows(hwnd)));
        WindowSystem::Get().Invalidate();
        return 0;
    }
    case WM_CANCELMODE:
    case WM_CLOSE: m_done = true; return 0;
    default: return WindowClass::Proc(hwnd, msg, wParam, lParam);
    }
}

void PopupListControl::Paint(HWND, CDC& dc)
{
    // The entries lie inside the frame the window system draws over the
    // edges: a column at each side and a row below the last entry.
    CSize size = dc.Size();
    dc.FillRect(CRect(0, 0, size.cx, size.cy), ATTR_BAR);
    int width = std::max(0, size.cx - 2);
    for (int r = 0; r < size.cy - 1; ++r) {
        int i = m_top + r;
        if (i >= int(m_items.size()))
            break;
        const PopupItem& item = m_items[size_t(i)];
        if (item.separator) {
            dc.FillRect(CRect(1, r, 1 + width, r + 1), ATTR_BAR, u'\u2500');
            continue;
        }
        std::uint16_t attr = ATTR_BAR;
        if (!item.enabled)
            attr |= ATTR_DISABLED;
        if (i == m_sel)
            attr |= ATTR_REVERSE;
        dc.FillRect(CRect(1, r, 1 + width, r + 1), attr);
        dc.TextInBox(2, r, width - 1, StripMnemonic(item.text).View(), attr);
    }
}

int TrackPopupList(const std::vector<PopupItem>& items, CPoint cell, int minWidth, int initial, bool arrowsLeave,
                   int maxRows)
{
    WindowSystem& ws = WindowSystem::Get();
    // Each entry has a blank on either side, inside the frame's sides.
    int width = minWidth;
    for (const PopupItem& item : items)
        width = std::max(width, StripMnemonic(item.text).GetLength() + 4);
    CSize screen = ws.Viewport().ScreenCells();
    int rows = std::max(1, int(items.size()));
    if (maxRows > 0)
        rows = std::min(rows, maxRows);
    rows = std::min(rows, std::max(1, screen.cy - cell.y - 1));
    int height = rows + 1;  // the entries and the frame's bottom row
    if (cell.y + height > screen.cy)
        cell.y = std::max(0, screen.cy - height);
    width = std::min(width, screen.cx);
    if (cell.x + width > screen.cx)
        cell.x = std::max(0, screen.cx - width);
    CSize px = Host::CellPixels();
    ModalSession session(nullptr);
    CREATESTRUCT cs;
    cs.lpszClass = u"POPUPLIST";
    cs.style = WS_POPUP | WS_VISIBLE;
    cs.x = cell.x * px.cx;
    cs.y = cell.y * px.cy;
    cs.cx = width * px.cx;
    cs.cy = height * px.cy;
    auto proc = std::make_unique<PopupListControl>();
    PopupListControl* list = proc.get();
    HWND popup = CreateWindowWithProcedure(cs, std::move(proc));
    if (!popup)
        return POPUP_CANCELLED;
    session.SetWindow(popup);
    list->m_items = items;
    list->m_arrowsLeave = arrowsLeave;
    // Nothing is highlighted while nothing is chosen; an entry that cannot
    // be chosen hands the highlight on to the next one that can.
    list->m_sel = -1;
    if (initial >= 0 && initial < int(items.size()) && items[size_t(initial)].enabled
        && !items[size_t(initial)].separator) {
        list->m_sel = initial;
        list->m_top = std::max(0, initial - rows + 1);
    } else if (initial >= 0) {
        list->m_sel = initial - 1;
        list->Proc(popup, WM_KEYDOWN, VK_DOWN, 0);
    }
    SetFocus(popup);
    session.Run([&] { return list->m_done; });
    return IsWindow(popup) ? list->m_result : POPUP_CANCELLED;
}
