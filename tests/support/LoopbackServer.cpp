// LoopbackServer: accepts on 127.0.0.1, one thread per connection, keep-alive until the client
// closes; every wait is a short select() so that stopping never hangs on a silent peer.
#include "tests/support/LoopbackServer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {

const int pollMs = 50;                          // granularity at which every loop notices a stop
const size_t maxHeadBytes = 64 * 1024;          // a request head larger than this is refused
const size_t maxBodyBytes = 64 * 1024 * 1024;   // likewise a request body
const int idleLimitMs = 30000;                  // an idle keep-alive connection is closed after this

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string LoopbackServer::Request::header(const std::string& name) const
{
    const std::string wanted = lower(name) + ":";
    size_t start = 0;
    while (start < headers.size()) {
        size_t end = headers.find("\r\n", start);
        if (end == std::string::npos)
            end = headers.size();
        const std::string line = headers.substr(start, end - start);
        if (lower(line.substr(0, wanted.size())) == wanted)
            return trimmed(line.substr(wanted.size()));
        start = end + 2;
    }
    return std::string();
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)), listener_(INVALID_SOCKET)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int size = sizeof(address);
    if (listener == INVALID_SOCKET || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
        || listen(listener, SOMAXCONN) != 0
        || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (listener != INVALID_SOCKET)
            closesocket(listener);
        return;  // port() stays 0: the test sees that nothing listens
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { acceptLoop(); });
}

LoopbackServer::~LoopbackServer()
{
    stopping_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    // The accept thread has ended, so no connection thread is added any more.
    for (std::thread& connection : connections_)
        connection.join();
    if (listener_ != INVALID_SOCKET)
        closesocket(listener_);
    WSACleanup();
}

std::wstring LoopbackServer::url(const std::wstring& path) const
{
    return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

std::vector<LoopbackServer::Request> LoopbackServer::requests() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

bool LoopbackServer::waitReadable(uintptr_t socket, int timeoutMs) const
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(static_cast<SOCKET>(socket), &set);
    timeval wait{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
}

void LoopbackServer::acceptLoop()
{
    while (!stopping_) {
        if (!waitReadable(listener_, pollMs))
            continue;
        SOCKET client = accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        // Non-blocking, so that a client that stops reading can't hold a send past a stop.
        u_long nonBlocking = 1;
        ioctlsocket(client, FIONBIO, &nonBlocking);
        std::lock_guard<std::mutex> lock(mutex_);
        connections_.emplace_back([this, client] { serveConnection(client); });
    }
}

void LoopbackServer::serveConnection(uintptr_t socket)
{
    std::string pending;
    Request request;
    while (readRequest(socket, pending, request)) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        ++requestCount_;
        const Response response = handler_(request);
        if (response.neverAnswer) {
            holdUntilStopped(socket);
            break;
        }
        if (!sendResponse(socket, request, response))
            break;
        if (lower(request.header("Connection")) == "close")
            break;
    }
    shutdown(static_cast<SOCKET>(socket), SD_BOTH);
    closesocket(static_cast<SOCKET>(socket));
}

