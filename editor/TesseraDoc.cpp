#include "editor/TesseraDoc.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "editor/TesseraView.h"
#include "editor/res/resource.h"
#include "framework/app/WinApp.h"
#include "framework/io/Archive.h"
#include "framework/io/FileException.h"
#include "framework/win/TextEngine.h"

IMPLEMENT_DYNCREATE(CTesseraDoc, CDocument)

BEGIN_MESSAGE_MAP(CTesseraDoc, CDocument)
END_MESSAGE_MAP()

namespace {
constexpr UINT kBlock = 1024;
constexpr ULONGLONG kMaxFileBytes = 1048575;

// Whether any character of the text lies above 0xFF, where a byte cannot
// hold it. The units are or-ed together a block at a time (a loop the
// compiler vectorises) rather than tested one by one.
bool HasWideCharacters(const TextEngine& text)
{
    constexpr size_t kStep = 4096;
    auto [before, after] = text.Pieces();
    for (std::u16string_view piece : {before, after}) {
        for (size_t at = 0; at < piece.size(); at += kStep) {
            size_t end = std::min(piece.size(), at + kStep);
            const char16_t* units = piece.data();
            char16_t bits = 0;
            for (size_t i = at; i < end; ++i)
                bits |= units[i];
            if (bits > 0xFF)
                return true;
        }
    }
    return false;
}
} // namespace

CTesseraDoc::CTesseraDoc() = default;
CTesseraDoc::~CTesseraDoc() = default;

BOOL CTesseraDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    if (CView* view = GetFirstView())
        view->SetWindowText(u"");
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CTesseraDoc::OnOpenDocument(const char16_t* lpszPathName)
{
    if (!CDocument::OnOpenDocument(lpszPathName))
        return FALSE;
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CTesseraDoc::DeleteContents()
{
    if (CView* view = GetFirstView())
        view->SetWindowText(u"");
}

BOOL CTesseraDoc::OnSaveDocument(const char16_t* lpszPathName)
{
    auto* view = static_cast<CTesseraView*>(GetFirstView());
    if (view && HasWideCharacters(view->Text())) {
        if (AfxMessageBox(IDS_UNSAVABLE_CHARACTERS, MB_YESNO) != IDYES)
            return FALSE;
    }
    return CDocument::OnSaveDocument(lpszPathName);
}

void CTesseraDoc::Serialize(CArchive& ar)
{
    auto* view = static_cast<CTesseraView*>(GetFirstView());
    if (ar.IsLoading()) {
        CFile* file = ar.GetFile();
        // A file longer than the text can be is refused from its length,
        // before any of it is read.
        const ULONGLONG length = file->GetLength();
        if (length > kMaxFileBytes) {
            AfxMessageBox(AFX_IDP_FILE_TOO_LARGE);
            AfxThrowUserException();
        }
        // The file is read in blocks of 1024 bytes; byte i of a block becomes
        // the character with the same value, straight at the end of the text
        // (no in-memory file of twice the size in between).
        std::u16string text;
        text.reserve(size_t(length));
        BYTE bytes[kBlock];
        file->SeekToBegin();
        // Reading stops once the text is too long, so a file that keeps
        // growing while it is read cannot fill the memory.
        while (text.size() <= kMaxFileBytes) {
            UINT n = file->Read(bytes, kBlock);
            if (n == 0)
                break;
            size_t at = text.size();
            text.resize(at + n);
            for (UINT i = 0; i < n; ++i)
                text[at + i] = bytes[i];
        }
        // A file that grew after its length was taken, or is still growing.
        if (text.size() > kMaxFileBytes) {
            AfxMessageBox(AFX_IDP_FILE_TOO_LARGE);
            AfxThrowUserException();
        }
        // The control's text ends at its first zero character, as the
        // platform's does: a shorter text means the file held a zero byte.
        const size_t count = text.size();
        view->SetWindowText(CString(std::move(text)));
        if (view->GetWindowTextLength() < int(count))
            AfxThrowMemoryException();
        return;
    }
    // Each character is written as its low byte, in blocks of 1024 straight
    // from the control's buffer.
    auto [before, after] = view->Text().Pieces();
    BYTE bytes[kBlock];
    UINT fill = 0;
    for (std::u16string_view piece : {before, after}) {
        while (!piece.empty()) {
            UINT n = UINT(std::min<size_t>(kBlock - fill, piece.size()));
            const char16_t* units = piece.data();
            for (UINT i = 0; i < n; ++i)
                bytes[fill + i] = BYTE(units[i] & 0xFF);
            fill += n;
            piece.remove_prefix(n);
            if (fill == kBlock) {
                ar.Write(bytes, kBlock);
                fill = 0;
            }
        }
    }
    if (fill > 0)
        ar.Write(bytes, fill);
    ar.Flush();
}
