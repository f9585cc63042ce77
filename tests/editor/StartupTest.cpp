#include "EditorHarness.h"

TEST_F(EditorTest, EmptyCommandLineShowsUntitledEmptyText)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Doc()->GetTitle(), u"Untitled");
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(ToolRowHeight(), 22);
    EXPECT_EQ(Indicator(), "Line 1");
    EXPECT_EQ(CWnd::GetFocus(), static_cast<CWnd*>(View()));
    EXPECT_EQ(Frame()->GetTitle(), u"Tessel");
}
