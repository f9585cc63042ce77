// Creating a window by its class's name, as the platform's CreateWindowEx
// does: the classes the system knows ("EDIT", "BUTTON", "STATIC",
// "COMBOBOX", "LISTBOX", "#32770" for dialogs, "POPUPLIST"), and the generic
// class for any other name. It stands above the controls; a control that
// makes windows of its own makes them with their procedures
// (CreateWindowWithProcedure).
#pragma once

#include "framework/base/String.h"
#include "framework/win/Window.h"

HWND CreateWindowEx(DWORD exStyle, const CString& className, const CString& name, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, UINT id, void* param, WindowObject* attach = nullptr);
