#include "framework/win/TextReplacer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "framework/base/CaseFold.h"
#include "framework/base/Utf16.h"
#include "framework/win/TextSearch.h"

using Utf16::IsHighSurrogate;
using Utf16::IsLowSurrogate;

TextReplacer::Result TextReplacer::ReplaceAll(int pos, std::u16string_view needle, std::u16string_view replacement,
                                              bool matchCase, const AskCut& askCut)
{
    if (needle.empty())
        return {};
    const std::u16string pattern = matchCase ? std::u16string(needle) : CaseFold::String(needle);
    if (pattern.size() == 1 && !IsHighSurrogate(pattern[0]) && !IsLowSurrogate(pattern[0]))
        return ReplaceEachUnit(std::clamp(pos, 0, m_text.Length()), pattern[0], replacement, !matchCase, askCut);
    const int from = std::clamp(pos, 0, m_text.Length());
    const std::vector<int> hits = TextSearch(m_text).FindEach(from, pattern, !matchCase);
    if (hits.empty())
        return {};
    const std::int64_t count = static_cast<std::int64_t>(hits.size());
    const int m = static_cast<int>(needle.size());
    const LimitPlan plan = PlanUnderLimit(count, m, replacement);
    if (plan.cuts > 0 && askCut && !askCut(plan.cuts))
        return {};
    if (plan.whole == count && IsSparse(count))
        return ReplaceInPlace(hits, m, replacement);

    // From the first write in place until the new text is taken, the text
    // is neither the old one nor the new one.
    const TextBuffer::ChangeMark changing(m_text);
    // The steady tail first: it keeps the text's length, so it is written in
    // place, and it lies behind every replacement that moves text.
    char16_t* text = m_text.Flatten().data();
    for (std::int64_t i = plan.steady; i < count; ++i)
        std::copy_n(replacement.data(), m, text + hits[static_cast<std::size_t>(i)]);
    if (plan.steady == 0)
        return FinishInPlace(count, plan, pattern, replacement.substr(0, static_cast<std::size_t>(m)), hits.back() + m);

    // The rest is built anew in one pass; its spare capacity becomes the gap.
    // Pieces between hits are often a few units long, where a plain loop
    // beats a call to memmove.
    const int length = m_text.Length();
    const int newLength = plan.newLength;
    TextBuffer::Storage out;
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
    const int caret
        = plan.steady < count ? hits.back() + (newLength - length) + m : static_cast<int>(dest - out.data());
    append(text + copied, text + length);
    m_text.Assign(std::move(out));
    return {static_cast<int>(count), plan.cuts, caret};
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

TextReplacer::Result TextReplacer::ReplaceEachUnit(int from, char16_t unit, std::u16string_view replacement, bool fold,
                                                   const AskCut& askCut)
{
    const auto& latin1 = CaseFold::Latin1Table();
    // A pair folds to a pair, and a lone surrogate to itself: neither is
    // ever equal to `unit`, so each unit is folded on its own. Beyond
    // Latin-1 the few units that fold to `unit` (none for most) are
    // compared with, held by value so that the loops keep them in registers
    // and text in other scripts costs no folding per unit; zero, which
    // never lies beyond Latin-1, fills the unused places. Should more fold
    // to it than there are places, each unit is folded.
    std::array<char16_t, 4> beyond{};
    bool foldEach = false;
    if (fold) {
        size_t used = 0;
        for (char16_t variant : CaseFold::UnitsFoldingTo(unit)) {
            if (variant < 256)
                continue;
            if (used == beyond.size())
                foldEach = true;
            else
                beyond[used++] = variant;
        }
    }
    const auto foldedIs = [&latin1, beyond, foldEach, unit](char16_t c) -> bool {
        if (c < 256)
            return latin1[c] == unit;
        if (foldEach)
            return CaseFold::Unit(c) == unit;
        return (c == beyond[0]) | (c == beyond[1]) | (c == beyond[2]) | (c == beyond[3]);
    };
    const auto is = [unit](char16_t c) { return c == unit; };
    const auto matches = [&](char16_t c) { return fold ? foldedIs(c) : is(c); };

    char16_t* text = m_text.Flatten().data();
    const int length = m_text.Length();
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
    if (plan.cuts > 0 && askCut) {
        if (!askCut(plan.cuts))
            return {};
        text = m_text.Flatten().data();  // where it lies after whatever ran while asking
    }
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
    // From the first write in place until the new text is taken, the text
    // is neither the old one nor the new one.
    const TextBuffer::ChangeMark changing(m_text);
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
    TextBuffer::Storage out;
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
    m_text.Assign(std::move(out));
    return {static_cast<int>(count), plan.cuts, caret};
}

bool TextReplacer::IsSparse(std::int64_t count) const
{
    // Replacing in place costs a few hundred instructions a match (the line
    // lookup and the gap moves, which add up to one pass over the text);
    // building a new text costs a few a unit and a fresh buffer.
    constexpr std::int64_t kUnitsPerMatch = 64;
    return count * kUnitsPerMatch <= m_text.Length();
}

TextReplacer::LimitPlan TextReplacer::PlanUnderLimit(std::int64_t count, int matchLength,
                                                     std::u16string_view replacement) const
{
    // A replacement goes in whole when the text it leaves is within the
    // limit (an empty one always does). Without cuts the length only grows
    // or only shrinks from one replacement to the next, so the first cut
    // comes where the growing text first passes the limit, or at once.
    LimitPlan plan;
    const int n = static_cast<int>(replacement.size());
    const std::int64_t growth = n - matchLength;
    const std::int64_t room = std::int64_t(m_limit) - m_text.Length();
    if (n == 0 || growth <= 0)
        plan.whole = n == 0 || growth <= room ? count : 0;
    else
        plan.whole = room < growth ? 0 : std::min(count, room / growth);
    std::int64_t length = m_text.Length() + plan.whole * growth;
    // Then each replacement gets what the room its occurrence leaves takes.
    // Once one gets as much as the occurrence's own length, the text's
    // length stops changing, and so does every later replacement.
    plan.steady = count;
    for (std::int64_t i = plan.whole; i < count; ++i) {
        const int room = static_cast<int>(std::max<std::int64_t>(0, m_limit - (length - matchLength)));
        const int fit = static_cast<int>(TextBuffer::FitPrefix(replacement, room));
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

TextReplacer::Result TextReplacer::ReplaceInPlace(const std::vector<int>& hits, int matchLength,
                                                  std::u16string_view replacement)
{
    // Left to right, so both gaps only ever move forward: one pass in all.
    const int growth = static_cast<int>(replacement.size()) - matchLength;
    int shift = 0;
    for (const int at : hits) {
        m_text.Replace(at + shift, matchLength, replacement);
        shift += growth;
    }
    return {static_cast<int>(hits.size()), 0, hits.back() + shift - growth + static_cast<int>(replacement.size())};
}

TextReplacer::Result TextReplacer::FinishInPlace(std::int64_t count, const LimitPlan& plan, std::u16string_view matched,
                                                 std::u16string_view put, int caret)
{
    // Line starts stay where they are unless a line end was replaced or put.
    if (matched.find(u'\n') != std::u16string_view::npos || put.find(u'\n') != std::u16string_view::npos)
        m_text.RebuildLineIndex();
    return {static_cast<int>(count), plan.cuts, caret};
}
