// HttpClient: one synchronous HTTP GET or POST to one URL, with the user's proxy as fall-back,
// cookies in and out, progress reports, and the body decoded to wide text.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "updater/http/HttpTransport.h"
#include "updater/http/PageAllocator.h"
#include "updater/http/TransportHandle.h"

class HttpClient {
public:
    // Error codes the client sets itself; any other lastError is a system error code.
    enum : uint32_t { errorEmptyUrl = 3, errorTruncatedPage = 13, errorBadVerb = 87, errorBodyTooLong = 223 };

    explicit HttpClient(const std::wstring& url);  // over WinHTTP
    HttpClient(const std::wstring& url, std::unique_ptr<HttpTransport> transport);
    ~HttpClient();

    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // One exchange; `verb` is GET or POST in any letter case. True when a response arrived and
    // its body was read and decoded, whatever its HTTP status.
    bool send(const std::wstring& verb);
    const std::wstring& responseText() const { return responseText_; }

private:
    std::unique_ptr<HttpTransport> transport;  // declared first: the handles below close through it
    std::wstring responseText_;                // read through responseText()

public:
    TransportHandle rootHandle;  // the session, opened by the first send and kept until destruction
    bool verifyCertificates = false;
    std::wstring url;
    std::wstring host;
    std::wstring responseHeaders;
    std::wstring charset;
    // The body buffer; its size is the capacity, zeroed past the data.
    std::vector<uint8_t, PageAllocator<uint8_t>> rawBody;
    uint32_t rawBodySize = 0;
    void (*progressCallback)(double percent) = nullptr;
    int32_t contentLength = 0;
    std::wstring receivedCookies;
    std::wstring cookies;
    std::unique_ptr<uint8_t[]> requestBody;
    uint32_t requestBodySize = 0;
    std::wstring extraHeaders;
    std::wstring proxy;
    uint32_t lastError = 0;
    std::wstring statusCode;
    std::wstring userAgent = L"HttpClient";
    bool charsetFixed = false;
    std::wstring proxyUser;
    std::wstring proxyPassword;
    std::wstring location;
    int32_t resolveTimeout = 0;
    int32_t connectTimeout = 60000;
    int32_t sendTimeout = 30000;
    int32_t receiveTimeout = 30000;
    // Bounds beyond the per-call time-outs, both off (0) unless a caller sets them. A send that
    // runs past `totalTimeout` milliseconds, all attempts and waits included, fails with the
    // time-out error; per-call waits shrink to the time left, and the body is read against the
    // clock too, so a server that drips its reply can't stretch the send. A body longer than
    // `maxBodySize` bytes fails the send unread beyond that and is not kept.
    int32_t totalTimeout = 0;
    uint32_t maxBodySize = 0;

private:
    enum class Attempt { complete, incomplete, bodyFailed };
    enum class BodyRead { whole, cutShort, noBuffer, tooLong, outOfTime };
    enum class ReadData { read, nothing, noRoom };

    bool attempts(HttpTransport::Handle request, const std::wstring& verb);
    Attempt attempt(HttpTransport::Handle request, const std::wstring& verb);
    void addRequestHeaders(HttpTransport::Handle request);
    void applyOwnProxy(HttpTransport::Handle request);
    bool sendWithProxyFallback(HttpTransport::Handle request);
    void setNamedProxy(HttpTransport::Handle request, const std::wstring& servers, const std::wstring& bypass);
    void evaluateHeaders(HttpTransport::Handle request);
    // Reads the body into rawBody: whole, cut short because a buffer couldn't grow, or not at all
    // because the first buffer couldn't be had.
    BodyRead readBody(HttpTransport::Handle request);
    ReadData readAvailable(HttpTransport::Handle request, uint32_t received, uint32_t available, uint32_t& read);
    bool makeRoom(uint32_t received, uint64_t needed);
    void reportProgress(uint32_t received) const;
    void decodeBody();
    bool decodeBodyAs(unsigned codePage, unsigned long flags);
    bool pageIsCutOff() const;
    uint32_t bodySize() const;  // the request body's length, 0 without one
    void record(uint32_t error);
    // True while the send's time is not up, after shrinking `handle`'s waits to what is left.
    bool timeLeft(HttpTransport::Handle handle);
    // What is left of the send's time in milliseconds (at least 1), or 0 when it has no limit.
    uint32_t millisecondsLeft() const;
    uint32_t bodyLimit() const;
    uint64_t firstBodyCapacity() const;

    std::vector<uint8_t> chunk_;  // scratch for a read that makes the body buffer grow
    std::chrono::steady_clock::time_point deadline_;  // of the running send, when totalTimeout is set
};
