// PNG images from resources, and small window and path routines.
#include "videoplayer/ui/UiResources.h"

Gdiplus::Image* loadPngResource(HMODULE module, HRSRC resource)
{
    const DWORD size = SizeofResource(module, resource);
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
    Gdiplus::Image* image = nullptr;
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(block, FALSE, &stream))) {
        image = new Gdiplus::Image(stream);
        stream->Release();
    }
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
