#include "framework/win/TextEngine.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/base/CaseFold.h"
#include "framework/base/Utf16.h"

using Utf16::IsHighSurrogate;
using Utf16::IsLowSurrogate;

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Knuth-Morris-Pratt failure function: failure[i] is the length of the
// longest proper prefix of pattern[0..i] that is also its suffix.
std::vector<int> BuildFailure(std::u16string_view pattern)
{
    std::vector<int> failure(pattern.size(), 0);
    int k = 0;
    for (std::size_t i = 1; i < pattern.size(); ++i) {
        while (k > 0 && pattern[i] != pattern[k])
            k = failure[k - 1];
        if (pattern[i] == pattern[k])
            ++k;
        failure[i] = k;
    }
    return failure;
}

// Feeds units[i..count) to a KMP matcher that has `matched` units of
// `pattern` matched so far. Returns the index just past the unit completing a
// match, or -1 once the units are used up; `matched` is updated either way.
int AdvanceMatch(std::u16string_view pattern, const std::vector<int>& failure, const char16_t* units, int i,
                 int count, int& matched)
{
    const int m = static_cast<int>(pattern.size());
    const char16_t first = pattern[0];
    int k = matched;
    while (i < count) {
        if (k == 0) {
            // Most units start no match: skip to the next candidate quickly.
            while (i < count && units[i] != first)
                ++i;
            if (i == count)
                break;
            k = 1;
        } else {
            const char16_t c = units[i];
            while (k > 0 && c != pattern[k])
                k = failure[k - 1];
            if (c == pattern[k])
                ++k;
        }
        ++i;
        if (k == m) {
            matched = k;
            return i;
        }
    }
    matched = k;
    return -1;
}

// Appends base + i + 1 to `starts` for every '\n' at units[i]: the line
// starts a piece of text adds. Lines are tens of units long, so the scan
// tests sixteen units at a time where the processor can.
void CollectLineStarts(const char16_t* units, int count, int base, std::vector<int>& starts)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi16(static_cast<short>(u'\n'));
    for (; i + 16 <= count; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + 8));
        // One bit per unit: equal lanes are all ones, which packs to 0xFF.
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpeq_epi16(low, newline), _mm_cmpeq_epi16(high, newline))));
        while (mask != 0) {
            starts.push_back(base + i + std::countr_zero(mask) + 1);
            mask &= mask - 1;
        }
    }
#endif
    for (; i < count; ++i) {
        if (units[i] == u'\n')
            starts.push_back(base + i + 1);
    }
}

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

TextEngine::TextEngine()
{
    SetText(u"");
}

// ---- Content ----

char16_t TextEngine::CharAt(int pos) const
{
    return pos >= 0 && pos < Length() ? m_text[pos] : u'\0';
}

int TextEngine::CopyRange(int pos, int len, char16_t* out) const
{
    pos = std::clamp(pos, 0, Length());
    len = std::clamp(len, 0, Length() - pos);
    m_text.CopyOut(pos, len, out);
    return len;
}

std::u16string TextEngine::GetRange(int pos, int len) const
{
    pos = std::clamp(pos, 0, Length());
    std::u16string out(std::clamp(len, 0, Length() - pos), u'\0');
    CopyRange(pos, static_cast<int>(out.size()), out.data());
    return out;
}

std::pair<std::u16string_view, std::u16string_view> TextEngine::Pieces() const
{
    const auto before = m_text.BeforeGap();
    const auto after = m_text.AfterGap();
    return {{before.data(), before.size()}, {after.data(), after.size()}};
}

void TextEngine::SetText(std::u16string_view text)
{
    // Room for the gap up front, so that the text is copied once.
    std::vector<char16_t> units;
    units.reserve(text.size() + text.size() / 8 + 64);
    units.assign(text.begin(), text.end());
    m_text.Assign(std::move(units));
    RebuildLineIndex();
    m_anchor = m_caret = 0;
    m_desiredColumn = -1;
    EmptyUndo();
    m_modified = false;
}

