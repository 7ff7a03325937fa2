// PNG images from the program's resources, and small window and path routines.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <string>

// A new image decoded from a "PNG" resource found with FindResourceW, or null.
Gdiplus::Image* loadPngResource(HMODULE module, HRSRC resource);
// Finds the "PNG" resource by name or number and loads it; null when it is missing.
Gdiplus::Image* loadPngResource(HMODULE module, const wchar_t* name);

void centerWindow(HWND window);
void setClientSize(HWND window, int width, int height);
std::wstring fileNameOfPath(const std::wstring& path);
