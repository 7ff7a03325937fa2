// HttpTransport: the synchronous operations an HTTP exchange is made of (session, connection,
// request, proxy settings, headers, body), as HttpClient needs them; WinHttpTransport provides them.
#pragma once

#include <cstdint>
#include <string>

class HttpTransport {
public:
    // An opened session, connection or request; null means none.
    using Handle = void*;

    // System error codes that the client reacts to or reports itself.
    enum : uint32_t {
        errorNone = 0,
        errorInvalidParameter = 87,
        errorInsufficientBuffer = 122,
        errorTimeout = 12002,  // WinHTTP's own code for an operation that timed out
    };

    struct Timeouts {
        int resolve = 0;
        int connect = 0;
        int send = 0;
        int receive = 0;
    };

    struct UrlParts {
        bool secure = false;  // the scheme is https
        std::wstring host;
        uint16_t port = 0;
        std::wstring path;    // with its query part
    };

    // A proxy setting for one request: the access type (1 no proxy, 3 named proxy) and, for a
    // named proxy, the server list and the bypass list (empty: none).
    struct ProxyInfo {
        enum : uint32_t { noProxy = 1, namedProxy = 3 };
        uint32_t accessType = namedProxy;
        std::wstring servers;
        std::wstring bypass;
    };

    // The current user's proxy configuration; an empty text means the item is not configured.
    struct ProxyConfig {
        std::wstring autoConfigUrl;
        std::wstring servers;
        std::wstring bypass;
    };

    enum class HeaderQuery { rawHeaders, statusCode };

    virtual ~HttpTransport();

    // Every operation that can fail returns 0 or the system error code of its failure.
    virtual uint32_t openSession(const std::wstring& userAgent, Handle& session) = 0;
    virtual void setTimeouts(Handle session, const Timeouts& timeouts) = 0;
    // False when the URL has no scheme, a host of 260 characters or more, or a path (with its
    // query) of 1300 characters or more.
    virtual bool splitUrl(const std::wstring& url, UrlParts& parts) = 0;
    virtual uint32_t connect(Handle session, const std::wstring& host, uint16_t port, Handle& connection) = 0;
    virtual uint32_t openRequest(Handle connection, const std::wstring& verb, const std::wstring& path,
                                 bool secure, Handle& request) = 0;
    // Lets an https request through unknown authorities, wrong names and expired dates.
    virtual uint32_t ignoreCertificateErrors(Handle request) = 0;
    // Adds header lines, merging a repeated header into the existing one with a semicolon.
    virtual uint32_t addHeaders(Handle request, const std::wstring& headers) = 0;
    virtual uint32_t setProxy(Handle request, const ProxyInfo& proxy) = 0;
    virtual uint32_t setProxyUserName(Handle request, const std::wstring& userName) = 0;
    virtual uint32_t setProxyPassword(Handle request, const std::wstring& password) = 0;
    // Sends the request head; `bodySize` bytes of body are to follow through writeData.
    virtual uint32_t sendRequest(Handle request, uint32_t bodySize) = 0;
    virtual uint32_t currentUserProxyConfig(ProxyConfig& config) = 0;
    // Runs the user's proxy script (at `autoConfigUrl`) for `url`, giving up after `timeoutMs`
    // with errorTimeout (0: no limit).
    virtual uint32_t proxyForUrl(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t timeoutMs,
                                 ProxyInfo& proxy) = 0;
    virtual uint32_t writeData(Handle request, const uint8_t* data, uint32_t size) = 0;
    virtual uint32_t receiveResponse(Handle request) = 0;
    // The raw header block (lines ending in CR LF) or the status code, as text.
    virtual uint32_t queryHeaders(Handle request, HeaderQuery query, std::wstring& text) = 0;
    virtual uint32_t queryDataAvailable(Handle request, uint32_t& available) = 0;
    virtual uint32_t readData(Handle request, uint8_t* buffer, uint32_t size, uint32_t& read) = 0;
    virtual void closeHandle(Handle handle) = 0;
};
