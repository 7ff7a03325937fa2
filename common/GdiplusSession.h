// GDI+ owners: a session guard that starts GDI+ for its lifetime, and unique_ptr for GDI+ objects
// (images, bitmaps), which GDI+ allocates with its own operator new and frees with delete.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
            token_ = 0;
    }
    ~GdiplusSession()
    {
        if (token_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

using UniqueGdiplusImage = std::unique_ptr<Gdiplus::Image>;
using UniqueGdiplusBitmap = std::unique_ptr<Gdiplus::Bitmap>;
