// PNG images from the program's resources, and small window and path routines.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <string>

// A new image, the caller's to delete, decoded from a "PNG" resource found with FindResourceW
// into a bitmap of its own in `format`; null when there is none. Decoded and copied once, in the
// form its owner draws it in.
Gdiplus::Image* loadPngResource(HMODULE module, HRSRC resource, Gdiplus::PixelFormat format = PixelFormat32bppARGB);
// Finds the "PNG" resource by name or number and loads it; null when it is missing.
Gdiplus::Image* loadPngResource(HMODULE module, const wchar_t* name,
                                Gdiplus::PixelFormat format = PixelFormat32bppARGB);

// The "PNG" resources of one picture rendered for 100, 150 and 200 percent display scale.
struct ArtNames {
    const wchar_t* at100;
    const wchar_t* at150;
    const wchar_t* at200;
};
// The picture for `dpi`: only the set for the DPI is decoded (scale::artSetFor), and where that set
// was not made for the DPI exactly, resampled to the size the DPI gives its 100 percent size.
// Null when the resource is missing.
Gdiplus::Image* loadArt(HMODULE module, const ArtNames& art, int dpi,
                        Gdiplus::PixelFormat format = PixelFormat32bppARGB);

// Registers a window class of the player's kind (redrawn whole on a resize, the arrow cursor, the
// button face behind it) unless the module has one of that name already; true when it exists.
bool registerWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure,
                         const wchar_t* menuName = nullptr);

void centerWindow(HWND window);
void setClientSize(HWND window, int width, int height);
// The work area of the monitor the window is on (or nearest to).
RECT workAreaOf(HWND window);
// Moves a normal window inside the work area of its monitor, shrinking it first to the area's size
// where it is larger; a maximised or minimised window stays as it is.
void keepOnWorkArea(HWND window);
std::wstring fileNameOfPath(const std::wstring& path);
