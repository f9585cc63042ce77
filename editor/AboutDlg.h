// The about box: the icon, the program's name and version, its build, and
// in a session that reads and writes UTF-8, a line that says so.
#pragma once

#include "framework/app/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