// ---- Line index ----

int TextEngine::LineStart(int line) const
{
    const int stored = m_lines[line];
    return line < static_cast<int>(m_lines.GapPosition()) ? stored : stored + Length();
}

// Moves the line gap before line `index`, converting the entries that cross
// it between absolute and end-relative form.
void TextEngine::MoveLineGap(int index)
{
    const int old = static_cast<int>(m_lines.GapPosition());
    m_lines.MoveGap(index);
    const int length = Length();
    for (int i = old; i < index; ++i)
        m_lines[i] += length;
    for (int i = index; i < old; ++i)
        m_lines[i] -= length;
}

void TextEngine::RebuildLineIndex()
{
    std::vector<int> starts{0};
    int base = 0;
    for (const auto part : {m_text.BeforeGap(), m_text.AfterGap()}) {
        const int count = static_cast<int>(part.size());
        CollectLineStarts(part.data(), count, base, starts);
        base += count;
    }
    m_lines.Assign(std::move(starts));
}

int TextEngine::LineFromChar(int pos) const
{
    pos = std::clamp(pos, 0, Length());
    const auto before = m_lines.BeforeGap();
    const auto after = m_lines.AfterGap();
    if (!after.empty() && pos >= after.front() + Length()) {
        const auto it = std::upper_bound(after.begin(), after.end(), pos - Length());
        return static_cast<int>(before.size() + (it - after.begin())) - 1;
    }
    const auto it = std::upper_bound(before.begin(), before.end(), pos);
    return static_cast<int>(it - before.begin()) - 1;
}

int TextEngine::LineIndex(int line) const
{
    return line >= 0 && line < LineCount() ? LineStart(line) : -1;
}

int TextEngine::LineLength(int line) const
{
    if (line < 0 || line >= LineCount())
        return 0;
    const int start = LineStart(line);
    if (line + 1 == LineCount())
        return Length() - start;
    int end = LineStart(line + 1) - 1;  // the '\n'
    if (end > start && m_text[end - 1] == u'\r')
        --end;
    return end - start;
}

int TextEngine::LineEnd(int line) const
{
    return line >= 0 && line < LineCount() ? LineStart(line) + LineLength(line) : -1;
}

void TextEngine::ReplaceRange(int pos, int removeLen, std::u16string_view insert)
{
    // Lines starting at or before `pos` are unaffected; park the line gap
    // after them while the length is still the old one.
    const int firstAfter = LineFromChar(pos) + 1;
    MoveLineGap(firstAfter);

    // Lines whose '\n' is removed start in (pos, pos + removeLen].
    int dropped = 0;
    while (firstAfter + dropped < LineCount() && LineStart(firstAfter + dropped) <= pos + removeLen)
        ++dropped;
    m_lines.Erase(firstAfter, dropped);

    m_text.Erase(pos, removeLen);
    m_text.Insert(pos, insert.data(), insert.size());
    // The entries after the line gap followed the length change by
    // themselves; the new lines go in before the gap, as absolute positions.
    int at = firstAfter;
    for (std::size_t i = 0; i < insert.size(); ++i) {
        if (insert[i] == u'\n')
            m_lines.Insert(at++, pos + static_cast<int>(i) + 1);
    }
}

// ---- Selection and caret ----

std::pair<int, int> TextEngine::GetSel() const
{
    return {std::min(m_anchor, m_caret), std::max(m_anchor, m_caret)};
}

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

void TextEngine::MoveCaretTo(int pos, bool extend)
{
    Select(extend ? m_anchor : pos, pos);
}

void TextEngine::CollapseTo(int pos)
{
    m_anchor = m_caret = pos;
    m_desiredColumn = -1;
}

void TextEngine::MoveLeft(bool extend)
{
    MoveCaretTo(PrevCharPos(m_caret), extend);
}

