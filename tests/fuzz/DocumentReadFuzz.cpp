// Arbitrary bytes as a file the editor opens, as File Open and the command
// line open it. Either the open fails with the message the bytes call for
// (a zero byte: "Failed to open document.") and leaves an empty, untitled,
// unchanged document, or the text is the bytes, one character each, the
// document is named after the file and unchanged, and saving it writes the
// very same bytes back.
//
// The editor starts once, under the headless host, and stays up; each input
// is a file in a folder of its own (in memory where the system has one).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/HeadlessEditor.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Text.h"

namespace fs = std::filesystem;

namespace {

bool okPending = false;  // an OK for a message box is queued and not used yet

// The editor, started at the first input and left running: ending it at
// exit would come after the application object's own end.
support::HeadlessEditor& Editor()
{
    static support::HeadlessEditor* editor = [] {
        auto* e = new support::HeadlessEditor;
        if (!e->Start())
            std::abort();
        return e;
    }();
    return *editor;
}

// The inputs' folder, removed at exit.
const support::ScratchFolder& Folder()
{
    static const support::ScratchFolder folder(
        (fs::exists("/dev/shm") ? std::string("/dev/shm") : fs::temp_directory_path().string()) + "/tessel-doc-fuzz-");
    return folder;
}

[[noreturn]] void Fail(const std::string& what, const uint8_t* data, size_t size)
{
    std::fprintf(stderr, "\n*** opening %zu bytes:", size);
    for (size_t i = 0; i < size && i < 64; ++i)
        std::fprintf(stderr, " %02X", data[i]);
    std::fprintf(stderr, "%s\n*** %s\n", size > 64 ? " ..." : "", what.c_str());
    std::abort();
}

// The message boxes shown since the last call, answered with OK.
std::vector<std::u16string> Boxes()
{
    std::vector<std::u16string> texts;
    for (const auto& box : Editor().host.MessageBoxes())
        texts.push_back(box.text);
    if (!texts.empty())
        okPending = false;
    Editor().host.ClearRecords();
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HeadlessHost& host = Editor().host;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = Folder().Put("in.txt", bytes);
    const std::string savedPath = Folder() / "out.txt";
    if (!okPending) {
        host.OnModal([&host] { host.ClickButton(u"OK"); });
        okPending = true;
    }
    theApp.OpenDocumentFile(CString::FromUtf8(path));
    host.Run();
    std::vector<std::u16string> boxes = Boxes();
    CTesseraDoc* doc = Editor().Doc();

    if (bytes.find('\0') != std::string::npos) {
        if (boxes != std::vector<std::u16string>{u"Failed to open document."})
            Fail("a zero byte must give one \"Failed to open document.\"", data, size);
        if (doc->GetTitle() != u"Untitled" || !doc->GetPathName().IsEmpty() || doc->IsModified()
            || !Editor().Text16().empty())
            Fail("a failed open must leave an empty, untitled, unchanged document", data, size);
        return 0;
    }
    if (!boxes.empty())
        Fail("the open showed \"" + CString(boxes[0]).ToUtf8() + "\"", data, size);
    if (Editor().Text16() != support::Widened(bytes))
        Fail("the text is not the bytes, one character each", data, size);
    if (doc->GetTitle() != u"in.txt" || doc->GetPathName() != CString::FromUtf8(path) || doc->IsModified())
        Fail("the opened document is named \"" + doc->GetTitle().ToUtf8() + "\" at \"" + doc->GetPathName().ToUtf8()
                 + "\"" + (doc->IsModified() ? ", changed" : ""),
             data, size);
    host.Screen();

    // Saved under another name, the file holds the same bytes.
    if (!doc->DoSave(CString::FromUtf8(savedPath)))
        Fail("saving failed", data, size);
    host.Run();
    boxes = Boxes();
    if (!boxes.empty())
        Fail("the save showed \"" + CString(boxes[0]).ToUtf8() + "\"", data, size);
    if (support::ReadBytes(savedPath) != bytes)
        Fail("saving wrote other bytes than were read", data, size);
    if (doc->GetTitle() != u"out.txt" || doc->IsModified())
        Fail("the saved document is not named after its new file, unchanged", data, size);
    return 0;
}
