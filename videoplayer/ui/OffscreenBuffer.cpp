// A memory DC with its own 32-bit DIB section.
#include "videoplayer/ui/OffscreenBuffer.h"

#include <cstring>
#include <utility>

OffscreenBuffer::~OffscreenBuffer()
{
    release();
}

bool OffscreenBuffer::create(HDC reference, int width, int height)
{
    release();
    if (width <= 0 || height <= 0)
        return false;
    UniqueMemoryDc dc(CreateCompatibleDC(reference));
    if (!dc)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as GDI prefers
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = ((static_cast<DWORD>(width) * 32 + 31) / 32) * 4;
    info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);
    void* bits = nullptr;
    UniqueGdiObject<HBITMAP> dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits)
        return false;
    // Black is the bar's transparent colour key: whatever is never drawn stays see-through.
    std::memset(bits, 0, info.bmiHeader.biSizeImage);
    bitmap = std::move(dib);
    memoryDc = std::move(dc);
    selection.emplace(memoryDc.get(), bitmap.get());
    bufferWidth = width;
    bufferHeight = height;
    return true;
}

void OffscreenBuffer::release()
{
    selection.reset();
    memoryDc.reset();
    bitmap.reset();
    bufferWidth = 0;
    bufferHeight = 0;
}
