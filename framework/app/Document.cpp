#include "framework/app/Document.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include "framework/app/DocTemplate.h"
#include "framework/app/FileDialog.h"
#include "framework/app/FrameWnd.h"
#include "framework/app/JournalOffer.h"
#include "framework/app/View.h"
#include "framework/app/WinApp.h"
#include "framework/io/Archive.h"
#include "framework/io/CrashCopy.h"
#include "framework/io/FallbackFolder.h"
#include "framework/io/File.h"
#include "framework/io/FileException.h"
#include "framework/io/FileSystem.h"
#include "framework/io/MemFile.h"
#include "framework/io/Path.h"
#include "framework/io/SaveFile.h"
#include "framework/res/StringTable.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    CrashCopy::Disarm(this);
    for (CView* v : m_views)
        v->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char16_t* title)
{
    m_strTitle = title;
    if (m_bModified)
        PrepareCrashCopy();
}

void CDocument::SetPathName(const char16_t* path, BOOL)
{
    m_strPathName = PathFullName(CString(path));
    SetTitle(PathFileName(m_strPathName));
}

void CDocument::SetModifiedFlag(BOOL modified)
{
    // Every change of the text sets the flag: only a change of it costs.
    BOOL was = m_bModified;
    m_bModified = modified ? TRUE : FALSE;
    if (m_bModified != was)
        PrepareCrashCopy();
    if (m_bModified && !m_loading && RecoveryJournal::Enabled()) {
        if (!m_journal)
            m_journal = std::make_unique<RecoveryJournal>(*this);
        m_journal->Changed();
    } else if (!m_bModified && m_journal) {
        m_journal->Unchanged();
    }
}

std::string CDocument::JournalText()
{
    CMemFile memory(64 * 1024);
    CArchive ar(&memory, CArchive::store, 4096);
    Serialize(ar);
    ar.Close();
    return std::string(reinterpret_cast<const char*>(memory.GetData()), size_t(memory.GetLength()));
}

void CDocument::TakeKeptText(const std::string& text, const FileIdentity& identity, const std::string& journal)
{
    CMemFile memory;
    memory.Write(text.data(), UINT(text.size()));
    memory.SeekToBegin();
    CArchive ar(&memory, CArchive::load, 4096);
    Serialize(ar);
    ar.Close();
    // A save over a file changed since the writer read it asks first.
    if (identity.known)
        m_fileIdentity = identity;
    SetModifiedFlag(TRUE);
    if (m_journal)
        m_journal->TakeOver(journal);
}

void CDocument::PrepareCrashCopy()
{
    if (!m_bModified || m_loading) {
        CrashCopy::Disarm(this);
        return;
    }
    CrashCopy::Plan plan;
    for (const CString& name : RecoveryNames())
        plan.names.push_back(name.ToBytes());
    // The lines OnEndSession would write, the name left open.
    CString shown = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString prefix;
    if (CWinApp* app = AfxGetApp())
        prefix = app->m_pszExeName + u": ";
    constexpr char16_t kName = u'\uFFFF';
    CString saved;
    AfxFormatString2(saved, AFX_IDP_RECOVERY_SAVED, shown, CString(std::u16string(1, kName)));
    int at = saved.Find(kName);
    plan.savedBefore = (prefix + (at >= 0 ? saved.Left(at) : saved)).ToBytes();
    plan.savedAfter = (at >= 0 ? saved.Mid(at + 1) : CString()).ToBytes();
    CString why;
    why.LoadString(AFX_IDP_FAILED_TO_SAVE_DOC);
    CString lost;
    AfxFormatString2(lost, AFX_IDP_RECOVERY_FAILED, shown, why);
    plan.lost = (prefix + lost).ToBytes();
    CString midChange;
    midChange.LoadString(AFX_IDP_RECOVERY_MID_CHANGE);
    CString changing;
    AfxFormatString2(changing, AFX_IDP_RECOVERY_FAILED, shown, midChange);
    plan.changing = (prefix + changing).ToBytes();
    CrashCopy::Arm(this, plan);
}