void TextEngine::MoveRight(bool extend)
{
    MoveCaretTo(NextCharPos(m_caret), extend);
}

void TextEngine::MoveLineStart(bool extend)
{
    MoveCaretTo(LineIndex(LineFromChar(m_caret)), extend);
}

void TextEngine::MoveLineEnd(bool extend)
{
    MoveCaretTo(LineEnd(LineFromChar(m_caret)), extend);
}

void TextEngine::MoveLines(int delta, bool extend)
{
    const int line = LineFromChar(m_caret);
    const int target = std::clamp(line + delta, 0, LineCount() - 1);
    const int column = m_desiredColumn >= 0 ? m_desiredColumn : ColumnOf(m_caret);
    if (target != line)
        MoveCaretTo(PosAtColumn(target, column), extend);
    else if (!extend)
        MoveCaretTo(m_caret, false);  // no line to go to: the selection still goes
    m_desiredColumn = column;  // kept until a move of another kind
}

int TextEngine::NextCharPos(int pos) const
{
    if (pos >= Length())
        return Length();
    pos = std::max(pos, 0);
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
    return pos;
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
    return pos;
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

int TextEngine::RoomFor(int selectionLength) const
{
    return std::max(0, m_limit - (Length() - selectionLength));
}

std::size_t TextEngine::FitPrefix(std::u16string_view text, int room)
{
    if (text.size() <= static_cast<std::size_t>(room))
        return text.size();
    std::size_t fit = static_cast<std::size_t>(room);
    // Never leave half of a surrogate pair or of a "\r\n" behind.
    if (fit > 0 && ((IsHighSurrogate(text[fit - 1]) && IsLowSurrogate(text[fit])) ||
                    (text[fit - 1] == u'\r' && text[fit] == u'\n')))
        --fit;
    return fit;
}

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
    const std::size_t fit = FitPrefix(text, RoomFor(end - start));
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
    ReplaceRange(start, end - start, text);
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
    ReplaceRange(start, end - start, text);
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
    ReplaceRange(from, to - from, {});
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
    ReplaceRange(m_undoPos, m_undoInsertLen, m_undoRemoved);
    m_undoInsertLen = static_cast<int>(m_undoRemoved.size());
    m_undoRemoved = std::move(inserted);
    CollapseTo(m_undoPos);
    m_caret = m_undoPos + m_undoInsertLen;
    m_runOpen = false;
    m_modified = true;
    return true;
}

// ---- Search ----

// Hands the text from `from` on to consume(pos, units, count) in runs of
// contiguous code units (units[i] is the unit at pos + i), folded if asked,
// until consume returns false. Unfolded runs point straight into the two
// halves of the gap buffer; folded ones pass through a small local buffer.
// A surrogate pair is folded as one code point and never split between runs.
template <typename Consume>
void TextEngine::ScanRuns(int from, bool fold, Consume&& consume) const
{
    const int length = Length();
    if (!fold) {
        const auto before = m_text.BeforeGap();
        const int split = static_cast<int>(before.size());
        if (from < split && !consume(from, before.data() + from, split - from))
            return;
        const int start = std::max(from, split);
        if (start < length)
            consume(start, m_text.AfterGap().data() + (start - split), length - start);
        return;
    }
    constexpr int kRun = 256;
    char16_t folded[kRun + 1];  // + 1: a pair may start at the last slot
    const auto& latin1 = CaseFold::Latin1Table();
    int pos = from;
    while (pos < length) {
        const int runStart = pos;
        int count = 0;
        while (count < kRun && pos < length) {
            char16_t c = m_text[pos++];
            if (c < 256) {
                folded[count++] = latin1[c];
            } else if (IsHighSurrogate(c) && pos < length && IsLowSurrogate(m_text[pos])) {
                char16_t low = m_text[pos++];
                CaseFold::Pair(c, low);
                folded[count++] = c;
                folded[count++] = low;
            } else {
                folded[count++] = CaseFold::Unit(c);
            }
        }
        if (!consume(runStart, folded, count))
            return;
    }
}

