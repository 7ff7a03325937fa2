// The control bar's picture on its own, on memory DCs: what the sliders show at a time and a
// volume, which columns a time change redraws, the picture after the bar changes its size, and a
// bar without images. Built without the rest of the bar.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/videoplayer/ui/UiTestSupport.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBarCanvas.h"

namespace {

DWORD rgbOfColour(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// The colours of the time slider's images on row 6, the middle of their opaque rows.
struct TimeColours {
    DWORD played = 0, track = 0, knob = 0;
    bool known = false;
};

TimeColours timeColours()
{
    auto played = referenceBitmap(L"IDB_TIME_FORG"), track = referenceBitmap(L"IDB_TIME_BKG");
    auto knob = referenceBitmap(L"IDB_TIME_BAR");
    TimeColours colours;
    if (!played || !track || !knob)
        return colours;
    bool opaque[3];
    colours.played = rgbOf(*played, 0, 6, &opaque[0]);
    colours.track = rgbOf(*track, 0, 6, &opaque[1]);
    colours.knob = rgbOf(*knob, 3, 6, &opaque[2]);
    colours.known = opaque[0] && opaque[1] && opaque[2] && colours.played != colours.track;
    return colours;
}

} // namespace

class PlayBarCanvasTest : public ::testing::Test {
protected:
    // A bar of `width`, 36 high (its background's height), showing `shown`.
    void layOut(int width, SliderValues shown = {}) { canvas.layOut(screen.dc, width, 36, shown); }

    // A pixel of the sliders as the bar puts them on screen.
    DWORD shown(int x, int y)
    {
        canvas.present(screen.dc);
        return screen.at(x, y);
    }

