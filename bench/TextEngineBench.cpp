// Benchmarks of the edit control's text engine on a text at the default limit:
// 1048575 code units, about 17,500 lines of 58 characters plus "\r\n".
#include <string>

#include <benchmark/benchmark.h>

#include "framework/win/TextEngine.h"

namespace {

constexpr int kTextLength = TextEngine::kDefaultLimit;

// Lines of alternating 'a' and another letter, so "a" occurs about 500,000
// times; the final line is cut to make the length exact.
std::u16string MakeText()
{
    std::u16string text;
    text.reserve(kTextLength);
    const std::u16string others = u"bcdefghijklmnopqrstuvwxyz ";
    for (int line = 0; static_cast<int>(text.size()) < kTextLength; ++line) {
        for (int i = 0; i < 58; ++i)
            text += i % 2 == 0 ? u'a' : others[(line + i) % others.size()];
        text += u"\r\n";
    }
    text.resize(kTextLength);
    return text;
}

const std::u16string& Text()
{
    static const std::u16string text = MakeText();
    return text;
}

// The text with the caret in its middle; after an edit there, when edited,
// which puts the gaps in the middle too.
TextEngine CaretInMiddle(bool edited = false)
{
    TextEngine e;
    e.SetText(Text());
    e.SetSel(kTextLength / 2, kTextLength / 2);
    if (edited)
        e.InsertTyped(u'x');
    return e;
}

// Times two caret moves from the middle of the text, the second taking the
// first back.
template <typename Moves>
void TimeMoves(benchmark::State& state, Moves moves)
{
    TextEngine e = CaretInMiddle();
    for (auto _ : state)
        moves(e);
    state.SetItemsProcessed(state.iterations() * 2);
}

// Typing one character in the middle and deleting it again keeps the length
// constant; each iteration is two edits.
void BM_TypeAndBackspaceInMiddle(benchmark::State& state)
{
    TextEngine e = CaretInMiddle();
    for (auto _ : state) {
        e.InsertTyped(u'x');
        e.Backspace();
    }
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_TypeAndBackspaceInMiddle);

// Worst case for the gap: each keystroke lands half the text away from the
// previous one, so both gaps travel ~512K units every time.
void BM_TypeAlternatingFarApart(benchmark::State& state)
{
    TextEngine e;
    e.SetText(Text());
    e.SetLimit(0);
    int flip = 0;
    for (auto _ : state) {
        const int pos = (flip ^= 1) ? kTextLength / 4 : 3 * kTextLength / 4;
        e.SetSel(pos, pos);
        e.InsertTyped(u'x');
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TypeAlternatingFarApart);

void BM_CaretRightLeft(benchmark::State& state)
{
    TimeMoves(state, [](TextEngine& e) {
        e.MoveRight(false);
        e.MoveLeft(false);
    });
}
BENCHMARK(BM_CaretRightLeft);

void BM_CaretDownUp(benchmark::State& state)
{
    TimeMoves(state, [](TextEngine& e) {
        e.MoveDown(false);
        e.MoveUp(false);
    });
}
BENCHMARK(BM_CaretDownUp);

void BM_CaretWordRightLeft(benchmark::State& state)
{
    TimeMoves(state, [](TextEngine& e) {
        e.MoveWordRight(false);
        e.MoveWordLeft(false);
    });
}
BENCHMARK(BM_CaretWordRightLeft);

void BM_CaretLineEndStart(benchmark::State& state)
{
    TimeMoves(state, [](TextEngine& e) {
        e.MoveLineEnd(false);
        e.MoveLineStart(false);
    });
}
BENCHMARK(BM_CaretLineEndStart);

void BM_CaretPageDownUp(benchmark::State& state)
{
    TimeMoves(state, [](TextEngine& e) {
        e.MovePageDown(40, false);
        e.MovePageUp(40, false);
    });
}
BENCHMARK(BM_CaretPageDownUp);

// The line index with its gap in the middle, as after an edit there.
void BM_LineFromChar(benchmark::State& state)
{
    TextEngine e = CaretInMiddle(true);
    int pos = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(e.LineFromChar(pos));
        pos = (pos + 7919) % kTextLength;
    }
}
BENCHMARK(BM_LineFromChar);

void BM_LineIndex(benchmark::State& state)
{
    TextEngine e = CaretInMiddle(true);
    int line = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(e.LineIndex(line));
        line = (line + 101) % e.LineCount();
    }
}
BENCHMARK(BM_LineIndex);

// A needle that never occurs, so the whole text is read.
void BM_FindWholeText(benchmark::State& state)
{
    TextEngine e = CaretInMiddle(true);
    const bool matchCase = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(e.Find(u"a\u00E9a", 0, matchCase));
    state.SetBytesProcessed(state.iterations() * kTextLength * 2);
}
BENCHMARK(BM_FindWholeText)->Arg(1)->Arg(0)->ArgName("matchCase")->Unit(benchmark::kMillisecond);

// The worst case for a search that compares at each candidate: "aaa...ab"
// in a text of "a" alone, every start a near miss. Linear in the text all
// the same; the pattern's length is the argument.
void BM_FindAdversarial(benchmark::State& state)
{
    TextEngine e;
    e.SetText(std::u16string(kTextLength, u'a'));
    e.SetSel(kTextLength / 2, kTextLength / 2);
    e.InsertTyped(u'a');
    std::u16string needle(size_t(state.range(0)), u'a');
    needle.back() = u'b';
    const bool matchCase = state.range(1) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(e.Find(needle, 0, matchCase));
    state.SetBytesProcessed(state.iterations() * kTextLength * 2);
}
BENCHMARK(BM_FindAdversarial)
    ->ArgsProduct({{2, 1000}, {1, 0}})
    ->ArgNames({"length", "matchCase"})
    ->Unit(benchmark::kMillisecond);

// Loading a file: copy in and build the line index.
void BM_SetText(benchmark::State& state)
{
    TextEngine e;
    for (auto _ : state)
        e.SetText(Text());
}
BENCHMARK(BM_SetText)->Unit(benchmark::kMillisecond);

// With no limit in reach (every "a" grows to "bb"), or at the default one
// (every "a" becomes "b").
void BM_ReplaceAllAByBb(benchmark::State& state)
{
    TextEngine e;
    const bool matchCase = state.range(0) != 0;
    if (state.range(1) == 0)
        e.SetLimit(0);
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        e.SetText(Text());
        state.ResumeTiming();
        count = e.ReplaceAllFrom(0, u"a", u"bb", matchCase).count;
    }
    state.counters["replacements"] = count;
}
BENCHMARK(BM_ReplaceAllAByBb)
    ->ArgsProduct({{1, 0}, {0, 1}})
    ->ArgNames({"matchCase", "atLimit"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
