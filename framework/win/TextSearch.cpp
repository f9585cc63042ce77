#include "framework/win/TextSearch.h"

#include <algorithm>
#include <string>

#include "framework/base/CaseFold.h"
#include "framework/base/Utf16.h"

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

}  // namespace

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

int TextSearch::Find(std::u16string_view needle, int from, bool matchCase) const
{
    from = std::clamp(from, 0, m_text.Length());
    if (needle.empty() || needle.size() > static_cast<std::size_t>(m_text.Length() - from))
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
                if (fold && IsHighSurrogate(m_text[end - 1]) && IsLowSurrogate(m_text.CharAt(end))) {
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
