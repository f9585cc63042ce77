#include "framework/app/EditView.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "framework/app/Document.h"
#include "framework/app/TextEncoding.h"
#include "framework/app/WinApp.h"
#include "framework/base/Narrowing.h"
#include "framework/base/Utf8Codec.h"
#include "framework/io/Archive.h"
#include "framework/io/CrashCopy.h"
#include "framework/io/FileException.h"
#include "framework/res/StringTable.h"
#include "framework/win/EditControl.h"
#include "framework/win/WindowSystem.h"

IMPLEMENT_DYNCREATE(CEditView, CView)

BEGIN_MESSAGE_MAP(CEditView, CView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
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

EditControl& CEditView::Control() const
{
    EditControl* control = EditControl::FromHandle(m_hWnd);
    // PreCreateWindow makes every edit view a window of the class "EDIT".
    if (!control)
        std::abort();
    return *control;
}

const TextEngine& CEditView::Text() const { return Control().Text(); }

int CEditView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CView::OnCreate(lpcs) == -1)
        return -1;
    GetEditCtrl().LimitText(nMaxSize);
    GetEditCtrl().SetTabStops(m_nTabStops);
    // A crash writes this text, where its document asks for that: read in
    // place, as the raw output narrows it.
    if (m_pDocument)
        CrashCopy::SetText(&CrashText, &Text());
    return 0;
}

void CEditView::OnDestroy()
{
    CrashCopy::ClearText(&Text());
    Default();
}

