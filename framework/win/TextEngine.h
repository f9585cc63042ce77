// TextEngine: the text model behind the multi-line edit control.
//
// It holds UTF-16 text, the selection, a single-level undo record, the text
// limit and the modified flag, and answers line queries, caret movement and
// search. It draws nothing and sends no notifications: the control wraps it
// and turns its results into messages and painting.
//
// The text and its line index are a TextBuffer, whose positions and lines
// these are; finding is TextSearch's, and replacing every occurrence
// TextReplacer's.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/base/WinUser.h"
#include "framework/win/TextBuffer.h"

class TextEngine {
public:
    static constexpr int kDefaultLimit = EDIT_MAXTEXT;
    static constexpr int kMaxLimit = 0x7FFFFFFE;  // what SetLimit(0) means
    static constexpr int kTabWidth = 8;           // default column measure

    // Maps caret positions inside one line to horizontal display columns and
    // back, so that Up/Down keep the caret's visual column across tabs or a
    // proportional font. The control installs its own; without one, each
    // character (a surrogate pair included) is one column and a tab advances
    // to the next multiple of kTabWidth.
    class ColumnMeasure {
    public:
        virtual ~ColumnMeasure() = default;
        // Column of `pos`, which lies in the line starting at `lineStart`.
        virtual int ColumnOf(const TextEngine& text, int lineStart, int pos) const = 0;
        // The position in [lineStart, lineEnd] whose column is nearest to
        // `column`; never inside a surrogate pair.
        virtual int PosAtColumn(const TextEngine& text, int lineStart, int lineEnd, int column) const = 0;
    };

    // Where the characters a person sees begin and end: the steps of the
    // arrows, Backspace and Delete. The control installs one in a UTF-8
    // session (TextClusters); without one, a step is one unit, "\r\n" and a
    // surrogate pair one step each.
    class CharacterBoundaries {
    public:
        virtual ~CharacterBoundaries() = default;
        // The first boundary after `pos`, for 0 <= pos < Length().
        virtual int Next(const TextEngine& text, int pos) const = 0;
        // The last boundary before `pos`, for 0 < pos <= Length().
        virtual int Prev(const TextEngine& text, int pos) const = 0;
    };

    enum class EditStatus {
        Done,       // the whole text went in
        Truncated,  // only a prefix fitted under the limit
        Refused,    // nothing changed: the text would not fit under the limit
    };

    TextEngine();

    // ---- Content ----
    // As TextBuffer answers them.
    int Length() const { return m_text.Length(); }
    char16_t CharAt(int pos) const { return m_text.CharAt(pos); }
    int CopyRange(int pos, int len, char16_t* out) const { return m_text.CopyRange(pos, len, out); }
    std::u16string GetRange(int pos, int len) const { return m_text.GetRange(pos, len); }
    std::u16string GetText() const { return GetRange(0, Length()); }
    std::pair<std::u16string_view, std::u16string_view> Pieces() const { return m_text.Pieces(); }
    bool Changing() const { return m_text.Changing(); }
    // Replaces everything: caret to 0, undo emptied, modified cleared. Not
    // subject to the limit.
    void SetText(std::u16string_view text);
    // SetText from bytes, one character each (TextBuffer::LoadBytes); when
    // the bytes do not load, nothing changes.
    TextBuffer::ByteLoad LoadBytes(std::size_t expected, std::size_t most, const TextBuffer::ReadBytes& read);

    // ---- Lines ----
    // As TextBuffer answers them.
    int LineCount() const { return m_text.LineCount(); }
    int LineFromChar(int pos) const { return m_text.LineFromChar(pos); }
    int LineIndex(int line) const { return m_text.LineIndex(line); }
    int LineLength(int line) const { return m_text.LineLength(line); }
    int LineEnd(int line) const { return m_text.LineEnd(line); }

    // ---- Selection ----
    int Anchor() const { return m_anchor; }
    int Caret() const { return m_caret; }
    // (min, max) of anchor and caret.
    std::pair<int, int> GetSel() const;
    // The edit control's set-selection rules: start == -1 removes the
    // selection and leaves the caret where it is; (0, -1) selects all; any
    // other position that is negative or past the end means the end. The
    // anchor takes `start` and the caret `end`, so start > end is allowed.
    void SetSel(int start, int end);
    // Sets anchor and caret directly (each clamped to 0..Length()).
    void SetSelRaw(int anchor, int caret);

    // ---- Caret movement (keys). `extend` (Shift) keeps the anchor. ----
    // Moves start from the caret; without `extend` the selection collapses.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveUp(bool extend) { MoveLines(-1, extend); }
    void MoveDown(bool extend) { MoveLines(1, extend); }
    void MovePageUp(int linesPerPage, bool extend) { MoveLines(-linesPerPage, extend); }
    void MovePageDown(int linesPerPage, bool extend) { MoveLines(linesPerPage, extend); }
    void MoveLineStart(bool extend);
    void MoveLineEnd(bool extend);
    void MoveTextStart(bool extend) { MoveCaretTo(0, extend); }
    void MoveTextEnd(bool extend) { MoveCaretTo(Length(), extend); }
    void MoveWordLeft(bool extend) { MoveCaretTo(PrevWordPos(m_caret), extend); }
    void MoveWordRight(bool extend) { MoveCaretTo(NextWordPos(m_caret), extend); }