int TextEngine::Find(std::u16string_view needle, int from, bool matchCase) const
{
    from = std::clamp(from, 0, Length());
    if (needle.empty() || needle.size() > static_cast<std::size_t>(Length() - from))
        return -1;
    const std::u16string pattern = matchCase ? std::u16string(needle) : CaseFold::String(needle);
    const std::vector<int> failure = BuildFailure(pattern);
    int matched = 0;
    int found = -1;
    ScanRuns(from, !matchCase, [&](int runPos, const char16_t* units, int count) {
        const int end = AdvanceMatch(pattern, failure, units, 0, count, matched);
        if (end < 0)
            return true;
        found = runPos + end - static_cast<int>(pattern.size());
        return false;
    });
    return found;
}

bool TextEngine::MatchesAt(int pos, std::u16string_view needle, bool matchCase) const
{
    if (pos < 0 || needle.empty() || needle.size() > static_cast<std::size_t>(Length() - std::min(pos, Length())))
        return false;
    const std::u16string pattern = matchCase ? std::u16string(needle) : CaseFold::String(needle);
    std::size_t done = 0;
    bool equal = true;
    ScanRuns(pos, !matchCase, [&](int, const char16_t* units, int count) {
        const std::size_t n = std::min(static_cast<std::size_t>(count), pattern.size() - done);
        equal = std::equal(units, units + n, pattern.begin() + static_cast<std::ptrdiff_t>(done));
        done += n;
        return equal && done < pattern.size();
    });
    return equal && done == pattern.size();
}

std::vector<int> TextEngine::FindEach(int from, std::u16string_view pattern, bool fold) const
{
    // One continuous pass whose matcher restarts after each match: the same
    // as a fresh search from the end of each match, with one exception. A
    // folding scan reads a surrogate pair as a unit, while a fresh search
    // starting on its low half would not; if a match ends inside a pair the
    // pass restarts there.
    const std::vector<int> failure = BuildFailure(pattern);
    const int m = static_cast<int>(pattern.size());
    std::vector<int> hits;
    for (bool restart = true; restart;) {
        restart = false;
        int matched = 0;
        ScanRuns(from, fold, [&](int runPos, const char16_t* units, int count) {
            for (int i = 0; (i = AdvanceMatch(pattern, failure, units, i, count, matched)) >= 0;) {
                const int end = runPos + i;
                hits.push_back(end - m);
                matched = 0;
                if (fold && IsHighSurrogate(m_text[end - 1]) && IsLowSurrogate(CharAt(end))) {
                    from = end;
                    restart = true;
                    return false;
                }
            }
            return true;
        });
    }
    return hits;
}

