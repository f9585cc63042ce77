#include "framework/app/WinApp.h"

#include <climits>
#include <unistd.h>

#include "framework/app/DocTemplate.h"
#include "framework/app/Document.h"
#include "framework/app/FileDialog.h"
#include "framework/app/FrameWnd.h"
#include "framework/app/JournalOffer.h"
#include "framework/app/MessageBox.h"
#include "framework/app/RecoveryJournal.h"
#include "framework/io/FileException.h"
#include "framework/io/Path.h"
#include "framework/res/Resources.h"
#include "framework/res/StringTable.h"
#include "framework/win/WindowSystem.h"

namespace {
CWinApp* g_app = nullptr;
}

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(const char16_t* appName)
{
    if (appName)
        m_pszAppName = appName;
    g_app = this;
    WindowSystem::Get().Tree().SetExceptionHandler([](const CException& e) {
        if (dynamic_cast<const CUserException*>(&e))
            return;  // already reported where it happened
        CString text;
        if (!e.GetErrorMessage(text) || text.IsEmpty())
            text.LoadString(AFX_IDP_INTERNAL_FAILURE);
        AfxMessageBox(text, MB_ICONEXCLAMATION);
    });
}

CWinApp::~CWinApp()
{
    for (CDocTemplate* t : m_templates)
        delete t;
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd && IsWindow(app->m_pMainWnd->m_hWnd) ? app->m_pMainWnd : nullptr;
}

void CWinApp::SetUp(const CString& modulePath, std::vector<CString> args)
{
    m_pszModulePath = modulePath;
    m_argv = std::move(args);
    CString name = PathFileName(modulePath);
    int dot = name.ReverseFind(u'.');
    m_pszExeName = dot > 0 ? name.Left(dot) : name;
    if (m_pszAppName.IsEmpty())
        m_pszAppName = m_pszExeName;
    int lastDot = modulePath.ReverseFind(u'.');
    int lastSep = std::max(modulePath.ReverseFind(u'/'), modulePath.ReverseFind(u'\\'));
    m_pszHelpFilePath = (lastDot > lastSep ? modulePath.Left(lastDot) : modulePath) + u".HLP";
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance()
{
    for (CDocTemplate* t : m_templates)
        delete t;
    m_templates.clear();
    return 0;
}

BOOL CWinApp::OnIdle(long) { return FALSE; }

void CWinApp::OnEndSession()
{
    Host* host = WindowSystem::Get().GetHost();
    for (CDocTemplate* t : m_templates) {
        CDocument* doc = t->GetOpenDocument();
        if (!doc)
            continue;
        CString line;
        try {
            line = doc->OnEndSession();
        } catch (CException& e) {
            // Nothing may be shown now; the line says what went wrong.
            if (!e.GetErrorMessage(line) || line.IsEmpty())
                line.LoadString(AFX_IDP_FAILED_TO_SAVE_DOC);
        }
        if (host && !line.IsEmpty())
            host->ReportAtExit((m_pszExeName + u": " + line).Str());
    }
}

int CWinApp::Run()
{
    WindowSystem& ws = WindowSystem::Get();
    ws.Router().RunModalLoop([&] { return AfxGetMainWnd() == nullptr; });
    // Input ended with the window still open: close without asking.
    if (CWnd* main = AfxGetMainWnd())
        main->DestroyWindow();
    return ExitInstance();
}

int CWinApp::DoMessageBox(const char16_t* prompt, UINT type, UINT)
{
    UINT buttons = type & MB_TYPEMASK;
    if ((type & MB_ICONMASK) == 0
        && (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL))
        type |= MB_ICONEXCLAMATION;
    type |= MB_SETFOREGROUND;
    HWND owner = WindowSystem::Get().ActiveTopLevel();
    return ShowMessageBox(owner, CString(prompt), m_pszAppName, type);
}

void CWinApp::SetRegistryKey(const char16_t* key)
{
    // The profile is kept in memory: nothing is stored.
    m_pszRegistryKey = key;
    m_pszProfileName = m_pszAppName;
}

void CWinApp::AddDocTemplate(CDocTemplate* tmpl) { m_templates.push_back(tmpl); }

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    // "--" ends the options: every later token is a name, even one that
    // begins with "-" or "/".
    bool options = true;
    for (size_t i = 0; i < m_argv.size(); ++i) {
        const CString& token = m_argv[i];
        BOOL flag = options && CCommandLineInfo::IsFlag(token);
        if (options && token == u"--")
            options = false;
        info.ParseParam(flag ? token.Mid(1) : token, flag, i + 1 == m_argv.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info)
{
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, 0, nullptr, nullptr))
            OnFileNew();
        if (!AfxGetMainWnd())
            return FALSE;
        // Untitled text that a Tessel no longer running kept is offered.
        if (RecoveryJournal::Enabled())
            if (CDocTemplate* tmpl = GetDocTemplate())
                if (CDocument* doc = tmpl->GetOpenDocument()) {
                    JournalOffer offer = JournalOffer::ForUntitled();
                    if (offer.answer == JournalOffer::kOpenKept)
                        doc->TakeKeptText(offer.text, offer.identity, offer.name);
                }
        return TRUE;
    case CCommandLineInfo::FileOpen: return OpenDocumentFile(info.m_strFileName) != nullptr;
    default: return TRUE;
    }
}

