// HttpClient: the exchange itself (attempt budget, proxy fall-back, header evaluation, body
// assembly, decoding, completeness test), over whatever HttpTransport it is given.
#include "updater/http/HttpClient.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "common/AsciiCase.h"
#include "common/PathLimits.h"
#include "updater/http/ResponseHeaders.h"
#include "updater/http/WinHttpTransport.h"

namespace {

const int attemptBudget = 3;
const uint32_t initialBodyCapacity = 10240;
// Far above any reply the updater expects, and low enough that the capacity, the size plus its
// terminating zero and the decoder's int length can never overflow.
const uint64_t maxBodyCapacity = 1u << 30;
const uint64_t maxFirstBodyCapacity = uint64_t(initialBodyCapacity) << 13;  // 80 MiB
const size_t maxProxyText = maxPathLength;  // what WinHTTP's proxy settings are sized for

// `needle` is lower-case; the text's A to Z count as a to z.
bool containsIgnoringCase(const std::wstring& text, const std::wstring& needle)
{
    const auto same = [](wchar_t a, wchar_t b) { return asciiLower(a) == b; };
    return std::search(text.begin(), text.end(), needle.begin(), needle.end(), same) != text.end();
}

}  // namespace

HttpClient::HttpClient(const std::wstring& url) : HttpClient(url, std::make_unique<WinHttpTransport>()) {}

HttpClient::HttpClient(const std::wstring& url, std::unique_ptr<HttpTransport> transport)
    : transport(std::move(transport)), rootHandle(this->transport.get()), url(url)
{
}

// rawBody and requestBody free themselves; rootHandle closes through the transport, which is
// destroyed after it.
HttpClient::~HttpClient() = default;

bool HttpClient::send(const std::wstring& requestedVerb)
{
    if (url.empty()) {
        lastError = errorEmptyUrl;
        return false;
    }
    const std::wstring verb = asciiUppered(requestedVerb);
    if (verb != L"GET" && verb != L"POST") {
        lastError = errorBadVerb;
        return false;
    }
    if (!rootHandle) {
        if (const uint32_t error = transport->openSession(userAgent, rootHandle.reset())) {
            lastError = error;
            return false;
        }
    }
    transport->setTimeouts(rootHandle.get(), {resolveTimeout, connectTimeout, sendTimeout, receiveTimeout});
    if (totalTimeout > 0)
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(totalTimeout);

    HttpTransport::UrlParts parts;
    if (!transport->splitUrl(url, parts))
        return false;
    host = parts.host;
    TransportHandle connection(transport.get());
    if (transport->connect(rootHandle.get(), parts.host, parts.port, connection.reset()) != 0)
        return false;
    TransportHandle request(transport.get());
    if (transport->openRequest(connection.get(), verb, parts.path, parts.secure, request.reset()) != 0)
        return false;
    if (parts.secure && !verifyCertificates)
        transport->ignoreCertificateErrors(request.get());

    return attempts(request.get(), verb);
}

// Every attempt reuses the one request handle; a proxy found on the way stays set on it.
bool HttpClient::attempts(HttpTransport::Handle request, const std::wstring& verb)
{
    for (int i = 0; i < attemptBudget; ++i) {
        if (!timeLeft(request))
            return false;
        switch (attempt(request, verb)) {
        case Attempt::complete: return true;
        case Attempt::incomplete: break;
        case Attempt::bodyFailed: return false;
        }
    }
    return false;
}

HttpClient::Attempt HttpClient::attempt(HttpTransport::Handle request, const std::wstring& verb)
{
    addRequestHeaders(request);
    applyOwnProxy(request);
    if (!sendWithProxyFallback(request))
        return Attempt::incomplete;
    if (requestBody && timeLeft(request))
        record(transport->writeData(request, requestBody.get(), requestBodySize));
    if (!timeLeft(request))
        return Attempt::bodyFailed;
    if (const uint32_t error = transport->receiveResponse(request)) {
        lastError = error;
        return Attempt::incomplete;
    }
    evaluateHeaders(request);
    std::wstring status;
    if (transport->queryHeaders(request, HttpTransport::HeaderQuery::statusCode, status) == 0)
        statusCode = status;
    const BodyRead body = readBody(request);
    if (body == BodyRead::noBuffer || body == BodyRead::tooLong || body == BodyRead::outOfTime)
        return Attempt::bodyFailed;
    decodeBody();
    if (body == BodyRead::cutShort)
        return Attempt::bodyFailed;
    if (verb == L"GET" && pageIsCutOff()) {
        lastError = errorTruncatedPage;
        return Attempt::incomplete;
    }
    return Attempt::complete;
}

// Added again in every attempt; the coalesce flag folds a repeated header into the first one.
void HttpClient::addRequestHeaders(HttpTransport::Handle request)
{
    if (!extraHeaders.empty())
        record(transport->addHeaders(request, extraHeaders));
    if (!cookies.empty())
        record(transport->addHeaders(request, L"Cookie: " + cookies));
}

