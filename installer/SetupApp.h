// setup's application object: runs the licence agreement as its main
// window and ends when it closes; there is no message loop of its own.
#pragma once

#include "framework/app/WinApp.h"
#include "framework/base/String.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp();

    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};

extern CSetupApp theApp;

// The launcher's own folder, ending in a separator.
extern CString g_strSetupDir;
