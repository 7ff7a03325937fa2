// WinHttpTransport: HttpTransport over WinHTTP, used synchronously. Handles are HINTERNETs; the
// strings WinHTTP hands out are freed before each call returns.
#pragma once

#include "updater/http/HttpTransport.h"

class WinHttpTransport : public HttpTransport {
public:
    uint32_t openSession(const std::wstring& userAgent, Handle& session) override;
    void setTimeouts(Handle session, const Timeouts& timeouts) override;
    bool splitUrl(const std::wstring& url, UrlParts& parts) override;
    uint32_t connect(Handle session, const std::wstring& host, uint16_t port, Handle& connection) override;
    uint32_t openRequest(Handle connection, const std::wstring& verb, const std::wstring& path, bool secure,
                         Handle& request) override;
    uint32_t ignoreCertificateErrors(Handle request) override;
    uint32_t addHeaders(Handle request, const std::wstring& headers) override;
    uint32_t setProxy(Handle request, const ProxyInfo& proxy) override;
    uint32_t setProxyUserName(Handle request, const std::wstring& userName) override;
    uint32_t setProxyPassword(Handle request, const std::wstring& password) override;
    uint32_t sendRequest(Handle request, uint32_t bodySize) override;
    uint32_t currentUserProxyConfig(ProxyConfig& config) override;
    uint32_t proxyForUrl(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t timeoutMs,
                         ProxyInfo& proxy) override;
    uint32_t writeData(Handle request, const uint8_t* data, uint32_t size) override;
    uint32_t receiveResponse(Handle request) override;
    uint32_t queryHeaders(Handle request, HeaderQuery query, std::wstring& text) override;
    uint32_t queryDataAvailable(Handle request, uint32_t& available) override;
    uint32_t readData(Handle request, uint8_t* buffer, uint32_t size, uint32_t& read) override;
    void closeHandle(Handle handle) override;
};