void HttpClient::applyOwnProxy(HttpTransport::Handle request)
{
    if (proxy.empty())
        return;
    setNamedProxy(request, proxy, std::wstring());
    if (proxyUser.empty())
        return;
    record(transport->setProxyUserName(request, proxyUser));
    if (!proxyPassword.empty())
        record(transport->setProxyPassword(request, proxyPassword));
}

// Sends the request; when that fails, turns to the user's proxy configuration. True when the
// request went out in this attempt.
bool HttpClient::sendWithProxyFallback(HttpTransport::Handle request)
{
    if (transport->sendRequest(request, bodySize()) == 0)
        return true;
    HttpTransport::ProxyConfig config;
    if (const uint32_t error = transport->currentUserProxyConfig(config)) {
        lastError = error;
        return false;
    }
    if (!config.autoConfigUrl.empty()) {
        HttpTransport::ProxyInfo found;
        if (!timeLeft(rootHandle.get()))
            return false;
        // Finding and running the script counts against the send's time like any other wait.
        if (const uint32_t error = transport->proxyForUrl(url, config.autoConfigUrl, millisecondsLeft(), found)) {
            lastError = error;
            return false;
        }
        return transport->setProxy(request, found) == 0 && timeLeft(request) &&
               transport->sendRequest(request, bodySize()) == 0;
    }
    // A listed proxy takes effect from the next attempt on.
    if (!config.servers.empty())
        setNamedProxy(request, config.servers, config.bypass);
    return false;
}

// A proxy text too long for WinHTTP's settings is refused whole rather than cut into a
// different server name.
void HttpClient::setNamedProxy(HttpTransport::Handle request, const std::wstring& servers, const std::wstring& bypass)
{
    if (servers.size() > maxProxyText || bypass.size() > maxProxyText) {
        lastError = HttpTransport::errorInvalidParameter;
        return;
    }
    HttpTransport::ProxyInfo info;
    info.accessType = HttpTransport::ProxyInfo::namedProxy;
    info.servers = servers;
    info.bypass = bypass;
    record(transport->setProxy(request, info));
}

void HttpClient::evaluateHeaders(HttpTransport::Handle request)
{
    std::wstring headers;
    if (transport->queryHeaders(request, HttpTransport::HeaderQuery::rawHeaders, headers) != 0)
        return;
    responseHeaders = headers;
    evaluateResponseHeaders(responseHeaders, !charsetFixed, charset, contentLength, location, receivedCookies);
}

HttpClient::BodyRead HttpClient::readBody(HttpTransport::Handle request)
{
    rawBody = decltype(rawBody)();
    rawBodySize = 0;
    for (const uint64_t capacity : {firstBodyCapacity(), uint64_t(initialBodyCapacity)}) {
        try {
            rawBody.resize(static_cast<size_t>(capacity));  // zeroed pages
            break;
        } catch (const std::bad_alloc&) {
        }
    }
    if (rawBody.empty())
        return BodyRead::noBuffer;
    uint32_t received = 0;
    BodyRead result = BodyRead::whole;
    uint32_t available = 0;
    do {
        available = 0;
        if (!timeLeft(request)) {
            result = BodyRead::outOfTime;
            break;
        }
        if (const uint32_t error = transport->queryDataAvailable(request, available)) {
            lastError = error;
            available = 0;
            break;
        }
        reportProgress(received);
        if (available == 0)
            break;
        if (uint64_t(received) + available > bodyLimit()) {
            result = BodyRead::tooLong;
            break;
        }
        uint32_t read = 0;
        const ReadData step = readAvailable(request, received, available, read);
        // A buffer that can't be had ends the body: asking again would only spin.
        if (step == ReadData::noRoom) {
            result = BodyRead::cutShort;
            break;
        }
        if (step == ReadData::nothing)
            break;
        received += read;
    } while (available > 0);
    if (result == BodyRead::tooLong) {
        // What a body over the limit holds is worth nothing; it is not kept.
        lastError = errorBodyTooLong;
        rawBody = decltype(rawBody)();
        received = 0;
    }
    reportProgress(received);
    rawBodySize = received;
    return result;
}

// Reads the `available` bytes into the body after its first `received` bytes. They go straight
// into the buffer when it has room for them (and the zero byte after them); only a read that
// makes it grow goes through a scratch chunk first, so that the buffer grows by what arrived.
HttpClient::ReadData HttpClient::readAvailable(HttpTransport::Handle request, uint32_t received, uint32_t available,
                                               uint32_t& read)
{
    read = 0;
    if (uint64_t(received) + available + 1 <= rawBody.size()) {
        if (transport->readData(request, rawBody.data() + received, available, read) != 0 || read == 0)
            return ReadData::nothing;
        read = std::min(read, available);
        return ReadData::read;
    }
    try {
        chunk_.resize(available);
    } catch (const std::bad_alloc&) {
        return ReadData::noRoom;
    }
    if (transport->readData(request, chunk_.data(), available, read) != 0 || read == 0)
        return ReadData::nothing;
    read = std::min(read, available);
    if (!makeRoom(received, uint64_t(received) + read + 1))
        return ReadData::noRoom;
    std::memcpy(rawBody.data() + received, chunk_.data(), read);
    return ReadData::read;
}

