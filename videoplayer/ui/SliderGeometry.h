// Arithmetic of the control bar's sliders and tiled images: where the knobs sit, what a press on
// a track means, and how a tile is repeated across a width. Values in, values out.
#pragma once

#include <cstdint>
#include <vector>

namespace slider {

// Left edge of the volume knob: `volume` percent (0 to 100) of the knob's travel along the track.
inline int volumeKnobLeft(int trackLeft, int trackWidth, int knobWidth, int volume)
{
    return trackLeft + volume * (trackWidth - knobWidth) / 100;
}

// Width of the played part of the time track, which is also the knob's offset from the track's
// left end. Nothing is played without a known length. A position outside 0..length (libVLC may
// report a time a little past an estimated length) keeps the knob on the track instead of
// drawing it over the neighbouring volume slider.
inline int playedWidth(int trackWidth, int knobWidth, int64_t time, int64_t length)
{
    const int travel = trackWidth - knobWidth;
    if (length <= 0 || travel <= 0)
        return 0;
    const int64_t played = static_cast<int64_t>(travel) * time / length;
    return played < 0 ? 0 : played > travel ? travel : static_cast<int>(played);
}

// Where a press at x falls on a track from `left` to `right`: 0 at the knob centre's first
// position, 1 at its last, clamped in between. A track no wider than its knob has no travel, so
// a press there counts as its start or its end.
inline double dragFraction(int x, int left, int right, int knobWidth)
{
    const int half = knobWidth / 2;
    const int start = left + half, end = right - half;
    if (end <= start)
        return x <= start ? 0.0 : 1.0;
    const double f = static_cast<double>(x - start) / static_cast<double>(end - start);
    return f < 0.0 ? 0.0 : f > 1.0 ? 1.0 : f;
}

// The media position a drag fraction asks for, truncated toward zero.
inline int64_t timeAtFraction(double fraction, int64_t length)
{
    return static_cast<int64_t>(fraction * static_cast<double>(length));
}

// The volume a drag fraction asks for, rounded to the nearest whole percent.
inline int volumeAtFraction(double fraction)
{
    return static_cast<int>(fraction * 100.0 + 0.5);
}

// Widths of the pieces a tile of width `tileWidth` is drawn in to cover `width`: whole tiles and
// one narrower last piece. Empty for a tile without width or a width of 0 or less.
inline std::vector<int> tilePieceWidths(int tileWidth, int width)
{
    std::vector<int> pieces;
    if (tileWidth <= 0)
        return pieces;
    const int passes = width / tileWidth + 1;
    int offset = 0;
    for (int i = 0; i < passes; ++i) {
        const int piece = offset + tileWidth > width ? width - offset : tileWidth;
        if (piece <= 0)
            break;
        pieces.push_back(piece);
        offset += piece;
    }
    return pieces;
}

} // namespace slider
