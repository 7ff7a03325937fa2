// Takes the README's pictures of the player: starts Quillet.exe, optionally plays a clip up to
// a position and pauses it, then saves the main window's pixels as a 24-bit BMP.
//   shot_driver <folder of Quillet.exe> <out.bmp> [<clip> <seconds>]
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/PlayerDriver.h"
#include "videoplayer/res/resource.h"

namespace {

bool saveWindowPixels(HWND window, const std::wstring& path)
{
    RECT rc;
    GetWindowRect(window, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u), size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    info.bmiHeader.biSizeImage = size;
    bool saved = false;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        saved = fwrite(&file, sizeof(file), 1, out) == 1 && fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
                fwrite(bits, size, 1, out) == 1;
        fclose(out);
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

// The position in seconds shown by the caption, or -1.
int shownSeconds(const std::wstring& caption)
{
    const size_t bar = caption.find(L" | ");
    if (bar == std::wstring::npos || caption.size() < bar + 11)
        return -1;
    return std::stoi(caption.substr(bar + 3, 2)) * 3600 + std::stoi(caption.substr(bar + 6, 2)) * 60 +
           std::stoi(caption.substr(bar + 9, 2));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    PlayerDriver player(argv[1]);
    if (!player.window)
        return 3;
    if (argc >= 5) {
        const int seconds = _wtoi(argv[4]);
        if (!player.openThroughDialog(argv[3]))
            return 4;
        if (!waitFor([&] { return shownSeconds(player.caption()) >= seconds; }, 30000))
            return 5;
        player.command(IDM_PAUSE);
    }
    Sleep(1500); // the caption, the bar and the picture settle
    const bool saved = saveWindowPixels(player.window, argv[2]);
    return player.close() == 0 && saved ? 0 : 6;
}
