// Quillet.exe driven from outside its process, as a user would: the Open dialog, the caption,
// Next and Previous, the placement kept across a restart, and the bar as a screen reader reads it.
// The libvlc test double sits beside the program in the build's bin folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>
#include <string>
#include <utility>
#include <vector>

#include "common/ComPtr.h"
#include "tests/support/PlayerDriver.h"
#include "videoplayer/res/resource.h"

namespace {

const wchar_t settingsKey[] = L"Software\\Tellan Media Player";

class PlayerProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyW(HKEY_CURRENT_USER, settingsKey);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"quillet-driver-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"a.mp4", L"b.mp4", L"c.mp4"}) {
            HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                      nullptr);
            CloseHandle(file);
        }
    }
    void TearDown() override
    {
        for (const wchar_t* name : {L"a.mp4", L"b.mp4", L"c.mp4"})
            DeleteFileW((folder + L"\\" + name).c_str());
        RemoveDirectoryW(folder.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, settingsKey);
    }

    bool captionShows(PlayerDriver& player, const std::wstring& name)
    {
        return waitFor([&] {
            const std::wstring text = windowText(player.window);
            return text.rfind(L"Quillet 1.1 - " + name + L" | ", 0) == 0 && text.size() > 20;
        });
    }

    std::wstring folder;
};

TEST_F(PlayerProcessTest, OpensAFileAndStepsThroughItsFolder)
{
    PlayerDriver player(programFolder());
    ASSERT_TRUE(player.started);
    ASSERT_NE(player.window, nullptr);
    ASSERT_TRUE(waitFor([&] { return windowText(player.window) == L"Quillet 1.1"; }));

    ASSERT_TRUE(player.openThroughDialog(folder + L"\\a.mp4"));
    ASSERT_TRUE(captionShows(player, L"a.mp4")) << "caption: " << testing::PrintToString(windowText(player.window));
    EXPECT_NE(windowText(player.window).find(L" | 00:10:00"), std::wstring::npos);

    player.command(IDM_NEXT);
    EXPECT_TRUE(captionShows(player, L"b.mp4"));
    player.command(IDM_PREVIOUS);
    EXPECT_TRUE(captionShows(player, L"a.mp4"));
    player.command(IDM_PREVIOUS);
    EXPECT_TRUE(captionShows(player, L"c.mp4")) << "Previous on the first file wraps to the last";

    EXPECT_EQ(player.close(), 0u);
}

TEST_F(PlayerProcessTest, TheWindowComesBackWhereItWasClosed)
{
    RECT placed = {};
    {
        PlayerDriver player(programFolder());
        ASSERT_NE(player.window, nullptr);
        SetWindowPos(player.window, nullptr, 90, 70, 760, 560, SWP_NOZORDER);
        ASSERT_TRUE(waitFor([&] {
            GetWindowRect(player.window, &placed);
            return placed.left == 90 && placed.right - placed.left == 760;
        }));
        EXPECT_EQ(player.close(), 0u);
    }
    PlayerDriver again(programFolder());
    ASSERT_NE(again.window, nullptr);
    RECT restored = {};
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(again.window, &restored);
        return EqualRect(&restored, &placed) != 0;
    })) << restored.left << "," << restored.top << " " << restored.right << "," << restored.bottom;
    EXPECT_EQ(again.close(), 0u);
}

TEST_F(PlayerProcessTest, AFileOnTheCommandLineOpensNothing)
{
    PlayerDriver player(programFolder(), L"\"" + folder + L"\\a.mp4\"");
    ASSERT_NE(player.window, nullptr);
    Sleep(800); // a few timer ticks, each of which rewrites the caption
    EXPECT_EQ(windowText(player.window), L"Quillet 1.1");
    EXPECT_EQ(player.close(), 0u);
}

