// The window's DPI and the dialog manager's DPI behaviour, bound at run time: the functions came
// with Windows 10 and a static import of them would keep the player from starting on Windows 7.
#include "videoplayer/ui/WindowDpi.h"

#include "common/UniqueHandle.h"
#include "videoplayer/ui/DisplayScale.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int mask, int values);

// DIALOG_DPI_CHANGE_BEHAVIORS: DDC_DISABLE_ALL, so resizing, fonts and control layout.
const int dialogDpiChangeDisableAll = 0x0001;

template <typename Function> Function user32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int screenDpi()
{
    const ScopedWindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : scale::baseDpi;
}

} // namespace

int dpiOfWindow(HWND window)
{
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = window && getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : screenDpi();
}

void keepDialogLayoutOwn(HWND dialog)
{
    static const auto setBehavior = user32Function<SetDialogDpiChangeBehaviorFunction>("SetDialogDpiChangeBehavior");
    if (setBehavior && dialog)
        setBehavior(dialog, dialogDpiChangeDisableAll, dialogDpiChangeDisableAll);
}
