// CDocTemplate and CSingleDocTemplate: tie a document class, a frame class
// and a view class to one resource id, and create them. A single-document
// template keeps one document and reuses it for New and Open.
#pragma once

#include "framework/base/String.h"
#include "framework/win/CmdTarget.h"

class CDocument;
class CFrameWnd;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    class CDocTemplate* m_pNewDocTemplate = nullptr;
};

class CDocTemplate : public CCmdTarget {
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);
    ~CDocTemplate() override;

    // One field of the document string: resource resourceId, fields
    // separated by "\n".
    BOOL GetDocString(CString& out, DocStringIndex index) const;
    UINT GetResourceId() const { return m_nIDResource; }

    virtual CDocument* OpenDocumentFile(const char16_t* path) = 0;
    virtual CDocument* GetOpenDocument() const = 0;
    virtual void SetDefaultTitle(CDocument* doc);
    // Called by a document as it goes.
    virtual void RemoveDocument(CDocument* doc) = 0;

    CDocument* CreateNewDocument();
    CFrameWnd* CreateNewFrame(CDocument* doc);
    void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, BOOL makeVisible = TRUE);

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(const char16_t* path) override;
    CDocument* GetOpenDocument() const override { return m_pOnlyDoc; }
    void RemoveDocument(CDocument* doc) override;

private:
    CDocument* m_pOnlyDoc = nullptr;
};
