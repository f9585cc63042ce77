#include "framework/app/FileDialog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "framework/app/WinApp.h"
#include "framework/io/Path.h"
#include "framework/res/StringTable.h"
#include "framework/win/DialogManager.h"
#include "framework/win/ModalSession.h"
#include "framework/win/WindowSystem.h"

namespace fs = std::filesystem;

namespace {
constexpr UINT kNameId = 1152;
constexpr UINT kListId = 1120;
constexpr UINT kFolderId = 1088;
constexpr UINT kFilterId = 1136;

fs::path ToPath(const CString& s) { return fs::path(s.ToBytes()); }

CString FromPath(const fs::path& p) { return CString::FromBytes(p.native()); }

// The path of the entry in path's folder whose name equals path's last part
// when case is ignored; empty when there is none or more than one.
CString ExistingSpelling(const CString& path)
{
    CString folder = PathFolder(path);
    CString name = PathFileName(path);
    CString found;
    int matches = 0;
    std::error_code ec;
    for (const auto& entry :
         fs::directory_iterator(ToPath(folder), fs::directory_options::skip_permission_denied, ec)) {
        CString entryName = FromPath(entry.path().filename());
        if (entryName.CompareNoCase(name) == 0) {
            found = folder + entryName;
            ++matches;
        }
    }
    return matches == 1 ? found : CString();
}
}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char16_t*, const char16_t* fileName, DWORD flags,
                         const char16_t* filter, CWnd*)
    : m_flags(flags | OFN_OVERWRITEPROMPT), m_bOpen(openFileDialog)
{
    if (fileName)
        m_initial = fileName;
    if (filter)
        m_filter = filter;
    m_title.LoadString(openFileDialog ? AFX_IDS_OPENFILE : AFX_IDS_SAVEFILE);
}

CString CFileDialog::GetFileName() const { return PathFileName(m_path); }