TextEngine::ReplaceAllResult TextEngine::ReplaceAllFrom(int pos, std::u16string_view needle,
                                                       std::u16string_view replacement, bool matchCase)
{
    if (needle.empty())
        return {};
    const std::u16string pattern = matchCase ? std::u16string(needle) : CaseFold::String(needle);
    if (pattern.size() == 1 && !IsHighSurrogate(pattern[0]) && !IsLowSurrogate(pattern[0]))
        return ReplaceEachUnit(std::clamp(pos, 0, Length()), pattern[0], replacement, !matchCase);
    const std::vector<int> hits = FindEach(std::clamp(pos, 0, Length()), pattern, !matchCase);
    if (hits.empty())
        return {};
    const std::int64_t count = static_cast<std::int64_t>(hits.size());
    const int m = static_cast<int>(needle.size());
    const LimitPlan plan = PlanUnderLimit(count, m, replacement);
    if (plan.whole == count && IsSparse(count))
        return ReplaceInPlace(hits, m, replacement);

    // The steady tail first: it keeps the text's length, so it is written in
    // place, and it lies behind every replacement that moves text.
    char16_t* text = m_text.Flatten().data();
    for (std::int64_t i = plan.steady; i < count; ++i)
        std::copy_n(replacement.data(), m, text + hits[static_cast<std::size_t>(i)]);
    if (plan.steady == 0)
        return FinishInPlace(count, plan, pattern, replacement.substr(0, static_cast<std::size_t>(m)),
                             hits.back() + m);

    // The rest is built anew in one pass; its spare capacity becomes the gap.
    // Pieces between hits are often a few units long, where a plain loop
    // beats a call to memmove.
    const int length = Length();
    const int newLength = plan.newLength;
    std::vector<char16_t> out;
    out.reserve(static_cast<std::size_t>(newLength) + static_cast<std::size_t>(newLength) / 8 + 64);
    out.resize(static_cast<std::size_t>(newLength));
    char16_t* dest = out.data();
    const auto append = [&dest](const char16_t* first, const char16_t* last) {
        if (last - first > 16) {
            dest = std::copy(first, last, dest);
        } else {
            while (first != last)
                *dest++ = *first++;
        }
    };
    const int n = static_cast<int>(replacement.size());
    int copied = 0;
    for (std::int64_t i = 0; i < plan.steady; ++i) {
        const int at = hits[static_cast<std::size_t>(i)];
        const int fit = i < plan.whole ? n : plan.cut[static_cast<std::size_t>(i - plan.whole)];
        append(text + copied, text + at);
        append(replacement.data(), replacement.data() + fit);
        copied = at + m;
    }
    const int caret = plan.steady < count ? hits.back() + (newLength - length) + m : static_cast<int>(dest - out.data());
    append(text + copied, text + length);
    TakeReplacedText(std::move(out), caret);
    return {static_cast<int>(count), plan.cuts};
}

namespace {

// Copies source[from, length) to dest, putting `replacement` (at most 8
// units, padded in `padded`) in place of every unit that `matches`. Writes
// up to 8 units past the end of the result. Without branches on the text,
// so that dense matches cost no mispredictions: each unit writes the
// replacement, puts itself over its first unit unless it matched, and
// advances by the length of what it stands for.
template <typename Matches>
char16_t* ReplaceUnitsShort(const char16_t* source, int from, int length, const char16_t (&padded)[8],
                            int replacementLength, char16_t* dest, Matches matches)
{
    const int extra = replacementLength - 1;
    for (int i = from; i < length; ++i) {
        const char16_t c = source[i];
        // All ones for a match: arithmetic, so that no branch is compiled.
        const char16_t all = static_cast<char16_t>(-static_cast<int>(matches(c)));
        std::memcpy(dest, padded, sizeof padded);
        dest[0] = static_cast<char16_t>((padded[0] & all) | (c & ~all));
        dest += 1 + (extra & static_cast<std::int16_t>(all));
    }
    return dest;
}

template <typename Matches>
char16_t* ReplaceUnitsLong(const char16_t* source, int from, int length, std::u16string_view replacement,
                           char16_t* dest, Matches matches)
{
    for (int i = from; i < length; ++i) {
        const char16_t c = source[i];
        if (matches(c))
            dest = std::copy(replacement.begin(), replacement.end(), dest);
        else
            *dest++ = c;
    }
    return dest;
}

// Puts `with` over every unit of text[from, length) that `matches`.
template <typename Matches>
void SubstituteUnits(char16_t* text, int from, int length, char16_t with, Matches matches)
{
    for (int i = from; i < length; ++i)
        text[i] = matches(text[i]) ? with : text[i];
}

}  // namespace

