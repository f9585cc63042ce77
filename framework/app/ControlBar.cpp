#include "framework/app/ControlBar.h"

#include "framework/app/FrameWnd.h"
#include "framework/res/Resources.h"
#include "framework/win/PopupList.h"
#include "framework/win/StaticControl.h"
#include "framework/win/WindowSystem.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CCeCommandBar, CToolBar)

int CControlBar::CalcHeight() const { return Host::CellPixels().cy; }

// --- CToolBar ---

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id)
{
    // The low bits of the style are the bar's own (CBRS_*), not the window's.
    m_dwBarStyle = style & 0xFFFF;
    return CreateEx(0, u"ToolbarWindow32", u"", (style & 0xFFFF0000u) | WS_CHILD, CRect(), parent, id);
}

namespace {

const res::MenuItem* FindMenuItem(std::span<const res::MenuItem> items, UINT id)
{
    for (const res::MenuItem& item : items) {
        if ((item.flags & MF_POPUP)) {
            if (const res::MenuItem* found = FindMenuItem(item.children, id))
                return found;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// A button's label: the tooltip part of its command's prompt string, else
// the command's menu text, without "..." and mnemonics.
CString ButtonLabel(UINT id, UINT menuId)
{
    CString prompt;
    if (prompt.LoadString(id)) {
        int nl = prompt.Find(u'\n');
        if (nl >= 0 && nl + 1 < prompt.GetLength())
            return prompt.Mid(nl + 1);
    }
    if (const res::Menu* menu = res::FindMenu(menuId)) {
        if (const res::MenuItem* item = FindMenuItem(menu->items, id)) {
            CString text = StripMnemonic(CString(item->text));
            while (text.GetLength() > 0 && text[text.GetLength() - 1] == u'.')
                text = text.Left(text.GetLength() - 1);
            return text;
        }
    }
    CString label;
    label.Format(u"#%u", id);
    return label;
}

}  // namespace

BOOL CToolBar::LoadToolBar(UINT resourceId)
{
    m_pToolbar = res::FindToolbar(resourceId);
    if (!m_pToolbar)
        return FALSE;
    m_buttons.clear();
    for (WORD id : m_pToolbar->items) {
        Button b;
        b.id = id;
        if (id)
            b.label = ButtonLabel(id, resourceId);
        m_buttons.push_back(b);
    }
    Layout();
    return TRUE;
}

void CToolBar::Layout()
{
    int x = 0;
    for (Button& b : m_buttons) {
        b.x = x;
        b.width = b.id ? b.label.GetLength() + 2 : 1;
        x += b.width + 1;
    }
    WindowSystem::Get().Invalidate();
}

CFrameWnd* CToolBar::Frame() const
{
    CWnd* parent = GetParent();
    return parent && parent->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(parent) : nullptr;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler)
{
    for (Button& b : m_buttons) {
        if (!b.id)
            continue;
        CCmdUI ui;
        ui.m_nID = b.id;
        ui.DoUpdate(target, disableIfNoHandler);
        if (bool(ui.m_bEnabled) != b.enabled) {
            b.enabled = ui.m_bEnabled;
            WindowSystem::Get().Invalidate();
        }
    }
}

void CToolBar::OnPaint()
{
    CPaintDC dc(this);
    CSize size = dc.Size();
    dc.FillRect(CRect(0, 0, size.cx, size.cy), ATTR_BAR);
    for (const Button& b : m_buttons) {
        if (!b.id)
            continue;
        std::uint16_t attr = ATTR_BAR | ATTR_BUTTON | (b.enabled ? 0 : ATTR_DISABLED);
        dc.TextOut(b.x, 0, u"[" + b.label.Str() + u"]", attr);
    }
}

int CToolBar::CellAt(CPoint point) const { return point.x / Host::CellPixels().cx; }

void CToolBar::OnLButtonDown(UINT, CPoint point)
{
    int x = CellAt(point);
    for (int i = 0; i < int(m_buttons.size()); ++i) {
        const Button& b = m_buttons[size_t(i)];
        if (b.id && x >= b.x && x < b.x + b.width) {
            PressButton(i);
            return;
        }
    }
}

void CToolBar::PressButton(int index)
{
    CFrameWnd* frame = Frame();
    const Button& b = m_buttons.at(size_t(index));
    if (!frame || !b.id)
        return;
    // The state shown may be stale; ask again before acting.
    if (!frame->IsCommandEnabled(b.id))
        return;
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(b.id), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

// --- CCeCommandBar ---

BEGIN_MESSAGE_MAP(CCeCommandBar, CToolBar)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

BOOL CCeCommandBar::Create(CWnd* parent, DWORD style, UINT id) { return CToolBar::Create(parent, style, id); }

BOOL CCeCommandBar::InsertMenuBar(UINT resourceId, WORD)
{
    const res::Menu* menu = res::FindMenu(resourceId);
    if (!menu)
        return FALSE;
    m_menus.clear();
    for (const res::MenuItem& item : menu->items) {
        MenuTitle t;
        t.text = StripMnemonic(CString(item.text));
        t.item = &item;
        m_menus.push_back(t);
    }
    Layout();
    return TRUE;
}

BOOL CCeCommandBar::AddAdornments(DWORD)
{
    m_bCloseButton = true;
    Layout();
    return TRUE;
}

void CCeCommandBar::Layout()
{
    int x = 0;
    for (MenuTitle& t : m_menus) {
        t.x = x;
        t.width = t.text.GetLength() + 2;
        x += t.width;
    }
    CToolBar::Layout();
    WindowSystem::Get().Invalidate();
}

std::vector<std::pair<CString, bool>> CCeCommandBar::GetMenuItems(int index)
{
    std::vector<std::pair<CString, bool>> out;
    const res::MenuItem* popup = m_menus.at(size_t(index)).item;
    CFrameWnd* frame = Frame();
    for (const res::MenuItem& item : popup->children) {
        if (item.flags & MF_SEPARATOR) {
            out.emplace_back(CString(), false);
            continue;
        }
        bool enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
        if (enabled && frame && !(item.flags & MF_POPUP))
            enabled = frame->IsCommandEnabled(item.id);
        out.emplace_back(StripMnemonic(CString(item.text)), enabled);
    }
    return out;
}

void CCeCommandBar::TrackMenu(int index)
{
    CFrameWnd* frame = Frame();
    while (index >= 0 && index < int(m_menus.size())) {
        const res::MenuItem* popup = m_menus[size_t(index)].item;
        auto states = GetMenuItems(index);
        std::vector<PopupItem> items;
        for (size_t i = 0; i < states.size(); ++i) {
            bool separator = (popup->children[i].flags & MF_SEPARATOR) != 0;
            items.push_back(PopupItem{states[i].first, states[i].second, separator});
        }
        m_nOpenMenu = index;
        WindowSystem::Get().Invalidate();
        CRect cells = GetWindowCells(m_hWnd);
        int chosen = TrackPopupList(items, CPoint(cells.left + m_menus[size_t(index)].x, cells.bottom), 0, 0, true);
        m_nOpenMenu = -1;
        WindowSystem::Get().Invalidate();
        if (chosen == POPUP_LEFT) {
            index = (index + int(m_menus.size()) - 1) % int(m_menus.size());
            continue;
        }
        if (chosen == POPUP_RIGHT) {
            index = (index + 1) % int(m_menus.size());
            continue;
        }
        if (chosen >= 0 && frame)
            frame->SendMessage(WM_COMMAND, MAKEWPARAM(WORD(popup->children[size_t(chosen)].id), 0), 0);
        return;
    }
}

BOOL CCeCommandBar::HandleMenuKey(MSG* msg)
{
    if (m_menus.empty())
        return FALSE;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_F10) {
        TrackMenu(0);
        return TRUE;
    }
    if (msg->message == WM_SYSKEYDOWN) {
        for (int i = 0; i < int(m_menus.size()); ++i) {
            const CString& t = m_menus[size_t(i)].text;
            if (!t.IsEmpty() && CString(t.Left(1)).MakeUpper()[0] == char16_t(msg->wParam)) {
                TrackMenu(i);
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CCeCommandBar::OnPaint()
{
    CPaintDC dc(this);
    CSize size = dc.Size();
    dc.FillRect(CRect(0, 0, size.cx, size.cy), ATTR_BAR);
    for (int i = 0; i < int(m_menus.size()); ++i) {
        const MenuTitle& t = m_menus[size_t(i)];
        std::uint16_t attr = ATTR_BAR | (i == m_nOpenMenu ? ATTR_REVERSE : 0);
        dc.TextOut(t.x, 0, u" " + t.text.Str() + u" ", attr);
    }
    if (m_bCloseButton)
        dc.TextOut(size.cx - 3, 0, u"[x]", ATTR_BAR | ATTR_BUTTON);
}

void CCeCommandBar::OnLButtonDown(UINT, CPoint point)
{
    int x = CellAt(point);
    CRect client;
    GetClientRect(&client);
    int cols = client.Width() / Host::CellPixels().cx;
    if (m_bCloseButton && x >= cols - 3) {
        if (CFrameWnd* frame = Frame())
            frame->SendMessage(WM_CLOSE);
        return;
    }
    for (int i = 0; i < int(m_menus.size()); ++i) {
        const MenuTitle& t = m_menus[size_t(i)];
        if (x >= t.x && x < t.x + t.width) {
            TrackMenu(i);
            return;
        }
    }
}
