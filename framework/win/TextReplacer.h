// TextReplacer: replace-all over a TextBuffer in one pass, leaving exactly
// what a loop of "replace the occurrence, search on from behind the inserted
// text" would leave, the text limit included: a replacement that does not
// fit goes in as the prefix an edit at the limit would let in.
//
// Few matches are replaced in place through the gap buffer; many are built
// into a new text; a one-unit needle is replaced without a list of its
// matches; once the limit holds the text's length still, the remaining
// matches are written over in place.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "framework/win/TextBuffer.h"

class TextReplacer {
public:
    // `limit`: the most units the text may hold, as for any edit.
    TextReplacer(TextBuffer& text, int limit) : m_text(text), m_limit(limit) {}

    struct Result {
        int count = 0;  // occurrences replaced
        int cut = 0;    // of them, replaced by only a prefix (or nothing) at the limit
        int caret = 0;  // just after the last replacement
    };
    // Asked once, before anything changes, when the limit would cut `cuts`
    // replacements short; false leaves the text as it was.
    using AskCut = std::function<bool(int cuts)>;
    // Replaces every occurrence found by searching from `pos` (clamped to the
    // text), continuing each time just after the replaced occurrence.
    Result ReplaceAll(int pos, std::u16string_view needle, std::u16string_view replacement, bool matchCase,
                      const AskCut& askCut = nullptr);

private:
    // ReplaceAll for a needle of one unit that is not a surrogate: then
    // every unit is a match or not on its own, and dense matches are
    // replaced in one pass without a list of them. `unit` is folded already
    // if `fold`.
    Result ReplaceEachUnit(int from, char16_t unit, std::u16string_view replacement, bool fold, const AskCut& askCut);
    // Whether `count` matches are few enough for the text to be edited in
    // place rather than built anew.
    bool IsSparse(std::int64_t count) const;
    // How the replacements go in under the limit, worked out from the
    // lengths alone. The first `whole` go in whole; each of the next ones
    // inserts `cut[i - whole]` units; from `steady` on (count if never), each
    // inserts as many units as its occurrence holds, so the text's length no
    // longer changes.
    struct LimitPlan {
        std::int64_t whole = 0;
        std::vector<int> cut;
        std::int64_t steady = 0;
        int newLength = 0;  // the length the text ends with
        int cuts = 0;       // replacements that get less than all of the replacement
    };
    LimitPlan PlanUnderLimit(std::int64_t count, int matchLength, std::u16string_view replacement) const;
    // Replaces the matches (ascending starts, all of `matchLength` units) one
    // by one through the gap buffer. Every replacement must fit whole.
    Result ReplaceInPlace(const std::vector<int>& hits, int matchLength, std::u16string_view replacement);
    // Ends a replace-all whose every replacement was written over its match
    // in place (`matched` found, `put` written), with the caret at `caret`.
    Result FinishInPlace(std::int64_t count, const LimitPlan& plan, std::u16string_view matched,
                         std::u16string_view put, int caret);

    TextBuffer& m_text;
    int m_limit;
};
