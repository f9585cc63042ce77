// The window class "EDIT": single- and multi-line edit controls.
//
// The text, selection, undo and searching live in TextEngine; this class
// adds what makes it a control: keys and mouse, scrolling, painting,
// clipboard, the EM_* messages and the EN_* notifications to the parent.
// Lines are never wrapped. A tab advances to the next tab stop. In an 8-bit
// session each unit takes one cell and the caret steps by units ("\r\n" and
// a surrogate pair one step). With cluster editing (a UTF-8 session) the
// caret steps by the characters a person sees (TextClusters), and each
// character takes the cells the width rule gives it (CharWidth.h), as the
// terminal shows it.
#pragma once

#include <memory>

#include "framework/win/TextClusters.h"
#include "framework/win/TextEngine.h"
#include "framework/win/WindowClass.h"

class EditControl : public WindowClass, private TextEngine::ColumnMeasure {
public:
    explicit EditControl(DWORD style);

    LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint(HWND hwnd, CDC& dc) override;
    UINT DialogCode(HWND hwnd) override;

    // The procedure of `hwnd` if it is a window of the class "EDIT", else
    // nullptr: the checked way for the framework's views to reach the text
    // in bulk, where a message per character would not do.
    static EditControl* FromHandle(HWND hwnd);

    const TextEngine& Text() const { return m_text; }
    // Makes the text the bytes `read` delivers, one character each, as
    // WM_SETTEXT would make it of the widened text, reading and widening in
    // one pass (TextBuffer::LoadBytes). When they do not load (too many, or
    // a zero byte), the text stays as it was.
    TextBuffer::ByteLoad LoadBytes(HWND hwnd, std::size_t expected, std::size_t most,
                                   const TextBuffer::ReadBytes& read);
    // Replaces the occurrence at pos and every later one, searching on
    // behind each replacement, in one pass, under the text limit as
    // EM_REPLACESEL would be; notifies one change. When the limit would cut
    // replacements short, askCut (if given) is asked first, and false
    // replaces nothing; a pass the limit cut notifies EN_MAXTEXT once and
    // gives the warning beep. Returns the number of replacements.
    int ReplaceAllFrom(HWND hwnd, int pos, std::u16string_view find, std::u16string_view replace, bool matchCase,
                       const std::function<bool(int cuts)>& askCut = nullptr);

private:
    int ColumnOf(const TextEngine& text, int lineStart, int pos) const override;
    int PosAtColumn(const TextEngine& text, int lineStart, int lineEnd, int column) const override;
    int ClusterColumnOf(int lineStart, int pos) const;
    int ClusterPosAtColumn(int lineStart, int lineEnd, int column) const;
    // Where a column is the offset in the line: no tab, and (with cluster
    // editing) no character of other than one cell.
    bool ColumnsArePositions() const { return !m_mayHaveTabs && !m_mayHaveWide; }
    // The visible part of a line, one unit a cell (with tabs).
    void PaintUnitLine(CDC& dc, int row, int start, int end, std::uint16_t base, bool showSel, int selStart,
                       int selEnd) const;
    // The visible part of a line in cluster editing, each character at its
    // cells.
    void PaintClusterLine(CDC& dc, int row, int start, int end, std::uint16_t base, bool showSel, int selStart,
                          int selEnd) const;

    bool Multiline() const { return m_style & ES_MULTILINE; }
    void Notify(HWND hwnd, UINT code);
    void NoteInserted(std::u16string_view text);
    void Changed(HWND hwnd);
    // The handlers of the messages, one each.
    void OnSetText(HWND hwnd, std::u16string_view text);
    // After the whole text was set: scrolled to its start, painted anew.
    void TextSet(HWND hwnd, bool mayHaveTabs, bool mayHaveWide);
    // Whether `text` holds a tab, and whether it may hold a character of
    // other than one cell.
    struct TextKinds {
        bool tabs = false;
        bool wide = false;
    };
    static TextKinds KindsOf(std::u16string_view text);
    int GetText(int size, char16_t* buf) const;
    LRESULT GetSel(DWORD* start, DWORD* end) const;
    void OnReplaceSel(HWND hwnd, std::u16string_view text, bool canUndo);
    int LineLengthAt(int pos) const;
    void OnLineScroll(HWND hwnd, int columns, int lines);
    void SetTabStops(const int* stop);
    void SetReadOnly(HWND hwnd, bool readOnly);
    void OnKeyDown(HWND hwnd, UINT vk);
    void OnChar(HWND hwnd, char16_t ch);
    // A piece of pasted text, taken as typing it would be taken; false
    // where typing it must go key by key (a single-line field).
    bool OnPasteText(HWND hwnd, std::u16string_view text, bool first);
    void OnMouse(HWND hwnd, UINT msg, CPoint p);
    void OnScroll(HWND hwnd, int bar, UINT code);
    void OnMouseWheel(HWND hwnd, int delta);
    bool Insert(HWND hwnd, std::u16string_view text, bool typed);
    void Cut(HWND hwnd);
    void Copy(HWND hwnd);
    void Paste(HWND hwnd);
    void Clear(HWND hwnd);
    void Undo(HWND hwnd);
    void AfterMove(HWND hwnd);
    // Scrolls so the caret is visible; returns true if the view moved.
    bool ScrollCaret(HWND hwnd);
    void ScrollTo(HWND hwnd, int firstLine, int firstCol);
    void UpdateScrollBars(HWND hwnd);
    CSize ClientCells(HWND hwnd) const;
    int PosFromPoint(HWND hwnd, CPoint p) const;
    std::u16string LineEndForEnter() const;

    TextEngine m_text;
    DWORD m_style;
    int m_tabCells = 8;
    bool m_pasteCut = false;  // the paste under way was cut at the limit
    int m_firstLine = 0;
    int m_firstCol = 0;
    bool m_dragging = false;
    // False while the text certainly holds no tab, so that a column is the
    // offset in the line. Set when a text with a tab is set or inserted;
    // Undo brings back only what was set or inserted before, so it needs
    // no check.
    bool m_mayHaveTabs = false;
    // Likewise false while the text certainly holds only characters of one
    // cell each; always false without cluster editing.
    bool m_mayHaveWide = false;
    // The steps of cluster editing; none in an 8-bit session.
    std::unique_ptr<TextClusters> m_clusters;
    CPoint m_downPoint;  // where the button went down
};