CrashCopy::Pieces CEditView::CrashText(const void* engine)
{
    // Only reads the control's buffer: it runs in a signal handler, which
    // may have stopped a change half way.
    const TextEngine& text = *static_cast<const TextEngine*>(engine);
    CrashCopy::Pieces pieces;
    pieces.utf8 = SessionTextEncoding() == TextEncoding::Utf8;
    pieces.changing = text.Changing();
    if (pieces.changing)
        return pieces;
    auto [before, after] = text.Pieces();
    pieces.data[0] = before.data();
    pieces.size[0] = before.size();
    pieces.data[1] = after.data();
    pieces.size[1] = after.size();
    return pieces;
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

namespace {

[[noreturn]] void RefuseTooLarge()
{
    AfxMessageBox(AFX_IDP_FILE_TOO_LARGE);
    AfxThrowUserException();
}

// The blocks UTF-8 text is read and written in.
constexpr size_t kUtf8Block = 128 * 1024;

}  // namespace

void CEditView::SerializeRaw(CArchive& ar)
{
    const bool utf8 = SessionTextEncoding() == TextEncoding::Utf8;
    if (ar.IsStoring())
        utf8 ? WriteUtf8(ar) : WriteRaw(ar);
    else
        utf8 ? ReadUtf8(ar) : ReadRaw(ar);
}

void CEditView::ReadRaw(CArchive& ar)
{
    CFile* file = ar.GetFile();
    // A file longer than the text can be is refused from its length,
    // before any of it is read.
    const ULONGLONG length = file->GetLength();
    if (length > ULONGLONG(nMaxSize))
        RefuseTooLarge();
    // The control reads the bytes straight into its own storage, sized from
    // the length, and widens them there; one more read tells the end. It
    // stops once the text is too long, so a file that keeps growing while
    // it is read cannot fill the memory.
    file->SeekToBegin();
    const TextBuffer::ByteLoad loaded
        = Control().LoadBytes(m_hWnd, size_t(length), size_t(nMaxSize), [file](unsigned char* dest, size_t count) {
              return size_t(file->Read(dest, UINT(std::min<size_t>(count, 1u << 30))));
          });
    if (loaded.tooLong)
        RefuseTooLarge();
    // The control's text would end at its first zero character, as the
    // platform's does: a file that holds a zero byte cannot be opened.
    if (loaded.zero)
        AfxThrowMemoryException();
}

void CEditView::WriteRaw(CArchive& ar)
{
    // Each character is narrowed (NarrowUnits: its low byte, "?" for a zero
    // one) straight from the control's buffer into blocks of up to 128 KB
    // that go to the file directly, past the archive's small buffer: a few
    // large writes, each block still in the processor's cache when it is
    // written.
    ar.Flush();
    CFile* file = ar.GetFile();
    auto [before, after] = Text().Pieces();
    const size_t block = std::min<size_t>(128 * 1024, before.size() + after.size());
    if (block == 0)
        return;
    std::unique_ptr<BYTE[]> bytes(new BYTE[block]);
    size_t fill = 0;
    for (std::u16string_view piece : {before, after}) {
        while (!piece.empty()) {
            const size_t n = std::min(block - fill, piece.size());
            NarrowUnits(piece.data(), n, bytes.get() + fill);
            fill += n;
            piece.remove_prefix(n);
            if (fill == block) {
                file->Write(bytes.get(), UINT(fill));
                fill = 0;
            }
        }
    }
    if (fill > 0)
        file->Write(bytes.get(), UINT(fill));
}

void CEditView::ReadUtf8(CArchive& ar)
{
    CFile* file = ar.GetFile();
    // No character takes more than three bytes (a pair of units takes
    // four): a longer file is refused from its length, before any of it is
    // read.
    const ULONGLONG length = file->GetLength();
    if (length > ULONGLONG(nMaxSize) * Utf8Codec::Encoder::kMostBytesPerUnit)
        RefuseTooLarge();
    // The file is read a block at a time, whatever length the system
    // reports, and decoded as it comes; a sequence that a block's end cuts
    // waits at the front of the next. Reading stops once the text is too long, so a
    // file that keeps growing cannot fill the memory.
    file->SeekToBegin();
    std::unique_ptr<unsigned char[]> block(new unsigned char[kUtf8Block]);
    // Storage as the control's own: sized before it is written, not zeroed.
    TextBuffer::Storage text;
    text.reserve(size_t(std::min<ULONGLONG>(length, ULONGLONG(nMaxSize))) + kUtf8Block + 1);
    size_t carried = 0;
    for (;;) {
        const size_t got = file->Read(block.get() + carried, UINT(kUtf8Block - carried));
        const bool zero = std::memchr(block.get() + carried, 0, got) != nullptr;
        const size_t have = carried + got;
        const size_t before = text.size();
        text.resize(before + have);
        const Utf8Codec::Decoded decoded = Utf8Codec::Decode(block.get(), have, text.data() + before, got == 0);
        text.resize(before + decoded.written);
        // The control's text would end at a zero unit: a zero byte is kept
        // as a unit of its own, as a byte that is no UTF-8 is.
        if (zero)
            Utf8Codec::KeepZeros(text.data() + before, decoded.written);
        if (text.size() > size_t(nMaxSize))
            RefuseTooLarge();
        if (got == 0)
            break;
        carried = have - decoded.read;
        std::memmove(block.get(), block.get() + decoded.read, carried);
    }
    text.push_back(u'\0');
    ::SendMessage(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
}

void CEditView::WriteUtf8(CArchive& ar)
{
    // The text is encoded straight from the control's buffer into blocks
    // that go to the file directly, past the archive's small buffer; a
    // surrogate pair that the buffer's gap splits is encoded whole.
    ar.Flush();
    CFile* file = ar.GetFile();
    auto [before, after] = Text().Pieces();
    if (before.empty() && after.empty())
        return;
    std::unique_ptr<BYTE[]> bytes(new BYTE[kUtf8Block]);
    Utf8Codec::Encoder encoder(Utf8Codec::Encoder::Text::File);
    size_t fill = 0;
    // Room for what Encode may write for n units: 3 * n + 3 bytes.
    constexpr size_t kLeastRoom = 64;
    auto flush = [&] {
        if (fill > 0)
            file->Write(bytes.get(), UINT(fill));
        fill = 0;
    };
    for (std::u16string_view piece : {before, after}) {
        while (!piece.empty()) {
            if (kUtf8Block - fill < kLeastRoom)
                flush();
            const size_t n = std::min(piece.size(), (kUtf8Block - fill - 3) / 3);
            fill += encoder.Encode(piece.data(), n, bytes.get() + fill);
            piece.remove_prefix(n);
        }
    }
    if (kUtf8Block - fill < kLeastRoom)
        flush();
    fill += encoder.Finish(bytes.get() + fill);
    flush();
}

BOOL CEditView::TextFitsInBytes() const
{
    auto [before, after] = Text().Pieces();
    return UnitsFitInBytes(before.data(), before.size()) && UnitsFitInBytes(after.data(), after.size());
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
    // Replace all cannot be undone: a pass the limit would cut short is
    // asked about before anything is replaced.
    auto askCut = [](int cuts) {
        CString count;
        count.Format(u"%d", cuts);
        CString prompt;
        AfxFormatString1(prompt, AFX_IDP_REPLACE_PAST_LIMIT, count);
        return AfxMessageBox(prompt, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
    };
    Control().ReplaceAllFrom(m_hWnd, start, find, replace, matchCase != FALSE, askCut);
}

void CEditView::OnTextNotFound(const char16_t*) { MessageBeep(0); }
