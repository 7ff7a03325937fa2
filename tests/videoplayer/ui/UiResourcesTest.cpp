// Images from the resources, centring and sizing windows, and file names of paths.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/videoplayer/ui/UiTestSupport.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/UiResources.h"

namespace {

class UiResourcesTest : public ::testing::Test {
protected:
    std::unique_ptr<Gdiplus::Image> load(const wchar_t* name)
    {
        return std::unique_ptr<Gdiplus::Image>(loadPngResource(GetModuleHandleW(nullptr), name));
    }

    GdiplusSession gdiplus;
};

TEST_F(UiResourcesTest, EveryImageLoadsAtItsSize)
{
    const struct {
        const wchar_t* name;
        UINT w, h;
    } images[] = {{L"IDB_BAR_BKG", 10, 36},    {L"IDB_OPEN", 36, 32},        {L"IDB_PLAY", 36, 32},
                  {L"IDB_PAUSE", 36, 32},      {L"IDB_PREV", 36, 32},        {L"IDB_MUTE", 36, 32},
                  {L"IDB_NEXT", 36, 32},       {L"IDB_STOP", 36, 32},        {L"IDB_TIME_BKG", 3, 12},
                  {L"IDB_TIME_FORG", 6, 12},   {L"IDB_TIME_BAR", 7, 12},     {L"IDB_VOLUME_BAR", 66, 12},
                  {L"IDB_VOLUME_BALL", 16, 12}, {MAKEINTRESOURCEW(IDB_LOGO), 128, 128}};
    for (const auto& image : images) {
        auto loaded = load(image.name);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->GetWidth(), image.w);
        EXPECT_EQ(loaded->GetHeight(), image.h);
    }
}

// The loaded image no longer needs the memory it was decoded from: its pixels, alpha included,
// equal a separate decode of the same bytes after the loader has freed its block.
TEST_F(UiResourcesTest, LoadedImageKeepsEveryPixelOfThePng)
{
    const wchar_t* const names[] = {MAKEINTRESOURCEW(IDB_LOGO), L"IDB_TIME_BKG", L"IDB_VOLUME_BALL"};
    for (const wchar_t* name : names) {
        auto loaded = load(name);
        auto reference = referenceBitmap(name);
        ASSERT_NE(loaded, nullptr);
        ASSERT_NE(reference, nullptr);
        const int w = static_cast<int>(loaded->GetWidth()), h = static_cast<int>(loaded->GetHeight());
        // Drawn with source copy into a bitmap of its own, so every pixel can be read back.
        Gdiplus::Bitmap copy(w, h, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&copy);
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            graphics.DrawImage(loaded.get(), 0, 0, w, h);
        }
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Gdiplus::Color a, b;
                copy.GetPixel(x, y, &a);
                reference->GetPixel(x, y, &b);
                // Fully transparent pixels carry no colour worth comparing.
                if (a.GetValue() != b.GetValue() && (a.GetA() != 0 || b.GetA() != 0))
                    ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << "pixels differ in a " << w << " x " << h << " image";
    }
}

TEST_F(UiResourcesTest, MissingOrEmptyResourceGivesNull)
{
    EXPECT_EQ(load(L"IDB_NO_SUCH_IMAGE"), nullptr);
    ASSERT_NE(FindResourceW(GetModuleHandleW(nullptr), L"TEST_EMPTY", L"PNG"), nullptr);
    EXPECT_EQ(load(L"TEST_EMPTY"), nullptr);
    EXPECT_EQ(loadPngResource(GetModuleHandleW(nullptr), static_cast<HRSRC>(nullptr)), nullptr);
}

TEST_F(UiResourcesTest, ResourceThatIsNotAPngGivesAnImageOfSizeZeroThatDrawsNothing)
{
    auto broken = load(L"TEST_NOT_PNG");
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->GetWidth(), 0u);
    EXPECT_EQ(broken->GetHeight(), 0u);

    PixelCanvas canvas(8, 8);
    canvas.fill(0x123456);
    {
        Gdiplus::Graphics graphics(canvas.dc);
        graphics.DrawImage(broken.get(), 0, 0, 8, 8);
    }
    EXPECT_EQ(canvas.at(4, 4), 0x123456u);
}

// ---- Window routines ----

HWND makeWindow(DWORD style, int x, int y, int w, int h, HWND owner = nullptr)
{
    return CreateWindowExW(0, L"STATIC", L"", style, x, y, w, h, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

RECT windowRect(HWND window)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    return rc;
}

RECT workArea()
{
    RECT rc = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return rc;
}

TEST(WindowRoutinesTest, CenterWindowCentresOnTheWorkAreaWithoutAParent)
{
    const RECT area = workArea();
    HWND window = makeWindow(WS_POPUP, 3, 7, 301, 201);
    centerWindow(window);
    const RECT rc = windowRect(window);
    EXPECT_EQ(rc.left, (area.left + area.right - 301) / 2);
    EXPECT_EQ(rc.top, (area.top + area.bottom - 201) / 2);
    EXPECT_EQ(rc.right - rc.left, 301);
    DestroyWindow(window);
}

TEST(WindowRoutinesTest, CenterWindowNeverPlacesAWindowLargerThanTheWorkAreaOffScreen)
{
    const RECT area = workArea();
    const int w = area.right - area.left + 300, h = area.bottom - area.top + 120;
    HWND window = makeWindow(WS_POPUP, 40, 40, w, h);
    ASSERT_EQ(windowRect(window).right - windowRect(window).left, w);
    centerWindow(window);
    const RECT rc = windowRect(window);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right - rc.left, w);
    EXPECT_EQ(rc.bottom - rc.top, h);
    DestroyWindow(window);
}

TEST(WindowRoutinesTest, CenterWindowCentresAnOwnedPopupOverItsOwner)
{
    HWND owner = makeWindow(WS_POPUP, 100, 50, 600, 400);
    HWND popup = makeWindow(WS_POPUP, 0, 0, 200, 100, owner);
    centerWindow(popup);
    const RECT rc = windowRect(popup);
    EXPECT_EQ(rc.left, 300);
    EXPECT_EQ(rc.top, 200);
    centerWindow(nullptr); // not a window: nothing happens
    DestroyWindow(popup);
    DestroyWindow(owner);
}

TEST(WindowRoutinesTest, SetClientSizeGivesTheClientAreaWithoutMoving)
{
    HWND window = makeWindow(WS_OVERLAPPEDWINDOW, 50, 60, 300, 300);
    setClientSize(window, 640, 387);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 387);
    const RECT rc = windowRect(window);
    EXPECT_EQ(rc.left, 50);
    EXPECT_EQ(rc.top, 60);
    DestroyWindow(window);
}

TEST(FileNameOfPathTest, TakesThePartAfterTheLastBackslash)
{
    EXPECT_EQ(fileNameOfPath(L"C:\\Videos\\holiday.mp4"), L"holiday.mp4");
    EXPECT_EQ(fileNameOfPath(L"\\\\server\\share\\dir.d\\clip"), L"clip");
    EXPECT_EQ(fileNameOfPath(L"clip.mp4"), L"clip.mp4");
    EXPECT_EQ(fileNameOfPath(L"C:\\Videos\\"), L"");
    EXPECT_EQ(fileNameOfPath(L""), L"");
}

} // namespace
