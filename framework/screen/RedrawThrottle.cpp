#include "framework/screen/RedrawThrottle.h"

bool RedrawThrottle::Due(Clock::time_point now, bool inputPending, bool inPaste) const
{
    if (inPaste)
        return false;
    return !inputPending || now - m_lastDraw >= kInterval;
}
