// The editor's start, phase by phase, in process and headless (setting up
// the terminal is the terminal host's and stays out):
//
//   Start/Resources      the resource look-ups a start makes (the menu bar,
//                        the accelerators, the toolbar and its bitmap, the
//                        tool pane's form, the strings), each by number
//   Start/Windows        the application's start without a file less its
//                        first paint: document template, document, frame,
//                        command bar, toolbar, splitter, both views and the
//                        tool pane's controls
//   Start/FirstPaint     the first paint of the whole screen
//   Start/Whole          the start without a file, first paint included
//   Start/WithFile       the start with the file at the size limit named on
//                        the command line (its read included)
//   Start/Quit           Ctrl+Q to the end of the application
//
// The dynamic loader's share of a whole process is not here: measure it
// with LD_DEBUG=statistics and bench/compare.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "framework/res/Resources.h"
#include "tests/support/HeadlessEditor.h"

namespace {

constexpr int kLimit = 1048575;

// A file of 60-character lines at the size limit, written once.
const std::string& LargestFile()
{
    static const std::string path = [] {
        std::string name = "/tmp/tessel-start-bench-" + std::to_string(::getpid()) + ".txt";
        std::string text;
        for (int line = 0; int(text.size()) < kLimit; ++line) {
            for (int i = 0; i < 58; ++i)
                text += char(i % 6 == 5 ? ' ' : 'a' + (line + i) % 26);
            text += "\r\n";
        }
        text.resize(kLimit);
        FILE* f = std::fopen(name.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0)
            std::abort();
        std::atexit([] { ::unlink(LargestFile().c_str()); });
        return name;
    }();
    return path;
}

void Started(support::HeadlessEditor& editor, const std::vector<std::string>& args = {})
{
    if (!editor.Start(args))
        std::abort();
}

void BM_Resources(benchmark::State& state)
{
    support::HeadlessEditor editor;  // the editor's resources in place
    for (auto _ : state) {
        benchmark::DoNotOptimize(res::FindMenu(IDR_MAINFRAME));
        benchmark::DoNotOptimize(res::FindAccelerators(IDR_MAINFRAME));
        benchmark::DoNotOptimize(res::FindToolbar(IDR_MAINFRAME));
        benchmark::DoNotOptimize(res::FindBitmap(IDR_MAINFRAME));
        benchmark::DoNotOptimize(res::FindDialog(IDD_TOOLVIEW));
        benchmark::DoNotOptimize(res::FindString(AFX_IDS_UNTITLED));
    }
}
BENCHMARK(BM_Resources)->Name("Start/Resources")->Unit(benchmark::kMicrosecond);

// The start less the first paint it ends with: each start is followed by
// one more paint of the whole screen, which is as long as the first, and
// the iteration counts the start's time less that paint's.
void BM_Windows(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        support::HeadlessEditor editor;
        Clock::time_point started = Clock::now();
        Started(editor);
        Clock::time_point shown = Clock::now();
        WindowSystem::Get().Invalidate();
        benchmark::DoNotOptimize(editor.host.Screen());
        Clock::time_point painted = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>((shown - started) - (painted - shown)).count());
        editor.Stop();
    }
}
BENCHMARK(BM_Windows)->Name("Start/Windows")->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_FirstPaint(benchmark::State& state)
{
    support::HeadlessEditor editor;
    Started(editor);
    for (auto _ : state) {
        // Every paint draws every window afresh, as the first does.
        WindowSystem::Get().Invalidate();
        benchmark::DoNotOptimize(editor.host.Screen());
    }
}
BENCHMARK(BM_FirstPaint)->Name("Start/FirstPaint")->Unit(benchmark::kMicrosecond);

void BM_Whole(benchmark::State& state, bool withFile)
{
    std::vector<std::string> args;
    if (withFile)
        args.push_back(LargestFile());
    for (auto _ : state) {
        state.PauseTiming();
        support::HeadlessEditor editor;
        state.ResumeTiming();
        Started(editor, args);
        state.PauseTiming();
        editor.Stop();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(BM_Whole, Whole, false)->Name("Start/Whole")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Whole, WithFile, true)->Name("Start/WithFile")->Unit(benchmark::kMicrosecond);

void BM_Quit(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        support::HeadlessEditor editor;
        Started(editor);
        state.ResumeTiming();
        editor.Ctrl('Q');
        if (AfxGetMainWnd())
            std::abort();
        editor.Stop();
    }
}
BENCHMARK(BM_Quit)->Name("Start/Quit")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
