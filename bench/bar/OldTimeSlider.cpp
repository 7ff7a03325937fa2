// The old time-slider refresh, for comparison only: every time change tiled the whole track.
#include "bench/bar/OldTimeSlider.h"

#include <shlwapi.h>

#include <algorithm>

#include "common/ComPtr.h"
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
    const ComPtr<IStream> stream(bytes ? SHCreateMemStream(bytes, SizeofResource(module, resource)) : nullptr);
    if (!stream)
        return nullptr;
    Gdiplus::Bitmap decoded(stream.get());
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

void prepare(Gdiplus::Graphics& graphics)
{
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
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

} // namespace

OldTimeSlider::OldTimeSlider(HDC reference, int width, int height, const RECT& timeTrack, const RECT& volumeTrack)
    : background(loadStraight(L"IDB_BAR_BKG")), track(loadStraight(L"IDB_TIME_BKG")),
      played(loadStraight(L"IDB_TIME_FORG")), knob(loadStraight(L"IDB_TIME_BAR")), height(height),
      timeTrack(timeTrack), volumeTrack(volumeTrack)
{
    if (!background || !backgroundBuffer.create(reference, width, height) ||
        !composeBuffer.create(reference, width, height))
        return;
    {
        Gdiplus::Graphics graphics(backgroundBuffer.dc());
        prepare(graphics);
        drawTiled(graphics, background.get(), 0, 0, width);
    }
    BitBlt(composeBuffer.dc(), 0, 0, width, height, backgroundBuffer.dc(), 0, 0, SRCCOPY);
}

void OldTimeSlider::refresh(HDC screen, int64_t time, int64_t length)
{
    drawTimeSlider(time, length);
    presentSliders(screen);
}

void OldTimeSlider::drawTimeSlider(int64_t time, int64_t length)
{
    const RECT& rect = timeTrack;
    const HDC compose = composeBuffer.dc();
    BitBlt(compose, rect.left, 0, rect.right - rect.left, height, backgroundBuffer.dc(), rect.left, 0, SRCCOPY);
    const int width = rect.right - rect.left;
    const int knobWidth = widthOf(knob);
    const int playedWidth = slider::playedWidth(width, knobWidth, time, length);
    Gdiplus::Graphics graphics(compose);
    prepare(graphics);
    if (width != 0)
        drawTiled(graphics, track.get(), rect.left, rect.top, width);
    if (playedWidth != 0)
        drawTiled(graphics, played.get(), rect.left, rect.top, playedWidth);
    graphics.DrawImage(knob.get(), rect.left + playedWidth, (height - heightOf(knob)) / 2, knobWidth, heightOf(knob));
}

void OldTimeSlider::presentSliders(HDC screen)
{
    for (const RECT* rect : {&volumeTrack, &timeTrack}) {
        const int width = std::min<int>(rect->right - rect->left, composeBuffer.width());
        BitBlt(screen, rect->left, 0, width, composeBuffer.height(), composeBuffer.dc(), rect->left, 0, SRCCOPY);
    }
}

COLORREF OldTimeSlider::pixel(int x, int y) const
{
    return GetPixel(composeBuffer.dc(), x, y);
}
