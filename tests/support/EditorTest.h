// The fixtures of the editor's tests: the headless editor for each test,
// and the same started in a scratch folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/io/FaultInjection.h"
#include "tests/support/HeadlessEditor.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/Text.h"

using support::Show;
using support::U16;
using support::U8;
using support::Widened;

// The question Save asks before characters beyond 8 bits are narrowed.
inline const std::string kUnsavablePrompt
    = "This document contains characters that cannot be saved as 8-bit text. Each will be saved as the low byte "
      "of its code, or as a question mark where that byte is 0. Save anyway?";

class EditorTest : public ::testing::Test, public support::HeadlessEditor {
protected:
    void TearDown() override
    {
        EXPECT_EQ(host.Starved(), 0) << "a modal loop waited for input the test did not give";
        FaultInjection::Reset();
        Stop();
    }
};

// The editor with a scratch folder of its own, which is the current
// directory too: file dialogs show it and relative names are found in it.
class EditorFolderTest : public EditorTest {
protected:
    explicit EditorFolderTest(mode_t mode = 0700) : dir("/tmp/tessel-editor-", mode) { dir.Enter(); }

    support::ScratchFolder dir;

    std::string P(const std::string& name) const { return dir / name; }
    void Put(const std::string& name, const std::string& bytes) const { dir.Put(name, bytes); }
    std::optional<std::string> Get(const std::string& name) const { return dir.Get(name); }
    std::vector<std::string> Listing(const std::string& sub = "") const { return dir.Entries(sub); }

    // The document as a person sees it: its title, its file, whether it is
    // changed and its text (as Show writes it; a long one by its start and
    // length).
    std::string State()
    {
        std::string s = "title=" + Doc()->GetTitle().ToUtf8() + " path=" + Doc()->GetPathName().ToUtf8()
            + (Doc()->IsModified() ? " changed" : " unchanged");
        std::u16string text = Text16();
        if (text.size() > 40)
            return s + " text=" + Show(text.substr(0, 20)) + "...(" + std::to_string(text.size()) + " chars)";
        return s + " text=\"" + Show(text) + "\"";
    }
};
