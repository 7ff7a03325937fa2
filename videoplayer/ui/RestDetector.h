// Whether the mouse rests: where and when it last moved far enough to count, and whether long
// enough has passed since. Values in, values out, so both users are testable without a window:
// the video surface hides the cursor over a playing video, the control bar hides itself in full
// screen. Their thresholds differ, so each gives its own.
#pragma once

#include <cstdint>

struct ScreenPoint {
    long x = 0;
    long y = 0;
};

class RestDetector {
public:
    // A move counts once it reaches `minMove` pixels on either axis from where the last counted
    // move ended (so a slow drift counts too); the mouse has rested once `minRestMs` have passed
    // since that move.
    RestDetector(long minMove, std::uint32_t minRestMs) : minMove(minMove), minRestMs(minRestMs) {}

    // Starts over as if the mouse had just moved to `at`.
    void restart(std::uint32_t now, ScreenPoint at)
    {
        moveTick = now;
        position = at;
    }
    bool isMove(ScreenPoint at) const;
    // Takes one reading: a counted move restarts the rest and answers true.
    bool observe(std::uint32_t now, ScreenPoint at);
    // The tick count wraps after 49.7 days; the unsigned difference spans the wrap.
    bool hasRested(std::uint32_t now) const { return now - moveTick >= minRestMs; }

    std::uint32_t lastMoveTick() const { return moveTick; }
    ScreenPoint lastPosition() const { return position; }

private:
    long minMove;
    std::uint32_t minRestMs;
    std::uint32_t moveTick = 0;
    ScreenPoint position;
};
