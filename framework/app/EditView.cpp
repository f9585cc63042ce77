#include "framework/app/EditView.h"

#include "framework/app/Document.h"
#include "framework/app/WinApp.h"
#include "framework/io/Archive.h"
#include "framework/io/FileException.h"
#include "framework/win/EditControl.h"
#include "framework/win/WindowSystem.h"

IMPLEMENT_DYNCREATE(CEditView, CView)

BEGIN_MESSAGE_MAP(CEditView, CView)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_COMMAND(ID_EDIT_CUT, OnEditCut)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateNeedSel)
    ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateNeedSel)
    ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateNeedClip)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
    ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateNeedSel)
    ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
    ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateNeedText)
    ON_CONTROL_REFLECT(EN_CHANGE, OnEditChange)
END_MESSAGE_MAP()

BOOL CEditView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = u"EDIT";
    cs.style |= dwStyleDefault;
    return CView::PreCreateWindow(cs);
}

CEdit& CEditView::GetEditCtrl() const
{
    m_edit.m_hWnd = m_hWnd;
    return m_edit;
}

const TextEngine& CEditView::Text() const
{
    return static_cast<EditControl*>(m_hWnd->proc.get())->Text();
}

int CEditView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    GetEditCtrl().LimitText(nMaxSize);
    GetEditCtrl().SetTabStops(m_nTabStops);
    return 0;
}

LRESULT CEditView::OnSetFont(WPARAM, LPARAM)
{
    Default();
    // Tab stops are measured in the font's units: set them again.
    GetEditCtrl().SetTabStops(m_nTabStops);
    return 0;
}

void CEditView::GetSelectedText(CString& text) const
{
    auto [start, end] = Text().GetSel();
    std::u16string s = Text().GetRange(start, end - start);
    size_t cr = s.find(u'\r');
    if (cr != std::u16string::npos)
        s.resize(cr);
    text = CString(std::move(s));
}

void CEditView::OnEditCut() { GetEditCtrl().Cut(); }
void CEditView::OnEditCopy() { GetEditCtrl().Copy(); }
void CEditView::OnEditPaste() { GetEditCtrl().Paste(); }
void CEditView::OnEditUndo() { GetEditCtrl().Undo(); }
void CEditView::OnEditClear() { GetEditCtrl().Clear(); }
void CEditView::OnEditSelectAll() { GetEditCtrl().SetSel(0, -1); }

void CEditView::OnUpdateNeedSel(CCmdUI* ui)
{
    int start, end;
    GetEditCtrl().GetSel(start, end);
    ui->Enable(start != end);
}

void CEditView::OnUpdateNeedClip(CCmdUI* ui)
{
    Host* host = WindowSystem::Get().GetHost();
    ui->Enable(host && host->HasClipboardText());
}

void CEditView::OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(GetEditCtrl().CanUndo()); }

void CEditView::OnUpdateNeedText(CCmdUI* ui) { ui->Enable(GetWindowTextLength() != 0); }

void CEditView::OnEditChange()
{
    if (m_pDocument)
        m_pDocument->SetModifiedFlag(TRUE);
}

// --- raw text input and output ---

void CEditView::SerializeRaw(CArchive& ar)
{
    if (ar.IsStoring()) {
        // Straight from the control's buffer, without a copy of the text.
        auto [before, after] = Text().Pieces();
        ar.Write(before.data(), UINT(before.size() * sizeof(char16_t)));
        ar.Write(after.data(), UINT(after.size() * sizeof(char16_t)));
        return;
    }
    CFile* file = ar.GetFile();
    ULONGLONG length = file->GetLength() - file->GetPosition();
    if (length / 2 > ULONGLONG(nMaxSize)) {
        AfxMessageBox(AFX_IDP_FILE_TOO_LARGE);
        AfxThrowUserException();
    }
    std::u16string text(size_t(length / 2), u'\0');
    UINT got = ar.Read(text.data(), UINT(text.size() * sizeof(char16_t)));
    if (got < text.size() * sizeof(char16_t))
        AfxThrowArchiveException(CArchiveException::endOfFile);
    // The control's text ends at a zero character, as the platform's does
    // (WM_SETTEXT takes the text up to its first zero); a text shorter than
    // what was read means the file held one.
    const size_t count = text.size();
    SetWindowText(CString(std::move(text)));
    if (GetWindowTextLength() < int(count))
        AfxThrowMemoryException();
}

// --- searching ---

BOOL CEditView::SameAsSelected(const char16_t* find, BOOL matchCase)
{
    auto [start, end] = Text().GetSel();
    std::u16string_view needle(find);
    if (size_t(end - start) != needle.size())
        return FALSE;
    // The selected text is taken up to its first "\r", like the preset.
    std::u16string selected = Text().GetRange(start, end - start);
    size_t cr = selected.find(u'\r');
    if (cr != std::u16string::npos)
        return FALSE;
    return Text().MatchesAt(start, needle, matchCase != FALSE) ? TRUE : FALSE;
}

BOOL CEditView::FindText(const char16_t* find, BOOL, BOOL matchCase)
{
    std::u16string_view needle(find);
    if (needle.empty())
        return FALSE;
    auto [start, end] = Text().GetSel();
    int from = start;
    if (start != end && SameAsSelected(find, matchCase))
        from = start + 1;
    if (from + int(needle.size()) > Text().Length())
        return FALSE;
    int hit = Text().Find(needle, from, matchCase != FALSE);
    if (hit < 0)
        return FALSE;
    GetEditCtrl().SetSel(hit, hit + int(needle.size()));
    return TRUE;
}

void CEditView::OnFindNext(const char16_t* find, BOOL next, BOOL matchCase)
{
    if (!FindText(find, next, matchCase))
        OnTextNotFound(find);
}

BOOL CEditView::InitializeReplace(const char16_t* find, BOOL next, BOOL matchCase)
{
    auto [start, end] = Text().GetSel();
    if (start != end && SameAsSelected(find, matchCase))
        return TRUE;
    if (!FindText(find, next, matchCase))
        OnTextNotFound(find);
    return FALSE;
}

void CEditView::OnReplaceSel(const char16_t* find, BOOL next, BOOL matchCase, const char16_t* replace)
{
    if (!InitializeReplace(find, next, matchCase))
        return;
    GetEditCtrl().ReplaceSel(replace, FALSE);
    FindText(find, next, matchCase);
}

void CEditView::OnReplaceAll(const char16_t* find, const char16_t* replace, BOOL matchCase)
{
    if (!InitializeReplace(find, TRUE, matchCase) && !SameAsSelected(find, matchCase))
        return;
    // One pass over the text leaves what replacing the selection and
    // searching on from behind each replacement would leave.
    auto [start, end] = Text().GetSel();
    (void)end;
    auto* control = static_cast<EditControl*>(m_hWnd->proc.get());
    control->ReplaceAllFrom(m_hWnd, start, find, replace, matchCase != FALSE);
}

void CEditView::OnTextNotFound(const char16_t*) { MessageBeep(0); }
