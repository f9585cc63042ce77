// The window classes the system knows by name, as the platform registers
// its controls: "EDIT", "BUTTON", "STATIC", "COMBOBOX", "LISTBOX", and the
// generic class for every other name.
#pragma once

#include <memory>

#include "framework/base/String.h"
#include "framework/win/Window.h"

std::unique_ptr<WindowProcedure> CreateWindowClass(const CString& className, DWORD style);
