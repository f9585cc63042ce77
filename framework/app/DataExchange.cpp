#include "framework/app/DataExchange.h"

#include <algorithm>
#include <climits>

#include "framework/app/WinApp.h"
#include "framework/io/FileException.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    HWND hwnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_hWndLastControl = hwnd;
    m_bEditLastControl = false;
    return hwnd;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    HWND hwnd = PrepareCtrl(id);
    m_bEditLastControl = true;
    return hwnd;
}

void CDataExchange::Fail()
{
    if (!m_bSaveAndValidate)
        AfxThrowUserException();
    if (IsWindow(m_hWndLastControl)) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
        return TRUE;
    } catch (const CUserException&) {
        // Already reported where it failed.
        return FALSE;
    } catch (const CException&) {
        AfxMessageBox(AFX_IDP_INTERNAL_FAILURE);
        return FALSE;
    }
}

bool AfxParseInt(const CString& input, int& value)
{
    std::u16string text = input.Left(31).Str();
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    size_t start = i;
    // The conversion itself skips any white space before the number, the
    // vertical tab, form feed and line ends included.
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    size_t digits = i;
    long long v = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        if (v < 10000000000LL)
            v = v * 10 + (text[i] - u'0');
        ++i;
    }
    long long result = 0;
    if (i > digits)
        result = std::clamp(negative ? -v : v, (long long)INT_MIN, (long long)INT_MAX);
    else
        i = start;  // nothing converted: what follows the blanks is left over
    // A zero result counts only if a digit 0 stands first.
    if (result == 0 && !(start < text.size() && text[start] == u'0'))
        return false;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    if (i != text.size())
        return false;
    value = int(result);
    return true;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    HWND hwnd = pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = ::GetWindowText(hwnd);
    else
        ::SetWindowText(hwnd, value);
}

void DDX_Text(CDataExchange* pDX, int id, int& value)
{
    HWND hwnd = pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        int parsed = 0;
        if (!AfxParseInt(::GetWindowText(hwnd), parsed)) {
            AfxMessageBox(AFX_IDP_PARSE_INT);
            pDX->Fail();
        }
        value = parsed;
    } else {
        CString text;
        text.Format(u"%d", value);
        ::SetWindowText(hwnd, text);
    }
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    HWND hwnd = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = int(::SendMessage(hwnd, BM_GETCHECK));
    else
        ::SendMessage(hwnd, BM_SETCHECK, WPARAM(value));
}

void DDX_CBString(CDataExchange* pDX, int id, CString& value)
{
    HWND hwnd = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate) {
        value = ::GetWindowText(hwnd);
        return;
    }
    int index = int(::SendMessage(hwnd, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(value.GetString())));
    if (index >= 0)
        ::SendMessage(hwnd, CB_SETCURSEL, WPARAM(index));
    else
        ::SetWindowText(hwnd, value);
}

void DDX_CBIndex(CDataExchange* pDX, int id, int& index)
{
    HWND hwnd = pDX->PrepareCtrl(id);
    if (pDX->m_bSaveAndValidate)
        index = int(::SendMessage(hwnd, CB_GETCURSEL));
    else
        ::SendMessage(hwnd, CB_SETCURSEL, WPARAM(INT_PTR(index)));
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND hwnd = pDX->PrepareCtrl(id);
    if (!hwnd || !control.Attach(hwnd)) {
        // A template without the control is a program error.
        AfxThrowMemoryException();
    }
}
