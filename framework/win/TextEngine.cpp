#include "framework/win/TextEngine.h"

#include <algorithm>

#include "framework/base/Utf16.h"
#include "framework/win/TextReplacer.h"
#include "framework/win/TextSearch.h"

using Utf16::IsHighSurrogate;
using Utf16::IsLowSurrogate;

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The built-in column measure: one column per character, tabs to the next
// multiple of kTabWidth.
int NextColumn(int column, char16_t c)
{
    return c == u'\t' ? (column / TextEngine::kTabWidth + 1) * TextEngine::kTabWidth : column + 1;
}

int DefaultColumnOf(const TextEngine& text, int lineStart, int pos)
{
    int column = 0;
    for (int i = lineStart; i < pos; i = text.NextCharPos(i))
        column = NextColumn(column, text.CharAt(i));
    return column;
}

int DefaultPosAtColumn(const TextEngine& text, int lineStart, int lineEnd, int column)
{
    int pos = lineStart;
    int at = 0;
    while (pos < lineEnd) {
        const int next = std::min(text.NextCharPos(pos), lineEnd);
        const int nextAt = NextColumn(at, text.CharAt(pos));
        if (column < nextAt)
            return column - at <= nextAt - column ? pos : next;
        pos = next;
        at = nextAt;
    }
    return lineEnd;
}

}  // namespace

TextEngine::TextEngine() { SetText(u""); }

void TextEngine::SetText(std::u16string_view text)
{
    m_text.SetText(text);
    TextReplaced();
}

TextBuffer::ByteLoad TextEngine::LoadBytes(std::size_t expected, std::size_t most, const TextBuffer::ReadBytes& read)
{
    const TextBuffer::ByteLoad result = m_text.LoadBytes(expected, most, read);
    if (result.Loaded())
        TextReplaced();
    return result;
}

void TextEngine::TextReplaced()
{
    m_anchor = m_caret = 0;
    m_desiredColumn = -1;
    EmptyUndo();
    m_modified = false;
}

// ---- Selection and caret ----

std::pair<int, int> TextEngine::GetSel() const { return {std::min(m_anchor, m_caret), std::max(m_anchor, m_caret)}; }

void TextEngine::Select(int anchor, int caret)
{
    if (anchor != m_anchor || caret != m_caret)
        m_runOpen = false;  // the next edit starts a new undo step
    m_anchor = anchor;
    m_caret = caret;
    m_desiredColumn = -1;
}

void TextEngine::SetSel(int start, int end)
{
    const int length = Length();
    const auto clampPos = [length](int pos) { return pos < 0 || pos > length ? length : pos; };
    if (start == -1)
        Select(m_caret, m_caret);
    else if (start == 0 && end == -1)
        Select(0, length);
    else
        Select(clampPos(start), clampPos(end));
}

void TextEngine::SetSelRaw(int anchor, int caret)
{
    Select(std::clamp(anchor, 0, Length()), std::clamp(caret, 0, Length()));
}

void TextEngine::MoveCaretTo(int pos, bool extend) { Select(extend ? m_anchor : pos, pos); }

void TextEngine::CollapseTo(int pos)
{
    m_anchor = m_caret = pos;
    m_desiredColumn = -1;
}

void TextEngine::MoveLeft(bool extend) { MoveCaretTo(PrevCharPos(m_caret), extend); }

void TextEngine::MoveRight(bool extend) { MoveCaretTo(NextCharPos(m_caret), extend); }

void TextEngine::MoveLineStart(bool extend) { MoveCaretTo(LineIndex(LineFromChar(m_caret)), extend); }

void TextEngine::MoveLineEnd(bool extend) { MoveCaretTo(LineEnd(LineFromChar(m_caret)), extend); }

void TextEngine::MoveLines(int delta, bool extend)
{
    const int line = LineFromChar(m_caret);
    const int target = std::clamp(line + delta, 0, LineCount() - 1);
    const int column = m_desiredColumn >= 0 ? m_desiredColumn : ColumnOf(m_caret);
    if (target != line)
        MoveCaretTo(PosAtColumn(target, column), extend);
    else if (!extend)
        MoveCaretTo(m_caret, false);  // no line to go to: the selection still goes
    m_desiredColumn = column;         // kept until a move of another kind
}

