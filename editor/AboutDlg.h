// The about box: the icon, the program's name and version, its build.
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
