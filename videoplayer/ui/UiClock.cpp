// The user interface's clock and cursor, replaceable by tests.
#include "videoplayer/ui/UiClock.h"

UiClock::TickSource UiClock::tickSource = nullptr;
UiClock::CursorSource UiClock::cursorSource = nullptr;

DWORD UiClock::now()
{
    return tickSource ? tickSource() : GetTickCount();
}

POINT UiClock::cursorPos()
{
    if (cursorSource)
        return cursorSource();
    POINT pos = {0, 0};
    GetCursorPos(&pos);
    return pos;
}

void UiClock::setSources(TickSource tick, CursorSource cursor)
{
    tickSource = tick;
    cursorSource = cursor;
}
