// WinHttpTransport: each HttpTransport operation as one or two synchronous WinHTTP calls.
#include "updater/http/WinHttpTransport.h"

#include <vector>

#include "common/PathLimits.h"
#include "common/WinHttpHandles.h"
#include "updater/http/ProxyLookup.h"

namespace {

const DWORD hostBufferSize = static_cast<DWORD>(pathBufferLength);
const DWORD pathBufferSize = 1300;
const DWORD ignoredCertificateErrors =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
const DWORD wsaTimedOut = 10060;

std::wstring textOf(const UniqueWinHttpString& text) { return text ? std::wstring(text.get()) : std::wstring(); }

uint32_t resultOf(BOOL ok) { return ok ? 0 : GetLastError(); }

// Wine reports a receive that doesn't finish in time as a socket time-out; callers get
// WinHTTP's own code for it either way.
uint32_t receiveResultOf(BOOL ok)
{
    const uint32_t error = resultOf(ok);
    return error == wsaTimedOut ? HttpTransport::errorTimeout : error;
}

HINTERNET asHandle(HttpTransport::Handle handle) { return static_cast<HINTERNET>(handle); }

uint32_t setText(HttpTransport::Handle request, DWORD option, const std::wstring& text)
{
    // String options take their length in characters.
    return resultOf(WinHttpSetOption(asHandle(request), option, const_cast<wchar_t*>(text.c_str()),
                                     static_cast<DWORD>(text.size())));
}

}  // namespace

uint32_t WinHttpTransport::openSession(const std::wstring& userAgent, Handle& session)
{
    session = WinHttpOpen(userAgent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                          WINHTTP_NO_PROXY_BYPASS, 0);
    return session ? 0 : GetLastError();
}

void WinHttpTransport::setTimeouts(Handle session, const Timeouts& timeouts)
{
    WinHttpSetTimeouts(asHandle(session), timeouts.resolve, timeouts.connect, timeouts.send, timeouts.receive);
    // Some WinHTTP implementations (Wine's) wait for the response head under this option only.
    DWORD receive = static_cast<DWORD>(timeouts.receive);
    WinHttpSetOption(asHandle(session), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &receive, sizeof(receive));
}

bool WinHttpTransport::splitUrl(const std::wstring& url, UrlParts& parts)
{
    wchar_t host[hostBufferSize] = L"";
    wchar_t path[pathBufferSize] = L"";
    URL_COMPONENTS components{};
    components.dwStructSize = sizeof(components);
    components.dwSchemeLength = 1;  // the scheme number only
    components.lpszHostName = host;
    components.dwHostNameLength = hostBufferSize;
    components.lpszUrlPath = path;
    components.dwUrlPathLength = pathBufferSize;
    // No extra-information buffer: the query stays part of the path.
    if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &components))
        return false;
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    parts.host.assign(host, components.dwHostNameLength);
    parts.port = components.nPort;
    parts.path.assign(path, components.dwUrlPathLength);
    return true;
}

uint32_t WinHttpTransport::connect(Handle session, const std::wstring& host, uint16_t port, Handle& connection)
{
    connection = WinHttpConnect(asHandle(session), host.c_str(), port, 0);
    return connection ? 0 : GetLastError();
}