// Whether the player has loaded a DLL of this name.
bool hasModule(DWORD processId, const wchar_t* name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    MODULEENTRY32W module = {};
    module.dwSize = sizeof(module);
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = lstrcmpiW(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// One child of an accessible object, as a screen reader reads it.
struct Read {
    std::wstring name, value;
    long role = 0, state = 0;
};

// Text a client is handed, and frees.
std::wstring takeText(BSTR text)
{
    std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return taken;
}

Read readChild(IAccessible& object, long id)
{
    VARIANT child = {};
    child.vt = VT_I4;
    child.lVal = id;
    Read read;
    BSTR text = nullptr;
    object.get_accName(child, &text);
    read.name = takeText(text);
    text = nullptr;
    object.get_accValue(child, &text);
    read.value = takeText(text);
    VARIANT number = {};
    if (object.get_accRole(child, &number) == S_OK && number.vt == VT_I4)
        read.role = number.lVal;
    if (object.get_accState(child, &number) == S_OK && number.vt == VT_I4)
        read.state = number.lVal;
    return read;
}

// The objects are asked for as a screen reader asks: by window, from another process.
ComPtr<IAccessible> accessibleOf(HWND window)
{
    ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(object.receive()));
    return object;
}

// The change events the player announces, as a screen reader's hook hears them.
struct Heard {
    DWORD event;
    HWND window;
    LONG child;
};
std::vector<Heard> heard;

void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_CLIENT)
        heard.push_back(Heard{event, window, child});
}

// The hook's calls arrive as messages to this thread.
bool hasHeard(DWORD event, HWND window, LONG child)
{
    return waitFor([&] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        for (const Heard& h : heard)
            if (h.event == event && h.window == window && h.child == child)
                return true;
        return false;
    });
}

TEST_F(PlayerProcessTest, AScreenReaderFindsTheBarsControlsAndFollowsThem)
{
    PlayerDriver player(programFolder());
    ASSERT_NE(player.window, nullptr);
    HWND bar = nullptr;
    ASSERT_TRUE(waitFor([&] {
        bar = FindWindowExW(player.window, nullptr, L"#32770", nullptr);
        return bar && GetDlgItem(bar, IDC_BAR_MUTE);
    }));
    EXPECT_FALSE(hasModule(player.process.dwProcessId, L"oleacc.dll")) << "accessibility is loaded only when asked";

    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, hear,
                                         player.process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
    {
        ComPtr<IAccessible> barObject = accessibleOf(bar);
        ASSERT_TRUE(barObject);
        const auto child = [&](long id) { return readChild(*barObject.get(), id); };
        const std::vector<std::pair<std::wstring, long>> parts = {
            {L"Open", ROLE_SYSTEM_PUSHBUTTON},  {L"Stop", ROLE_SYSTEM_PUSHBUTTON},     {L"Play", ROLE_SYSTEM_PUSHBUTTON},
            {L"Pause", ROLE_SYSTEM_PUSHBUTTON}, {L"Previous", ROLE_SYSTEM_PUSHBUTTON}, {L"Next", ROLE_SYSTEM_PUSHBUTTON},
            {L"Position", ROLE_SYSTEM_SLIDER},  {L"Volume", ROLE_SYSTEM_SLIDER},       {L"Mute", ROLE_SYSTEM_PUSHBUTTON}};
        long count = 0;
        ASSERT_EQ(barObject->get_accChildCount(&count), S_OK);
        ASSERT_EQ(count, static_cast<long>(parts.size()));
        for (long id = 1; id <= count; ++id) {
            EXPECT_EQ(child(id).name, parts[id - 1].first) << id;
            EXPECT_EQ(child(id).role, parts[id - 1].second) << id;
        }
        // Nothing is open: nothing to step to, and Stop waits hidden behind Open.
        EXPECT_NE(child(5).state & STATE_SYSTEM_UNAVAILABLE, 0);
        EXPECT_NE(child(2).state & STATE_SYSTEM_INVISIBLE, 0);
        EXPECT_EQ(child(1).state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE), 0);

        EXPECT_EQ(child(8).value, L"100 percent");
        player.command(IDM_VOLUME_DOWN);
        EXPECT_TRUE(waitFor([&] { return child(8).value == L"90 percent"; })) << testing::PrintToString(child(8).value);
        EXPECT_TRUE(hasHeard(EVENT_OBJECT_VALUECHANGE, bar, 8));
        player.command(IDM_MUTE);
        EXPECT_TRUE(waitFor([&] { return child(9).name == L"Unmute" && (child(9).state & STATE_SYSTEM_PRESSED); }));
        EXPECT_TRUE(hasHeard(EVENT_OBJECT_NAMECHANGE, GetDlgItem(bar, IDC_BAR_MUTE), CHILDID_SELF));

        // A button's own window, which a screen reader asks under the mouse or the focus, answers
        // with the object the bar lists, placed where the button is.
        HWND open = GetDlgItem(bar, IDC_BAR_OPEN);
        ComPtr<IAccessible> openObject = accessibleOf(open);
        ASSERT_TRUE(openObject);
        EXPECT_EQ(readChild(*openObject.get(), CHILDID_SELF).name, L"Open");
        RECT shown = {};
        GetWindowRect(open, &shown);
        VARIANT self = {};
        self.vt = VT_I4;
        long left = 0, top = 0, width = 0, height = 0;
        EXPECT_EQ(openObject->accLocation(&left, &top, &width, &height, self), S_OK);
        const RECT located = {left, top, left + width, top + height};
        EXPECT_TRUE(EqualRect(&located, &shown));

        // Playing, the video area bears the file's name and the position reads against the length.
        ASSERT_TRUE(player.openThroughDialog(folder + L"\\a.mp4"));
        ComPtr<IAccessible> video = accessibleOf(FindWindowExW(player.window, nullptr, L"Player_CtrlClass", nullptr));
        ASSERT_TRUE(video);
        EXPECT_TRUE(waitFor([&] { return readChild(*video.get(), CHILDID_SELF).name == L"a.mp4"; }));
        EXPECT_TRUE(waitFor([&] {
            const std::wstring value = child(7).value;
            const size_t of = value.find(L" of ");
            return of != std::wstring::npos && of >= 4 && value.substr(of) == L" of 10:00";
        })) << testing::PrintToString(child(7).value);
    }
    UnhookWinEvent(hook);
    CoUninitialize();
    EXPECT_EQ(player.close(), 0u);
}

