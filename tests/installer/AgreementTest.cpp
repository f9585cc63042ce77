#include "InstallerHarness.h"

TEST_F(InstallerTest, DisagreeThenYesEndsWithoutStartingAnything)
{
    WriteFile(dir / "EULA.txt", "Terms.");
    MakeInstaller("PocketPC");
    host.OnModal([&] { host.ClickButton(u"I Disagree"); });
    host.OnModal([&] { host.Key(VK_RETURN, u'\r'); });
    host.OnModal([&] { host.ClickButton(u"Yes"); });
    Run();
    ASSERT_EQ(host.MessageBoxes().size(), 2u);
    EXPECT_EQ(host.MessageBoxes()[1].text, u"Quit Setup?");
    EXPECT_EQ(host.MessageBoxes()[1].caption, u"setup");
    EXPECT_FALSE(std::filesystem::exists(dir / "PocketPC" / "marker"));
}
