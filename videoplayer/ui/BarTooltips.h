// The control bar's tooltips: hovering a button shows what it does and its key, "Play (Space)",
// as Windows players do.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>

#include "videoplayer/ui/BarPartText.h"

class BarTooltips {
public:
    BarTooltips() = default;
    ~BarTooltips();
    BarTooltips(const BarTooltips&) = delete;
    BarTooltips& operator=(const BarTooltips&) = delete;

    // Makes the tooltip control, owned by `bar`, with one tool for every button. Its text is
    // asked for each time a tip shows and worked out from `facts`, so Mute follows the sound.
    void create(HWND bar, std::function<BarFacts()> facts);
    // The bar's window goes, and the tooltip it owns with it.
    void destroy();
    // WM_NOTIFY sent to the bar: true when it was the tooltip asking for a text.
    bool onNotify(NMHDR& header);

private:
    HWND tooltip = nullptr;
    std::function<BarFacts()> facts;
    std::wstring shownText; // the text last handed to the tooltip, which reads it after the call
};
