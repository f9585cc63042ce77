// CEditView: a view that is a multi-line edit control. It brings the edit
// commands (Undo, Cut, Copy, Paste, Clear, Select All) with their enabling
// rules, raw text input and output for its document, and forward search and
// replacement over its text.
#pragma once

#include "framework/app/View.h"
#include "framework/io/CrashCopy.h"
#include "framework/win/Controls.h"

class CArchive;
class EditControl;
class TextEngine;

class CEditView : public CView {
    DECLARE_DYNCREATE(CEditView)
public:
    // The framework's largest text for an edit view.
    static constexpr int nMaxSize = EDIT_MAXTEXT;
    static constexpr DWORD dwStyleDefault = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL
        | ES_AUTOVSCROLL | ES_MULTILINE | ES_NOHIDESEL | WS_BORDER;

    CEditView() = default;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    CEdit& GetEditCtrl() const;
    // The selection's characters up to the first "\r"; empty without one.
    void GetSelectedText(CString& text) const;
    // Reads (loading archive) or writes (storing archive) the whole text as
    // the bytes of a file in the session's encoding (TextEncoding.h); line
    // ends as they stand.
    // 8-bit: each byte one character of the same value, each character
    // narrowed to one byte (NarrowUnit: its low byte, "?" where that is 0,
    // so what is written opens again). Reading refuses a file longer than
    // nMaxSize from its length.
    // UTF-8: the bytes decoded and the text encoded by Utf8Codec, which
    // keeps every byte that is no part of well-formed UTF-8 as a unit of its
    // own and writes it back, so a text read and written unchanged is its
    // file byte for byte. Reading refuses a file longer than three bytes a
    // character of nMaxSize from its length, and any other whose text
    // passes nMaxSize once that much of it is read.
    // Either refusal says "The file is too large to open." and throws a
    // CUserException. A zero byte, where the control's text would end,
    // fails with a CMemoryException in both.
    void SerializeRaw(CArchive& ar);
    // Whether every character of the text fits in a byte, so that
    // SerializeRaw writes it without loss in an 8-bit session.
    BOOL TextFitsInBytes() const;

protected:
    // Searching and replacing, forward only.
    virtual BOOL FindText(const char16_t* find, BOOL next = TRUE, BOOL matchCase = TRUE);
    virtual void OnFindNext(const char16_t* find, BOOL next, BOOL matchCase);
    virtual void OnReplaceSel(const char16_t* find, BOOL next, BOOL matchCase, const char16_t* replace);
    virtual void OnReplaceAll(const char16_t* find, const char16_t* replace, BOOL matchCase);
    virtual void OnTextNotFound(const char16_t* find);
    BOOL SameAsSelected(const char16_t* find, BOOL matchCase);
    BOOL InitializeReplace(const char16_t* find, BOOL next, BOOL matchCase);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    // The control draws itself.
    void OnPaint() { Default(); }
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditUndo();
    void OnEditClear();
    void OnEditSelectAll();
    void OnUpdateNeedSel(CCmdUI* ui);
    void OnUpdateNeedClip(CCmdUI* ui);
    void OnUpdateEditUndo(CCmdUI* ui);
    void OnUpdateNeedText(CCmdUI* ui);
    void OnEditChange();

    int m_nTabStops = 32;  // dialog units

    DECLARE_MESSAGE_MAP()

private:
    // This view's control (the one checked way to it), and its text engine
    // for reading the text in place.
    EditControl& Control() const;
    const TextEngine& Text() const;
    // Where the text of the control (a TextEngine) lies, for a crash copy.
    static CrashCopy::Pieces CrashText(const void* engine);
    void ReadRaw(CArchive& ar);
    void WriteRaw(CArchive& ar);
    void ReadUtf8(CArchive& ar);
    void WriteUtf8(CArchive& ar);

    mutable CEdit m_edit;  // a plain handle wrapper over this view's window
};