void CFileDialog::Fill(const CString& folder)
{
    m_folder = folder;
    if (m_folder.IsEmpty() || m_folder[m_folder.GetLength() - 1] != u'/')
        m_folder += u'/';
    m_entries.clear();
    std::error_code ec;
    std::vector<std::pair<CString, bool>> dirs, files;
    for (const auto& entry :
         fs::directory_iterator(ToPath(m_folder), fs::directory_options::skip_permission_denied, ec)) {
        CString name = FromPath(entry.path().filename());
        std::error_code ec2;
        if (entry.is_directory(ec2))
            dirs.emplace_back(name, true);
        else
            files.emplace_back(name, false);
    }
    auto byName = [](const auto& a, const auto& b) { return a.first.CompareNoCase(b.first) < 0; };
    std::sort(dirs.begin(), dirs.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (m_folder != u"/")
        m_entries.emplace_back(u"..", true);
    m_entries.insert(m_entries.end(), dirs.begin(), dirs.end());
    m_entries.insert(m_entries.end(), files.begin(), files.end());
    m_list.ResetContent();
    for (const auto& [name, isDir] : m_entries)
        m_list.AddString(isDir ? name + u"/" : name);
    m_folderLabel.SetWindowText(m_folder);
}

void CFileDialog::OnListSelect()
{
    int i = m_list.GetCurSel();
    if (i < 0 || i >= int(m_entries.size()))
        return;
    const auto& [name, isDir] = m_entries[size_t(i)];
    if (!isDir) {
        m_name.SetWindowText(name);
        m_name.SetSel(0, -1);
    }
}

void CFileDialog::OnListOpen()
{
    int i = m_list.GetCurSel();
    if (i < 0 || i >= int(m_entries.size()))
        return;
    const auto [name, isDir] = m_entries[size_t(i)];
    if (isDir) {
        Fill(PathFullName(m_folder + name));
        m_list.SetCurSel(0);
        return;
    }
    m_name.SetWindowText(name);
    if (Accept())
        m_done = true;
}

bool CFileDialog::Accept()
{
    CString name = m_name.GetWindowText();
    name.TrimLeft();
    name.TrimRight();
    if (name.IsEmpty())
        return false;
    auto fullName = [&](const CString& typed) {
        return (typed[0] == u'/' || typed[0] == u'~') ? PathFullName(typed) : PathFullName(m_folder + typed);
    };
    CString path = fullName(name);
    std::error_code ec;
    fs::path p = ToPath(path);
    // A name in double quotes (as one with blanks may be typed) is taken
    // without them, cut at the closing one, but only when the name as typed
    // names nothing: a quote is an ordinary character of a file name here,
    // and an existing file is never read as some other one.
    if (name[0] == u'"' && !fs::exists(fs::symlink_status(p, ec))) {
        CString unquoted = name.Mid(1);
        int quote = unquoted.Find(u'"');
        if (quote >= 0)
            unquoted = unquoted.Left(quote);
        if (unquoted.IsEmpty())
            return false;
        path = fullName(unquoted);
        p = ToPath(path);
    }
    if (fs::is_directory(p, ec)) {
        Fill(path);
        m_name.SetWindowText(u"");
        return false;
    }
    if ((m_flags & OFN_FILEMUSTEXIST) && !fs::exists(p, ec)) {
        // Names are told apart without regard to case on the platform: a
        // name that differs from an existing file's only in case names it.
        CString spelled = ExistingSpelling(path);
        if (!spelled.IsEmpty()) {
            path = spelled;
            p = ToPath(path);
        }
    }
    CString text;
    if ((m_flags & OFN_FILEMUSTEXIST) && !fs::exists(p, ec)) {
        AfxFormatString1(text, AFX_IDP_FILE_NOT_FOUND_CHECK, path);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        m_name.SetFocus();
        return false;
    }
    if ((m_flags & OFN_PATHMUSTEXIST) && !fs::is_directory(ToPath(PathFolder(path)), ec)) {
        AfxFormatString1(text, AFX_IDP_PATH_NOT_FOUND_CHECK, path);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        m_name.SetFocus();
        return false;
    }
    if (!m_bOpen && (m_flags & OFN_OVERWRITEPROMPT) && fs::exists(p, ec)) {
        AfxFormatString1(text, AFX_IDP_FILE_EXISTS_REPLACE, path);
        if (AfxMessageBox(text, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            m_name.SetFocus();
            return false;
        }
    }
    m_path = path;
    m_result = IDOK;
    return true;
}

BOOL CFileDialog::OnCommand(WPARAM wParam, LPARAM)
{
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    if (id == kListId) {
        if (code == LBN_SELCHANGE)
            OnListSelect();
        else if (code == LBN_DBLCLK)
            OnListOpen();
        return TRUE;
    }
    if (id == IDOK) {
        if (Accept())
            m_done = true;
        return TRUE;
    }
    if (id == IDCANCEL) {
        m_result = IDCANCEL;
        m_done = true;
        return TRUE;
    }
    return FALSE;
}

BOOL CFileDialog::PreTranslateMessage(MSG* msg)
{
    // Enter in the list opens the chosen entry.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && ::GetFocus() == m_list.m_hWnd) {
        OnListOpen();
        return TRUE;
    }
    return IsDialogMessage(m_hWnd, msg);
}

INT_PTR CFileDialog::DoModal()
{
    WindowSystem& ws = WindowSystem::Get();
    CSize screen = ws.GetHost() ? ws.GetHost()->ScreenCells() : CSize(80, 24);
    // As large as the screen lets it be up to 64 x 20 cells; never so small
    // that its controls would run into each other (a smaller screen shows
    // it cut, and scrolls it).
    int cols = std::max(36, std::min(screen.cx, 64));
    int rows = std::max(12, std::min(screen.cy, 20));
    CSize px = Host::CellPixels();
    HWND owner = ws.ActiveTopLevel();
    CREATESTRUCT cs;
    cs.lpszClass = u"#32770";
    cs.lpszName = m_title;
    cs.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    cs.x = std::max(0, (screen.cx - cols) / 2) * px.cx;
    cs.y = std::max(0, (screen.cy - rows) / 2) * px.cy;
    cs.cx = cols * px.cx;
    cs.cy = rows * px.cy;
    cs.hwndParent = owner;
    ModalSession session(owner);
    if (!AfxCreateWindow(this, cs))
        return IDCANCEL;
    session.SetWindow(m_hWnd);
    int inner = cols - 2;
    int clientRows = rows - 1;
    auto make = [&](const char16_t* cls, const char16_t* text, DWORD style, int x, int y, int w, int h, UINT id) {
        return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, x * px.cx, y * px.cy, w * px.cx, h * px.cy,
                              m_hWnd, id, nullptr);
    };
    make(u"STATIC", u"File name:", 0, 1, 0, 11, 1, 0xFFFF);
    m_name.Attach(make(u"EDIT", u"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 12, 0, inner - 11, 1, kNameId));
    m_folderLabel.Attach(make(u"STATIC", u"", SS_LEFTNOWORDWRAP, 1, 1, inner, 1, kFolderId));
    m_list.Attach(make(u"LISTBOX", u"", WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, 1, 2, inner, clientRows - 5, kListId));
    make(u"STATIC", u"Files of type:", 0, 1, clientRows - 3, 14, 1, 0xFFFF);
    HWND filter = make(u"COMBOBOX", u"", WS_TABSTOP | CBS_DROPDOWNLIST, 16, clientRows - 3, inner - 15, 3, kFilterId);
    CString all;
    all.LoadString(AFX_IDS_ALLFILTER);
    ::SendMessage(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(all.GetString()));
    ::SendMessage(filter, CB_SETCURSEL, 0);
    make(u"BUTTON", m_bOpen ? u"Open" : u"Save", WS_TABSTOP | BS_DEFPUSHBUTTON, inner - 22, clientRows - 2, 10, 1,
         IDOK);
    make(u"BUTTON", u"Cancel", WS_TABSTOP, inner - 10, clientRows - 2, 10, 1, IDCANCEL);

    // Start in the proposed file's folder, or the current one.
    CString start = m_initial.IsEmpty() ? PathFullName(u".") : PathFullName(m_initial);
    std::error_code ec;
    if (!m_initial.IsEmpty() && !fs::is_directory(ToPath(start), ec)) {
        Fill(PathFolder(start));
        m_name.SetWindowText(PathFileName(m_initial));
    } else {
        Fill(start);
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
    m_name.SetFocus();
    m_name.SetSel(0, -1);
    session.Run([&] { return m_done; });
    m_name.Detach();
    m_list.Detach();
    m_folderLabel.Detach();
    session.End();
    return m_done ? m_result : IDCANCEL;
}

BOOL AfxDoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog, CDocTemplate*)
{
    CString filter;
    filter.LoadString(AFX_IDS_ALLFILTER);
    filter += u"|*.*||";
    CFileDialog dlg(openFileDialog, nullptr, fileName, flags, filter);
    dlg.m_title.LoadString(titleId);
    if (dlg.DoModal() != IDOK)
        return FALSE;
    fileName = dlg.GetPathName();
    return TRUE;
}
