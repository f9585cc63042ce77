// When the screen is drawn while input streams in.
#include <gtest/gtest.h>

#include "framework/screen/RedrawThrottle.h"

namespace {

TEST(RedrawThrottleTest, WaitingInputDrawsAtMostEveryTenthOfASecondAPasteNever)
{
    struct Case {
        int sinceDrawMs;
        bool pending;
        bool inPaste;
        bool due;
    } cases[] = {
        {0, false, false, true},  {0, true, false, false}, {99, true, false, false},
        {100, true, false, true}, {0, false, true, false}, {1000, true, true, false},
    };
    const RedrawThrottle::Clock::time_point drawn{std::chrono::hours(1)};
    for (const Case& c : cases) {
        RedrawThrottle throttle;
        throttle.Drawn(drawn);
        EXPECT_EQ(throttle.Due(drawn + std::chrono::milliseconds(c.sinceDrawMs), c.pending, c.inPaste), c.due)
            << c.sinceDrawMs << " ms, pending " << c.pending << ", in a paste " << c.inPaste;
    }
    // Never drawn: drawn at once, even with input waiting.
    EXPECT_TRUE(RedrawThrottle().Due(drawn, true));
}

}  // namespace