CDocument* CWinApp::OpenDocumentFile(const char16_t* fileName)
{
    CDocTemplate* tmpl = GetDocTemplate();
    if (!tmpl)
        return nullptr;
    CString path = PathFullName(CString(fileName));
    // The open document's own file: nothing is read and nothing is asked.
    if (CDocument* doc = tmpl->GetOpenDocument()) {
        if (!doc->GetPathName().IsEmpty() && doc->GetPathName().CompareNoCase(path) == 0) {
            if (CWnd* main = AfxGetMainWnd())
                main->SetFocus();
            return doc;
        }
    }
    return tmpl->OpenDocumentFile(path);
}

void CWinApp::OnFileNew()
{
    if (CDocTemplate* tmpl = GetDocTemplate())
        tmpl->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CString name;
    CDocTemplate* tmpl = GetDocTemplate();
    if (!AfxDoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, tmpl))
        return;
    OpenDocumentFile(name);
}

void CWinApp::OnAppExit()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_CLOSE);
}

void CWinApp::OnHelp()
{
    // No help file ships with the programs.
}

int AfxMessageBox(const char16_t* text, UINT type, UINT helpId)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return ShowMessageBox(nullptr, CString(text), CString(), type);
    return app->DoMessageBox(text, type, helpId);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId)
{
    CString text;
    text.LoadString(promptId);
    return AfxMessageBox(text, type, helpId == UINT(-1) ? promptId : helpId);
}

int AfxWinMain(Host& host, int argc, char** argv)
{
    WindowSystem& ws = WindowSystem::Get();
    ws.SetHost(&host);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    char exe[PATH_MAX + 1];
    ssize_t n = ::readlink("/proc/self/exe", exe, PATH_MAX);
    CString module
        = n > 0 ? CString::FromBytes(std::string_view(exe, size_t(n))) : CString::FromBytes(argc > 0 ? argv[0] : "");
    std::vector<CString> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(CString::FromBytes(argv[i]));
    app->SetUp(module, std::move(args));
    int code;
    if (!app->InitInstance()) {
        if (CWnd* main = AfxGetMainWnd())
            main->DestroyWindow();
        code = app->ExitInstance();
    } else {
        code = app->Run();
    }
    // A session that ended under the program (a hang-up, a termination
    // signal, a vanished terminal) is no success: the status says so as a
    // shell says it of a program a signal ended.
    if (ws.Router().SessionEnded())
        code = ws.Router().SessionEndSignal() > 0 ? 128 + ws.Router().SessionEndSignal() : 1;
    ws.Reset();
    ws.SetHost(nullptr);
    return code;
}
