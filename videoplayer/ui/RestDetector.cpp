// The mouse-rest rule shared by cursor hiding and the bar's auto-hide.
#include "videoplayer/ui/RestDetector.h"

namespace {

long distance(long a, long b)
{
    return a > b ? a - b : b - a;
}

} // namespace

bool RestDetector::isMove(ScreenPoint at) const
{
    return distance(at.x, position.x) >= minMove || distance(at.y, position.y) >= minMove;
}

bool RestDetector::observe(std::uint32_t now, ScreenPoint at)
{
    if (!isMove(at))
        return false;
    restart(now, at);
    return true;
}
