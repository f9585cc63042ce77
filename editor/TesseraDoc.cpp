#include "editor/TesseraDoc.h"

#include "editor/TesseraView.h"
#include "editor/res/resource.h"
#include "framework/app/TextEncoding.h"
#include "framework/app/WinApp.h"
#include "framework/io/Archive.h"

IMPLEMENT_DYNCREATE(CTesseraDoc, CDocument)

BEGIN_MESSAGE_MAP(CTesseraDoc, CDocument)
END_MESSAGE_MAP()

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
    // Unchanged as read, or changed by text kept in a recovery journal.
    return CDocument::OnOpenDocument(lpszPathName);
}

void CTesseraDoc::DeleteContents()
{
    if (CView* view = GetFirstView())
        view->SetWindowText(u"");
}

BOOL CTesseraDoc::OnSaveDocument(const char16_t* lpszPathName)
{
    // UTF-8 holds every character: only 8-bit text may have to narrow some.
    auto* view = static_cast<CTesseraView*>(GetFirstView());
    if (view && SessionTextEncoding() == TextEncoding::EightBit && !view->TextFitsInBytes()) {
        if (AfxMessageBox(IDS_UNSAVABLE_CHARACTERS, MB_YESNO) != IDYES)
            return FALSE;
    }
    return CDocument::OnSaveDocument(lpszPathName);
}

void CTesseraDoc::Serialize(CArchive& ar)
{
    // The file holds the text in the session's encoding (one byte a
    // character, or UTF-8), as the view's raw text input and output reads
    // and writes it, the size limit and the zero byte included.
    static_cast<CTesseraView*>(GetFirstView())->SerializeRaw(ar);
}
