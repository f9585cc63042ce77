// The texts searched for, oldest first. The same text may stand in it more
// than once; it has no size limit and is kept only while the view lives.
#pragma once

#include "framework/base/StringArray.h"

class CComboBox;

class CFindHistory : public CStringArray {
public:
    BOOL Append(const CString& text);
    // Empties the combo box (its list and its field) and lists the texts
    // newest first.
    void FillCombo(CComboBox& combo);
};
