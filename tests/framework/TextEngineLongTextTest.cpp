// Replace all and the line index on texts long enough for every way the
// engine may take: few matches edited in place, many matches built anew,
// one-unit needles (folded or not, short and long replacements) and longer
// ones. Each result is checked against a plain model: a left-to-right,
// non-overlapping replacement of the tail, searched in the folded text
// when case is ignored (folding keeps every position where it is).
#include "framework/win/TextEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "framework/base/CaseFold.h"
#include "tests/support/Text.h"

using support::Show;

namespace {

struct Outcome {
    int count = 0;
    std::u16string text;
    int caret = 0;
};

// The model: the starts of the matches from `pos` on, each search starting
// after the previous match, then the pieces joined.
Outcome Model(const std::u16string& text, int pos, const std::u16string& needle, const std::u16string& replacement,
              bool matchCase)
{
    const std::u16string hay = matchCase ? text : CaseFold::String(text);
    const std::u16string pin = matchCase ? needle : CaseFold::String(needle);
    Outcome out;
    size_t copied = 0;
    for (size_t at = hay.find(pin, size_t(pos)); at != std::u16string::npos; at = hay.find(pin, at + pin.size())) {
        out.text += text.substr(copied, at - copied);
        out.text += replacement;
        copied = at + pin.size();
        out.caret = int(out.text.size());
        ++out.count;
    }
    out.text += text.substr(copied);
    return out;
}

void ExpectLinesOf(const TextEngine& e, const std::string& context)
{
    const std::u16string text = e.GetText();
    std::vector<int> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            starts.push_back(int(i) + 1);
    }
    ASSERT_EQ(e.LineCount(), int(starts.size())) << context;
    for (int line = 0; line < e.LineCount(); ++line)
        ASSERT_EQ(e.LineIndex(line), starts[size_t(line)]) << context << " line " << line;
    // A sample of positions, line ends and their neighbours among them.
    for (size_t k = 1; k < starts.size(); k += 7) {
        for (int pos : {starts[k] - 1, starts[k]})
            ASSERT_EQ(e.LineFromChar(pos), pos == starts[k] ? int(k) : int(k) - 1) << context << " pos " << pos;
    }
}

// Whole text in the two pieces, in order.
std::u16string Joined(const TextEngine& e)
{
    auto [before, after] = e.Pieces();
    return std::u16string(before) + std::u16string(after);
}

struct Pattern {
    std::u16string needle;
    std::u16string replacement;
    bool matchCase;
};

