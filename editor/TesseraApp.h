// The editor's application object: registers the one document type, opens
// the file named on the command line or starts with an empty text, and
// shows the about box.
#pragma once

#include "framework/app/WinApp.h"

class CTesseraApp : public CWinApp {
public:
    CTesseraApp();

    BOOL InitInstance() override;

protected:
    void OnAppAbout();

    DECLARE_MESSAGE_MAP()
};

extern CTesseraApp theApp;
