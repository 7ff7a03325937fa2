// The window base: which messages reach the object, class registration on demand, and the
// window's life bound to the object's.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "videoplayer/ui/GWindow.h"

namespace {

const wchar_t* const testClass = L"GWindowTest_Class";

// Records every message its handleMessage sees.
class RecordingWindow : public GWindow {
public:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        if (message == WM_CREATE) {
            hwndAtCreate = hwnd;
            return createResult;
        }
        return GWindow::handleMessage(message, wParam, lParam);
    }
    void onPaint(HDC) override { ++paints; }

    bool saw(UINT message) const
    {
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }

    std::vector<UINT> messages;
    HWND hwndAtCreate = nullptr;
    LRESULT createResult = 0;
    int paints = 0;
};

bool createPopup(GWindow& window, DWORD style = WS_POPUP)
{
    const RECT rect = {10, 20, 210, 170};
    return window.create(0, testClass, L"", style, rect, nullptr, 0, GetModuleHandleW(nullptr));
}

TEST(GWindowTest, OnlyMessagesFromCreateToDestroyReachTheObject)
{
    RecordingWindow window;
    ASSERT_TRUE(createPopup(window));
    const HWND handle = window.hwnd;
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages.front(), static_cast<UINT>(WM_CREATE));
    // The object knew its window while handling WM_CREATE, before CreateWindowExW returned.
    EXPECT_EQ(window.hwndAtCreate, handle);
    EXPECT_FALSE(window.saw(WM_NCCREATE));
    EXPECT_FALSE(window.saw(WM_NCCALCSIZE));

    SendMessageW(handle, WM_USER + 7, 0, 0);
    EXPECT_TRUE(window.saw(WM_USER + 7));

    DestroyWindow(handle);
    EXPECT_EQ(window.messages.back(), static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(window.saw(WM_NCDESTROY));
    // The handle stays known to the object until it is destroyed or creates again.
    EXPECT_EQ(window.hwnd, handle);
}

TEST(GWindowTest, CreateFailsAndLeavesNoHandleWhenCreationIsRefused)
{
    RecordingWindow window;
    window.createResult = -1;
    EXPECT_FALSE(createPopup(window));
    EXPECT_EQ(window.hwnd, nullptr);
    // The refused window is torn down without WM_DESTROY; its last message must not reach
    // the object, nor leave it bound to the dead handle.
    EXPECT_FALSE(window.saw(WM_NCDESTROY));
}

TEST(GWindowTest, PaintReachesOnPaintAndEachWindowItsOwnObject)
{
    RecordingWindow first, second;
    ASSERT_TRUE(createPopup(first));
    ASSERT_TRUE(createPopup(second));
    ShowWindow(first.hwnd, SW_SHOWNA);
    UpdateWindow(first.hwnd);
    EXPECT_GE(first.paints, 1);
    EXPECT_EQ(second.paints, 0);

    SendMessageW(second.hwnd, WM_USER + 9, 0, 0);
    EXPECT_TRUE(second.saw(WM_USER + 9));
    EXPECT_FALSE(first.saw(WM_USER + 9));
}

TEST(GWindowTest, RegistersTheClassOnceWithoutDoubleClicks)
{
    RecordingWindow first, second;
    ASSERT_TRUE(createPopup(first));
    // The second create finds the class registered and uses it as it is.
    ASSERT_TRUE(createPopup(second));
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), testClass, &info));
    EXPECT_EQ(info.lpfnWndProc, &GWindow::windowProc);
    // Double presses are detected by the video surface itself, never by the system.
    EXPECT_EQ(info.style & CS_DBLCLKS, 0u);
    EXPECT_EQ(info.style & (CS_HREDRAW | CS_VREDRAW), static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
}

TEST(GWindowTest, DeletingTheObjectDestroysItsLiveWindowOnly)
{
    HWND handle = nullptr;
    {
        RecordingWindow window;
        ASSERT_TRUE(createPopup(window));
        handle = window.hwnd;
    }
    EXPECT_FALSE(IsWindow(handle));

    // A window destroyed from outside leaves the object with a dead handle; deleting the object
    // later must leave every other window alone.
    auto* window = new RecordingWindow;
    ASSERT_TRUE(createPopup(*window));
    DestroyWindow(window->hwnd);
    RecordingWindow other;
    ASSERT_TRUE(createPopup(other));
    delete window;
    EXPECT_TRUE(IsWindow(other.hwnd));
}

TEST(GWindowTest, AWindowOfTheClassWithoutAnObjectIsLeftToTheSystem)
{
    RecordingWindow owner;
    ASSERT_TRUE(createPopup(owner)); // registers the class
    HWND bare = CreateWindowExW(0, testClass, L"bare", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    SetWindowTextW(bare, L"renamed");
    wchar_t text[32] = {};
    GetWindowTextW(bare, text, 32);
    EXPECT_STREQ(text, L"renamed");
    DestroyWindow(bare);
    EXPECT_FALSE(IsWindow(bare));
    // The object's window was untouched by the bare one.
    SendMessageW(owner.hwnd, WM_USER + 3, 0, 0);
    EXPECT_TRUE(owner.saw(WM_USER + 3));
}

// A WM_CREATE sent by hand carries no creation data: it must neither crash the routing nor
// unbind or rebind the window it reaches.
TEST(GWindowTest, AWmCreateWithoutCreationDataChangesNoBinding)
{
    RecordingWindow window;
    ASSERT_TRUE(createPopup(window));
    const size_t seen = window.messages.size();
    SendMessageW(window.hwnd, WM_CREATE, 0, 0);
    EXPECT_EQ(window.messages.size(), seen);
    SendMessageW(window.hwnd, WM_USER + 5, 0, 0);
    EXPECT_TRUE(window.saw(WM_USER + 5));

    HWND bare = CreateWindowExW(0, testClass, L"bare", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    SendMessageW(bare, WM_CREATE, 0, 0);
    DestroyWindow(bare);
    SendMessageW(window.hwnd, WM_USER + 6, 0, 0);
    EXPECT_TRUE(window.saw(WM_USER + 6));
}

} // namespace
