// The natural size of a GDI+ image in pixels, 0 for a missing image.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "common/GdiplusSession.h"

inline int widthOf(Gdiplus::Image* image)
{
    return image ? static_cast<int>(image->GetWidth()) : 0;
}

inline int heightOf(Gdiplus::Image* image)
{
    return image ? static_cast<int>(image->GetHeight()) : 0;
}

inline int widthOf(const UniqueGdiplusImage& image)
{
    return widthOf(image.get());
}

inline int heightOf(const UniqueGdiplusImage& image)
{
    return heightOf(image.get());
}
