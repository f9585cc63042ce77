#include "framework/win/TextBuffer.h"

#include <algorithm>
#include <bit>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "framework/base/Utf16.h"
#include "framework/win/TextFaultInjection.h"

namespace {

// Appends base + i + 1 to `starts` for every '\n' at units[i]: the line
// starts a piece of text adds. Lines are tens of units long, so the scan
// tests sixteen units at a time where the processor can.
void CollectLineStarts(const char16_t* units, int count, int base, GapBuffer<int>::Storage& starts)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i newline = _mm_set1_epi16(static_cast<short>(u'\n'));
    for (; i + 16 <= count; i += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i + 8));
        // One bit per unit: equal lanes are all ones, which packs to 0xFF.
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_packs_epi16(_mm_cmpeq_epi16(low, newline), _mm_cmpeq_epi16(high, newline))));
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

// Reads until `count` bytes came or the end; returns how many came.
std::size_t ReadFully(const TextBuffer::ReadBytes& read, unsigned char* dest, std::size_t count)
{
    std::size_t got = 0;
    while (got < count) {
        const std::size_t n = read(dest + got, count - got);
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

struct Widened {
    bool zero = false;
    bool tabs = false;
};

// Writes bytes[i] as units[i] for every i < count, appending i + 1 to
// `starts` for every '\n' and noting zeros and tabs. The units may lie over
// the bytes as long as the bytes start `count` bytes or more after them:
// sixteen bytes are read before their thirty-two are written, and writing
// never reaches a byte not yet read. The text goes in blocks whose line
// starts are noted in a local array and appended once a block: the loop
// within a block calls nothing, so what it keeps stays in registers.
Widened Widen(const unsigned char* bytes, std::size_t count, char16_t* units, GapBuffer<int>::Storage& starts)
{
    constexpr std::size_t kBlock = 4096;
    int found[kBlock];
    unsigned zeros = 0;
    unsigned tabs = 0;
    for (std::size_t block = 0; block < count; block += kBlock) {
        const std::size_t end = std::min(count, block + kBlock);
        std::size_t i = block;
        int n = 0;
#if defined(__SSE2__)
        const __m128i none = _mm_setzero_si128();
        const __m128i newline = _mm_set1_epi8('\n');
        const __m128i tab = _mm_set1_epi8('\t');
        __m128i anyZero = none;
        __m128i anyTab = none;
        for (; i + 16 <= end; i += 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
            anyZero = _mm_or_si128(anyZero, _mm_cmpeq_epi8(b, none));
            anyTab = _mm_or_si128(anyTab, _mm_cmpeq_epi8(b, tab));
            unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, newline)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(units + i), _mm_unpacklo_epi8(b, none));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(units + i + 8), _mm_unpackhi_epi8(b, none));
            while (mask != 0) {
                found[n++] = static_cast<int>(i) + std::countr_zero(mask) + 1;
                mask &= mask - 1;
            }
        }
        zeros |= static_cast<unsigned>(_mm_movemask_epi8(anyZero));
        tabs |= static_cast<unsigned>(_mm_movemask_epi8(anyTab));
#endif
        for (; i < end; ++i) {
            const unsigned char c = bytes[i];
            units[i] = c;
            zeros |= c == 0 ? 1u : 0u;
            tabs |= c == '\t' ? 1u : 0u;
            if (c == '\n')
                found[n++] = static_cast<int>(i) + 1;
        }
        starts.insert(starts.end(), found, found + n);
    }
    return {zeros != 0, tabs != 0};
}

}  // namespace

TextBuffer::TextBuffer() { SetText(u""); }

// ---- Content ----

char16_t TextBuffer::CharAt(int pos) const { return pos >= 0 && pos < Length() ? m_text[pos] : u'\0'; }

int TextBuffer::CopyRange(int pos, int len, char16_t* out) const
{
    pos = std::clamp(pos, 0, Length());
    len = std::clamp(len, 0, Length() - pos);
    m_text.CopyOut(pos, len, out);
    return len;
}

std::u16string TextBuffer::GetRange(int pos, int len) const
{
    pos = std::clamp(pos, 0, Length());
    std::u16string out(std::clamp(len, 0, Length() - pos), u'\0');
    CopyRange(pos, static_cast<int>(out.size()), out.data());
    return out;
}

std::pair<std::u16string_view, std::u16string_view> TextBuffer::Pieces() const
{
    const auto before = m_text.BeforeGap();
    const auto after = m_text.AfterGap();
    return {{before.data(), before.size()}, {after.data(), after.size()}};
}

// ---- Changes ----

void TextBuffer::SetText(std::u16string_view text)
{
    // Room for the gap up front, so that the text is copied once.
    Storage units;
    units.reserve(text.size() + text.size() / 8 + 64);
    units.assign(text.begin(), text.end());
    Assign(std::move(units));
}

void TextBuffer::Assign(Storage&& units)
{
    m_text.Assign(std::move(units));
    RebuildLineIndex();
}

