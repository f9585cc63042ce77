// The window class of dialogs ("#32770"): closing means Cancel, and the
// wheel over a popup dialog larger than the screen scrolls it.
#pragma once

#include "framework/win/WindowClass.h"

class DialogWindowClass : public WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // A popup dialog's edges are drawn as a box, so it stands out from the
    // windows beneath it; its controls stay inside.
    bool Framed(HWND hwnd) const override { return hwnd->parent == nullptr; }
};