    GdiplusSession gdiplus; // made before the canvas, which decodes its images with it
    PlayBarCanvas canvas{GetModuleHandleW(nullptr)};
    PixelCanvas screen{1200, 40};
};

TEST_F(PlayBarCanvasTest, TimeSliderShowsPlayedPartKnobAndTrack)
{
    const TimeColours colour = timeColours();
    ASSERT_TRUE(colour.known);
    layOut(800); // time track 149..695, knob 7 wide: 539 pixels of travel; row 6 is y 18
    canvas.showTime(500, 1000);
    EXPECT_EQ(shown(150, 18), colour.played);
    EXPECT_EQ(shown(149 + 268, 18), colour.played);
    EXPECT_EQ(shown(149 + 269 + 3, 18), colour.knob);
    EXPECT_EQ(shown(149 + 269 + 7, 18), colour.track);

    canvas.showTime(1000, 1000); // the knob ends flush with the track's right end
    EXPECT_EQ(shown(694 - 3, 18), colour.knob);
    EXPECT_EQ(shown(694 - 7, 18), colour.played);

    canvas.showTime(1000, 0); // no length: nothing played, the knob at the left end
    EXPECT_EQ(shown(149 + 3, 18), colour.knob);
    EXPECT_EQ(shown(600, 18), colour.track);
}

// A time that does not move the knob a pixel changes no column; one that moves it changes the
// columns from the old knob to the new one, and those are what the screen gets.
TEST_F(PlayBarCanvasTest, ATimeChangeRedrawsOnlyTheColumnsBetweenOldAndNewKnob)
{
    const TimeColours colour = timeColours();
    ASSERT_TRUE(colour.known);
    layOut(800); // 539 pixels of travel
    canvas.showTime(5000, 10000); // 269.5 pixels
    const RECT unmoved = canvas.showTime(5005, 10000); // 269.8 pixels: the same column
    EXPECT_TRUE(IsRectEmpty(&unmoved));

    const RECT changed = canvas.showTime(2500, 10000); // 134.75 pixels
    EXPECT_EQ(changed.left, 149 + 134);
    EXPECT_EQ(changed.right, 149 + 269 + 7);
    EXPECT_EQ(changed.bottom - changed.top, 36);
    screen.fill(0x123456);
    canvas.present(screen.dc, changed);
    EXPECT_EQ(screen.at(149 + 134 + 3, 18), colour.knob);
    EXPECT_EQ(screen.at(149 + 269 + 3, 18), colour.track);
    EXPECT_EQ(screen.at(changed.left - 1, 18), 0x123456u);
    EXPECT_EQ(screen.at(changed.right, 18), 0x123456u);
}

// After every width change the whole time track is drawn for its new width, column by column:
// played part, knob, track, and the bar's background through the track's transparent rows.
TEST_F(PlayBarCanvasTest, WidthChangeDrawsTheWholeTimeTrackAnew)
{
    const TimeColours colour = timeColours();
    auto background = referenceBitmap(L"IDB_BAR_BKG");
    ASSERT_TRUE(colour.known && background);
    const DWORD behind = rgbOf(*background, 0, 12);
    const SliderValues halfWay = {500, 1000, 100};
    layOut(800, halfWay);
    for (int width : {1200, 600, 1000}) {
        SCOPED_TRACE("bar width " + std::to_string(width));
        layOut(width, halfWay);
        const int trackWidth = width - 105 - 149, knobLeft = 149 + (trackWidth - 7) / 2;
        int wrong = 0;
        for (int x = 149; x < 149 + trackWidth; ++x) {
            if (x >= knobLeft && x < knobLeft + 7)
                continue;
            wrong += shown(x, 12) != behind; // row 0 of the tiles is transparent
            wrong += shown(x, 18) != (x < knobLeft ? colour.played : colour.track);
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(shown(knobLeft + 3, 18), colour.knob);
    }
}

// The buffers only grow, yet a smaller bar shows its sliders where they now are, and a wider one
// is drawn out to its new right end.
TEST_F(PlayBarCanvasTest, VolumeKnobFollowsTheVolumeAtEveryWidth)
{
    bool opaque = false;
    const DWORD knobColour = resourceRgb(L"IDB_VOLUME_BALL", 8, 5, &opaque); // row 5: y 17 on the bar
    ASSERT_TRUE(opaque);
    EXPECT_FALSE(canvas.showVolume(50)) << "nothing to draw into before the first layout";
    for (int width : {800, 600, 1100}) {
        SCOPED_TRACE("bar width " + std::to_string(width));
        layOut(width, SliderValues{0, 0, 100});
        const int track = width - 104; // 66 wide, the knob 16: 50 pixels of travel
        EXPECT_EQ(shown(track + 58, 17), knobColour);
        ASSERT_TRUE(canvas.showVolume(0));
        EXPECT_EQ(shown(track + 8, 17), knobColour);
        EXPECT_NE(shown(track + 58, 17), knobColour);
        canvas.showVolume(50);
        EXPECT_EQ(shown(track + 33, 17), knobColour);
    }
}

// Parts take the scale's places and sizes: 144 from its set as it is (the knob pixel for pixel), 120
// from the next larger set scaled down, 240 from the largest scaled up; 192 is in MainWindowTest.
TEST(PlayBarCanvasAtScaleTest, PartsAndTheKnobTakeTheScalesPlaceAndSize)
{
    struct AtScale {
        int dpi, height;
        RECT play, mute, volume, time;
    };
    const AtScale scales[] = {
        {120, 45, {47, 2, 92, 42}, {754, 2, 799, 42}, {670, 15, 753, 30}, {185, 15, 669, 30}},
        {144, 54, {58, 3, 112, 51}, {744, 3, 798, 51}, {643, 18, 742, 36}, {226, 18, 641, 36}},
        {240, 90, {96, 5, 186, 85}, {707, 5, 797, 85}, {539, 30, 704, 60}, {375, 30, 536, 60}},
    };
    GdiplusSession gdiplus;
    PixelCanvas screen(800, 90);
    for (const AtScale& at : scales) {
        SCOPED_TRACE(std::to_string(at.dpi) + " DPI");
        PlayBarCanvas canvas(GetModuleHandleW(nullptr), at.dpi);
        ASSERT_EQ(canvas.preferredHeight(), at.height);
        canvas.layOut(screen.dc, 800, at.height, SliderValues{500, 1000, 100});
        RECT place = {};
        for (const auto& [part, wanted] :
             {std::make_pair(IDC_BAR_PLAY, at.play), std::make_pair(IDC_BAR_MUTE, at.mute),
              std::make_pair(IDC_BAR_VOLUME, at.volume), std::make_pair(IDC_BAR_TIME, at.time)})
            EXPECT_TRUE(canvas.placeOf(part, place) && EqualRect(&place, &wanted)) << part;
        auto knob = at.dpi == 144 ? referenceBitmap(L"IDB_TIME_BAR_150") : nullptr;
        canvas.present(screen.dc);
        for (int x = 0; knob && x < 11; ++x) // 202 of 404 pixels of travel; row 9, the knob's middle
            EXPECT_EQ(screen.at(428 + x, 27), rgbOf(*knob, x, 9)) << x;
    }
}

// A missing image removes only what it draws: without any, nothing is placed or drawn, the bar
// asks for the fallback height and paints itself in the button face colour.
TEST(PlayBarCanvasWithoutImagesTest, PlacesNothingAndPaintsTheFaceColour)
{
    GdiplusSession gdiplus;
    PlayBarCanvas bare(GetModuleHandleW(L"kernel32.dll")); // a module without "PNG" resources
    EXPECT_EQ(bare.preferredHeight(), 27);
    PixelCanvas screen(600, 27);
    bare.layOut(screen.dc, 600, 27, SliderValues{500, 1000, 50});
    RECT place;
    for (int part : {IDC_BAR_OPEN, IDC_BAR_PLAY, IDC_BAR_NEXT, IDC_BAR_MUTE, IDC_BAR_TIME, IDC_BAR_VOLUME})
        EXPECT_FALSE(bare.placeOf(part, place)) << part;
    const RECT changed = bare.showTime(900, 1000);
    EXPECT_TRUE(IsRectEmpty(&changed));
    bare.paint(screen.dc, RECT{0, 0, 600, 27}, 600);
    EXPECT_EQ(screen.at(300, 13), rgbOfColour(GetSysColor(COLOR_BTNFACE)));
}
