// The editor's application object: registers the one document type, opens
// the file named on the command line or starts with an empty text, and
// shows the about box.
#pragma once

#include "framework/app/WinApp.h"

class CTesseraApp : public CWinApp {
public:
    CTesseraApp();

    BOOL InitInstance() override;
    // The program's exit status: 1 after a start-up that failed (a file
    // named on the command line that could not be opened), otherwise the
    // framework's.
    int ExitInstance() override;

protected:
    void OnAppAbout();

    BOOL m_bStartFailed = FALSE;

    DECLARE_MESSAGE_MAP()
};

extern CTesseraApp theApp;
