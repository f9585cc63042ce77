// When the screen is drawn while input streams in. With input waiting (fast
// typing, a paste arriving as keys) a drawn screen would be outdated at
// once, so it is drawn at most every kInterval; with none waiting, at once.
// During a bracketed paste it is not drawn at all: the host draws it when
// the paste ends or pauses.
#pragma once

#include <chrono>

class RedrawThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{100};

    // Whether to draw now.
    bool Due(Clock::time_point now, bool inputPending, bool inPaste = false) const;
    // The screen was drawn at `now`.
    void Drawn(Clock::time_point now) { m_lastDraw = now; }

private:
    Clock::time_point m_lastDraw;  // never: the clock's start, long ago
};
