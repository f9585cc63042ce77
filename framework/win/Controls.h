// Thin wrappers over the control window classes, as the platform's
// CEdit, CButton, CComboBox, CListBox and CStatic: each call is a message
// to the control.
#pragma once

#include "framework/win/Wnd.h"

class CEdit : public CWnd {
public:
    void GetSel(int& start, int& end) const
    {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        start = int(s);
        end = int(e);
    }
    void SetSel(int start, int end, BOOL noScroll = FALSE) const
    {
        SendMessage(EM_SETSEL, WPARAM(INT_PTR(start)), end);
        if (!noScroll)
            SendMessage(EM_SCROLLCARET);
    }
    void ReplaceSel(const char16_t* text, BOOL canUndo = FALSE) const
    {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    int LineFromChar(int index = -1) const { return int(SendMessage(EM_LINEFROMCHAR, WPARAM(INT_PTR(index)))); }
    int LineIndex(int line = -1) const { return int(SendMessage(EM_LINEINDEX, WPARAM(INT_PTR(line)))); }
    int LineLength(int index = -1) const { return int(SendMessage(EM_LINELENGTH, WPARAM(INT_PTR(index)))); }
    int GetLineCount() const { return int(SendMessage(EM_GETLINECOUNT)); }
    int GetFirstVisibleLine() const { return int(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    void LineScroll(int lines, int chars = 0) const { SendMessage(EM_LINESCROLL, WPARAM(INT_PTR(chars)), lines); }
    void LimitText(int max = 0) const { SendMessage(EM_LIMITTEXT, WPARAM(max)); }
    BOOL SetTabStops(int stop) const { return BOOL(SendMessage(EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop))); }
    BOOL CanUndo() const { return BOOL(SendMessage(EM_CANUNDO)); }
    BOOL Undo() const { return BOOL(SendMessage(EM_UNDO)); }
    void EmptyUndoBuffer() const { SendMessage(EM_EMPTYUNDOBUFFER); }
    BOOL GetModify() const { return BOOL(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) const { SendMessage(EM_SETMODIFY, WPARAM(modified)); }
    void Cut() const { SendMessage(WM_CUT); }
    void Copy() const { SendMessage(WM_COPY); }
    void Paste() const { SendMessage(WM_PASTE); }
    void Clear() const { SendMessage(WM_CLEAR); }
};

class CButton : public CWnd {
public:
    int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, WPARAM(check)); }
};

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon) const
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};

class CComboBox : public CWnd {
public:
    int AddString(const char16_t* text) const
    {
        return int(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, const char16_t* text) const
    {
        return int(SendMessage(CB_INSERTSTRING, WPARAM(INT_PTR(index)), reinterpret_cast<LPARAM>(text)));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return int(SendMessage(CB_SETCURSEL, WPARAM(INT_PTR(index)))); }
    void GetLBText(int index, CString& text) const;
};

class CListBox : public CWnd {
public:
    int AddString(const char16_t* text) const
    {
        return int(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int GetCount() const { return int(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return int(SendMessage(LB_SETCURSEL, WPARAM(INT_PTR(index)))); }
    void GetText(int index, CString& text) const;
};
