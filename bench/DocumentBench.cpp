// Opening and saving a text file of the largest size the editor takes,
// 1048575 bytes (about 17,500 lines of 58 characters plus "\r\n"), through
// the editor's own document, view and file layer in this process; the same
// for a UTF-8 session and a UTF-8 file of the largest text, 1048575
// characters (UTF-16 units) of Latin with accents, CJK and emoji; and the
// memory the editor needs beyond its idle size while such a file is opened,
// edited and saved.
//
// The memory figure comes from a child process started afresh for it, so
// the benchmarks' own allocations do not count: its resident size once the
// empty editor is up (VmRSS), and its peak resident size (VmHWM) after the
// file was opened, typed into and saved.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>

#include "framework/app/TextEncoding.h"
#include "framework/io/Archive.h"
#include "framework/io/MemFile.h"
#include "tests/support/HeadlessEditor.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kFileBytes = 1048575;

std::string MakeBytes()
{
    std::string bytes;
    bytes.reserve(kFileBytes);
    for (int line = 0; bytes.size() < kFileBytes; ++line) {
        for (int i = 0; i < 58; ++i)
            bytes += char(i % 2 == 0 ? 'a' : 'b' + (line + i) % 25);
        bytes += "\r\n";
    }
    bytes.resize(kFileBytes);
    return bytes;
}

// Lines of mixed scripts in UTF-8 up to 1048575 characters of text: 24
// Latin letters (six with accents), 16 ideographs, two emoji (a surrogate
// pair each), blanks and "\r\n": 49 units, 85 bytes a line.
std::string MakeUtf8Bytes()
{
    const std::u16string line
        = u"Gr\u00FC\u00DFe caf\u00E9 na\u00EFve r\u00F4le \u4E2D\u6587\u5B57\u7B26\u7684"
          u"\u6587\u672C\u7F16\u8F91\u5668\u6D4B\u8BD5\u6570\u636E\u884C\u5C3E "
          u"\U0001F600\U0001F44D\r\n";
    std::u16string text;
    text.reserve(kFileBytes + line.size());
    while (text.size() + line.size() <= kFileBytes)
        text += line;
    text.append(kFileBytes - text.size(), u'x');
    return CString(text).ToUtf8();
}

// A folder with two files of the largest size, so that every open reads a
// file that is not the document's own.
struct Files {
    support::ScratchFolder folder;
    std::string a, b, out;
    explicit Files(const std::string& parent = "/tmp", bool utf8 = false) : folder(parent + "/tessel-bench-")
    {
        const std::string bytes = utf8 ? MakeUtf8Bytes() : MakeBytes();
        size = bytes.size();
        a = folder.Put("a.txt", bytes);
        b = folder.Put("b.txt", bytes);
        out = folder / "out.txt";
    }
    size_t size = 0;
};

// The session's encoding while it lives.
struct Session {
    explicit Session(TextEncoding encoding) { SetSessionTextEncoding(encoding); }
    ~Session() { SetSessionTextEncoding(TextEncoding::EightBit); }
};

// The editor running in a headless host, started without a file.
struct Editor : support::HeadlessEditor {
    Editor()
    {
        if (!Start())
            std::abort();
    }
    // File Open without the dialog, as the command line opens a file.
    bool OpenFile(const std::string& path) { return theApp.OpenDocumentFile(CString::FromUtf8(path)) != nullptr; }
};

// The whole File Open of a largest file: the file opened, read, widened
// and handed to the edit control, and the document renamed.
void OpenLargestFile(benchmark::State& state, TextEncoding encoding)
{
    Session session(encoding);
    Files files("/tmp", encoding == TextEncoding::Utf8);
    Editor editor;
    bool even = false;
    for (auto _ : state) {
        if (!editor.OpenFile(even ? files.a : files.b) || editor.View()->GetWindowTextLength() != int(kFileBytes))
            state.SkipWithError("open failed");
        even = !even;
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files.size));
}
void BM_OpenLargestFile(benchmark::State& state) { OpenLargestFile(state, TextEncoding::EightBit); }
BENCHMARK(BM_OpenLargestFile)->Unit(benchmark::kMillisecond);
void BM_OpenLargestUtf8File(benchmark::State& state) { OpenLargestFile(state, TextEncoding::Utf8); }
BENCHMARK(BM_OpenLargestUtf8File)->Unit(benchmark::kMillisecond);

