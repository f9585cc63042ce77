// The window class "COMBOBOX": a drop-down combo box (an edit field with a
// list, CBS_DROPDOWN) or a drop-down list (CBS_DROPDOWNLIST). The field
// takes one row; the list drops down over the screen when opened with a
// click on the arrow, Alt+Down or F4.
#pragma once

#include <vector>

#include "framework/base/String.h"
#include "framework/win/WindowClass.h"

class ComboBoxControl : public WindowClass {
public:
    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HWND hwnd, CDC& dc) override;
    UINT DialogCode(HWND hwnd) override;

    // The id of the edit field inside a drop-down combo box.
    static constexpr UINT kEditId = 1001;

private:
    bool HasEdit(HWND hwnd) const { return (hwnd->style & 0x3) == CBS_DROPDOWN; }
    HWND Edit(HWND hwnd) const;
    void Notify(HWND hwnd, UINT code);
    void Select(HWND hwnd, int index, bool notify);
    void DropDown(HWND hwnd);
    int Insert(HWND hwnd, int index, const CString& text);
    // The handlers of the messages, one each.
    void OnCreate(HWND hwnd);
    void OnSize(HWND hwnd);
    void OnEditNotify(HWND hwnd, WPARAM wParam);
    CString Text(HWND hwnd) const;
    int GetText(HWND hwnd, int size, char16_t* buf) const;
    void OnSetFocus(HWND hwnd);
    void OnKillFocus(HWND hwnd);
    void OnLButtonDown(HWND hwnd, int x);
    void OnKeyDown(HWND hwnd, UINT vk);
    void OnChar(HWND hwnd, char16_t ch);
    int AddString(HWND hwnd, const CString& text);
    int DeleteString(int index);
    void ResetContent(HWND hwnd);
    int GetItemText(int index, char16_t* buf) const;
    int FindExact(const CString& text) const;

    std::vector<CString> m_items;
    int m_sel = -1;
    int m_droppedRows = 8;
};