TextEngine::ReplaceAllResult TextEngine::ReplaceEachUnit(int from, char16_t unit, std::u16string_view replacement,
                                                        bool fold)
{
    const auto& latin1 = CaseFold::Latin1Table();
    // A pair folds to a pair, and a lone surrogate to itself: neither is
    // ever equal to `unit`, so each unit is folded on its own.
    const auto foldedIs = [&latin1, unit](char16_t c) { return (c < 256 ? latin1[c] : CaseFold::Unit(c)) == unit; };
    const auto is = [unit](char16_t c) { return c == unit; };
    const auto matches = [&](char16_t c) { return fold ? foldedIs(c) : is(c); };

    char16_t* text = m_text.Flatten().data();
    const int length = Length();
    std::int64_t count = 0;
    int last = -1;
    const auto countHits = [&](auto matchesUnit) {
        int hits = 0;
        for (int i = from; i < length; ++i)
            hits += matchesUnit(text[i]) ? 1 : 0;
        count = hits;
        for (int i = length - 1; i >= from && last < 0; --i)
            last = matchesUnit(text[i]) ? i : -1;
    };
    if (fold)
        countHits(foldedIs);
    else
        countHits(is);
    if (count == 0)
        return {};
    const int n = static_cast<int>(replacement.size());
    const LimitPlan plan = PlanUnderLimit(count, 1, replacement);
    if (plan.whole == count && IsSparse(count)) {
        std::vector<int> hits;
        hits.reserve(static_cast<std::size_t>(count));
        for (int i = from; i < length; ++i) {
            if (matches(text[i]))
                hits.push_back(i);
        }
        return ReplaceInPlace(hits, 1, replacement);
    }

    // Where the replacements the limit cuts stand, and where the steady
    // tail starts (each of its matches becomes the replacement's first unit).
    std::vector<int> cutAt;
    int steadyAt = length;
    if (plan.whole < count) {
        std::int64_t index = 0;
        for (int i = from; i < length && index <= plan.steady; ++i) {
            if (!matches(text[i]))
                continue;
            if (index == plan.steady)
                steadyAt = i;
            else if (index >= plan.whole)
                cutAt.push_back(i);
            ++index;
        }
    }
    if (plan.steady < count) {
        if (fold)
            SubstituteUnits(text, steadyAt, length, replacement[0], foldedIs);
        else
            SubstituteUnits(text, steadyAt, length, replacement[0], is);
    }
    if (plan.steady == 0)
        return FinishInPlace(count, plan, std::u16string_view(&unit, 1), replacement.substr(0, 1), last + 1);

    // The whole replacements up to the first cut one are made in one pass;
    // its spare capacity becomes the gap, with 8 units of slack for the
    // short form's writes past the end.
    const int wholeEnd = cutAt.empty() ? steadyAt : cutAt.front();
    std::vector<char16_t> out;
    out.reserve(static_cast<std::size_t>(plan.newLength) + static_cast<std::size_t>(plan.newLength) / 8 + 64);
    out.resize(static_cast<std::size_t>(plan.newLength) + 8);
    char16_t* dest = std::copy(text, text + from, out.data());
    if (n <= 8) {
        char16_t padded[8] = {};
        std::copy(replacement.begin(), replacement.end(), padded);
        dest = fold ? ReplaceUnitsShort(text, from, wholeEnd, padded, n, dest, foldedIs)
                    : ReplaceUnitsShort(text, from, wholeEnd, padded, n, dest, is);
    } else {
        dest = fold ? ReplaceUnitsLong(text, from, wholeEnd, replacement, dest, foldedIs)
                    : ReplaceUnitsLong(text, from, wholeEnd, replacement, dest, is);
    }
    // The caret goes behind the last replacement: in the steady tail, which
    // the replacements before it shifted as a whole; behind the last cut one;
    // or behind the last whole one.
    int caret = plan.steady < count ? last + (plan.newLength - length) + 1
                                    : static_cast<int>(last + (count - 1) * (n - 1) + n);
    int copied = wholeEnd;
    for (std::size_t j = 0; j < cutAt.size(); ++j) {
        dest = std::copy(text + copied, text + cutAt[j], dest);
        dest = std::copy_n(replacement.data(), plan.cut[j], dest);
        copied = cutAt[j] + 1;
        if (plan.steady == count)
            caret = static_cast<int>(dest - out.data());
    }
    std::copy(text + copied, text + length, dest);
    out.resize(static_cast<std::size_t>(plan.newLength));
    TakeReplacedText(std::move(out), caret);
    return {static_cast<int>(count), plan.cuts};
}

