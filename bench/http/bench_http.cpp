// bench_http: min-of-N time of HttpClient::send for a 16 MB body over loopback, against bare
// WinHTTP calls and the system's curl fetching the same URL in the same run.
//
// curl is a Unix program: Wine starts it through CreateProcess, but the process handle it gives
// back doesn't follow the Unix process. So a shell pipes curl's own transfer time into a second
// curl that posts it to /done on our server, which tells us both that it ended and how long it took.
#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "bench/BenchClock.h"
#include "tests/support/LoopbackServer.h"
#include "updater/http/HttpClient.h"
#include "updater/http/TransportHandle.h"
#include "updater/http/WinHttpTransport.h"

namespace {

const size_t bodyBytes = 16u << 20;
const int runs = 5;
const int curlWaitMs = 20000;

// What curl reports back: its transfer time in seconds, as it printed it.
class CurlReport {
public:
    void post(const std::string& text)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_ = text;
        posted_ = true;
        ready_.notify_all();
    }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        posted_ = false;
    }
    // Seconds, or a negative value when nothing came in time.
    double waitSeconds()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!ready_.wait_for(lock, std::chrono::milliseconds(curlWaitMs), [this] { return posted_; }))
            return -1;
        return text_.empty() ? -1 : std::strtod(text_.c_str(), nullptr);
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::string text_;
    bool posted_ = false;
};

// One fetch by a fresh HttpClient; negative when the body did not arrive whole.
double clientFetchMs(const std::wstring& url)
{
    const double start = nowMs();
    HttpClient client(url);
    const bool ok = client.send(L"GET") && client.rawBodySize == bodyBytes && client.responseText().size() == bodyBytes;
    const double elapsed = nowMs() - start;
    return ok ? elapsed : -1;
}

// The same fetch as bare WinHTTP calls reading what is available into one reused buffer: the
// floor under HttpClient, which adds body assembly, decoding and the page test.
double transportFetchMs(const LoopbackServer& server)
{
    const double start = nowMs();
    WinHttpTransport transport;
    TransportHandle session(&transport), connection(&transport), request(&transport);
    HttpTransport::UrlParts parts;
    if (transport.openSession(L"bench", session.reset()) || !transport.splitUrl(server.url(L"/big"), parts)
        || transport.connect(session.get(), parts.host, parts.port, connection.reset())
        || transport.openRequest(connection.get(), L"GET", parts.path, false, request.reset())
        || transport.sendRequest(request.get(), 0) || transport.receiveResponse(request.get()))
        return -1;
    static uint8_t buffer[1 << 20];
    size_t total = 0;
    for (;;) {
        uint32_t available = 0, read = 0;
        if (transport.queryDataAvailable(request.get(), available) || available == 0)
            break;
        if (transport.readData(request.get(), buffer, std::min<uint32_t>(available, sizeof(buffer)), read) || read == 0)
            break;
        total += read;
    }
    const double elapsed = nowMs() - start;
    return total == bodyBytes ? elapsed : -1;
}

// The cheapest way to get the memory the client's results fill for this body (the bytes, and
// the text at two bytes a character) from the system: one fresh page after another, written
// once. Under Wine on a VM a fresh page costs about 10 microseconds, so this floor, which bare
// WinHTTP reading into one reused buffer never pays, is a large part of what the client adds.
double resultPagesMs()
{
    const size_t bytes = bodyBytes * (1 + sizeof(wchar_t));
    const double start = nowMs();
    auto* pages = static_cast<volatile uint8_t*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!pages)
        return -1;
    for (size_t i = 0; i < bytes; i += 4096)
        pages[i] = 1;
    const double elapsed = nowMs() - start;
    VirtualFree(const_cast<uint8_t*>(pages), 0, MEM_RELEASE);
    return elapsed;
}

// One fetch by curl, its own transfer time; negative when curl could not be run.
double curlFetchMs(const LoopbackServer& server, CurlReport& report)
{
    const std::wstring curl = L"/usr/bin/curl -s -f";
    std::wstring command = L"/bin/sh -c \"" + curl + L" -o /dev/null -w %{time_total} " + server.url(L"/big") + L" | "
                           + curl + L" --data-binary @- " + server.url(L"/done") + L"\"";
    report.clear();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const double seconds = report.waitSeconds();
    return seconds > 0 ? seconds * 1000.0 : -1;
}

template <typename Fetch>
double minimumMs(Fetch fetch)
{
    double best = -1;
    for (int i = 0; i < runs; ++i) {
        const double ms = fetch();
        if (ms < 0)
            return -1;
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

}  // namespace

int main()
{
    std::string body(bodyBytes, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char('a' + i % 26);
    CurlReport report;
    LoopbackServer server([&](const LoopbackServer::Request& request) {
        LoopbackServer::Response response;
        if (request.target == "/done")
            report.post(request.body);
        else
            response.body = body;
        return response;
    });
    const std::wstring url = server.url(L"/big");

    clientFetchMs(url);  // warm-up: the first use of WinHTTP loads and initialises a lot
    const double client = minimumMs([&] { return clientFetchMs(url); });
    const double transport = minimumMs([&] { return transportFetchMs(server); });
    const double curl = minimumMs([&] { return curlFetchMs(server, report); });
    const double pages = minimumMs(resultPagesMs);
    if (client < 0 || transport < 0 || curl < 0) {
        std::printf("http-error: %s\n", curl < 0 ? "curl could not fetch" : "WinHTTP fetch failed");
        return 1;
    }
    std::printf("http-body-bytes: %u\n", unsigned(bodyBytes));
    std::printf("http-client-ms: %.1f\n", client);
    std::printf("http-winhttp-bare-ms: %.1f\n", transport);
    std::printf("http-curl-ms: %.1f\n", curl);
    std::printf("http-vs-curl: %.2f\n", client / curl);
    std::printf("http-vs-winhttp: %.2f\n", client / transport);
    std::printf("http-result-pages-ms: %.1f\n", pages);
    std::printf("http-vs-winhttp-floor: %.2f\n", (transport + pages) / transport);
    return 0;
}
