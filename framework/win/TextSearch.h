// TextSearch: finding a text in a TextBuffer, with or without regard to case,
// in linear time and without a copy of the text. Two units of the pattern,
// the rarest, are looked for at eight positions at once in the buffer's two
// pieces (TextAnchorScan), and each place where both are found is compared
// whole; should those comparisons cost more than the text they cover, the
// search goes on with Knuth-Morris-Pratt (folded text passing through a
// small buffer).
#pragma once

#include <string_view>
#include <vector>

#include "framework/win/TextBuffer.h"

class TextSearch {
public:
    explicit TextSearch(const TextBuffer& text) : m_text(text) {}

    // First position >= from where the next needle.size() code units equal
    // `needle` (case-sensitive), or equal it after simple case folding per
    // code point; -1 if none or the needle is empty.
    int Find(std::u16string_view needle, int from, bool matchCase) const;
    bool MatchesAt(int pos, std::u16string_view needle, bool matchCase) const;
    // Start of every match of `pattern` (folded already if `fold`) found by
    // searching from `from` and again from the end of each match.
    std::vector<int> FindEach(int from, std::u16string_view pattern, bool fold) const;

private:
    struct Plan;
    template <typename Found>
    void Search(const Plan& plan, int from, Found&& found) const;
    bool MatchesFrom(const Plan& plan, int pos, int start, int& compared) const;
    char16_t FoldedAt(int pos, int start) const;
    int FindByKmp(const Plan& plan, int pos, int start) const;
    template <typename Consume>
    void ScanRuns(int from, bool fold, Consume&& consume) const;

    const TextBuffer& m_text;
};
