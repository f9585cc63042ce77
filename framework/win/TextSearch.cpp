#include "framework/win/TextSearch.h"

#include <algorithm>
#include <climits>
#include <string>
#include <string_view>

#include "framework/base/CaseFold.h"
#include "framework/base/Utf16.h"
#include "framework/win/TextAnchorScan.h"

using Utf16::IsHighSurrogate;
using Utf16::IsLowSurrogate;

namespace {

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
int AdvanceMatch(std::u16string_view pattern, const std::vector<int>& failure, const char16_t* units, int i, int count,
                 int& matched)
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

// How often a unit turns up in ordinary text, higher for more often: the
// anchors are the pattern's units that score lowest.
int Commonness(char16_t unit)
{
    static constexpr std::string_view kLetters = "etaoinshrdlcumwfgypbvkjxqz";  // most frequent first
    if (unit >= 0x80)
        return 1;
    if (unit == u' ')
        return 100;
    if (unit == u'\r' || unit == u'\n')
        return 40;
    const char lower = char(unit | 0x20);
    if (lower >= 'a' && lower <= 'z') {
        const int score = 85 - 3 * int(kLetters.find(lower));
        return unit == lower ? score : score / 4 + 1;
    }
    return unit >= u'0' && unit <= u'9' ? 10 : 5;
}

// The text units a pattern's unit stands for: itself, or with Match case
// off every unit that folds to it. False when there are too many to test at
// once, or the unit is a surrogate (a pair folds as a whole).
bool ClassOf(char16_t unit, bool fold, UnitClass& accepts)
{
    accepts = UnitClass{};
    accepts.value = unit;
    if (!fold)
        return true;
    if (Utf16::IsSurrogate(unit))
        return false;
    const bool letter = unit >= u'a' && unit <= u'z';
    if (letter)
        accepts.orMask = 0x20;
    for (const char16_t u : CaseFold::UnitsFoldingTo(unit)) {
        if (u == unit || (letter && u == char16_t(unit & ~0x20)))
            continue;
        if (accepts.extraCount == 3)
            return false;
        accepts.extra[accepts.extraCount++] = u;
    }
    return true;
}

}  // namespace

// The pattern (folded already when `fold`) and the two units the search
// looks for first; without anchors the search is Knuth-Morris-Pratt's alone.
struct TextSearch::Plan {
    Plan(std::u16string_view text, bool foldText) : pattern(text), fold(foldText), failure(BuildFailure(text))
    {
        // The rarest units first; the first two whose classes can be
        // tested at once are the anchors.
        std::vector<int> order(pattern.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return Commonness(pattern[size_t(a)]) < Commonness(pattern[size_t(b)]); });
        int found = 0;
        for (size_t i = 0; i < order.size() && found < 2; ++i) {
            UnitClass accepts;
            if (ClassOf(pattern[size_t(order[i])], fold, accepts))
                (found++ == 0 ? first : second) = {order[i], accepts};
        }
        anchored = found > 0;
        if (found == 1)
            second = first;
    }

    std::u16string_view pattern;
    bool fold;
    std::vector<int> failure;
    bool anchored = false;
    TextAnchor first;
    TextAnchor second;
};

// The folded unit at `pos`, as a folding scan that began at `start` reads
// it: a surrogate pair folds as one code point, but not a pair whose high
// half lies before `start`.
char16_t TextSearch::FoldedAt(int pos, int start) const
{
    const char16_t c = m_text[pos];
    if (c < 256)
        return CaseFold::Latin1Table()[c];
    if (IsHighSurrogate(c)) {
        char16_t low = m_text.CharAt(pos + 1);
        if (!IsLowSurrogate(low))
            return c;
        char16_t high = c;
        CaseFold::Pair(high, low);
        return high;
    }
    if (IsLowSurrogate(c)) {
        char16_t high = pos > start ? m_text[pos - 1] : u'\0';
        if (!IsHighSurrogate(high))
            return c;
        char16_t low = c;
        CaseFold::Pair(high, low);
        return low;
    }
    return CaseFold::Unit(c);
}

