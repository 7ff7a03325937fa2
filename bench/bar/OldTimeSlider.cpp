// The old time-slider refresh, for comparison only: every time change tiled the whole track.
#include "bench/bar/OldTimeSlider.h"

#include <shlwapi.h>

#include <algorithm>

#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/SliderGeometry.h"

namespace {

// A PNG resource decoded and copied into a straight-alpha bitmap of its own, as the loader did.
Gdiplus::Image* loadStraight(const wchar_t* name)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, name, L"PNG");
    if (!resource)
        return nullptr;
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    IStream* stream = bytes ? SHCreateMemStream(bytes, SizeofResource(module, resource)) : nullptr;
    if (!stream)
        return nullptr;
    Gdiplus::Bitmap decoded(stream);
    stream->Release();
    const INT w = static_cast<INT>(decoded.GetWidth()), h = static_cast<INT>(decoded.GetHeight());
    auto* copy = new Gdiplus::Bitmap(w, h, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(copy);
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(&decoded, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
    return copy;
}

int widthOf(const UniqueGdiplusImage& image)
{
    return static_cast<int>(image->GetWidth());
}

int heightOf(const UniqueGdiplusImage& image)
{
    return static_cast<int>(image->GetHeight());
}

void drawTiled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width)
{
    const int height = static_cast<int>(image->GetHeight());
    int offset = 0;
    for (int piece : slider::tilePieceWidths(static_cast<int>(image->GetWidth()), width)) {
        graphics.DrawImage(image, Gdiplus::Rect(x + offset, y, piece, height));
        offset += piece;
    }
}

bool controlRect(const PlayBar& bar, int id, RECT& rect)
{
    HWND control = GetDlgItem(bar.hwnd, id);
    if (!control || !GetWindowRect(control, &rect))
        return false;
    MapWindowPoints(HWND_DESKTOP, bar.hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

int clientHeight(HWND window)
{
    RECT client = {};
    GetClientRect(window, &client);
    return client.bottom - client.top;
}

} // namespace

OldTimeSlider::OldTimeSlider()
    : track(loadStraight(L"IDB_TIME_BKG")), played(loadStraight(L"IDB_TIME_FORG")), knob(loadStraight(L"IDB_TIME_BAR"))
{
}

void OldTimeSlider::refresh(PlayBar& bar)
{
    RECT control;
    if (!controlRect(bar, IDC_BAR_TIME, control))
        return;
    WaitForSingleObject(bar.drawLock.get(), INFINITE);
    drawTimeSlider(bar, control);
    SetEvent(bar.drawLock.get());
    presentSliders(bar);
}

void OldTimeSlider::drawTimeSlider(PlayBar& bar, const RECT& rect)
{
    const HDC compose = bar.composeBuffer.dc();
    const int height = clientHeight(bar.hwnd);
    BitBlt(compose, rect.left, 0, rect.right - rect.left, height, bar.backgroundBuffer.dc(), rect.left, 0, SRCCOPY);
    const int width = rect.right - rect.left;
    const int knobWidth = widthOf(knob);
    const int playedWidth = slider::playedWidth(width, knobWidth, bar.shownTime, bar.shownLength);
    Gdiplus::Graphics graphics(compose);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    if (width != 0)
        drawTiled(graphics, track.get(), rect.left, rect.top, width);
    if (playedWidth != 0)
        drawTiled(graphics, played.get(), rect.left, rect.top, playedWidth);
    graphics.DrawImage(knob.get(), rect.left + playedWidth, (height - heightOf(knob)) / 2, knobWidth, heightOf(knob));
}

void OldTimeSlider::presentSliders(PlayBar& bar)
{
    WaitForSingleObject(bar.drawLock.get(), INFINITE);
    if (HDC own = GetDC(bar.hwnd)) {
        for (int id : {IDC_BAR_VOLUME, IDC_BAR_TIME}) {
            RECT rect;
            if (!controlRect(bar, id, rect))
                continue;
            const int width = std::min<int>(rect.right - rect.left, bar.composeBuffer.width());
            BitBlt(own, rect.left, 0, width, bar.composeBuffer.height(), bar.composeBuffer.dc(), rect.left, 0, SRCCOPY);
        }
        ReleaseDC(bar.hwnd, own);
    }
    SetEvent(bar.drawLock.get());
}
