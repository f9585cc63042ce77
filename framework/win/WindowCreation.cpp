#include "framework/win/WindowCreation.h"

#include "framework/win/ButtonControl.h"
#include "framework/win/ComboBoxControl.h"
#include "framework/win/DialogWindowClass.h"
#include "framework/win/EditControl.h"
#include "framework/win/ListBoxControl.h"
#include "framework/win/PopupList.h"
#include "framework/win/StaticControl.h"
#include "framework/win/WindowFunctions.h"

namespace {

// The procedure of the class a name stands for, as the platform registers
// its controls: "EDIT", "BUTTON", "STATIC", "COMBOBOX", "LISTBOX", "#32770"
// (dialogs), "POPUPLIST" (dropped lists and menus), and the generic class
// for every other name.
std::unique_ptr<WindowProcedure> ClassProcedure(const CString& className, DWORD style)
{
    CString name(className);
    name.MakeUpper();
    if (name == u"EDIT")
        return std::make_unique<EditControl>(style);
    if (name == u"BUTTON")
        return std::make_unique<ButtonControl>();
    if (name == u"STATIC")
        return std::make_unique<StaticControl>();
    if (name == u"COMBOBOX")
        return std::make_unique<ComboBoxControl>();
    if (name == u"LISTBOX")
        return std::make_unique<ListBoxControl>();
    if (name == u"#32770")
        return std::make_unique<DialogWindowClass>();
    if (name == u"POPUPLIST")
        return std::make_unique<PopupListControl>();
    return std::make_unique<WindowClass>();
}

}  // namespace

HWND CreateWindowEx(DWORD exStyle, const CString& className, const CString& name, DWORD style, int x, int y, int cx,
                    int cy, HWND parent, UINT id, void* param, WindowObject* attach)
{
    CREATESTRUCT cs;
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = name;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = cx;
    cs.cy = cy;
    cs.hwndParent = parent;
    cs.id = id;
    cs.lpCreateParams = param;
    return CreateWindowWithProcedure(cs, ClassProcedure(className, style), attach);
}
