// Window base: on-demand class registration and message routing through a handle-to-object map.
#include "videoplayer/ui/GWindow.h"

#include <map>

#include "common/UniqueHandle.h"
#include "videoplayer/ui/UiResources.h"

namespace {

// Windows bound to objects, from WM_CREATE until WM_DESTROY. Touched on the user-interface
// thread only, so it needs no lock.
std::map<HWND, GWindow*>& windowMap()
{
    static std::map<HWND, GWindow*> map;
    return map;
}

} // namespace

GWindow::~GWindow()
{
    if (hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    hwnd = nullptr;
}

bool GWindow::create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                     const RECT& rect, HWND parent, WORD menuId, HINSTANCE instance)
{
    registerWindowClass(instance, className, windowProc, menuId ? MAKEINTRESOURCEW(menuId) : nullptr);
    hwnd = CreateWindowExW(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                           rect.bottom - rect.top, parent, nullptr, instance, this);
    return hwnd != nullptr;
}

LRESULT GWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        const ScopedPaint paint(hwnd);
        onPaint(paint.dc());
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void GWindow::onPaint(HDC) {}

LRESULT CALLBACK GWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto& map = windowMap();
    // A WM_CREATE that carries no creation data was sent by hand, not by CreateWindowExW: it
    // binds nothing and changes nothing, and is left to the system like any unbound message.
    if (message == WM_CREATE && !lParam)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_CREATE) {
        // A new window binds to its own creation parameter, whatever a recycled handle held.
        auto* object = static_cast<GWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        map[window] = object;
        if (!object)
            return DefWindowProcW(window, message, wParam, lParam);
        object->hwnd = window;
        return object->handleMessage(message, wParam, lParam);
    }
    auto found = map.find(window);
    if (found == map.end())
        return DefWindowProcW(window, message, wParam, lParam);
    GWindow* bound = found->second;
    if (message == WM_NCDESTROY) {
        // Only a window whose WM_CREATE refused creation gets here still bound: it is torn down
        // without WM_DESTROY, and its object must neither see this nor stay in the map.
        map.erase(found);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_DESTROY) {
        // Erased even when no object was bound, so the map never outlives its windows.
        map.erase(found);
    }
    return bound ? bound->handleMessage(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}