std::size_t TextBuffer::FitPrefix(std::u16string_view text, int room)
{
    if (text.size() <= static_cast<std::size_t>(room))
        return text.size();
    std::size_t fit = static_cast<std::size_t>(room);
    // Never leave half of a surrogate pair or of a "\r\n" behind.
    if (fit > 0
        && ((Utf16::IsHighSurrogate(text[fit - 1]) && Utf16::IsLowSurrogate(text[fit]))
            || (text[fit - 1] == u'\r' && text[fit] == u'\n')))
        --fit;
    return fit;
}

TextBuffer::ByteLoad TextBuffer::LoadBytes(std::size_t expected, std::size_t most, const ReadBytes& read)
{
    // The storage is made for `expected` units and their gap, left as the
    // allocator gives it. The bytes are read into its upper half and widened
    // from the front, which never overtakes them; one byte more than expected
    // is asked for, to tell a text that grew.
    ByteLoad result;
    Storage units(expected + expected / 8 + 65);
    unsigned char* bytes = reinterpret_cast<unsigned char*>(units.data()) + expected;
    std::size_t got = ReadFully(read, bytes, expected + 1);
    const unsigned char* source = bytes;
    std::string grown;
    if (got > expected) {
        // It grew since its length was taken: the rest is read apart, to its
        // end or until it is too long.
        grown.assign(reinterpret_cast<const char*>(bytes), got);
        unsigned char block[65536];
        while (grown.size() <= most) {
            const std::size_t want = std::min(sizeof block, most + 1 - grown.size());
            const std::size_t n = ReadFully(read, block, want);
            grown.append(reinterpret_cast<const char*>(block), n);
            if (n < want)
                break;
        }
        got = grown.size();
        units.resize(got + got / 8 + 64);
        source = reinterpret_cast<const unsigned char*>(grown.data());
    }
    if (got > most) {
        result.tooLong = true;
        return result;
    }
    GapBuffer<int>::Storage starts;
    starts.reserve(got / 8 + 16);  // lines are seldom shorter; the room left is never touched
    starts.push_back(0);
    const Widened widened = Widen(source, got, units.data(), starts);
    if (widened.zero) {
        result.zero = true;
        return result;
    }
    result.tabs = widened.tabs;
    units.resize(got);
    m_text.Assign(std::move(units));
    m_lines.Assign(std::move(starts));
    return result;
}

// ---- Line index ----

int TextBuffer::LineStart(int line) const
{
    const int stored = m_lines[line];
    return line < static_cast<int>(m_lines.GapPosition()) ? stored : stored + Length();
}

// Moves the line gap before line `index`, converting the entries that cross
// it between absolute and end-relative form.
void TextBuffer::MoveLineGap(int index)
{
    const int old = static_cast<int>(m_lines.GapPosition());
    m_lines.MoveGap(index);
    const int length = Length();
    for (int i = old; i < index; ++i)
        m_lines[i] += length;
    for (int i = index; i < old; ++i)
        m_lines[i] -= length;
}

void TextBuffer::RebuildLineIndex()
{
    GapBuffer<int>::Storage starts{0};
    int base = 0;
    for (const auto part : {m_text.BeforeGap(), m_text.AfterGap()}) {
        const int count = static_cast<int>(part.size());
        CollectLineStarts(part.data(), count, base, starts);
        base += count;
    }
    m_lines.Assign(std::move(starts));
}

int TextBuffer::LineFromChar(int pos) const
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

int TextBuffer::LineIndex(int line) const { return line >= 0 && line < LineCount() ? LineStart(line) : -1; }

int TextBuffer::LineLength(int line) const
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

int TextBuffer::LineEnd(int line) const
{
    return line >= 0 && line < LineCount() ? LineStart(line) + LineLength(line) : -1;
}

void TextBuffer::Replace(int pos, int removeLen, std::u16string_view insert)
{
    const std::size_t removed = static_cast<std::size_t>(removeLen);
    m_text.Reserve(insert.size() > removed ? insert.size() - removed : 0);
    // Lines starting at or before `pos` are unaffected; park the line gap
    // after them while the length is still the old one.
    const int firstAfter = LineFromChar(pos) + 1;
    MoveLineGap(firstAfter);

    // Lines whose '\n' is removed start in (pos, pos + removeLen].
    int dropped = 0;
    while (firstAfter + dropped < LineCount() && LineStart(firstAfter + dropped) <= pos + removeLen)
        ++dropped;
    m_lines.Erase(firstAfter, dropped);

    // The old text goes and the new comes in as one change, with the room
    // for it made before: once the erase is done, nothing can fail.
    {
        GapBuffer<char16_t>::ChangeMark changing(m_text);
        m_text.Erase(pos, removeLen);
        TextFaultInjection::At(TextFaultInjection::ptReplace);
        m_text.Insert(pos, insert.data(), insert.size());
    }
    // The entries after the line gap followed the length change by
    // themselves; the new lines go in before the gap, as absolute positions.
    int at = firstAfter;
    for (std::size_t i = 0; i < insert.size(); ++i) {
        if (insert[i] == u'\n')
            m_lines.Insert(at++, pos + static_cast<int>(i) + 1);
    }
}