    // One character step, by the installed CharacterBoundaries, else one
    // unit with "\r\n" and a surrogate pair one step each.
    int NextCharPos(int pos) const;
    int PrevCharPos(int pos) const;
    // Not owned; nullptr restores the step of one unit.
    void SetCharacterBoundaries(const CharacterBoundaries* boundaries) { m_boundaries = boundaries; }
    // Word steps. Words are runs of non-blank characters (blank: space and
    // tab); a line end is a word break of its own. NextWordPos skips the rest
    // of the current word and the blanks after it, stopping at the line end;
    // from a line end it goes to the next line's start. PrevWordPos goes to
    // the start of the current or previous word on the line; from a line
    // start it goes to the end of the previous line. Neither stops inside a
    // character (a blank that carries a combining mark belongs to it).
    int NextWordPos(int pos) const;
    int PrevWordPos(int pos) const;

    // Not owned; nullptr restores the default measure.
    void SetColumnMeasure(const ColumnMeasure* measure) { m_measure = measure; }
    int ColumnOf(int pos) const;
    int PosAtColumn(int line, int column) const;

    // ---- Editing ----
    // Replaces the selection with `text`; the caret ends after it with nothing
    // selected. If the result would exceed the limit, only the longest prefix
    // that fits goes in (never splitting a surrogate pair or "\r\n") and the
    // result is Truncated. canUndo == false empties the undo record.
    EditStatus ReplaceSel(std::u16string_view text, bool canUndo);
    // A typed character (or "\r\n" for Enter): replaces the selection, merges
    // with the typing run in progress into one undo step. Refused, changing
    // nothing, if it would not fit under the limit.
    EditStatus InsertTyped(std::u16string_view text);
    EditStatus InsertTyped(char16_t ch) { return InsertTyped(std::u16string_view(&ch, 1)); }
    // Deletes the selection, else the character before (Backspace) or after
    // (Delete) the caret. Returns false if there was nothing to delete.
    bool Backspace();
    bool Delete();

    // ---- Undo (single level) ----
    // One step is a run of typing, Backspace and Delete at the caret without
    // any other caret move, selection change or edit in between (Backspace
    // over just-typed text shrinks the run), or one ReplaceSel or Undo.
    // Undo restores the text from before the step and selects it (or puts
    // the caret where the edit was); the record becomes the inverse, so a
    // second Undo redoes.
    bool CanUndo() const { return m_canUndo; }
    bool Undo();
    void EmptyUndo();

    // ---- Limit and modified flag ----
    // 0 (or a negative value) means kMaxLimit. Text already longer than the
    // limit is kept; only growth is refused.
    void SetLimit(int limit) { m_limit = limit > 0 ? limit : kMaxLimit; }
    int Limit() const { return m_limit; }
    // Room left for inserted text if `selectionLength` units are replaced.
    int RoomFor(int selectionLength) const;
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // ---- Search (TextSearch, TextReplacer) ----
    // First position >= from where `needle` stands, matching case or by
    // simple case folding per code point; -1 if none or the needle is empty.
    int Find(std::u16string_view needle, int from, bool matchCase) const;
    bool MatchesAt(int pos, std::u16string_view needle, bool matchCase) const;
    struct ReplaceAllResult {
        int count = 0;  // occurrences replaced
        int cut = 0;    // of them, replaced by only a prefix (or nothing) at the limit
    };
    // Replaces every occurrence found by searching from `pos`, continuing each
    // time just after the inserted replacement (so a replacement is never
    // searched again), exactly as a loop of Find + ReplaceSel(canUndo false)
    // would, but in one pass over the text. Like that loop it is subject to
    // the limit: a replacement that does not fit goes in as the prefix
    // ReplaceSel would let in. If anything was replaced, the caret ends after
    // the last replacement with nothing selected, the undo record is emptied
    // and the modified flag set.
    // `askCut`, when given, is asked before anything changes if the limit
    // would cut replacements short; false replaces nothing.
    ReplaceAllResult ReplaceAllFrom(int pos, std::u16string_view needle, std::u16string_view replacement,
                                    bool matchCase, const std::function<bool(int cuts)>& askCut = nullptr);

private:
    int LineStart(int line) const { return m_text.LineStart(line); }

    void Select(int anchor, int caret);
    void MoveCaretTo(int pos, bool extend);
    // `pos` if a character begins there, else the end (forward) or the
    // start of the character it falls in.
    int BoundaryForward(int pos) const;
    int BoundaryBackward(int pos) const;
    void MoveLines(int delta, bool extend);
    void CollapseTo(int pos);
    // After the whole text was replaced: caret to 0, no undo, not modified.
    void TextReplaced();

    void StartUndoStep(int pos, int removeLen, int insertLen);
    // Records the deletion of [from, to) in the open run, or starts a step.
    void RecordDeletion(int from, int to);
    void DeleteRange(int from, int to);

    TextBuffer m_text;
    const ColumnMeasure* m_measure = nullptr;
    const CharacterBoundaries* m_boundaries = nullptr;

    int m_anchor = 0;
    int m_caret = 0;
    int m_desiredColumn = -1;  // column kept across Up/Down; -1 when unset

    // Undo record: the text [m_undoPos, m_undoPos + m_undoInsertLen) replaced
    // m_undoRemoved.
    bool m_canUndo = false;
    bool m_runOpen = false;  // typing/Backspace/Delete may extend the record
    int m_undoPos = 0;
    int m_undoInsertLen = 0;
    std::u16string m_undoRemoved;

    int m_limit = kDefaultLimit;
    bool m_modified = false;
};
