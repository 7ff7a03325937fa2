// An off-screen drawing surface: a memory DC with a zeroed 32-bit DIB section selected into it,
// owning both and freeing them together.
#pragma once

#include <windows.h>
#include <optional>

#include "common/UniqueHandle.h"

class OffscreenBuffer {
public:
    OffscreenBuffer() = default;
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // Replaces any surface held with a new one of width x height, compatible with `reference`.
    // On failure the buffer stays empty and false is returned.
    bool create(HDC reference, int width, int height);
    void release();

    bool exists() const { return static_cast<bool>(memoryDc); }
    HDC dc() const { return memoryDc.get(); }
    int width() const { return bufferWidth; }
    int height() const { return bufferHeight; }

private:
    // Declared in the order they are made, so they go in reverse: the DC gets its own bitmap back
    // before it is deleted, and the DIB is deleted only once no DC holds it.
    UniqueGdiObject<HBITMAP> bitmap;
    UniqueMemoryDc memoryDc;
    std::optional<ScopedSelection> selection;
    int bufferWidth = 0;
    int bufferHeight = 0;
};