void CDocument::AddView(CView* view)
{
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    std::erase(m_views, view);
    view->m_pDocument = nullptr;
}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    m_fileIdentity = FileIdentity();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(const char16_t* path, CException* e, BOOL saving, UINT defaultId)
{
    CString name = path && *path ? PathFullName(CString(path)) : CString();
    CString text;
    if (dynamic_cast<CUserException*>(e))
        return;  // already reported where it happened
    if (auto* fe = dynamic_cast<CFileException*>(e)) {
        if (fe->m_strFileName.IsEmpty())
            fe->m_strFileName = name;
        fe->GetErrorMessage(text);
    } else if (auto* ae = dynamic_cast<CArchiveException*>(e); ae && ae->m_cause == CArchiveException::endOfFile) {
        text.LoadString(AFX_IDP_FAILED_INVALID_FORMAT);
    } else {
        text.LoadString(saving ? AFX_IDP_FAILED_TO_SAVE_DOC : defaultId);
    }
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

BOOL CDocument::OnOpenDocument(const char16_t* path)
{
    JournalOffer offer;
    if (RecoveryJournal::Enabled())
        offer = JournalOffer::ForFile(PathFullName(CString(path)));
    if (offer.answer == JournalOffer::kOpenNothing)
        return FALSE;
    // Kept text of a file deleted since is taken all the same, under the
    // file's name: Save makes the file again.
    const bool gone = offer.answer == JournalOffer::kOpenKept && GetFileAttributes(path) == INVALID_FILE_ATTRIBUTES
        && errno == ENOENT;
    if (gone)
        DeleteContents();
    else if (!LoadFile(path))
        return FALSE;
    if (offer.answer == JournalOffer::kOpenKept) {
        try {
            TakeKeptText(offer.text, offer.identity, offer.name);
        } catch (CException& e) {
            ReportSaveLoadException(path, &e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        }
    }
    return TRUE;
}

BOOL CDocument::LoadFile(const char16_t* path)
{
    CFile file;
    CFileException fe;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportSaveLoadException(path, &fe, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    // From here until the file's text is in whole, the text is neither the
    // old one nor the file's, and the name is still the old one: a crash
    // writes no copy of it.
    struct Loading {
        explicit Loading(CDocument& doc) : m_doc(doc)
        {
            m_doc.m_loading = true;
            CrashCopy::Disarm(&m_doc);
        }
        ~Loading() { m_doc.m_loading = false; }
        CDocument& m_doc;
    } loading(*this);
    DeleteContents();
    SetModifiedFlag(TRUE);
    FileIdentity read = FileIdentity::Of(file.GetHandle());
    try {
        // Read to its end whatever length the system reports: a file of the
        // kernel's (/proc, /sys) says 0 and still has content.
        CArchive ar(&file, CArchive::load, 4096);
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException& e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(path, &e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    m_fileIdentity = read;
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::WriteAndCommit(SaveFile& file)
{
    CArchive ar(&file, CArchive::store, 4096);
    Serialize(ar);
    ar.Close();
    file.Commit();
}

BOOL CDocument::OnSaveDocument(const char16_t* path)
{
    SaveFile file;
    CFileException fe;
    if (!file.Open(path, &fe)) {
        ReportSaveLoadException(path, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    // A file that is gone loses nothing; one that differs does.
    const FileIdentity& onDisk = file.GetOldIdentity();
    if (m_fileIdentity.known && onDisk.known && PathFullName(CString(path)) == m_strPathName
        && !(onDisk == m_fileIdentity)) {
        CString prompt;
        AfxFormatString1(prompt, AFX_IDP_FILE_CHANGED_ON_DISK, m_strPathName);
        if (AfxMessageBox(prompt, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            file.Abort();
            return FALSE;
        }
    }
    try {
        WriteAndCommit(file);
    } catch (CException& e) {
        // The old file stays as it was; only what this save made goes.
        file.Abort();
        ReportSaveLoadException(path, &e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    m_fileIdentity = file.GetNewIdentity();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // Destroying the frame destroys the views; then the document goes.
    std::vector<CFrameWnd*> frames;
    for (CView* v : m_views)
        if (CFrameWnd* f = v->GetParentFrame(); f && std::find(frames.begin(), frames.end(), f) == frames.end())
            frames.push_back(f);
    for (CFrameWnd* f : frames)
        f->DestroyWindow();
    delete this;
}

BOOL CDocument::CanCloseFrame(CWnd*) { return SaveModified(); }

namespace {
// Names tried for a recovery copy: NAME.save, then NAME.save.1 to .999,
// the same as a crash tries.
constexpr int kRecoveryNames = CrashCopy::kMaxNumber + 1;

// name (a file name) with ".save", cut so that "name.save.999" fits in a
// folder entry.
CString FittedRecoveryName(const CString& name)
{
    // The longest number as its own string first: g++ 12 at -O3 takes
    // "." + std::to_string(...) for an overlapping copy (-Wrestrict).
    std::string longest = std::to_string(kRecoveryNames - 1);
    longest.insert(longest.begin(), '.');
    return CString::FromBytes(FittedCopyName(name.ToBytes(), ".save", longest));
}
}  // namespace

std::vector<CString> CDocument::RecoveryNames() const
{
    std::vector<CString> names;
    CString name;
    if (!m_strPathName.IsEmpty()) {
        names.push_back(m_strPathName + u".save");
        name = PathFileName(m_strPathName);
    } else {
        // As Save As proposes the title, in the working folder.
        name = m_strTitle;
        int cut = name.FindOneOf(u"#%;/\\");
        if (cut >= 0)
            name = name.Left(cut);
        if (name.IsEmpty())
            name.LoadString(AFX_IDS_UNTITLED);
        // A working folder that is gone has no stand-in: never the root.
        std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
        if (folder)
            names.push_back(PathFullName(name) + u".save");
    }
    // Where the document's own folder takes no copy (not writable, a name
    // too long, gone): the fallback folders, under a name that fits.
    for (const CString& folder : FallbackFolders()) {
        CString other = folder + u"/" + FittedRecoveryName(name);
        if (std::find(names.begin(), names.end(), other) == names.end())
            names.push_back(other);
    }
    return names;
}

CString CDocument::OnEndSession()
{
    if (!IsModified())
        return CString();
    // The journal stays beside the copy, brought up to date.
    if (m_journal)
        m_journal->Keep();
    std::vector<CString> names = RecoveryNames();
    CString shown = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    auto lost = [&](CException& e) {
        CString why;
        if (!e.GetErrorMessage(why) || why.IsEmpty())
            why.LoadString(AFX_IDP_FAILED_TO_SAVE_DOC);
        CString line;
        AfxFormatString2(line, AFX_IDP_RECOVERY_FAILED, shown, why);
        return line;
    };
    // Each place in turn; in one place the first free name. When no place
    // takes a copy, the failure of the first (beside the document) is the
    // one reported.
    CFileException failure(CFileException::fileNotFound, ENOENT, names.empty() ? shown + u".save" : names[0]);
    bool failed = false;
    auto note = [&](const CFileException& e) {
        if (!failed)
            failure = e;
        failed = true;
    };
    for (const CString& base : names) {
        for (int n = 0; n < kRecoveryNames; ++n) {
            CString name = base;
            if (n > 0) {
                CString number;
                number.Format(u".%d", n);
                name += number;
            }
            SaveFile file;
            CFileException fe;
            if (!file.OpenNew(name, &fe)) {
                if (fe.m_lOsError == EEXIST) {
                    if (n == kRecoveryNames - 1)
                        note(CFileException(CFileException::accessDenied, EEXIST, base));
                    continue;
                }
                note(fe);
                break;
            }
            try {
                WriteAndCommit(file);
            } catch (CFileException& e) {
                file.Abort();
                if (e.m_lOsError == EEXIST)
                    continue;  // the name was taken while the copy was written
                note(e);
                break;
            } catch (CException& e) {
                file.Abort();
                return lost(e);
            }
            CrashCopy::Disarm(this);  // the text is safe: a crash on the way out adds no copy
            CString line;
            AfxFormatString2(line, AFX_IDP_RECOVERY_SAVED, shown, name);
            return line;
        }
    }
    return lost(failure);
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString prompt;
    AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDYES: return DoFileSave();
    case IDNO: return TRUE;
    default: return FALSE;
    }
}

BOOL CDocument::DoFileSave()
{
    DWORD attributes = GetFileAttributes(m_strPathName);
    // A document without a file, or whose file became read-only or went
    // away, is saved through the Save As dialog.
    if (m_strPathName.IsEmpty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return DoSave(nullptr);
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(const char16_t* path, BOOL replace)
{
    CString newName = path ? CString(path) : CString();
    if (newName.IsEmpty()) {
        newName = m_strPathName;
        if (replace && newName.IsEmpty()) {
            newName = m_strTitle;
            int cut = newName.FindOneOf(u"#%;/\\");
            if (cut >= 0)
                newName = newName.Left(cut);
        }
        if (!AfxDoPromptFileName(newName, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE,
                                 m_pDocTemplate))
            return FALSE;
    }
    FileIdentity own = m_fileIdentity;
    if (!OnSaveDocument(newName))
        return FALSE;
    if (replace)
        SetPathName(newName);
    else
        m_fileIdentity = own;  // a copy elsewhere: the document's file is still its own
    return TRUE;
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }
