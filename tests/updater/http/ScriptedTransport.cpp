// ScriptedTransport: logged, scripted stand-ins for the transport operations.
#include "tests/updater/http/ScriptedTransport.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The tests' texts are ASCII.
std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

}  // namespace

void ScriptedTransport::fail(const std::string& operation, uint32_t error, int times)
{
    for (int i = 0; i < times; ++i)
        failures_[operation].push_back(error);
}

std::vector<std::string> ScriptedTransport::calls(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& line : *log)
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    return found;
}

uint32_t ScriptedTransport::call(const std::string& operation, const std::string& detail)
{
    log->push_back(detail.empty() ? operation : operation + " " + detail);
    std::deque<uint32_t>& queue = failures_[operation];
    if (queue.empty())
        return 0;
    const uint32_t error = queue.front();
    queue.pop_front();
    return error;
}

uint32_t ScriptedTransport::open(const std::string& operation, const std::string& kind, Handle& handle)
{
    handle = nullptr;
    if (const uint32_t error = call(operation))
        return error;
    handle = reinterpret_cast<Handle>(static_cast<uintptr_t>(++nextHandle_));
    names_[handle] = kind + "#" + std::to_string(nextHandle_);
    openHandles.insert(handle);
    return 0;
}

uint32_t ScriptedTransport::openSession(const std::wstring&, Handle& session)
{
    return open("openSession", "session", session);
}

void ScriptedTransport::setTimeouts(Handle, const Timeouts& t)
{
    call("setTimeouts", std::to_string(t.resolve) + " " + std::to_string(t.connect) + " " + std::to_string(t.send)
                            + " " + std::to_string(t.receive));
}

bool ScriptedTransport::splitUrl(const std::wstring& url, UrlParts& parts)
{
    if (call("splitUrl", narrow(url)))
        return false;
    const size_t scheme = url.find(L"://");
    if (scheme == std::wstring::npos)
        return false;
    parts.secure = url.compare(0, scheme, L"https") == 0;
    const size_t pathStart = std::min(url.find(L'/', scheme + 3), url.size());
    parts.host = url.substr(scheme + 3, pathStart - scheme - 3);
    parts.port = parts.secure ? 443 : 80;
    parts.path = pathStart < url.size() ? url.substr(pathStart) : L"/";
    return true;
}

uint32_t ScriptedTransport::connect(Handle, const std::wstring&, uint16_t, Handle& connection)
{
    return open("connect", "connection", connection);
}

uint32_t ScriptedTransport::openRequest(Handle, const std::wstring& verb, const std::wstring&, bool, Handle& request)
{
    const uint32_t error = open("openRequest", "request", request);
    log->back() += " " + narrow(verb);
    return error;
}

uint32_t ScriptedTransport::ignoreCertificateErrors(Handle)
{
    return call("ignoreCertificateErrors");
}

uint32_t ScriptedTransport::addHeaders(Handle, const std::wstring& text)
{
    return call("addHeaders", narrow(text));
}

uint32_t ScriptedTransport::setProxy(Handle, const ProxyInfo& proxy)
{
    return call("setProxy", std::to_string(proxy.accessType) + " " + narrow(proxy.servers) + " " + narrow(proxy.bypass));
}

uint32_t ScriptedTransport::setProxyUserName(Handle, const std::wstring& userName)
{
    return call("setProxyUserName", narrow(userName));
}

uint32_t ScriptedTransport::setProxyPassword(Handle, const std::wstring& password)
{
    return call("setProxyPassword", narrow(password));
}

uint32_t ScriptedTransport::sendRequest(Handle, uint32_t bodySize)
{
    return call("sendRequest", std::to_string(bodySize));
}

uint32_t ScriptedTransport::currentUserProxyConfig(ProxyConfig& config)
{
    const uint32_t error = call("currentUserProxyConfig");
    if (!error)
        config = userConfig;
    return error;
}

uint32_t ScriptedTransport::proxyForUrl(const std::wstring& url, const std::wstring& autoConfigUrl, uint32_t,
                                        ProxyInfo& proxy)
{
    const uint32_t error = call("proxyForUrl", narrow(url) + " " + narrow(autoConfigUrl));
    if (!error)
        proxy = lookedUpProxy;
    return error;
}

uint32_t ScriptedTransport::writeData(Handle, const uint8_t* data, uint32_t size)
{
    return call("writeData", std::string(reinterpret_cast<const char*>(data), size));
}

uint32_t ScriptedTransport::receiveResponse(Handle)
{
    position_ = 0;
    return call("receiveResponse");
}

uint32_t ScriptedTransport::queryHeaders(Handle, HeaderQuery query, std::wstring& text)
{
    const bool raw = query == HeaderQuery::rawHeaders;
    const uint32_t error = call(raw ? "queryHeaders" : "queryStatus");
    if (!error)
        text = raw ? headers : status;
    return error;
}

uint32_t ScriptedTransport::queryDataAvailable(Handle, uint32_t& available)
{
    const uint32_t error = call("queryDataAvailable");
    if (!error)
        available = claimedAvailable ? claimedAvailable : uint32_t(std::min<size_t>(piece, body.size() - position_));
    return error;
}

uint32_t ScriptedTransport::readData(Handle, uint8_t* buffer, uint32_t size, uint32_t& read)
{
    read = 0;
    const uint32_t error = call("readData", std::to_string(size));
    if (!error) {
        read = uint32_t(std::min<size_t>(size, body.size() - position_));
        std::memcpy(buffer, body.data() + position_, read);
        position_ += read;
    }
    return error;
}

void ScriptedTransport::closeHandle(Handle handle)
{
    log->push_back("close " + names_[handle]);
    openHandles.erase(handle);
}
