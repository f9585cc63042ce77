// The window class "LISTBOX": a scrolling list of strings with one
// selected item. Arrows move the selection (LBN_SELCHANGE); Enter or a
// second click on the selected item reports LBN_DBLCLK.
#pragma once

#include <vector>

#include "framework/base/String.h"
#include "framework/win/WindowClass.h"

class ListBoxControl : public WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HWND hwnd, CDC& dc) override;
    UINT DialogCode(HWND) override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

private:
    void Notify(HWND hwnd, UINT code);
    void Select(HWND hwnd, int index, bool notify);
    int Rows(HWND hwnd) const;
    // The handlers of the messages, one each.
    int AddString(HWND hwnd, int index, bool sorted, const char16_t* item);
    int GetItemText(int index, char16_t* buf) const;
    void OnKeyDown(HWND hwnd, UINT vk);
    void OnLButtonDown(HWND hwnd, int y);
    void OnVScroll(HWND hwnd, UINT code);
    // Scrolls the list to show item `top` first (as far as it goes); the
    // selection stays.
    void ScrollTo(HWND hwnd, int top);

    std::vector<CString> m_items;
    int m_sel = -1;
    int m_top = 0;
};
