// CDocument: the data of a document/view program, its file name and title,
// its changed flag and its views. The document reads and writes its file
// through Serialize; the framework around it opens the file, shows the
// file dialogs, asks to save changes and reports failures.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/app/RecoveryJournal.h"
#include "framework/base/String.h"
#include "framework/io/FileIdentity.h"
#include "framework/win/CmdTarget.h"

class CArchive;
class CDocTemplate;
class CFile;
class CException;
class CFileException;
class SaveFile;
class CView;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const char16_t* title);
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const char16_t* path, BOOL addToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    // Changed, the document also prepares the copy that a crash writes
    // (CrashCopy) to the names OnEndSession would take; unchanged, or while
    // a file loads into it, none. With journals on (RecoveryJournal), a
    // change marks the journal due and unchanged text removes it.
    virtual void SetModifiedFlag(BOOL modified = TRUE);

    // Views: the first one added is the head of the list.
    void AddView(CView* view);
    void RemoveView(CView* view);
    CView* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }
    const std::vector<CView*>& GetViews() const { return m_views; }

    // The file as it was read or last written.
    const FileIdentity& GetFileIdentity() const { return m_fileIdentity; }
    // The text as Save would write it, in memory (for the journal).
    std::string JournalText();
    // Takes text kept in a journal (named) as an unsaved change of the
    // document, its file as the journal's writer had read it.
    void TakeKeptText(const std::string& text, const FileIdentity& identity, const std::string& journal);

    virtual void Serialize(CArchive& ar);
    virtual BOOL OnNewDocument();
    // With journals on, a journal of the file that another Tessel left is
    // offered first (JournalOffer): its text, the file, or nothing.
    virtual BOOL OnOpenDocument(const char16_t* path);
    // Saving over the document's own file when it changed on disk since it
    // was read or written (another file now, another size or modification
    // time) asks first; No leaves file and document as they were.
    virtual BOOL OnSaveDocument(const char16_t* path);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // The save prompt: TRUE when the pending command may go on.
    virtual BOOL SaveModified();
    // Whether the frame may close: the save prompt.
    virtual BOOL CanCloseFrame(CWnd* frame);
    // Save to path, or through the Save As dialog when path is null or
    // replace is TRUE. TRUE when saved.
    virtual BOOL DoSave(const char16_t* path, BOOL replace = TRUE);
    virtual BOOL DoFileSave();
    // The end of the session, when no one can be asked (WM_ENDSESSION): a
    // changed document writes its text through Serialize, as Save would
    // write it (crash-safe), to a new file beside its own named after it
    // with ".save" added: "notes.txt.save", "Untitled.save" in the working
    // folder for an untitled one, "notes.txt.save.1", ".save.2" ... when the
    // name is taken. Where that folder takes no new file (not writable, the
    // name too long, gone), the copy goes by the same name (cut to fit) to
    // the first of FallbackFolders() that takes it. It never writes over an
    // existing file, leaves its own file alone, and shows nothing. Returns
    // the line that says where the text went (its full path) or that it
    // could not be written anywhere; empty when the document is unchanged.
    virtual CString OnEndSession();
    // After a failure once reading began: the document becomes untitled and new.
    virtual void ReportSaveLoadException(const char16_t* path, CException* e, BOOL saving, UINT defaultId);

    void OnFileSave();
    void OnFileSaveAs();

    // Set by the template that creates the document.
    CDocTemplate* m_pDocTemplate = nullptr;

protected:
    CString m_strTitle;
    CString m_strPathName;
    BOOL m_bModified = FALSE;
    // The document's file as it was read or last written: a save over a
    // file that differs from it asks first.
    FileIdentity m_fileIdentity;
    std::vector<CView*> m_views;

    DECLARE_MESSAGE_MAP()

private:
    // Serializes the text into the file and commits it; throws as they do.
    void WriteAndCommit(SaveFile& file);
    // The names a recovery copy may take, best first, each before its
    // number: "NAME.save" beside the document, or in the working folder for
    // an untitled one (not when the working folder is gone: the root is no
    // stand-in for it); then the same in each fallback folder.
    std::vector<CString> RecoveryNames() const;
    // Arms or disarms the crash copy after a change of the changed flag or
    // of the names; while a file loads, disarms it.
    void PrepareCrashCopy();

    // Reads the file into the document (OnOpenDocument without the offer).
    BOOL LoadFile(const char16_t* path);

    // A file is being read into the document (OnOpenDocument).
    bool m_loading = false;
    std::unique_ptr<RecoveryJournal> m_journal;
};
