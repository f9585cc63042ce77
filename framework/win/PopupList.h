// A list that drops down over everything else: the drop-down menus of the
// menu bar and the list of a combo box. It runs modally: arrows move the
// highlight, Enter or a click chooses, Esc or a click elsewhere closes.
#pragma once

#include <vector>

#include "framework/base/String.h"
#include "framework/win/WindowClass.h"

struct PopupItem {
    CString text;
    bool enabled = true;
    bool separator = false;
};

// Results of TrackPopupList besides an item index.
inline constexpr int POPUP_CANCELLED = -1;
inline constexpr int POPUP_LEFT = -2;   // Left arrow: the menu to the left
inline constexpr int POPUP_RIGHT = -3;  // Right arrow: the menu to the right

// Shows the list with its top-left corner at a screen cell, at least
// minWidth cells wide, framed so that it stands apart from what lies under
// it, and returns the chosen item's index or one of the results above. The
// entry initial (or the next one that can be chosen) is highlighted; with
// initial below 0 none is until an arrow key moves onto one. With
// arrowsLeave, Left and Right close the list.
int TrackPopupList(const std::vector<PopupItem>& items, CPoint cell, int minWidth, int initial, bool arrowsLeave,
                   int maxRows = 0);

class PopupListControl : public WindowClass {
public:
    PopupListControl() = default;
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HWND hwnd, CDC& dc) override;
    UINT DialogCode(HWND) override { return DLGC_WANTALLKEYS; }
    bool Framed(HWND) const override { return true; }

    std::vector<PopupItem> m_items;
    int m_sel = -1;
    int m_top = 0;
    int m_result = POPUP_CANCELLED;
    bool m_done = false;
    bool m_arrowsLeave = false;

private:
    void Move(HWND hwnd, int delta);
    int Rows(HWND hwnd) const;
};
