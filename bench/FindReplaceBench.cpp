// Find and Replace all on the largest text the editor takes, 1048575
// characters in lines of 58 characters plus "\r\n", every other character an
// "a" (about 507,000 of them), in the whole editor running in the headless
// host: the find form is opened with the Tools command, its fields are
// typed into and its buttons are tapped; each measurement ends after the
// screen has been painted anew.
//
// Each runs in an 8-bit session and in a UTF-8 session ("utf8"), where
// the text's lines are of mixed scripts: every other character still an
// "a", the others Latin letters with accents, ideographs and emoji (a
// surrogate pair each), 58 units and "\r\n" a line.
//
// Counters: "grown", the characters Replace all added; "bytes/find"
// allocated by one Find (the search works on the text in place: a Find on
// an unchanged text allocates nothing in proportion to it), "text-bytes" for
// comparison.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include "framework/app/TextEncoding.h"
#include "tests/support/HeadlessEditor.h"

// Every allocation of the program is counted while counting is on. (The
// replaced operators pair malloc with free, which the compiler cannot see.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long long> g_allocated{0};
}  // namespace

void* operator new(std::size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        g_allocated.fetch_add(static_cast<long long>(size), std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kLimit = 1048575;

// Lines of "axax...ax" (58 characters) and "\r\n", `length` characters in
// all; optionally the last characters replaced by a marker found nowhere
// else. With `mixed`, the characters between the "a"s are, in turn, an
// accented letter, an ideograph and an emoji (two units), so that fewer
// "a"s fit.
std::u16string MakeText(std::u16string_view tail = u"", int length = kLimit, bool mixed = false)
{
    static constexpr std::u16string_view kBetween[] = {u"\u00E9", u"\u4E2D", u"\U0001F600"};
    std::u16string text;
    text.reserve(size_t(length));
    while (int(text.size()) < length) {
        std::u16string line;
        for (int i = 0; line.size() < 58; ++i) {
            if (i % 2 == 0) {
                line += u'a';
                continue;
            }
            const std::u16string_view between = mixed ? kBetween[(i / 2) % 3] : u"x";
            if (line.size() + between.size() <= 58)
                line += between;
            else
                line += u'x';
        }
        text += line;
        text += u"\r\n";
    }
    text.resize(size_t(length));
    if (!tail.empty())
        text.replace(text.size() - tail.size(), tail.size(), tail);
    return text;
}

// The session's encoding while it lives; made before the editor, whose
// controls take their steps from it.
struct Session {
    explicit Session(bool utf8) { SetSessionTextEncoding(utf8 ? TextEncoding::Utf8 : TextEncoding::EightBit); }
    ~Session() { SetSessionTextEncoding(TextEncoding::EightBit); }
};

// The editor started without a file; each tap ends with the screen painted
// anew, as a person sees it.
class Editor : public support::HeadlessEditor {
public:
    Editor()
    {
        if (!Start())
            std::abort();
    }
    void Paint() { benchmark::DoNotOptimize(host.Screen()); }
    void Load(const std::u16string& text)
    {
        HeadlessEditor::Load(text);
        Paint();
    }
    void Tap(int id)
    {
        HeadlessEditor::Tap(id);
        Paint();
    }
    // Tools > Find/Replace, then the find and the replacement texts typed.
    void OpenFind(std::u16string_view find, std::u16string_view replace, bool matchCase)
    {
        Command(ID_TOOLS_FIND_REPLACE);
        Type(find);  // the find field has the focus
        Fill(IDC_REPLACE_TEXT, replace);
        SetMatchCase(matchCase);
        Paint();
    }
};

// Replace all of "a" by "bb" from the start of the text: Find selects the
// first "a", and the tap on Replace all is timed. The text is either as long
// as it can be while the result still fits under the limit (each line of 60
// characters grows by 29), or at the limit already, where every "a" becomes
// a single "b" once the question before it is answered Yes.
void BM_ReplaceAll(benchmark::State& state)
{
    const bool matchCase = state.range(0) != 0;
    const bool atLimit = state.range(1) != 0;
    const bool utf8 = state.range(2) != 0;
    const int length = atLimit ? kLimit : int(std::int64_t(kLimit) * 60 / 89);
    Session session(utf8);
    Editor editor;
    const std::u16string text = MakeText(u"", length, utf8);
    int grown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.Load(text);
        editor.OpenFind(u"a", u"bb", matchCase);
        editor.Tap(IDC_FIND);
        if (editor.Sel() != std::make_pair(0, 1))
            state.SkipWithError("Find did not select the first occurrence");
        // At the limit Replace all asks first whether to go on.
        if (atLimit)
            editor.Answer({u"Yes"});
        state.ResumeTiming();

        editor.Tap(IDC_REPLACE_ALL);

        state.PauseTiming();
        grown = editor.View()->GetWindowTextLength() - length;
        if (editor.Tool()->GetMode() == CToolView::Mode::Find)
            state.SkipWithError("Replace all left the find form up");
        if (editor.View()->GetWindowTextLength() > kLimit)
            state.SkipWithError("Replace all went past the limit");
        state.ResumeTiming();
    }
    state.counters["grown"] = grown;  // within the limit: one character a replacement
}
BENCHMARK(BM_ReplaceAll)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"match_case", "at_limit", "utf8"})
    ->Unit(benchmark::kMillisecond);

// A Find that looks at every character: the only occurrence is at the very
// end of the text and the search starts at its beginning.
void BM_FindWholeText(benchmark::State& state)
{
    const bool matchCase = state.range(0) != 0;
    Session session(state.range(1) != 0);
    Editor editor;
    editor.Load(MakeText(u"Qz", kLimit, state.range(1) != 0));
    editor.OpenFind(u"qZ", u"", matchCase);
    long long allocated = 0;
    long long finds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.View()->GetEditCtrl().SetSel(0, 0);
        g_allocated = 0;
        g_counting = true;
        state.ResumeTiming();

        editor.Tap(IDC_FIND);

        state.PauseTiming();
        g_counting = false;
        allocated += g_allocated;
        ++finds;
        const auto sel = editor.Sel();
        if (matchCase ? sel != std::make_pair(0, 0) : sel != std::make_pair(kLimit - 2, kLimit))
            state.SkipWithError("Find selected the wrong thing");
        state.ResumeTiming();
    }
    state.counters["bytes/find"] = finds ? double(allocated) / double(finds) : 0;
    state.counters["text-bytes"] = double(kLimit) * 2;
}
BENCHMARK(BM_FindWholeText)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"match_case", "utf8"})
    ->Unit(benchmark::kMillisecond);

// Find pressed again and again on an unchanged text: each press finds the
// next "a", two characters on.
void BM_FindNext(benchmark::State& state)
{
    Session session(state.range(0) != 0);
    Editor editor;
    editor.Load(MakeText(u"", kLimit, state.range(0) != 0));
    editor.OpenFind(u"a", u"", false);
    long long allocated = 0;
    long long finds = 0;
    for (auto _ : state) {
        g_allocated = 0;
        g_counting = true;
        editor.Tap(IDC_FIND);
        g_counting = false;
        allocated += g_allocated;
        ++finds;
        if (editor.Sel().second >= kLimit - 4) {
            state.PauseTiming();
            editor.View()->GetEditCtrl().SetSel(0, 0);
            state.ResumeTiming();
        }
    }
    state.counters["bytes/find"] = finds ? double(allocated) / double(finds) : 0;
}
BENCHMARK(BM_FindNext)->Arg(0)->Arg(1)->ArgName("utf8")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
