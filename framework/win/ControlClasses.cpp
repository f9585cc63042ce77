#include "framework/win/ControlClasses.h"
#include "framework/win/WindowClass.h"

#include "framework/win/ButtonControl.h"
#include "framework/win/ComboBoxControl.h"
#include "framework/win/DialogManager.h"
#include "framework/win/EditControl.h"
#include "framework/win/ListBoxControl.h"
#include "framework/win/PopupList.h"
#include "framework/win/StaticControl.h"

std::unique_ptr<WindowProcedure> CreateWindowClass(const CString& className, DWORD style)
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
