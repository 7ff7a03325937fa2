// Helpers shared by the tests.
#include "tests/support/TestSupport.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "tests/support/FakeVlc.h"

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return done();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void pumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    pumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

bool returnsWithin(std::function<void()> work, DWORD timeoutMs)
{
    const auto done = std::make_shared<std::atomic<bool>>(false);
    std::thread([work, done] {
        work();
        *done = true;
    }).detach();
    return pumpUntil([&] { return done->load(); }, timeoutMs);
}

void useProxyFromSettings(const std::wstring& proxyUrl)
{
    SetEnvironmentVariableW(L"http_proxy", proxyUrl.c_str());
}

std::string fakeVlcCalls()
{
    std::string all;
    for (int i = 0; i < fakevlc_callCount(); ++i)
        all += std::string(i ? " " : "") + fakevlc_callAt(i);
    return all;
}

int fakeVlcCallIndex(const char* name, int from)
{
    for (int i = from; i < fakevlc_callCount(); ++i)
        if (std::strcmp(fakevlc_callAt(i), name) == 0)
            return i;
    return -1;
}
