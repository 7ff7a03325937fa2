// An off-screen drawing surface: a memory DC with a zeroed 32-bit DIB section selected into it,
// owning both and freeing them together.
#pragma once

#include <windows.h>

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

    bool exists() const { return memoryDc != nullptr; }
    HDC dc() const { return memoryDc; }
    int width() const { return bufferWidth; }
    int height() const { return bufferHeight; }

private:
    HDC memoryDc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ originalBitmap = nullptr;
    int bufferWidth = 0;
    int bufferHeight = 0;
};
