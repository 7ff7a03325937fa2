// ScriptedTransport: an HttpTransport for tests that logs every call and fails the calls a test
// scripts, so that proxy fall-back, attempt budget and body assembly run without a network.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "updater/http/HttpTransport.h"

class ScriptedTransport : public HttpTransport {
public:
    // The next `times` calls of `operation` (its name as in the log) fail with `error`; calls not
    // scripted succeed.
    void fail(const std::string& operation, uint32_t error, int times = 1);
    // Every call so far whose log line starts with `prefix`.
    std::vector<std::string> calls(const std::string& prefix = "") const;
    int count(const std::string& prefix) const { return int(calls(prefix).size()); }

    ProxyConfig userConfig;          // what currentUserProxyConfig reports
    ProxyInfo lookedUpProxy;         // what proxyForUrl finds
    std::wstring headers = L"HTTP/1.1 200 OK\r\n\r\n";
    std::wstring status = L"200";
    std::string body;                // served anew after every receiveResponse
    uint32_t piece = 4096;           // most bytes reported available at once
    uint32_t claimedAvailable = 0;   // when not 0, reported instead of the real count
    // "sendRequest 0", "addHeaders Cookie: a=1", "close request#3", ...; shared, so that a test
    // can still read it after the client has destroyed its transport.
    std::shared_ptr<std::vector<std::string>> log = std::make_shared<std::vector<std::string>>();
    std::set<Handle> openHandles;

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

private:
    // Logs the call and returns its scripted result.
    uint32_t call(const std::string& operation, const std::string& detail = "");
    uint32_t open(const std::string& operation, const std::string& kind, Handle& handle);

    std::map<std::string, std::deque<uint32_t>> failures_;
    std::map<Handle, std::string> names_;
    int nextHandle_ = 0;
    size_t position_ = 0;
};
