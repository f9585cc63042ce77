// Control bars along the top of a frame: CControlBar, the toolbar CToolBar
// and the command bar CCeCommandBar (a menu bar with a close button).
// Each takes one row. Their buttons and menu items ask the frame's command
// route whether they are enabled before they show.
#pragma once

#include <vector>

#include "framework/res/ResourceTypes.h"
#include "framework/win/Wnd.h"

class CFrameWnd;

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    void SetBarStyle(DWORD style) { m_dwBarStyle = style; }
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    virtual int CalcHeight() const;
    virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;
    // F10 and Alt+letter open a command bar's menus; TRUE if taken.
    virtual BOOL HandleMenuKey(MSG*) { return FALSE; }

protected:
    DWORD m_dwBarStyle = 0;
};

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    struct Button {
        UINT id = 0;    // 0 for a separator
        CString label;  // what the button shows in a row of text
        bool enabled = true;
        int x = 0;      // first cell
        int width = 0;  // cells
    };

    using CControlBar::Create;
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT resourceId);
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

    int GetCount() const { return int(m_buttons.size()); }
    UINT GetItemID(int index) const { return m_buttons.at(size_t(index)).id; }
    const Button& GetButton(int index) const { return m_buttons.at(size_t(index)); }
    // Clicks button index, as a tap on it does.
    void PressButton(int index);

protected:
    virtual void Layout();
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    CFrameWnd* Frame() const;
    int CellAt(CPoint point) const;

    std::vector<Button> m_buttons;
    const res::Toolbar* m_pToolbar = nullptr;

    DECLARE_MESSAGE_MAP()
};

class CCeCommandBar : public CToolBar {
    DECLARE_DYNAMIC(CCeCommandBar)
public:
    struct MenuTitle {
        CString text;
        const res::MenuItem* item = nullptr;
        int x = 0;
        int width = 0;
    };

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    // Puts menu resourceId's drop-down menus on the bar.
    BOOL InsertMenuBar(UINT resourceId, WORD button = 0xFFFF);
    // Adds the standard close button (no help or OK button for flags 0).
    BOOL AddAdornments(DWORD flags = 0);

    int GetMenuCount() const { return int(m_menus.size()); }
    const MenuTitle& GetMenu(int index) const { return m_menus.at(size_t(index)); }
    // The items of drop-down menu index as they would show now: texts and
    // enabled states from the frame's command route.
    std::vector<std::pair<CString, bool>> GetMenuItems(int index);
    // Opens drop-down menu index and runs it; the chosen command goes to
    // the frame.
    void TrackMenu(int index);
    BOOL HandleMenuKey(MSG* msg) override;

protected:
    void Layout() override;
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);

    std::vector<MenuTitle> m_menus;
    bool m_bCloseButton = false;
    int m_nCloseX = -1;
    int m_nOpenMenu = -1;

    DECLARE_MESSAGE_MAP()
};