int TextEngine::NextCharPos(int pos) const
{
    if (pos >= Length())
        return Length();
    pos = std::max(pos, 0);
    if (m_boundaries)
        return m_boundaries->Next(*this, pos);
    const char16_t c = m_text[pos];
    const char16_t next = CharAt(pos + 1);
    if ((c == u'\r' && next == u'\n') || (IsHighSurrogate(c) && IsLowSurrogate(next)))
        return pos + 2;
    return pos + 1;
}

int TextEngine::PrevCharPos(int pos) const
{
    if (pos <= 0)
        return 0;
    pos = std::min(pos, Length());
    if (m_boundaries)
        return m_boundaries->Prev(*this, pos);
    const char16_t c = m_text[pos - 1];
    const char16_t prev = CharAt(pos - 2);
    if (pos >= 2 && ((c == u'\n' && prev == u'\r') || (IsLowSurrogate(c) && IsHighSurrogate(prev))))
        return pos - 2;
    return pos - 1;
}

int TextEngine::NextWordPos(int pos) const
{
    if (pos >= Length())
        return Length();
    pos = std::max(pos, 0);
    const int line = LineFromChar(pos);
    const int end = LineEnd(line);
    if (pos >= end)  // at (or inside) the line end: step over it
        return line + 1 < LineCount() ? LineStart(line + 1) : Length();
    while (pos < end && !IsBlank(m_text[pos]))
        ++pos;
    while (pos < end && IsBlank(m_text[pos]))
        ++pos;
    return BoundaryForward(pos);
}

int TextEngine::PrevWordPos(int pos) const
{
    if (pos <= 0)
        return 0;
    pos = std::min(pos, Length());
    const int line = LineFromChar(pos);
    const int start = LineStart(line);
    if (pos == start)
        return LineEnd(line - 1);
    pos = std::min(pos, LineEnd(line));
    while (pos > start && IsBlank(m_text[pos - 1]))
        --pos;
    while (pos > start && !IsBlank(m_text[pos - 1]))
        --pos;
    return BoundaryBackward(pos);
}

int TextEngine::BoundaryForward(int pos) const
{
    if (!m_boundaries || pos <= 0 || pos >= Length())
        return pos;
    return m_boundaries->Next(*this, m_boundaries->Prev(*this, pos));
}

int TextEngine::BoundaryBackward(int pos) const
{
    if (!m_boundaries || pos <= 0 || pos >= Length())
        return pos;
    return m_boundaries->Prev(*this, m_boundaries->Next(*this, pos));
}

int TextEngine::ColumnOf(int pos) const
{
    pos = std::clamp(pos, 0, Length());
    const int start = LineStart(LineFromChar(pos));
    return m_measure ? m_measure->ColumnOf(*this, start, pos) : DefaultColumnOf(*this, start, pos);
}

int TextEngine::PosAtColumn(int line, int column) const
{
    line = std::clamp(line, 0, LineCount() - 1);
    const int start = LineStart(line);
    const int end = LineEnd(line);
    return m_measure ? m_measure->PosAtColumn(*this, start, end, column)
                     : DefaultPosAtColumn(*this, start, end, column);
}

// ---- Editing ----

int TextEngine::RoomFor(int selectionLength) const { return std::max(0, m_limit - (Length() - selectionLength)); }

void TextEngine::StartUndoStep(int pos, int removeLen, int insertLen)
{
    m_canUndo = true;
    m_undoPos = pos;
    m_undoRemoved = GetRange(pos, removeLen);
    m_undoInsertLen = insertLen;
}

void TextEngine::EmptyUndo()
{
    m_canUndo = false;
    m_runOpen = false;
    m_undoRemoved.clear();
    m_undoRemoved.shrink_to_fit();
    m_undoPos = m_undoInsertLen = 0;
}

