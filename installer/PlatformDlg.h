// The platform selection: the device platforms from the string table, and
// the start of the chosen platform's own installer.
#pragma once

#include "framework/app/Dialog.h"
#include "framework/base/StringArray.h"
#include "framework/win/Controls.h"

class CPlatformDlg : public CDialog {
public:
    explicit CPlatformDlg(CWnd* pParent = nullptr);

    CButton m_btnContinue;
    CComboBox m_cbPlatform;
    int m_nPlatform;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void FillPlatformList();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSelchangePlatform();

    DECLARE_MESSAGE_MAP()
};

// The folder of each platform in the list, by list index.
extern CStringArray g_arrPlatformFolders;

// Starts the program at the path, with no arguments, and does not wait for
// it; TRUE whatever happened.
BOOL RunProgram(LPSTR lpPath);
