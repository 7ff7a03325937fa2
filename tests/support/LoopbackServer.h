// LoopbackServer: a small HTTP/1.1 server on 127.0.0.1 that runs on its own threads inside a test
// (or benchmark) process and answers every request through a handler the test supplies.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    struct Request {
        std::string method, target, headers, body;  // headers: the lines after the request line, CRLF form
        // Value of the first header with this name (letter case ignored), without surrounding blanks.
        std::string header(const std::string& name) const;
    };

    struct Response {
        // Status line and headers, each line CRLF-terminated, without the blank line. Empty means
        // "HTTP/1.1 200 OK" with a Content-Length of the body.
        std::string head;
        std::string body;
        size_t chunkBytes = 0;  // when not 0, the body goes out in pieces of this size ...
        int chunkDelayMs = 0;   // ... with this pause before each piece after the first
        size_t dropAfterBytes = SIZE_MAX;  // close the connection after this many body bytes
        size_t holdAfterBytes = SIZE_MAX;  // go silent after this many body bytes, keeping the connection
        bool repeatBody = false;   // send the body again and again, never ending, until the client goes
        bool neverAnswer = false;  // read the request, then hold the connection silently until stop
    };

    using Handler = std::function<Response(const Request&)>;

    // Listens on 127.0.0.1 on a free port and serves until destroyed. The handler runs on the
    // server's connection threads, so it may be called from more than one thread at a time.
    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();  // stops accepting, closes every connection and joins every thread

    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int port() const { return port_; }
    std::wstring url(const std::wstring& path) const;  // "http://127.0.0.1:<port>" + path
    int requestCount() const { return requestCount_; }
    std::vector<Request> requests() const;  // every request received so far, in arrival order

private:
    void acceptLoop();
    void serveConnection(uintptr_t socket);
    bool readRequest(uintptr_t socket, std::string& pending, Request& request);
    bool sendResponse(uintptr_t socket, const Request& request, const Response& response);
    bool sendAll(uintptr_t socket, const char* data, size_t size);
    bool sendBody(uintptr_t socket, const Response& response);
    bool pause(int milliseconds) const;  // false when the server stops meanwhile
    bool waitReadable(uintptr_t socket, int timeoutMs) const;
    void holdUntilStopped(uintptr_t socket);

    Handler handler_;
    uintptr_t listener_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requestCount_{0};
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::vector<std::thread> connections_;
    std::thread acceptThread_;
};
