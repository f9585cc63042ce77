// The file dialogs: "Open" and "Save As". A name field, the folder's
// entries to choose from (folders first, ".." to go up), the one filter
// "All Files (*.*)", and OK and Cancel. Flags as the platform's:
// OFN_FILEMUSTEXIST, OFN_PATHMUSTEXIST, OFN_OVERWRITEPROMPT (ask before an
// existing file is replaced), OFN_HIDEREADONLY.
#pragma once

#include <vector>

#include "framework/base/String.h"
#include "framework/win/Controls.h"

class CDocTemplate;

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

class CFileDialog : public CWnd {
public:
    CFileDialog(BOOL openFileDialog, const char16_t* defExt = nullptr, const char16_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char16_t* filter = nullptr,
                CWnd* parent = nullptr);

    // Runs the dialog: IDOK with a chosen path, IDCANCEL otherwise.
    INT_PTR DoModal();
    CString GetPathName() const { return m_path; }
    CString GetFileName() const;

    CString m_title;
    DWORD m_flags;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;

private:
    void Fill(const CString& folder);
    void OnListSelect();
    void OnListOpen();
    // Takes the name in the field: enters a folder, or checks and accepts
    // a file. TRUE when the dialog may end.
    bool Accept();

    BOOL m_bOpen;
    CString m_folder;  // ends with "/"
    CString m_initial;
    CString m_filter;
    CString m_path;
    CEdit m_name;
    CListBox m_list;
    CStatic m_folderLabel;
    std::vector<std::pair<CString, bool>> m_entries;  // name, is a folder
    int m_result = IDCANCEL;
    bool m_done = false;
};

// Shows the framework's Open or Save As dialog for a document's file;
// fileName holds the proposed name in and the chosen full path out.
BOOL AfxDoPromptFileName(CString& fileName, UINT titleId, DWORD flags, BOOL openFileDialog, CDocTemplate* tmpl);