// Whether the pattern is found at `pos` by a search that began at `start`;
// `compared` counts the units looked at.
bool TextSearch::MatchesFrom(const Plan& plan, int pos, int start, int& compared) const
{
    const int m = int(plan.pattern.size());
    for (int i = 0; i < m; ++i) {
        const char16_t c = plan.fold ? FoldedAt(pos + i, start) : m_text[pos + i];
        if (c != plan.pattern[size_t(i)]) {
            compared = i + 1;
            return false;
        }
    }
    compared = m;
    return true;
}

// The first match at or after `pos` by Knuth-Morris-Pratt, for a search that
// began at `start`, or -1.
int TextSearch::FindByKmp(const Plan& plan, int pos, int start) const
{
    // A folding scan begins on a whole pair, as the search's own would.
    if (plan.fold && pos > start && IsHighSurrogate(m_text[pos - 1]) && IsLowSurrogate(m_text[pos]))
        --pos;
    int matched = 0;
    int found = -1;
    ScanRuns(pos, plan.fold, [&](int runPos, const char16_t* units, int count) {
        const int end = AdvanceMatch(plan.pattern, plan.failure, units, 0, count, matched);
        if (end < 0)
            return true;
        found = runPos + end - int(plan.pattern.size());
        return false;
    });
    return found;
}

// Calls found(p) for every match, the first at or after `from` and each
// next one searched for afresh from the end of the one before, until found
// returns false. The anchors pick the places to compare; once the compared
// units outnumber the text passed by much, Knuth-Morris-Pratt takes over, so
// a search costs time in proportion to the text and the pattern at worst.
template <typename Found>
void TextSearch::Search(const Plan& plan, int from, Found&& found) const
{
    const int m = int(plan.pattern.size());
    const int last = m_text.Length() - m;
    int start = from;  // where the current search began
    int kmpFrom = plan.anchored ? -1 : from;
    if (plan.anchored) {
        long long compared = 0;
        const auto [before, after] = m_text.Pieces();
        TextAnchorScan(before, after, plan.first, plan.second).Each(from, last, [&](int p) {
            int units = 0;
            if (MatchesFrom(plan, p, start, units)) {
                start = p + m;
                return found(p) ? start : TextAnchorScan::kStop;
            }
            compared += units;
            if (compared > 4LL * (p - from) + 16LL * m + 4096) {
                kmpFrom = p;
                return TextAnchorScan::kStop;
            }
            return p + 1;
        });
    }
    if (kmpFrom < 0)
        return;
    for (int p = kmpFrom; p <= last && (p = FindByKmp(plan, p, start)) >= 0;) {
        if (!found(p))
            return;
        p = start = p + m;
    }
}

int TextSearch::Find(std::u16string_view needle, int from, bool matchCase) const
{
    from = std::clamp(from, 0, m_text.Length());
    if (needle.empty() || needle.size() > static_cast<std::size_t>(m_text.Length() - from))
        return -1;
    const std::u16string pattern = matchCase ? std::u16string(needle) : CaseFold::String(needle);
    int hit = -1;
    Search(Plan(pattern, !matchCase), from, [&](int p) {
        hit = p;
        return false;
    });
    return hit;
}

// Hands the text from `from` on to consume(pos, units, count) in runs of
// contiguous code units (units[i] is the unit at pos + i), folded if asked,
// until consume returns false. Unfolded runs point straight into the two
// halves of the gap buffer; folded ones pass through a small local buffer.
// A surrogate pair is folded as one code point and never split between runs.
template <typename Consume>
void TextSearch::ScanRuns(int from, bool fold, Consume&& consume) const
{
    const int length = m_text.Length();
    if (!fold) {
        const auto [before, after] = m_text.Pieces();
        const int split = static_cast<int>(before.size());
        if (from < split && !consume(from, before.data() + from, split - from))
            return;
        const int start = std::max(from, split);
        if (start < length)
            consume(start, after.data() + (start - split), length - start);
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

bool TextSearch::MatchesAt(int pos, std::u16string_view needle, bool matchCase) const
{
    const int length = m_text.Length();
    if (pos < 0 || needle.empty() || needle.size() > static_cast<std::size_t>(length - std::min(pos, length)))
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

std::vector<int> TextSearch::FindEach(int from, std::u16string_view pattern, bool fold) const
{
    std::vector<int> hits;
    from = std::clamp(from, 0, m_text.Length());
    if (pattern.empty())
        return hits;
    Search(Plan(pattern, fold), from, [&](int p) {
        hits.push_back(p);
        return true;
    });
    return hits;
}
