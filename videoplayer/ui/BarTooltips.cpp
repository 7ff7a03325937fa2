// The bar's tooltip control: one tool per button, whose text is asked for when its tip shows.
#include "videoplayer/ui/BarTooltips.h"

#include <utility>

#include "videoplayer/res/resource.h"

namespace {

const int tooltipButtons[] = {IDC_BAR_OPEN, IDC_BAR_STOP, IDC_BAR_PLAY, IDC_BAR_PAUSE,
                              IDC_BAR_PREV, IDC_BAR_NEXT, IDC_BAR_MUTE};

} // namespace

BarTooltips::~BarTooltips()
{
    destroy();
}

void BarTooltips::create(HWND bar, std::function<BarFacts()> barFacts)
{
    if (tooltip)
        return;
    facts = std::move(barFacts);
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(bar, GWLP_HINSTANCE));
    // The tips show whether or not the player is the active window, as players' tips do.
    tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, bar, nullptr, instance,
                              nullptr);
    if (!tooltip)
        return;
    for (int id : tooltipButtons) {
        HWND button = GetDlgItem(bar, id);
        if (!button)
            continue;
        // The size of the structure every version of the control knows.
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = bar;
        tool.uId = reinterpret_cast<UINT_PTR>(button);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// An owned window goes with its owner, before the owner hears of its own end: by then this
// handle may name nothing, and is only forgotten.
void BarTooltips::destroy()
{
    if (tooltip && IsWindow(tooltip))
        DestroyWindow(tooltip);
    tooltip = nullptr;
}

bool BarTooltips::onNotify(NMHDR& header)
{
    if (!tooltip || header.hwndFrom != tooltip || header.code != TTN_GETDISPINFOW)
        return false;
    auto& request = reinterpret_cast<NMTTDISPINFOW&>(header);
    BarPartText text;
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(request.hdr.idFrom));
    shownText = describeBarPart(id, facts ? facts() : BarFacts(), text) ? tooltipText(text) : std::wstring();
    request.lpszText = &shownText[0];
    return true;
}