TEST(TextEngineLongText, ReplaceAllAgreesWithTheModelAtEveryDensity)
{
    const std::vector<Pattern> patterns = {
        {u"a", u"bb", true},
        {u"a", u"bb", false},
        {u"k", u"K", false},            // K, k and the Kelvin sign U+212A
        {u"S", u"", false},             // s, S and the long s U+017F, deleted
        {u"\u00E9", u"e", false},       // é and É
        {u"\n", u"\r\n", true},         // every line end doubles its units
        {u"\r", u"", true},             // a line end loses its "\r"
        {u"a", u"0123456789ab", true},  // a replacement longer than eight units
        {u"x", u"\n", true},            // a replacement that makes lines
        {u"ss", u"s", false},
        {u"\r\n", u"\n", true},
        {u"aK", u"-\n-", false},
    };
    // Filler, then the characters the needles are made of, surrogate pairs
    // and line ends.
    const std::u16string filler = u"xyz .";
    const std::u16string rare = u"aAkK\u212AsS\u017F\u00E9\u00C9\r\n\xD801\xDC00";
    std::mt19937 rng(2024);
    int inPlaceSized = 0, rebuiltSized = 0;
    for (int round = 0; round < 400; ++round) {
        const Pattern& p = patterns[size_t(round) % patterns.size()];
        // From one rare character in a thousand to one in two.
        const unsigned every = 2u << (rng() % 10);
        std::u16string text;
        const int length = 200 + int(rng() % 3000);
        while (int(text.size()) < length) {
            if (rng() % every == 0) {
                char16_t c = rare[rng() % rare.size()];
                text += c;
                if (c == u'\xD801')
                    text += u'\xDC00';  // whole pairs only
            } else {
                text += filler[rng() % filler.size()];
            }
        }
        const int pos = int(rng() % (text.size() / 4 + 1));
        const Outcome expected = Model(text, pos, p.needle, p.replacement, p.matchCase);
        (expected.count * 64 <= int(text.size()) ? inPlaceSized : rebuiltSized) += 1;

        TextEngine e;
        e.SetText(text);
        // The gap somewhere inside, so that both of its sides are read.
        const int middle = int(rng() % (text.size() + 1));
        e.SetSel(middle, middle);
        e.InsertTyped(u'Q');
        e.Backspace();
        e.SetModified(false);
        const int count = e.ReplaceAllFrom(pos, p.needle, p.replacement, p.matchCase).count;

        const std::string context = "round " + std::to_string(round) + " needle=" + Show(p.needle)
            + " pos=" + std::to_string(pos) + " every=" + std::to_string(every);
        ASSERT_EQ(count, expected.count) << context;
        ASSERT_EQ(Show(e.GetText()), Show(expected.text)) << context;
        ASSERT_EQ(Joined(e), e.GetText()) << context;
        if (count > 0) {
            ASSERT_EQ(e.GetSel(), std::make_pair(expected.caret, expected.caret)) << context;
            ASSERT_TRUE(e.IsModified()) << context;
            ASSERT_FALSE(e.CanUndo()) << context;
        } else {
            ASSERT_FALSE(e.IsModified()) << context;
        }
        ExpectLinesOf(e, context);
        // The text goes on being edited normally afterwards.
        e.SetSel(e.Length() / 2, e.Length() / 2);
        ASSERT_EQ(e.InsertTyped(u"\r\n"), TextEngine::EditStatus::Done) << context;
        ExpectLinesOf(e, context + " then Enter");
    }
    // Both ways were taken many times.
    EXPECT_GT(inPlaceSized, 50);
    EXPECT_GT(rebuiltSized, 50);
}

TEST(TextEngineLongText, AfterReplacingFewMatchesOnlyLaterTypingIsUndone)
{
    // Two matches in a long text are replaced in place; nothing of it is
    // left to undo, while the typing after it is.
    std::u16string text(5000, u'.');
    text[100] = u'a';
    text[4000] = u'a';
    TextEngine e;
    e.SetText(text);
    ASSERT_EQ(e.ReplaceAllFrom(0, u"a", u"<a>", true).count, 2);
    EXPECT_EQ(e.GetSel(), std::make_pair(4005, 4005));
    EXPECT_FALSE(e.Undo());
    e.InsertTyped(u'!');
    EXPECT_TRUE(e.Undo());
    EXPECT_EQ(e.Length(), 5004);
    EXPECT_EQ(e.GetRange(4000, 6), u"..<a>.");
}

TEST(TextEngineLongText, LineStartsAreFoundWhereverTheyFall)
{
    // Line ends at every offset around blocks of sixteen units, on both
    // sides of the gap, and at the very start and end.
    for (int first = 0; first < 40; ++first) {
        std::u16string text(200, u'-');
        for (int i = first; i < int(text.size()); i += 1 + first % 17)
            text[size_t(i)] = u'\n';
        TextEngine e;
        e.SetText(text);
        ExpectLinesOf(e, "set first=" + std::to_string(first));
        e.SetSel(first * 3, first * 3);
        e.InsertTyped(u'Q');
        e.SetLimit(0);
        ASSERT_EQ(e.ReplaceAllFrom(0, u"-", u"--", true).count, int(std::count(text.begin(), text.end(), u'-')));
        ExpectLinesOf(e, "replaced first=" + std::to_string(first));
    }
}

}  // namespace
