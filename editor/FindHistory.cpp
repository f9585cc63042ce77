#include "editor/FindHistory.h"

#include "framework/win/Controls.h"

BOOL CFindHistory::Append(const CString& text)
{
    Add(text);
    return TRUE;
}

void CFindHistory::FillCombo(CComboBox& combo)
{
    combo.ResetContent();
    for (int i = 0; i < GetSize(); ++i)
        combo.InsertString(0, GetAt(i));
}
