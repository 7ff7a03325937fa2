// PNG images from resources, and small window and path routines.
#include "videoplayer/ui/UiResources.h"

#include <cstring>

namespace {

// GDI+ may go on reading the stream after an image was constructed from it. A copy drawn into
// a bitmap of its own needs neither stream nor memory block afterwards. An image that could
// not be decoded holds nothing and is returned as it is: its size reads 0.
Gdiplus::Image* detachedCopy(Gdiplus::Image* decoded)
{
    if (!decoded || decoded->GetLastStatus() != Gdiplus::Ok)
        return decoded;
    const UINT w = decoded->GetWidth(), h = decoded->GetHeight();
    auto* copy = new Gdiplus::Bitmap(static_cast<INT>(w), static_cast<INT>(h), PixelFormat32bppARGB);
    if (copy && copy->GetLastStatus() == Gdiplus::Ok) {
        Gdiplus::Graphics graphics(copy);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(decoded, Gdiplus::Rect(0, 0, static_cast<INT>(w), static_cast<INT>(h)), 0, 0,
                           static_cast<INT>(w), static_cast<INT>(h), Gdiplus::UnitPixel);
    }
    delete decoded;
    return copy;
}

// Decodes an image from bytes held in a movable global block.
Gdiplus::Image* decodeFromBlock(HGLOBAL block)
{
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream)))
        return nullptr;
    Gdiplus::Image* image = detachedCopy(new Gdiplus::Image(stream));
    stream->Release();
    return image;
}

} // namespace

Gdiplus::Image* loadPngResource(HMODULE module, HRSRC resource)
{
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (size == 0)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(target, bytes, size);
    Gdiplus::Image* image = decodeFromBlock(block);
    GlobalUnlock(block);
    GlobalFree(block);
    return image;
}

Gdiplus::Image* loadPngResource(HMODULE module, const wchar_t* name)
{
    HRSRC resource = FindResourceW(module, name, L"PNG");
    return resource ? loadPngResource(module, resource) : nullptr;
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

std::wstring fileNameOfPath(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