// A body whose length the server stated gets a buffer that holds it from the start: each doubling
// on the way would copy everything received so far into fresh pages. The capacity stays one of the
// doubling steps, and a stated length past the cap (true or not) only starts the buffer at the cap,
// so a lying server gets untouched pages, not a large part of a 32-bit address space.
uint64_t HttpClient::firstBodyCapacity() const
{
    const uint64_t wanted = std::min<uint64_t>(static_cast<uint32_t>(contentLength), bodyLimit()) + 1;
    uint64_t capacity = initialBodyCapacity;
    while (capacity < wanted && capacity * 2 <= maxFirstBodyCapacity)
        capacity *= 2;
    return capacity;
}

// The largest body read: the caller's limit, or what the buffer can ever hold.
uint32_t HttpClient::bodyLimit() const
{
    const uint32_t bufferLimit = static_cast<uint32_t>(maxBodyCapacity - 1);
    return maxBodySize != 0 && maxBodySize < bufferLimit ? maxBodySize : bufferLimit;
}

uint32_t HttpClient::millisecondsLeft() const
{
    if (totalTimeout <= 0)
        return 0;
    using namespace std::chrono;
    const int64_t left = duration_cast<milliseconds>(deadline_ - steady_clock::now()).count();
    return left > 0 ? static_cast<uint32_t>(left) : 1;
}

bool HttpClient::timeLeft(HttpTransport::Handle handle)
{
    if (totalTimeout <= 0)
        return true;
    using namespace std::chrono;
    const int64_t left = duration_cast<milliseconds>(deadline_ - steady_clock::now()).count();
    if (left <= 0) {
        lastError = HttpTransport::errorTimeout;
        return false;
    }
    // A configured 0 means no limit, which the time left replaces.
    auto shrink = [left](int32_t configured) {
        return static_cast<int>(configured > 0 && configured < left ? configured : left);
    };
    transport->setTimeouts(handle, {shrink(resolveTimeout), shrink(connectTimeout), shrink(sendTimeout),
                                    shrink(receiveTimeout)});
    return true;
}

// Doubles the body buffer until `needed` bytes fit; the old buffer stays when that fails.
bool HttpClient::makeRoom(uint32_t received, uint64_t needed)
{
    uint64_t capacity = rawBody.size();
    if (needed <= capacity)
        return true;
    while (capacity < needed)
        capacity *= 2;
    if (capacity > maxBodyCapacity)
        return false;
    try {
        decltype(rawBody) larger(static_cast<size_t>(capacity));  // zeroed pages
        std::copy(rawBody.begin(), rawBody.begin() + received, larger.begin());
        rawBody.swap(larger);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void HttpClient::reportProgress(uint32_t received) const
{
    if (progressCallback && contentLength != 0)
        progressCallback(double(received) * 100.0 / double(static_cast<uint32_t>(contentLength)));
}

// UTF-8 when the charset says so, else the system's ANSI code page; the zero byte after the data
// goes in too, so the text ends at the body's first zero byte. Falls back on ANSI when the chosen
// code page can't decode the body.
void HttpClient::decodeBody()
{
    const bool utf8 = charset.size() >= 5 && asciiUppered(charset.substr(0, 5)) == L"UTF-8";
    if (!(utf8 && decodeBodyAs(CP_UTF8, 0)))
        decodeBodyAs(CP_ACP, MB_PRECOMPOSED);
}

// Neither code page yields more UTF-16 units than it reads bytes, so one pass into a buffer of the
// input's size replaces a length query over the whole body. Both turn a zero byte, and only a zero
// byte, into a NUL, so the text that ends at the first NUL is the decoding of the bytes before the
// first zero byte: only those (and that zero byte) are decoded.
bool HttpClient::decodeBodyAs(unsigned codePage, unsigned long flags)
{
    if (rawBody.size() <= rawBodySize)
        return false;  // no body buffer with its zero byte
    const char* bytes = reinterpret_cast<const char*>(rawBody.data());
    const void* zero = std::memchr(bytes, 0, static_cast<size_t>(rawBodySize) + 1);
    const int size = static_cast<int>(static_cast<const char*>(zero) - bytes) + 1;
    try {
        std::wstring text(static_cast<size_t>(size), L'\0');
        const int length = MultiByteToWideChar(codePage, flags, bytes, size, &text[0], size);
        if (length == 0)
            return false;
        text.resize(static_cast<size_t>(length - 1));
        responseText_.swap(text);
        return true;
    } catch (const std::bad_alloc&) {
        return true;  // no memory for the text: the previous one stays, as for a failed decode
    }
}

// "<html>" holds no character the pattern matcher treats specially, and the matcher folds only
// A to Z: a plain search with the same folding finds what it finds, without running its
// instruction loop over a body of megabytes.
bool HttpClient::pageIsCutOff() const
{
    return containsIgnoringCase(responseText_, L"<html>") && !containsIgnoringCase(responseText_, L"</html>");
}

uint32_t HttpClient::bodySize() const
{
    return requestBody ? requestBodySize : 0;
}

void HttpClient::record(uint32_t error)
{
    if (error != 0)
        lastError = error;
}
