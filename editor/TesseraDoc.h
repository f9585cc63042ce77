// The document: no text of its own. It reads an 8-bit file into the edit
// view, one character per byte, and writes the view's text back, one byte
// per character.
#pragma once

#include "framework/app/Document.h"

class CTesseraDoc : public CDocument {
    DECLARE_DYNCREATE(CTesseraDoc)
public:
    CTesseraDoc();
    ~CTesseraDoc() override;

    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const char16_t* lpszPathName) override;
    // Asks before characters that 8-bit text cannot hold are changed.
    BOOL OnSaveDocument(const char16_t* lpszPathName) override;
    void Serialize(CArchive& ar) override;
    // Empties the view's text, so a new or opened document shows nothing of
    // the one before.
    void DeleteContents() override;

protected:
    DECLARE_MESSAGE_MAP()
};
