// The control bar's words. The keys are those of the accelerator table (res/Quillet.rc) for the
// command each button sends; Stop has none.
#include "videoplayer/ui/BarPartText.h"

#include "videoplayer/res/resource.h"
#include "videoplayer/ui/TimeText.h"

namespace {

struct PartWords {
    int part;
    BarPartKind kind;
    const wchar_t* name;
    const wchar_t* key;
};

const PartWords partWords[] = {
    {IDC_BAR_OPEN, BarPartKind::Button, L"Open", L"Ctrl+O"},
    {IDC_BAR_STOP, BarPartKind::Button, L"Stop", L""},
    {IDC_BAR_PLAY, BarPartKind::Button, L"Play", L"Space"},
    {IDC_BAR_PAUSE, BarPartKind::Button, L"Pause", L"Space"},
    {IDC_BAR_PREV, BarPartKind::Button, L"Previous", L"Page Up"},
    {IDC_BAR_NEXT, BarPartKind::Button, L"Next", L"Page Down"},
    {IDC_BAR_TIME, BarPartKind::Slider, L"Position", L""},
    {IDC_BAR_VOLUME, BarPartKind::Slider, L"Volume", L""},
    {IDC_BAR_MUTE, BarPartKind::Button, L"Mute", L"M"},
};

// "1:23 of 4:56", or the position alone while the length is unknown.
std::wstring positionValue(const BarFacts& facts)
{
    if (facts.length <= 0)
        return formatSpokenTime(facts.time);
    return formatSpokenTime(facts.time) + L" of " + formatSpokenTime(facts.length);
}

} // namespace

bool describeBarPart(int part, const BarFacts& facts, BarPartText& text)
{
    for (const PartWords& words : partWords) {
        if (words.part != part)
            continue;
        text = BarPartText();
        text.kind = words.kind;
        text.name = words.name;
        text.key = words.key;
        // A slider has no one thing to do: it is moved, by the mouse or by the arrow keys.
        if (words.kind == BarPartKind::Button)
            text.defaultAction = L"Press";
        if (part == IDC_BAR_MUTE && facts.muted) {
            // The button says what pressing it does now, and shows it holds the sound off.
            text.name = L"Unmute";
            text.pressed = true;
        } else if (part == IDC_BAR_TIME) {
            text.value = positionValue(facts);
            text.unavailable = !facts.fileUnderWay;
        } else if (part == IDC_BAR_VOLUME) {
            text.value = std::to_wstring(facts.volume) + L" percent";
        }
        return true;
    }
    return false;
}

std::wstring tooltipText(const BarPartText& text)
{
    return text.key.empty() ? text.name : text.name + L" (" + text.key + L")";
}
