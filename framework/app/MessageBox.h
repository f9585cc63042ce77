// The message box: a modal window with a caption, an icon, a text and a
// row of buttons (OK; OK and Cancel; Yes and No; Yes, No and Cancel).
// Enter presses the focused button, Esc means Cancel where there is one
// (OK in a box with only OK), and a button's first letter presses it.
#pragma once

#include "framework/base/String.h"
#include "framework/win/Window.h"

int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type);
