// Arbitrary bytes as a file the editor opens, as File Open and the command
// line open it. Either the open fails with the message the bytes call for
// (a zero byte: "Failed to open document.") and leaves an empty, untitled,
// unchanged document, or the text is the bytes, one character each, the
// document is named after the file and unchanged, and saving it writes the
// very same bytes back.
//
// The editor starts once, under the headless host, and stays up; each input
// is a file in a folder of its own (in memory where the system has one).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "editor/EditorResources.h"
#include "editor/MainFrame.h"
#include "editor/TesseraApp.h"
#include "editor/TesseraDoc.h"
#include "editor/TesseraView.h"
#include "framework/host/HeadlessHost.h"
#include "framework/win/WindowSystem.h"

namespace fs = std::filesystem;

namespace {

HeadlessHost host{80, 24};
std::string folder;
bool okPending = false;  // an OK for a message box is queued and not used yet

[[noreturn]] void Fail(const std::string& what, const uint8_t* data, size_t size)
{
    std::fprintf(stderr, "\n*** opening %zu bytes:", size);
    for (size_t i = 0; i < size && i < 64; ++i)
        std::fprintf(stderr, " %02X", data[i]);
    std::fprintf(stderr, "%s\n*** %s\n", size > 64 ? " ..." : "", what.c_str());
    std::abort();
}

void StartEditor()
{
    std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    std::string pattern = base + "/tessel-doc-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        std::abort();
    folder = pattern;
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(folder, ec);
    });
    AfxSetResourceHandle(&TesselResources());
    WindowSystem::Get().SetHost(&host);
    theApp.SetUp(u"/usr/local/bin/tessel", {});
    if (!theApp.InitInstance())
        std::abort();
}

CTesseraDoc* Doc()
{
    auto* frame = static_cast<CMainFrame*>(AfxGetMainWnd());
    return static_cast<CTesseraDoc*>(frame->m_pEditView->GetDocument());
}

std::u16string ViewText()
{
    auto* frame = static_cast<CMainFrame*>(AfxGetMainWnd());
    return frame->m_pEditView->GetWindowText().Str();
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The message boxes shown since the last call, answered with OK.
std::vector<std::u16string> Boxes()
{
    std::vector<std::u16string> texts;
    for (const auto& box : host.MessageBoxes())
        texts.push_back(box.text);
    if (!texts.empty())
        okPending = false;
    host.ClearRecords();
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool started = (StartEditor(), true);
    (void)started;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = folder + "/in.txt";
    const std::string savedPath = folder + "/out.txt";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    if (!okPending) {
        host.OnModal([] { host.ClickButton(u"OK"); });
        okPending = true;
    }
    theApp.OpenDocumentFile(CString::FromUtf8(path));
    host.Run();
    std::vector<std::u16string> boxes = Boxes();
    CTesseraDoc* doc = Doc();

    if (bytes.find('\0') != std::string::npos) {
        if (boxes != std::vector<std::u16string>{u"Failed to open document."})
            Fail("a zero byte must give one \"Failed to open document.\"", data, size);
        if (doc->GetTitle() != u"Untitled" || !doc->GetPathName().IsEmpty() || doc->IsModified() ||
            !ViewText().empty())
            Fail("a failed open must leave an empty, untitled, unchanged document", data, size);
        return 0;
    }
    if (!boxes.empty())
        Fail("the open showed \"" + CString(boxes[0]).ToUtf8() + "\"", data, size);
    std::u16string widened;
    for (unsigned char b : bytes)
        widened += char16_t(b);
    if (ViewText() != widened)
        Fail("the text is not the bytes, one character each", data, size);
    if (doc->GetTitle() != u"in.txt" || doc->GetPathName() != CString::FromUtf8(path) || doc->IsModified())
        Fail("the opened document is named \"" + doc->GetTitle().ToUtf8() + "\" at \"" + doc->GetPathName().ToUtf8() +
                 "\"" + (doc->IsModified() ? ", changed" : ""),
             data, size);
    host.Screen();

    // Saved under another name, the file holds the same bytes.
    if (!doc->DoSave(CString::FromUtf8(savedPath)))
        Fail("saving failed", data, size);
    host.Run();
    boxes = Boxes();
    if (!boxes.empty())
        Fail("the save showed \"" + CString(boxes[0]).ToUtf8() + "\"", data, size);
    if (Read(savedPath) != bytes)
        Fail("saving wrote other bytes than were read", data, size);
    if (doc->GetTitle() != u"out.txt" || doc->IsModified())
        Fail("the saved document is not named after its new file, unchanged", data, size);
    return 0;
}