// The environment of the players this test starts, for the libvlc test double beside them.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) { SetEnvironmentVariableW(name, value); }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }

private:
    const wchar_t* name_;
};

// A drop and a command posted while libVLC still starts are carried out once it is ready.
TEST_F(PlayerProcessTest, ADropAndACommandBeforeLibVlcIsReadyAreNotLost)
{
    const ScopedEnvironment slowStart(L"FAKEVLC_NEW_DELAY_MS", L"1500");
    PlayerDriver player(programFolder());
    ASSERT_NE(player.window, nullptr);
    ASSERT_TRUE(player.dropFile(folder + L"\\a.mp4"));
    player.command(IDM_NEXT);
    EXPECT_TRUE(captionShows(player, L"b.mp4")) << "caption: " << testing::PrintToString(windowText(player.window));
    EXPECT_EQ(player.close(), 0u);
}

// Quillet.exe and its update library alone in a folder of their own, beside an optional
// stand-in for libvlc.dll.
class LoneProgram {
public:
    explicit LoneProgram(const wchar_t* libVlcStandIn)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"quillet-lone-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"Quillet.exe", L"tellanupdate.dll"})
            copied.push_back(copy(name, name));
        if (libVlcStandIn)
            copied.push_back(copy(libVlcStandIn, L"libvlc.dll"));
    }
    ~LoneProgram()
    {
        for (const std::wstring& file : copied)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring folder;

private:
    std::wstring copy(const wchar_t* from, const wchar_t* to)
    {
        const std::wstring target = folder + L"\\" + to;
        CopyFileW((programFolder() + L"\\" + from).c_str(), target.c_str(), FALSE);
        return target;
    }
    std::vector<std::wstring> copied;
};

// Whatever keeps libVLC from starting, the user is told, and the program ends with 0.
void expectEngineMessageAndExitZero(const std::wstring& folder)
{
    PlayerDriver player(folder);
    ASSERT_TRUE(player.started);
    HWND box = waitForWindow(L"#32770", L"Quillet", 20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), L"Quillet could not start its video engine.");
    clickButton(box, IDOK);
    DWORD code = 0xFFFFFFFF;
    EXPECT_TRUE(player.exited(15000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(PlayerProcessTest, LibVlcRefusingToStartIsReportedAndTheExitCodeIsZero)
{
    const ScopedEnvironment refuse(L"FAKEVLC_FAIL_NEW", L"1");
    expectEngineMessageAndExitZero(programFolder());
}

TEST_F(PlayerProcessTest, AMissingLibVlcDllIsReportedByThePlayerNotTheLoader)
{
    const LoneProgram lone(nullptr);
    expectEngineMessageAndExitZero(lone.folder);
}

// A DLL of that name that lacks libVLC's functions (here: the update library) is no libVLC.
TEST_F(PlayerProcessTest, ALibVlcDllWithoutLibVlcsFunctionsIsReported)
{
    const LoneProgram lone(L"tellanupdate.dll");
    expectEngineMessageAndExitZero(lone.folder);
}

} // namespace