// Reads one request (head and Content-Length body) into `request`; bytes that arrive beyond it
// stay in `pending` for the next one. False when the peer closes, errs, idles too long or the
// server stops.
bool LoopbackServer::readRequest(uintptr_t socket, std::string& pending, Request& request)
{
    size_t headEnd = std::string::npos;
    size_t bodySize = 0;
    int idleMs = 0;
    for (;;) {
        if (headEnd == std::string::npos) {
            headEnd = pending.find("\r\n\r\n");
            if (headEnd == std::string::npos && pending.size() > maxHeadBytes)
                return false;
            if (headEnd != std::string::npos) {
                const std::string head = pending.substr(0, headEnd);
                const size_t lineEnd = std::min(head.find("\r\n"), head.size());
                const std::string line = head.substr(0, lineEnd);
                const size_t space1 = line.find(' ');
                const size_t space2 = line.find(' ', space1 == std::string::npos ? 0 : space1 + 1);
                if (space1 == std::string::npos || space2 == std::string::npos)
                    return false;
                request.method = line.substr(0, space1);
                request.target = line.substr(space1 + 1, space2 - space1 - 1);
                request.headers = lineEnd < head.size() ? head.substr(lineEnd + 2) + "\r\n" : std::string();
                request.body.clear();
                const std::string length = request.header("Content-Length");
                bodySize = length.empty() ? 0 : std::strtoul(length.c_str(), nullptr, 10);
                if (bodySize > maxBodyBytes)
                    return false;
            }
        }
        if (headEnd != std::string::npos && pending.size() >= headEnd + 4 + bodySize) {
            request.body = pending.substr(headEnd + 4, bodySize);
            pending.erase(0, headEnd + 4 + bodySize);
            return true;
        }
        if (stopping_ || idleMs >= idleLimitMs)
            return false;
        if (!waitReadable(socket, pollMs)) {
            idleMs += pollMs;
            continue;
        }
        char buffer[16384];
        const int got = recv(static_cast<SOCKET>(socket), buffer, sizeof(buffer), 0);
        if (got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            continue;
        if (got <= 0)
            return false;
        pending.append(buffer, static_cast<size_t>(got));
        idleMs = 0;
    }
}

bool LoopbackServer::sendResponse(uintptr_t socket, const Request& request, const Response& response)
{
    std::string head = response.head;
    if (head.empty())
        head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(response.body.size()) + "\r\n";
    head += "\r\n";
    if (!sendAll(socket, head.data(), head.size()))
        return false;
    if (request.method == "HEAD")
        return true;
    if (!sendBody(socket, response))
        return false;
    if (response.holdAfterBytes != SIZE_MAX) {
        holdUntilStopped(socket);
        return false;
    }
    return response.dropAfterBytes >= response.body.size();  // a dropped body ends the connection
}

// The body, or as much of it as the response's misbehaviour lets through: piece by piece with a
// pause before every piece after the first, cut, held, or repeated without end.
bool LoopbackServer::sendBody(uintptr_t socket, const Response& response)
{
    const size_t total = std::min({response.body.size(), response.dropAfterBytes, response.holdAfterBytes});
    const size_t piece = response.chunkBytes ? response.chunkBytes : std::max<size_t>(total, 1);
    bool first = true;
    do {
        for (size_t sent = 0; sent < total; sent += piece) {
            if (!first && response.chunkDelayMs > 0 && !pause(response.chunkDelayMs))
                return false;
            first = false;
            if (stopping_ || !sendAll(socket, response.body.data() + sent, std::min(piece, total - sent)))
                return false;
        }
    } while (response.repeatBody && !response.body.empty());
    return true;
}

bool LoopbackServer::pause(int milliseconds) const
{
    for (int waited = 0; waited < milliseconds && !stopping_; waited += pollMs)
        Sleep(static_cast<DWORD>(std::min(pollMs, milliseconds - waited)));
    return !stopping_;
}

bool LoopbackServer::sendAll(uintptr_t socket, const char* data, size_t size)
{
    while (size > 0) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(static_cast<SOCKET>(socket), &set);
        timeval wait{0, pollMs * 1000};
        const int ready = select(0, nullptr, &set, nullptr, &wait);
        if (stopping_ || ready < 0)
            return false;
        if (ready == 0)
            continue;
        const int part = static_cast<int>(std::min<size_t>(size, 64 * 1024));
        const int sent = send(static_cast<SOCKET>(socket), data, part, 0);
        if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

void LoopbackServer::holdUntilStopped(uintptr_t socket)
{
    char buffer[4096];
    while (!stopping_) {
        // Whatever the client sends meanwhile is read and ignored; when it closes, so do we.
        if (waitReadable(socket, pollMs) && recv(static_cast<SOCKET>(socket), buffer, sizeof(buffer), 0) <= 0)
            return;
    }
}
