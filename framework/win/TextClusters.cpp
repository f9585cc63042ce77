#include "framework/win/TextClusters.h"

#include "framework/base/UnicodeLibrary.h"

#include <algorithm>

#include "framework/base/Exception.h"
#include "framework/base/Utf16.h"
#include "framework/base/Utf8Codec.h"

namespace {

bool g_clusterEditing = false;

// A character below the combining marks (U+0300): ASCII, Latin-1, Latin
// Extended, IPA. No grapheme rule joins two of them but "\r\n", so
// between them a character surely begins without asking ICU.
bool BelowMarks(char16_t c) { return c < 0x300; }

// A unit standing for a byte that is no UTF-8: a character of its own,
// which the grapheme rules would let a following mark join.
bool IsKeptByteAt(const TextEngine& text, int pos)
{
    return Utf8Codec::IsKeptFileByte(text.CharAt(pos)) && !(pos > 0 && Utf16::IsHighSurrogate(text.CharAt(pos - 1)));
}

// Whether a character surely begins at `pos` whatever comes before the
// window: at the text's ends, after a line end, before one (but between
// "\r" and "\n"), and between two characters below the marks.
bool SureBoundary(const TextEngine& text, int pos)
{
    if (pos <= 0 || pos >= text.Length())
        return true;
    const char16_t before = text.CharAt(pos - 1);
    const char16_t at = text.CharAt(pos);
    if (before == u'\r')
        return at != u'\n';
    if (before == u'\n' || at == u'\r')
        return true;
    return BelowMarks(before) && BelowMarks(at) && at != u'\n';
}

// The nearest sure boundary from `pos` on towards `limit` (either way),
// else `limit`. The limits lie kReach units from the position asked about,
// a multiple of four: an even number of regional indicators (two units
// each), so that a long run of them cut there still pairs them as from its
// start.
int SureBoundaryFrom(const TextEngine& text, int pos, int limit)
{
    limit = std::clamp(limit, 0, text.Length());
    const int step = limit < pos ? -1 : 1;
    while (pos != limit && !SureBoundary(text, pos))
        pos += step;
    return pos;
}

}  // namespace

void TextClusters::CloseIterator::operator()(UBreakIterator* iterator) const
{
    UnicodeLibrary::Get().breakClose(iterator);
}

TextClusters::TextClusters() { m_window.reserve(2 * kReach + 2); }

TextClusters::~TextClusters() = default;

void TextClusters::Window(const TextEngine& text, int from, int to) const
{
    // The iterator, and with it ICU, only once a character needs it: text
    // below the combining marks and line ends never does.
    if (!m_iterator) {
        UErrorCode status = U_ZERO_ERROR;
        m_iterator.reset(UnicodeLibrary::Get().breakOpen(UBRK_CHARACTER, "", nullptr, 0, &status));
        if (U_FAILURE(status) || !m_iterator)
            AfxThrowMemoryException();
    }
    m_window.resize(std::size_t(to - from));
    text.CopyRange(from, to - from, m_window.data());
    UErrorCode status = U_ZERO_ERROR;
    UnicodeLibrary::Get().breakSetText(m_iterator.get(), reinterpret_cast<const UChar*>(m_window.data()), to - from,
                                       &status);
    if (U_FAILURE(status))
        AfxThrowMemoryException();
}

int TextClusters::Next(const TextEngine& text, int pos) const
{
    const int length = text.Length();
    if (pos >= length)
        return length;
    pos = std::max(pos, 0);
    // A character below the marks followed by another (or the end) is a
    // character of its own.
    const char16_t at = text.CharAt(pos);
    if (BelowMarks(at) && at != u'\r' && (pos + 1 == length || BelowMarks(text.CharAt(pos + 1))))
        return pos + 1;
    // A kept byte is a character of its own and ends the one before it.
    if (IsKeptByteAt(text, pos))
        return pos + 1;
    const int from = SureBoundaryFrom(text, pos, pos - kReach);
    const int to = SureBoundaryFrom(text, pos + 1, pos + kReach);
    Window(text, from, to);
    const int32_t found = UnicodeLibrary::Get().breakFollowing(m_iterator.get(), pos - from);
    const int next = found == UBRK_DONE ? to : from + found;
    for (int i = pos + 1; i < next; ++i)
        if (IsKeptByteAt(text, i))
            return i;
    return next;
}

int TextClusters::Prev(const TextEngine& text, int pos) const
{
    if (pos <= 0)
        return 0;
    pos = std::min(pos, text.Length());
    // A character below the marks after another (or the start), "\r\n"
    // apart, is a character of its own.
    const char16_t before = text.CharAt(pos - 1);
    if (BelowMarks(before) && before != u'\n' && (pos == 1 || BelowMarks(text.CharAt(pos - 2))))
        return pos - 1;
    // No rule looks past the end of a character, so the window ends at pos.
    const int from = SureBoundaryFrom(text, pos - 1, pos - kReach);
    Window(text, from, pos);
    const int32_t found = UnicodeLibrary::Get().breakPreceding(m_iterator.get(), pos - from);
    const int prev = found == UBRK_DONE ? from : from + found;
    for (int i = pos - 1; i >= prev; --i)
        if (IsKeptByteAt(text, i))
            return i == pos - 1 ? i : i + 1;
    return prev;
}

void SetClusterEditing(bool on) { g_clusterEditing = on; }

bool ClusterEditing() { return g_clusterEditing; }
