// What the platform's dialog manager does for dialogs and form views:
// building the windows of a dialog template (dialog units become pixels by
// DialogUnits.h, and each control is fitted to whole cells by the rule in
// ControlFitting.h), and the keyboard interface (Tab and Shift+Tab between
// controls, Enter for the default button, Esc for Cancel).
#pragma once

#include "framework/res/ResourceTypes.h"
#include "framework/win/Window.h"

class CWnd;

// Creates the dialog window itself (a popup with the template's caption,
// or a child window for DS_CONTROL/WS_CHILD templates) with wnd attached,
// then every control of the template. Returns nullptr on failure.
HWND CreateDialogIndirect(const res::DialogTemplate& tmpl, HWND parent, CWnd* wnd);
// Creates the template's controls inside an existing window.
void CreateDialogControls(const res::DialogTemplate& tmpl, HWND dialog);

// Handles the dialog keys of msg for the dialog; TRUE if it did.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
// The dialog's control that holds hwnd (hwnd itself, or the combo box whose
// field it is).
HWND DialogControlOf(HWND dialog, HWND hwnd);
// The next (or previous) control after ctl that takes Tab.
HWND GetNextDlgTabItem(HWND dialog, HWND ctl, BOOL previous);
// Moves the focus to a control; an edit field gets its whole text selected.
void FocusDialogControl(HWND ctl);
