#include "framework/io/FallbackFolder.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace {

// Sets a variable (or unsets it, for nullptr) until the end of the scope.
class Setting {
public:
    Setting(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~Setting() { m_old.empty() ? ::unsetenv(m_name) : ::setenv(m_name, m_old.c_str(), 1); }

private:
    const char* m_name;
    std::string m_old;
};

TEST(FallbackFolderTest, StateFolderFirstMadePrivateThenTheTemporaryFolder)
{
    support::ScratchFolder dir;
    const std::string home = dir / "home";
    struct Case {
        const char* state;  // XDG_STATE_HOME
        const char* temp;   // TMPDIR
        std::vector<std::string> folders;
    };
    const Case cases[] = {
        {nullptr, nullptr, {home + "/.local/state/tessel", "/tmp"}},
        {"relative/state", "relative", {home + "/.local/state/tessel", "/tmp"}},
        {"", "/var/tmp/", {home + "/.local/state/tessel", "/var/tmp"}},
    };
    const std::string own = dir / "own";
    Setting homeSetting("HOME", home.c_str());
    for (const Case& c : cases) {
        Setting state("XDG_STATE_HOME", c.state);
        Setting temp("TMPDIR", c.temp);
        std::vector<std::string> got;
        for (const CString& f : FallbackFolders())
            got.push_back(f.ToBytes());
        EXPECT_EQ(got, c.folders) << (c.state ? c.state : "(unset)");
    }
    EXPECT_EQ(support::ModeOf(home + "/.local/state/tessel"), mode_t(0700));
    EXPECT_EQ(support::ModeOf(home + "/.local"), mode_t(0700));

    Setting state("XDG_STATE_HOME", own.c_str());
    ASSERT_EQ(FallbackFolders().front().ToBytes(), own + "/tessel");
    EXPECT_EQ(support::ModeOf(own + "/tessel"), mode_t(0700));
}

}  // namespace
