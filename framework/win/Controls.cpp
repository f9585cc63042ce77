#include "framework/win/Controls.h"

#include <string>

void CComboBox::GetLBText(int index, CString& text) const
{
    int n = int(SendMessage(CB_GETLBTEXTLEN, WPARAM(INT_PTR(index))));
    if (n < 0) {
        text.Empty();
        return;
    }
    std::u16string buf(size_t(n) + 1, u'\0');
    SendMessage(CB_GETLBTEXT, WPARAM(INT_PTR(index)), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(size_t(n));
    text = CString(std::move(buf));
}

void CListBox::GetText(int index, CString& text) const
{
    int n = int(SendMessage(LB_GETTEXTLEN, WPARAM(INT_PTR(index))));
    if (n < 0) {
        text.Empty();
        return;
    }
    std::u16string buf(size_t(n) + 1, u'\0');
    SendMessage(LB_GETTEXT, WPARAM(INT_PTR(index)), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(size_t(n));
    text = CString(std::move(buf));
}
