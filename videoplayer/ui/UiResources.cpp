// PNG images from resources (at the display's scale, too), and small window and path routines.
#include "videoplayer/ui/UiResources.h"

#include <algorithm>
#include <cstring>

#include "common/ComPtr.h"
#include "common/GdiplusSession.h"
#include "common/UniqueHandle.h"
#include "videoplayer/ui/DisplayScale.h"
#include "videoplayer/ui/ImageSize.h"

namespace {

// GDI+ may go on reading the stream after an image was constructed from it. A copy drawn into
// a bitmap of its own needs neither stream nor memory block afterwards. An image that could
// not be decoded holds nothing and is returned as it is: its size reads 0.
Gdiplus::Image* detachedCopy(UniqueGdiplusImage decoded, Gdiplus::PixelFormat format)
{
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok)
        return decoded.release();
    const UINT w = decoded->GetWidth(), h = decoded->GetHeight();
    auto* copy = new Gdiplus::Bitmap(static_cast<INT>(w), static_cast<INT>(h), format);
    if (copy && copy->GetLastStatus() == Gdiplus::Ok) {
        Gdiplus::Graphics graphics(copy);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(decoded.get(), Gdiplus::Rect(0, 0, static_cast<INT>(w), static_cast<INT>(h)), 0, 0,
                           static_cast<INT>(w), static_cast<INT>(h), Gdiplus::UnitPixel);
    }
    return copy;
}

// Decodes an image from bytes held in a movable global block.
Gdiplus::Image* decodeFromBlock(HGLOBAL block, Gdiplus::PixelFormat format)
{
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, stream.receive())))
        return nullptr;
    return detachedCopy(UniqueGdiplusImage(new Gdiplus::Image(stream.get())), format);
}

// `image` resampled to width x height, smoothly: art made for a nearby scale, brought to this one.
// The edges are sampled as mirrored, so the filter draws in no transparent or dark border.
Gdiplus::Image* resampled(Gdiplus::Image* image, int width, int height, Gdiplus::PixelFormat format)
{
    auto* copy = new Gdiplus::Bitmap(width, height, format);
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok)
        return copy;
    Gdiplus::Graphics graphics(copy);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    Gdiplus::ImageAttributes edges;
    edges.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    graphics.DrawImage(image, Gdiplus::Rect(0, 0, width, height), 0, 0, widthOf(image), heightOf(image),
                       Gdiplus::UnitPixel, &edges);
    return copy;
}

int width(const RECT& rc)
{
    return rc.right - rc.left;
}
int height(const RECT& rc)
{
    return rc.bottom - rc.top;
}

} // namespace

Gdiplus::Image* loadPngResource(HMODULE module, HRSRC resource, Gdiplus::PixelFormat format)
{
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (size == 0)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    const UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block)
        return nullptr;
    const ScopedGlobalLock target(block.get());
    if (!target)
        return nullptr;
    memcpy(target.get(), bytes, size);
    return decodeFromBlock(block.get(), format);
}

Gdiplus::Image* loadPngResource(HMODULE module, const wchar_t* name, Gdiplus::PixelFormat format)
{
    HRSRC resource = FindResourceW(module, name, L"PNG");
    return resource ? loadPngResource(module, resource, format) : nullptr;
}

Gdiplus::Image* loadArt(HMODULE module, const ArtNames& art, int dpi, Gdiplus::PixelFormat format)
{
    const int percent = scale::artSetFor(dpi);
    const wchar_t* name = percent == 100 ? art.at100 : percent == 150 ? art.at150 : art.at200;
    UniqueGdiplusImage image(loadPngResource(module, name, format));
    const int w = widthOf(image), h = heightOf(image);
    const int wantedW = scale::scaled(scale::baseLength(w, percent), dpi);
    const int wantedH = scale::scaled(scale::baseLength(h, percent), dpi);
    if (w == 0 || h == 0 || (w == wantedW && h == wantedH))
        return image.release();
    return resampled(image.get(), wantedW, wantedH, format);
}

bool registerWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure, const wchar_t* menuName)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className, &existing))
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = menuName;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

void centerWindow(HWND window)
{
    if (!IsWindow(window))
        return;
    RECT rc;
    GetWindowRect(window, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    RECT ref;
    HWND parent = GetParent(window);
    if (parent && IsWindow(parent))
        GetWindowRect(parent, &ref);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &ref, 0);
    int x = (ref.left + ref.right - w) / 2, y = (ref.top + ref.bottom - h) / 2;
    if (x + w > ref.right)
        x = ref.right - w;
    if (y + h > ref.bottom)
        y = ref.bottom - h;
    if (x < 0)
        x = 0;
    if (y < 0)
        y = 0;
    SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER);
}

void setClientSize(HWND window, int width, int height)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int w = (outer.right - outer.left) + (width - client.right);
    const int h = (outer.bottom - outer.top) + (height - client.bottom);
    SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
}

RECT workAreaOf(HWND window)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return monitor.rcWork;
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void keepOnWorkArea(HWND window)
{
    if (!IsWindow(window) || IsZoomed(window) || IsIconic(window))
        return;
    RECT rc;
    GetWindowRect(window, &rc);
    const RECT area = workAreaOf(window);
    const int w = std::min(width(rc), width(area)), h = std::min(height(rc), height(area));
    const int x = std::max<int>(area.left, std::min<int>(rc.left, area.right - w));
    const int y = std::max<int>(area.top, std::min<int>(rc.top, area.bottom - h));
    if (x != rc.left || y != rc.top || w != width(rc) || h != height(rc))
        SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring fileNameOfPath(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
