// What the control bar says about each of its parts, to a screen reader and in its tooltips:
// name, value, default action and key, worked out from what the bar shows. Pure, no windows.
#pragma once

#include <cstdint>
#include <string>

// What the bar shows, as far as its words depend on it.
struct BarFacts {
    bool muted = false;
    bool fileUnderWay = false; // a file is playing or paused, so the position can be moved
    int64_t time = 0;          // milliseconds, where the time slider stands
    int64_t length = 0;        // milliseconds; 0 or less while unknown
    int volume = 100;          // 0 to 100, where the volume slider stands
};

enum class BarPartKind { Button, Slider };

struct BarPartText {
    BarPartKind kind = BarPartKind::Button;
    std::wstring name;
    std::wstring value;         // the sliders' only
    std::wstring defaultAction; // empty: none
    std::wstring key;           // the key of the part's command; empty: none
    bool pressed = false;       // Mute while muted
    bool unavailable = false;   // the position while no file is under way
};

// The words for one part, named by its control identifier (videoplayer/res/resource.h); false
// for an identifier that is no part of the bar.
bool describeBarPart(int part, const BarFacts& facts, BarPartText& text);
// A button's tooltip: its action and key, "Play (Space)"; the action alone when it has no key.
std::wstring tooltipText(const BarPartText& text);