// The whole File Save of a largest text over its file: the text narrowed,
// written to a temporary file, flushed to the disk and put in place. On a
// disk the flush dominates the wall time; in a folder kept in memory
// (tmpfs) it costs nothing, which leaves the editor's own share.
void SaveLargest(benchmark::State& state, const char* parent, TextEncoding encoding)
{
    if (!fs::is_directory(parent)) {
        state.SkipWithError("no such folder");
        return;
    }
    Session session(encoding);
    Files files(parent, encoding == TextEncoding::Utf8);
    Editor editor;
    if (!editor.OpenFile(files.a))
        state.SkipWithError("open failed");
    for (auto _ : state) {
        if (!editor.Doc()->DoFileSave())
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files.size));
}
void SaveLargestFile(benchmark::State& state, const char* parent)
{
    SaveLargest(state, parent, TextEncoding::EightBit);
}
BENCHMARK_CAPTURE(SaveLargestFile, disk, "/tmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveLargestFile, tmpfs, "/dev/shm")->Unit(benchmark::kMillisecond);
void SaveLargestUtf8File(benchmark::State& state, const char* parent)
{
    SaveLargest(state, parent, TextEncoding::Utf8);
}
BENCHMARK_CAPTURE(SaveLargestUtf8File, disk, "/tmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveLargestUtf8File, tmpfs, "/dev/shm")->Unit(benchmark::kMillisecond);

// The text's part of a save without the file system: the same writing
// into a file in memory.
void SerializeLargestTextToMemory(benchmark::State& state, TextEncoding encoding)
{
    Session session(encoding);
    Files files("/tmp", encoding == TextEncoding::Utf8);
    Editor editor;
    if (!editor.OpenFile(files.a))
        state.SkipWithError("open failed");
    for (auto _ : state) {
        CMemFile file;
        CArchive ar(&file, CArchive::store, 4096);
        editor.Doc()->Serialize(ar);
        ar.Close();
        if (file.GetLength() != files.size)
            state.SkipWithError("wrong length");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(files.size));
}
void BM_SerializeLargestTextToMemory(benchmark::State& state)
{
    SerializeLargestTextToMemory(state, TextEncoding::EightBit);
}
BENCHMARK(BM_SerializeLargestTextToMemory)->Unit(benchmark::kMillisecond);
void BM_SerializeLargestUtf8TextToMemory(benchmark::State& state)
{
    SerializeLargestTextToMemory(state, TextEncoding::Utf8);
}
BENCHMARK(BM_SerializeLargestUtf8TextToMemory)->Unit(benchmark::kMillisecond);

long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

// Runs in a fresh child: the editor idle, then a largest file opened,
// typed into and saved; prints the resident sizes.
void MeasureMemory()
{
    pid_t pid = ::fork();
    if (pid != 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return;
    }
    {
        Files files;
        long idle = 0, peak = 0;
        {
            Editor editor;
            idle = StatusKiB("VmRSS");
            editor.OpenFile(files.a);
            // The text is full: make room at its end, then type there.
            editor.host.Key(VK_END, 0, true);
            for (int i = 0; i < 200; ++i)
                editor.host.Key(VK_BACK, u'\b');
            editor.host.Key(VK_HOME, 0, true);
            for (int i = 0; i < 100; ++i)
                editor.host.Key(UINT('A' + i % 26), char16_t(u'a' + i % 26));
            editor.host.Key(VK_RETURN, u'\r');
            editor.host.Run();
            editor.Doc()->DoSave(CString::FromUtf8(files.out));
            peak = StatusKiB("VmHWM");
            std::error_code ec;
            std::printf("memory: idle %ld KiB, peak %ld KiB, peak above idle %.2f MiB (saved %ju bytes)\n", idle, peak,
                        double(peak - idle) / 1024.0, std::uintmax_t(fs::file_size(files.out, ec)));
        }
    }
    std::fflush(stdout);
    ::_exit(0);
}

}  // namespace

int main(int argc, char** argv)
{
    MeasureMemory();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
