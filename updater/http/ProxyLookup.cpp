// The automatic proxy lookup, on a thread of its own that the caller may leave behind.
#include "updater/http/ProxyLookup.h"

#include <memory>
#include <new>

#include "common/LibraryHold.h"
#include "common/WinHttpHandles.h"

namespace {

using ProxyInfo = HttpTransport::ProxyInfo;

// Everything one lookup reads and writes; shared by the caller and the lookup's thread, which
// the caller reads only once the thread has ended.
struct Lookup {
    std::wstring url;
    std::wstring autoConfigUrl;
    uint32_t timeoutMs = 0;
    uint32_t error = HttpTransport::errorTimeout;
    ProxyInfo found;
};

// What the lookup's thread starts with: its share of the lookup, and the hold on the library.
struct LookupStart {
    std::shared_ptr<Lookup> lookup;
    UniqueModule module;
};

std::wstring textOf(const UniqueWinHttpString& text) { return text ? std::wstring(text.get()) : std::wstring(); }

uint32_t lookUp(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t timeoutMs, ProxyInfo& proxy)
{
    // A session of the lookup's own: the caller's may be closed while the lookup still runs.
    const UniqueWinHttpHandle session(
        WinHttpOpen(L"tellanupdate", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session)
        return GetLastError();
    if (timeoutMs > 0) {
        const int limit = static_cast<int>(timeoutMs);
        WinHttpSetTimeouts(session.get(), limit, limit, limit, limit);
    }
    // The script the user's settings name, and no other: one found by asking the network (WPAD)
    // would let whoever answers there pick the proxy every request then goes through.
    WINHTTP_AUTOPROXY_OPTIONS options{};
    options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = autoConfigUrl.c_str();
    // The script's server is no proxy: it gets no Windows logon.
    options.fAutoLogonIfChallenged = FALSE;
    WINHTTP_PROXY_INFO raw{};
    const BOOL ok = WinHttpGetProxyForUrl(session.get(), url.c_str(), &options, &raw);
    const uint32_t error = ok ? 0 : GetLastError();
    const UniqueWinHttpString servers(raw.lpszProxy);
    const UniqueWinHttpString bypass(raw.lpszProxyBypass);
    if (error)
        return error;
    proxy.accessType = raw.dwAccessType;
    proxy.servers = textOf(servers);
    proxy.bypass = textOf(bypass);
    return 0;
}

DWORD WINAPI lookupThread(void* raw)
{
    std::unique_ptr<LookupStart> start(static_cast<LookupStart*>(raw));
    Lookup& lookup = *start->lookup;
    lookup.error = lookUp(lookup.url, lookup.autoConfigUrl, lookup.timeoutMs, lookup.found);
    // Given back by hand, as the thread's last act: no owner could run after the code it is in
    // has gone.
    const HMODULE module = start->module.release();
    start.reset();  // possibly the lookup's last owner
    if (module)
        FreeLibraryAndExitThread(module, 0);
    return 0;
}

} // namespace

uint32_t ProxyLookup::run(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t timeoutMs,
                          ProxyInfo& proxy)
{
    if (timeoutMs == 0)
        return lookUp(url, autoConfigUrl, 0, proxy);
    // The system's lookup takes no deadline: finding the script, fetching it from a server that
    // may never answer and running it can each take longer than the caller has.
    const auto lookup = std::make_shared<Lookup>();
    lookup->url = url;
    lookup->autoConfigUrl = autoConfigUrl;
    lookup->timeoutMs = timeoutMs;
    std::unique_ptr<LookupStart> start(
        new (std::nothrow) LookupStart{lookup, holdLibraryOf(reinterpret_cast<const void*>(&lookupThread))});
    const UniqueKernelHandle thread(start ? CreateThread(nullptr, 0, lookupThread, start.get(), 0, nullptr) : nullptr);
    if (!thread)
        return start ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
    start.release();  // the thread's now
    if (WaitForSingleObject(thread.get(), timeoutMs) != WAIT_OBJECT_0)
        return HttpTransport::errorTimeout;
    if (lookup->error == 0)
        proxy = lookup->found;
    return lookup->error;
}
