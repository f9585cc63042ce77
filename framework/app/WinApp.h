// CWinApp: the application object. Exactly one exists, a global the
// program defines; AfxWinMain runs it: InitInstance, then the message loop
// while InitInstance returned TRUE.
#pragma once

#include <vector>

#include "framework/app/CommandLineInfo.h"
#include "framework/base/String.h"
#include "framework/win/Wnd.h"

class CDocTemplate;
class CDocument;
class Host;

class CWinApp : public CCmdTarget {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char16_t* appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop: runs until the main window is destroyed or input ends.
    virtual int Run();
    virtual BOOL OnIdle(long count);
    // The session ends (the main window's WM_ENDSESSION): each document
    // writes its unsaved text beside its file (CDocument::OnEndSession), and
    // the host is given the line that says where it went, for after the
    // terminal is restored.
    virtual void OnEndSession();
    virtual int DoMessageBox(const char16_t* prompt, UINT type, UINT helpId);

    void SetRegistryKey(const char16_t* key);
    void AddDocTemplate(CDocTemplate* tmpl);
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    virtual CDocument* OpenDocumentFile(const char16_t* fileName);
    CDocTemplate* GetDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front(); }

    CWnd* m_pMainWnd = nullptr;
    // The title: the executable's name without its extension unless the
    // program names one.
    CString m_pszAppName;
    CString m_pszExeName;
    // The executable's full path, and the help file the platform derives
    // from it (everything from the last "." replaced by ".HLP").
    CString m_pszModulePath;
    CString m_pszHelpFilePath;
    CString m_pszRegistryKey;
    CString m_pszProfileName;
    // The arguments after the program's name, one a token.
    std::vector<CString> m_argv;

    // Sets up the process-wide parts before InitInstance (AfxWinMain).
    void SetUp(const CString& modulePath, std::vector<CString> args);

    // Commands the programs map to these handlers.
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    void OnHelp();

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::vector<CDocTemplate*> m_templates;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Runs the program's application object with a host; returns the exit code.
int AfxWinMain(Host& host, int argc, char** argv);

int AfxMessageBox(const char16_t* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = UINT(-1));