TextEngine::EditStatus TextEngine::ReplaceSel(std::u16string_view text, bool canUndo)
{
    const auto [start, end] = GetSel();
    EditStatus status = EditStatus::Done;
    const std::size_t fit = TextBuffer::FitPrefix(text, RoomFor(end - start));
    if (fit < text.size()) {
        text = text.substr(0, fit);
        status = EditStatus::Truncated;
    }
    if (!canUndo)
        EmptyUndo();
    if (start == end && text.empty()) {
        m_runOpen = false;
        return status;
    }
    if (canUndo)
        StartUndoStep(start, end - start, static_cast<int>(text.size()));
    m_text.Replace(start, end - start, text);
    CollapseTo(start + static_cast<int>(text.size()));
    m_runOpen = false;
    m_modified = true;
    return status;
}

TextEngine::EditStatus TextEngine::InsertTyped(std::u16string_view text)
{
    const auto [start, end] = GetSel();
    const int length = static_cast<int>(text.size());
    if (length > RoomFor(end - start))
        return EditStatus::Refused;
    if (text.empty())
        return EditStatus::Done;
    if (m_runOpen && start == end && start == m_undoPos + m_undoInsertLen)
        m_undoInsertLen += length;
    else
        StartUndoStep(start, end - start, length);
    m_text.Replace(start, end - start, text);
    CollapseTo(start + length);
    m_runOpen = true;
    m_modified = true;
    return EditStatus::Done;
}

void TextEngine::RecordDeletion(int from, int to)
{
    const int runEnd = m_undoPos + m_undoInsertLen;
    if (!m_runOpen || (to != runEnd && from != runEnd)) {
        StartUndoStep(from, to - from, 0);
    } else if (from == runEnd) {
        // Delete after the run: the removed text follows what the step removed.
        m_undoRemoved += GetRange(from, to - from);
    } else if (from >= m_undoPos) {
        // Backspace over text typed in this run.
        m_undoInsertLen -= to - from;
    } else {
        // Backspace past the start of the run: all typed text is gone and the
        // older text in front of it joins what the step removed.
        m_undoRemoved.insert(0, GetRange(from, m_undoPos - from));
        m_undoPos = from;
        m_undoInsertLen = 0;
    }
}

void TextEngine::DeleteRange(int from, int to)
{
    RecordDeletion(from, to);
    m_text.Replace(from, to - from, {});
    CollapseTo(from);
    m_runOpen = true;
    m_modified = true;
}

bool TextEngine::Backspace()
{
    const auto [start, end] = GetSel();
    if (start != end) {
        m_runOpen = false;
        DeleteRange(start, end);
    } else if (m_caret > 0) {
        DeleteRange(PrevCharPos(m_caret), m_caret);
    } else {
        return false;
    }
    return true;
}

bool TextEngine::Delete()
{
    const auto [start, end] = GetSel();
    if (start != end) {
        m_runOpen = false;
        DeleteRange(start, end);
    } else if (m_caret < Length()) {
        DeleteRange(m_caret, NextCharPos(m_caret));
    } else {
        return false;
    }
    return true;
}

bool TextEngine::Undo()
{
    if (!m_canUndo)
        return false;
    std::u16string inserted = GetRange(m_undoPos, m_undoInsertLen);
    m_text.Replace(m_undoPos, m_undoInsertLen, m_undoRemoved);
    m_undoInsertLen = static_cast<int>(m_undoRemoved.size());
    m_undoRemoved = std::move(inserted);
    CollapseTo(m_undoPos);
    m_caret = m_undoPos + m_undoInsertLen;
    m_runOpen = false;
    m_modified = true;
    return true;
}

// ---- Search ----

int TextEngine::Find(std::u16string_view needle, int from, bool matchCase) const
{
    return TextSearch(m_text).Find(needle, from, matchCase);
}

bool TextEngine::MatchesAt(int pos, std::u16string_view needle, bool matchCase) const
{
    return TextSearch(m_text).MatchesAt(pos, needle, matchCase);
}

TextEngine::ReplaceAllResult TextEngine::ReplaceAllFrom(int pos, std::u16string_view needle,
                                                        std::u16string_view replacement, bool matchCase,
                                                        const std::function<bool(int cuts)>& askCut)
{
    const TextReplacer::Result result
        = TextReplacer(m_text, m_limit).ReplaceAll(pos, needle, replacement, matchCase, askCut);
    if (result.count > 0) {
        EmptyUndo();
        CollapseTo(result.caret);
        m_modified = true;
    }
    return {result.count, result.cut};
}
