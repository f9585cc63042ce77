// The window class "BUTTON": push buttons, check boxes and group boxes.
// A click (mouse released over the button, the space bar, or BM_CLICK)
// sends BN_CLICKED to the parent.
#pragma once

#include "framework/win/WindowClass.h"

class ButtonControl : public WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HWND hwnd, CDC& dc) override;
    UINT DialogCode(HWND hwnd) override;

private:
    void Click(HWND hwnd);
    int m_check = BST_UNCHECKED;
    bool m_pressed = false;
};