bool TextEngine::IsSparse(std::int64_t count) const
{
    // Replacing in place costs a few hundred instructions a match (the line
    // lookup and the gap moves, which add up to one pass over the text);
    // building a new text costs a few a unit and a fresh buffer.
    constexpr std::int64_t kUnitsPerMatch = 64;
    return count * kUnitsPerMatch <= Length();
}

TextEngine::LimitPlan TextEngine::PlanUnderLimit(std::int64_t count, int matchLength,
                                                 std::u16string_view replacement) const
{
    // A replacement goes in whole when the text it leaves is within the
    // limit (an empty one always does). Without cuts the length only grows
    // or only shrinks from one replacement to the next, so the first cut
    // comes where the growing text first passes the limit, or at once.
    LimitPlan plan;
    const int n = static_cast<int>(replacement.size());
    const std::int64_t growth = n - matchLength;
    const std::int64_t room = std::int64_t(m_limit) - Length();
    if (n == 0 || growth <= 0)
        plan.whole = n == 0 || growth <= room ? count : 0;
    else
        plan.whole = room < growth ? 0 : std::min(count, room / growth);
    std::int64_t length = Length() + plan.whole * growth;
    // Then each replacement gets what the room its occurrence leaves takes.
    // Once one gets as much as the occurrence's own length, the text's
    // length stops changing, and so does every later replacement.
    plan.steady = count;
    for (std::int64_t i = plan.whole; i < count; ++i) {
        const int fit = static_cast<int>(
            FitPrefix(replacement, static_cast<int>(std::max<std::int64_t>(0, m_limit - (length - matchLength)))));
        if (fit == matchLength) {
            plan.steady = i;
            plan.cuts += fit < n ? static_cast<int>(count - i) : 0;
            break;
        }
        plan.cut.push_back(fit);
        plan.cuts += fit < n ? 1 : 0;
        length += fit - matchLength;
    }
    plan.newLength = static_cast<int>(length);
    return plan;
}

TextEngine::ReplaceAllResult TextEngine::ReplaceInPlace(const std::vector<int>& hits, int matchLength,
                                                        std::u16string_view replacement)
{
    // Left to right, so both gaps only ever move forward: one pass in all.
    const int growth = static_cast<int>(replacement.size()) - matchLength;
    int shift = 0;
    for (const int at : hits) {
        ReplaceRange(at + shift, matchLength, replacement);
        shift += growth;
    }
    EmptyUndo();
    CollapseTo(hits.back() + shift - growth + static_cast<int>(replacement.size()));
    m_modified = true;
    return {static_cast<int>(hits.size()), 0};
}

TextEngine::ReplaceAllResult TextEngine::FinishInPlace(std::int64_t count, const LimitPlan& plan,
                                                       std::u16string_view matched, std::u16string_view put, int caret)
{
    // Line starts stay where they are unless a line end was replaced or put.
    if (matched.find(u'\n') != std::u16string_view::npos || put.find(u'\n') != std::u16string_view::npos)
        RebuildLineIndex();
    EmptyUndo();
    CollapseTo(caret);
    m_modified = true;
    return {static_cast<int>(count), plan.cuts};
}

void TextEngine::TakeReplacedText(std::vector<char16_t>&& text, int caret)
{
    m_text.Assign(std::move(text));
    RebuildLineIndex();
    EmptyUndo();
    CollapseTo(caret);
    m_modified = true;
}
