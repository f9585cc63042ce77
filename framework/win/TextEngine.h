// TextEngine: the text model behind the multi-line edit control.
//
// It holds UTF-16 text, the selection, a single-level undo record, the text
// limit and the modified flag, and answers line queries, caret movement and
// search. It draws nothing and sends no notifications: the control wraps it
// and turns its results into messages and painting.
//
// Positions are code-unit offsets 0..Length(). Line ends are never
// converted: a line ends after every '\n', so "\r\n" and a lone "\n" both end
// a line, while a lone '\r' is an ordinary character. A line's length
// excludes its "\r\n" or "\n". An empty text has one line, and a text ending
// in a line end has an empty last line.
//
// Storage: the characters live in a gap buffer. Line starts (the positions
// after each '\n', plus 0) live in a second gap buffer whose entries before
// its gap are absolute positions and whose entries after the gap are stored
// relative to the end of the text (start - Length()). An edit first moves the
// line gap to the edit point; the text length then changes, and every line
// start after the edit shifts with it without being touched. So a keystroke
// costs only the gap movements, a line lookup is a binary search and a line
// start is read in O(1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/base/WinUser.h"
#include "framework/win/GapBuffer.h"

class TextEngine {
public:
    static constexpr int kDefaultLimit = EDIT_MAXTEXT;
    static constexpr int kMaxLimit = 0x7FFFFFFE;   // what SetLimit(0) means
    static constexpr int kTabWidth = 8;            // default column measure

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

    enum class EditStatus {
        Done,       // the whole text went in
        Truncated,  // only a prefix fitted under the limit
        Refused,    // nothing changed: the text would not fit under the limit
    };

    TextEngine();

    // ---- Content ----
    int Length() const { return static_cast<int>(m_text.Size()); }
    // The code unit at `pos`, or 0 outside 0..Length()-1.
    char16_t CharAt(int pos) const;
    // Copies up to `len` units from `pos` (both clamped to the text) to `out`;
    // returns how many were copied.
    int CopyRange(int pos, int len, char16_t* out) const;
    std::u16string GetRange(int pos, int len) const;
    std::u16string GetText() const { return GetRange(0, Length()); }
    // The whole text as two contiguous pieces, in order (either may be
    // empty), for reading it without a copy. Valid until the next change.
    std::pair<std::u16string_view, std::u16string_view> Pieces() const;
    // Replaces everything: caret to 0, undo emptied, modified cleared. Not
    // subject to the limit.
    void SetText(std::u16string_view text);

    // ---- Lines ----
    int LineCount() const { return static_cast<int>(m_lines.Size()); }
    // Line containing `pos` (clamped to 0..Length()). The position right
    // after a line end belongs to the next line.
    int LineFromChar(int pos) const;
    // Start of `line`, or -1 when there is no such line.
    int LineIndex(int line) const;
    // Length of `line` without its line end; 0 when there is no such line.
    int LineLength(int line) const;
    // Position of the end of `line` (before its line end), or -1.
    int LineEnd(int line) const;

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

    // One character step; "\r\n" and a surrogate pair are one step.
    int NextCharPos(int pos) const;
    int PrevCharPos(int pos) const;
    // Word steps. Words are runs of non-blank characters (blank: space and
    // tab); a line end is a word break of its own. NextWordPos skips the rest
    // of the current word and the blanks after it, stopping at the line end;
    // from a line end it goes to the next line's start. PrevWordPos goes to
    // the start of the current or previous word on the line; from a line
    // start it goes to the end of the previous line.
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
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // ---- Search (linear time, no copy of the text) ----
    // First position >= from where the next needle.size() code units equal
    // `needle` (case-sensitive), or equal it after simple case folding per
    // code point; -1 if none or the needle is empty.
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
    ReplaceAllResult ReplaceAllFrom(int pos, std::u16string_view needle, std::u16string_view replacement,
                                    bool matchCase);

private:
    int LineStart(int line) const;
    void MoveLineGap(int index);
    void RebuildLineIndex();
    // The one primitive that changes the text: replaces [pos, pos+removeLen)
    // with `insert`, keeping the line index in step.
    void ReplaceRange(int pos, int removeLen, std::u16string_view insert);

    void Select(int anchor, int caret);
    void MoveCaretTo(int pos, bool extend);
    void MoveLines(int delta, bool extend);
    void CollapseTo(int pos);

    // Room left for inserted text if `selectionLength` units are replaced.
    int RoomFor(int selectionLength) const;
    // How much of `text` goes in where there is room for `room` units: all of
    // it if it fits, else the longest prefix that neither exceeds `room` nor
    // ends between the halves of a surrogate pair or of a "\r\n".
    static std::size_t FitPrefix(std::u16string_view text, int room);
    void StartUndoStep(int pos, int removeLen, int insertLen);
    // Records the deletion of [from, to) in the open run, or starts a step.
    void RecordDeletion(int from, int to);
    void DeleteRange(int from, int to);

    template <typename Consume>
    void ScanRuns(int from, bool fold, Consume&& consume) const;
    // Start of every match of `pattern` (folded already if `fold`) found by
    // searching from `from` and again from the end of each match.
    std::vector<int> FindEach(int from, std::u16string_view pattern, bool fold) const;
    // ReplaceAllFrom for a needle of one unit that is not a surrogate: then
    // every unit is a match or not on its own, and dense matches are
    // replaced in one pass without a list of them. `unit` is folded already
    // if `fold`.
    ReplaceAllResult ReplaceEachUnit(int from, char16_t unit, std::u16string_view replacement, bool fold);
    // Whether `count` matches are few enough for the text to be edited in
    // place rather than built anew.
    bool IsSparse(std::int64_t count) const;
    // How a replace-all's replacements go in under the limit, worked out
    // from the lengths alone. The first `whole` go in whole; each of the
    // next ones inserts `cut[i - whole]` units; from `steady` on (count if
    // never), each inserts as many units as its occurrence holds, so the
    // text's length no longer changes.
    struct LimitPlan {
        std::int64_t whole = 0;
        std::vector<int> cut;
        std::int64_t steady = 0;
        int newLength = 0;  // the length the text ends with
        int cuts = 0;       // replacements that get less than all of the replacement
    };
    LimitPlan PlanUnderLimit(std::int64_t count, int matchLength, std::u16string_view replacement) const;
    // Replaces the matches (ascending starts, all of `matchLength` units) one
    // by one through the gap buffer; then the caret, undo and modified flag
    // as ReplaceAllFrom leaves them. Every replacement must fit whole.
    ReplaceAllResult ReplaceInPlace(const std::vector<int>& hits, int matchLength, std::u16string_view replacement);
    // Ends a replace-all whose every replacement was written over its match
    // in place (`matched` found, `put` written), with the caret at `caret`.
    ReplaceAllResult FinishInPlace(std::int64_t count, const LimitPlan& plan, std::u16string_view matched,
                                   std::u16string_view put, int caret);
    // Puts a text built by a replace-all in place, with the caret at `caret`.
    void TakeReplacedText(std::vector<char16_t>&& text, int caret);

    GapBuffer<char16_t> m_text;
    GapBuffer<int> m_lines;  // line starts; see the file comment
    const ColumnMeasure* m_measure = nullptr;

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
