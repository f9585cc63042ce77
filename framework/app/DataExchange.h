// Dialog data exchange: moving values between a dialog's controls and the
// member variables bound to them. UpdateData(TRUE) reads the controls
// (stopping at the first field that fails, after telling the user and
// putting the focus back into it); UpdateData(FALSE) writes them.
#pragma once

#include "framework/base/String.h"
#include "framework/win/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}

    // Remembers the control being exchanged, for Fail.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Puts the focus back into the last control (an edit field gets its
    // whole text selected) and ends the exchange.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
};

// Reads an int the way the platform's exchange does: at most the first 31
// characters; blanks and tabs around the number; a signed decimal number,
// clamped to the 32-bit range; nothing else. Empty or blank is not a number.
bool AfxParseInt(const CString& text, int& value);

void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
void DDX_CBString(CDataExchange* pDX, int id, CString& value);
void DDX_CBIndex(CDataExchange* pDX, int id, int& index);
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
