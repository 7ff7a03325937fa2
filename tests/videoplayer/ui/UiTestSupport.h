// Helpers for the user-interface tests: a GDI+ session for one test, and a reference decode of
// a "PNG" resource that does not go through the player's loader.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <memory>

// GDI+ for the lifetime of one test, as start-up provides it for the player: the kit's session.
#include "common/GdiplusSession.h"

// The resource decoded straight from a copy of its bytes, for comparing pixels.
inline std::unique_ptr<Gdiplus::Bitmap> referenceBitmap(const wchar_t* name)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name, L"PNG");
    if (!resource)
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    IStream* stream = SHCreateMemStream(bytes, SizeofResource(module, resource));
    if (!stream)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(new Gdiplus::Bitmap(stream));
    stream->Release();
    return bitmap;
}

// 0xRRGGBB of a pixel of an image; `opaque` tells whether it covers fully.
inline DWORD rgbOf(Gdiplus::Bitmap& image, int x, int y, bool* opaque = nullptr)
{
    Gdiplus::Color c;
    image.GetPixel(x, y, &c);
    if (opaque)
        *opaque = c.GetA() == 255;
    return c.GetValue() & 0xFFFFFF;
}

// The same of a "PNG" resource's pixel, decoded for the purpose; 0 and not opaque without it.
inline DWORD resourceRgb(const wchar_t* name, int x, int y, bool* opaque = nullptr)
{
    if (opaque)
        *opaque = false;
    auto image = referenceBitmap(name);
    return image ? rgbOf(*image, x, y, opaque) : 0;
}

// A 32-bit top-down DIB section selected into a memory DC, for painting into and sampling.
class PixelCanvas {
public:
    PixelCanvas(int width, int height) : width(width), height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<DWORD*>(bits);
        previous = SelectObject(dc, bitmap);
    }
    ~PixelCanvas()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    void fill(DWORD value)
    {
        GdiFlush();
        for (int i = 0; i < width * height; ++i)
            pixels[i] = value;
    }
    // 0x00RRGGBB of one pixel (the DIB's unused top byte masked off).
    DWORD at(int x, int y) const
    {
        GdiFlush();
        return pixels[y * width + x] & 0xFFFFFF;
    }

    const int width, height;
    HDC dc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    DWORD* pixels = nullptr;
};
