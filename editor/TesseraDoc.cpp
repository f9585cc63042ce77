#include "editor/TesseraDoc.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "editor/TesseraView.h"
#include "editor/res/resource.h"
#include "framework/app/WinApp.h"
#include "framework/io/Archive.h"
#include "framework/io/FileException.h"
#include "framework/io/MemFile.h"
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

// Makes room in an empty memory file for `bytes` at once: growing in its
// steps of 1024 bytes would reallocate and copy it again and again on the
// way to a size known beforehand. The file stays empty.
void ReserveFor(CMemFile& file, ULONGLONG bytes)
{
    file.SetLength(bytes);
    file.SetLength(0);
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
        if (file->GetLength() > kMaxFileBytes) {
            AfxMessageBox(AFX_IDP_FILE_TOO_LARGE);
            AfxThrowUserException();
        }
        CMemFile wide(kBlock);
        ReserveFor(wide, file->GetLength() * sizeof(char16_t));
        BYTE bytes[kBlock];
        char16_t chars[kBlock];
        std::memset(bytes, 0, sizeof bytes);
        std::memset(chars, 0, sizeof chars);
        file->SeekToBegin();
        for (;;) {
            UINT n = file->Read(bytes, kBlock);
            if (n == 0)
                break;
            for (UINT i = 0; i < n; ++i)
                chars[i] = bytes[i];
            wide.Write(chars, n * UINT(sizeof(char16_t)));
            std::memset(bytes, 0, sizeof bytes);
            std::memset(chars, 0, sizeof chars);
        }
        wide.SeekToBegin();
        CArchive wideArchive(&wide, CArchive::load, 4096);
        view->SerializeRaw(wideArchive);
        return;
    }
    CMemFile wide(kBlock);
    ReserveFor(wide, ULONGLONG(view->GetWindowTextLength()) * sizeof(char16_t));
    {
        CArchive wideArchive(&wide, CArchive::store, 4096);
        view->SerializeRaw(wideArchive);
        wideArchive.Flush();
    }
    wide.SeekToBegin();
    char16_t chars[kBlock];
    BYTE bytes[kBlock];
    for (;;) {
        std::memset(chars, 0, sizeof chars);
        std::memset(bytes, 0, sizeof bytes);
        UINT n = wide.Read(chars, kBlock * UINT(sizeof(char16_t)));
        if (n == 0)
            break;
        UINT count = n / 2;
        for (UINT i = 0; i < count; ++i)
            bytes[i] = BYTE(chars[i] & 0xFF);
        ar.Write(bytes, count);
    }
    ar.Flush();
}
