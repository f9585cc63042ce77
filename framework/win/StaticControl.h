// The window class "STATIC": labels (left, centred, right, wrapped within
// their box) and icons (SS_ICON).
#pragma once

#include "framework/win/WindowClass.h"

class StaticControl : public WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HWND hwnd, CDC& dc) override;

private:
    HICON m_icon = nullptr;
};

// The text a control shows: "&" marks a mnemonic and is not drawn.
CString StripMnemonic(const CString& text);
