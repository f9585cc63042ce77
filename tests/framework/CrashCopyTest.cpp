// The copy a crash writes: prepared beforehand, written with the text
// narrowed as Save narrows it, never over a file, and reported in a line.
#include "framework/io/CrashCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

using support::ModeOf;
using support::ReadFile;
using support::ScratchFolder;

namespace {

const std::u16string kBefore = u"caf\u00E9";
const std::u16string kAfter = u" \u20AC\u0100\r\n";

CrashCopy::Pieces Text(const void*)
{
    CrashCopy::Pieces pieces;
    pieces.data[0] = kBefore.data();
    pieces.size[0] = kBefore.size();
    pieces.data[1] = kAfter.data();
    pieces.size[1] = kAfter.size();
    return pieces;
}

// More than a copy takes (it is never read).
CrashCopy::Pieces HugeText(const void*)
{
    CrashCopy::Pieces pieces = Text(nullptr);
    pieces.size[1] = std::size_t(1) << 30;
    return pieces;
}

class CrashCopyTest : public ::testing::Test {
protected:
    CrashCopyTest() { EXPECT_EQ(pipe2(m_report, O_NONBLOCK | O_CLOEXEC), 0); }
    ~CrashCopyTest() override
    {
        CrashCopy::Disarm(this);
        CrashCopy::ClearText(this);
        close(m_report[0]);
        close(m_report[1]);
    }

    void Arm(std::vector<std::string> names)
    {
        CrashCopy::Plan plan;
        plan.names = std::move(names);
        plan.savedBefore = "tessel: written to ";
        plan.savedAfter = ".";
        plan.lost = "tessel: lost.";
        CrashCopy::Arm(this, plan);
    }
    // The lines written so far.
    std::string Report()
    {
        char buffer[8192];
        ssize_t n = read(m_report[0], buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, size_t(n)) : std::string();
    }

    ScratchFolder folder;
    int m_report[2] = {-1, -1};
};

TEST_F(CrashCopyTest, TheTextGoesNarrowedToTheFirstFreeName)
{
    folder.Put("a.save", "older");
    std::filesystem::create_symlink(folder / "elsewhere", folder / "a.save.1");
    CrashCopy::SetText(&Text, this);
    // A place that takes no copy gives way to the next.
    Arm({folder / "gone/a.save", folder / "a.save"});
    EXPECT_TRUE(CrashCopy::Write(m_report[1]));
    EXPECT_EQ(ReadFile(folder / "a.save.2"), std::string("caf\xE9 \xAC?\r\n"));
    EXPECT_EQ(ModeOf(folder / "a.save.2"), mode_t(0600));
    EXPECT_EQ(ReadFile(folder / "a.save"), std::string("older"));
    EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere"));
    EXPECT_EQ(Report(), "tessel: written to " + folder / "a.save.2" + ".\n");
}

// A name that would steer the terminal is reported with its bytes escaped.
TEST_F(CrashCopyTest, TheReportShowsTheNamesControlBytesEscaped)
{
    CrashCopy::SetText(&Text, this);
    Arm({folder / "t\x1b]2;owned\x07\nforged.save"});
    EXPECT_TRUE(CrashCopy::Write(m_report[1]));
    EXPECT_EQ(Report(), "tessel: written to " + folder.Path() + "/t\\x1b]2;owned\\x07\\x0aforged.save.\n");
}

TEST_F(CrashCopyTest, NothingIsWrittenWithoutTextChangesOrPlaceOrRoom)
{
    struct Case {
        const char* what;
        CrashCopy::Reader text;
        bool armed;
        bool place;
        const char* report;
    };
    const Case cases[] = {
        {"no text", nullptr, true, true, ""},
        {"no changes", &Text, false, true, ""},
        {"no place", &Text, true, false, "tessel: lost.\n"},
        {"too long", &HugeText, true, true, "tessel: lost.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CrashCopy::SetText(c.text, this);
        Arm({folder / (c.place ? "b.save" : "gone/b.save")});
        if (!c.armed)
            CrashCopy::Disarm(this);
        EXPECT_FALSE(CrashCopy::Write(m_report[1]));
        EXPECT_EQ(Report(), c.report);
        EXPECT_TRUE(folder.Entries().empty());
    }
}

}  // namespace
