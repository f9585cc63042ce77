#include "framework/app/DocTemplate.h"

#include "framework/app/Document.h"
#include "framework/app/FrameWnd.h"
#include "framework/app/View.h"
#include "framework/app/WinApp.h"
#include "framework/res/Resources.h"

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass)
{
    m_strDocStrings.LoadString(resourceId);
}

CDocTemplate::~CDocTemplate() = default;

BOOL CDocTemplate::GetDocString(CString& out, DocStringIndex index) const
{
    int start = 0;
    for (int i = 0; i < int(index); ++i) {
        int nl = m_strDocStrings.Find(u'\n', start);
        if (nl < 0) {
            out.Empty();
            return FALSE;
        }
        start = nl + 1;
    }
    int end = m_strDocStrings.Find(u'\n', start);
    out = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return !out.IsEmpty();
}

void CDocTemplate::SetDefaultTitle(CDocument* doc)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title.LoadString(AFX_IDS_UNTITLED);
    doc->SetTitle(title);
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* obj = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* doc = static_cast<CDocument*>(obj);
    if (doc)
        doc->m_pDocTemplate = this;
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc)
{
    CCreateContext context;
    context.m_pCurrentDoc = doc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* obj = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = static_cast<CFrameWnd*>(obj);
    if (!frame)
        return nullptr;
    if (!frame->LoadFrame(m_nIDResource, WS_VISIBLE, nullptr, &context))
        return nullptr;  // the frame deleted itself
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible)
{
    frame->InitialUpdateFrame(doc, makeVisible);
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc) {
        CDocument* doc = m_pOnlyDoc;
        m_pOnlyDoc = nullptr;
        doc->m_pDocTemplate = nullptr;
        delete doc;
    }
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc)
{
    if (m_pOnlyDoc == doc)
        m_pOnlyDoc = nullptr;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char16_t* path)
{
    CDocument* doc = m_pOnlyDoc;
    bool created = false;
    CFrameWnd* frame = nullptr;
    if (doc) {
        // Reuse the one document: it may first ask to save its changes.
        if (!doc->SaveModified())
            return nullptr;
        CWinApp* app = AfxGetApp();
        frame = app && app->m_pMainWnd ? static_cast<CFrameWnd*>(app->m_pMainWnd) : nullptr;
    } else {
        doc = CreateNewDocument();
        if (!doc) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            return nullptr;
        }
        m_pOnlyDoc = doc;
        created = true;
        frame = CreateNewFrame(doc);
        if (!frame) {
            AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
            m_pOnlyDoc = nullptr;
            delete doc;
            return nullptr;
        }
    }
    if (!path) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (created && frame)
                frame->DestroyWindow();
            return nullptr;
        }
    } else {
        // The changed flag tells how far a failed open got: the document
        // sets it once the file is open and its old contents are going.
        BOOL wasModified = doc->IsModified();
        doc->SetModifiedFlag(FALSE);
        if (!doc->OnOpenDocument(path)) {
            if (created) {
                if (frame)
                    frame->DestroyWindow();
            } else if (!doc->IsModified()) {
                // Failed before the file could be opened: nothing was touched.
                doc->SetModifiedFlag(wasModified);
            } else {
                // Failed while reading: what is left is neither the old text
                // nor the file's, so the document starts anew.
                SetDefaultTitle(doc);
                doc->OnNewDocument();
            }
            return nullptr;
        }
        doc->SetPathName(path);
    }
    CWinApp* app = AfxGetApp();
    if (created && app && !AfxGetMainWnd())
        app->m_pMainWnd = frame;
    if (frame)
        InitialUpdateFrame(frame, doc, TRUE);
    return doc;
}