uint32_t WinHttpTransport::openRequest(Handle connection, const std::wstring& verb, const std::wstring& path,
                                       bool secure, Handle& request)
{
    request = WinHttpOpenRequest(asHandle(connection), verb.c_str(), path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                 WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
    if (!request)
        return GetLastError();
    // Never the user's Windows logon (NTLM, Negotiate) to whatever server asks for it; names and
    // passwords a caller sets for its proxy still go to that proxy.
    DWORD logon = WINHTTP_AUTOLOGON_SECURITY_LEVEL_HIGH;
    WinHttpSetOption(asHandle(request), WINHTTP_OPTION_AUTOLOGON_POLICY, &logon, sizeof(logon));
    return 0;
}

uint32_t WinHttpTransport::ignoreCertificateErrors(Handle request)
{
    DWORD flags = ignoredCertificateErrors;
    return resultOf(WinHttpSetOption(asHandle(request), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof(flags)));
}

uint32_t WinHttpTransport::addHeaders(Handle request, const std::wstring& headers)
{
    return resultOf(WinHttpAddRequestHeaders(asHandle(request), headers.c_str(), static_cast<DWORD>(headers.size()),
                                             WINHTTP_ADDREQ_FLAG_COALESCE_WITH_SEMICOLON));
}

uint32_t WinHttpTransport::setProxy(Handle request, const ProxyInfo& proxy)
{
    WINHTTP_PROXY_INFO info{};
    info.dwAccessType = proxy.accessType;
    info.lpszProxy = proxy.servers.empty() ? nullptr : const_cast<wchar_t*>(proxy.servers.c_str());
    info.lpszProxyBypass = proxy.bypass.empty() ? nullptr : const_cast<wchar_t*>(proxy.bypass.c_str());
    return resultOf(WinHttpSetOption(asHandle(request), WINHTTP_OPTION_PROXY, &info, sizeof(info)));
}

uint32_t WinHttpTransport::setProxyUserName(Handle request, const std::wstring& userName)
{
    return setText(request, WINHTTP_OPTION_PROXY_USERNAME, userName);
}

uint32_t WinHttpTransport::setProxyPassword(Handle request, const std::wstring& password)
{
    return setText(request, WINHTTP_OPTION_PROXY_PASSWORD, password);
}

uint32_t WinHttpTransport::sendRequest(Handle request, uint32_t bodySize)
{
    // The total length becomes the Content-Length; with 0 the body written later would never
    // reach the server as this request's body.
    return resultOf(WinHttpSendRequest(asHandle(request), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                                       0, bodySize, 0));
}

uint32_t WinHttpTransport::currentUserProxyConfig(ProxyConfig& config)
{
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG raw{};
    const BOOL ok = WinHttpGetIEProxyConfigForCurrentUser(&raw);
    const uint32_t error = ok ? 0 : GetLastError();
    const UniqueWinHttpString autoConfigUrl(raw.lpszAutoConfigUrl);
    const UniqueWinHttpString servers(raw.lpszProxy);
    const UniqueWinHttpString bypass(raw.lpszProxyBypass);
    if (error)
        return error;
    config.autoConfigUrl = textOf(autoConfigUrl);
    config.servers = textOf(servers);
    config.bypass = textOf(bypass);
    return 0;
}

uint32_t WinHttpTransport::proxyForUrl(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t timeoutMs,
                                       ProxyInfo& proxy)
{
    return ProxyLookup::run(url, autoConfigUrl, timeoutMs, proxy);
}

uint32_t WinHttpTransport::writeData(Handle request, const uint8_t* data, uint32_t size)
{
    DWORD written = 0;
    return resultOf(WinHttpWriteData(asHandle(request), data, size, &written));
}

uint32_t WinHttpTransport::receiveResponse(Handle request)
{
    return receiveResultOf(WinHttpReceiveResponse(asHandle(request), nullptr));
}

uint32_t WinHttpTransport::queryHeaders(Handle request, HeaderQuery query, std::wstring& text)
{
    const DWORD level = query == HeaderQuery::rawHeaders ? WINHTTP_QUERY_RAW_HEADERS_CRLF : WINHTTP_QUERY_STATUS_CODE;
    DWORD bytes = 0;
    if (!WinHttpQueryHeaders(asHandle(request), level, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
        const DWORD error = GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER)
            return error;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (!WinHttpQueryHeaders(asHandle(request), level, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX))
        return GetLastError();
    text.assign(buffer.data(), bytes / sizeof(wchar_t));
    return 0;
}

uint32_t WinHttpTransport::queryDataAvailable(Handle request, uint32_t& available)
{
    DWORD count = 0;
    const uint32_t error = receiveResultOf(WinHttpQueryDataAvailable(asHandle(request), &count));
    available = count;
    return error;
}

uint32_t WinHttpTransport::readData(Handle request, uint8_t* buffer, uint32_t size, uint32_t& read)
{
    DWORD count = 0;
    const uint32_t error = receiveResultOf(WinHttpReadData(asHandle(request), buffer, size, &count));
    read = count;
    return error;
}

void WinHttpTransport::closeHandle(Handle handle)
{
    WinHttpCloseHandle(asHandle(handle));
}
