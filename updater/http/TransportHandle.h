// TransportHandle: the single owner of one session, connection or request handle of an
// HttpTransport; closes it when the owner goes.
#pragma once

#include <utility>

#include "updater/http/HttpTransport.h"

class TransportHandle {
public:
    TransportHandle() = default;
    explicit TransportHandle(HttpTransport* transport) : transport_(transport) {}
    ~TransportHandle() { close(); }

    TransportHandle(TransportHandle&& other) noexcept
        : transport_(other.transport_), handle_(std::exchange(other.handle_, nullptr)) {}
    TransportHandle& operator=(TransportHandle&& other) noexcept
    {
        if (this != &other) {
            close();
            transport_ = other.transport_;
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    TransportHandle(const TransportHandle&) = delete;
    TransportHandle& operator=(const TransportHandle&) = delete;

    HttpTransport::Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // For the transport's open calls: closes what is held and lends the slot to be filled.
    HttpTransport::Handle& reset()
    {
        close();
        return handle_;
    }
    void close()
    {
        if (handle_ && transport_)
            transport_->closeHandle(handle_);
        handle_ = nullptr;
    }

private:
    HttpTransport* transport_ = nullptr;
    HttpTransport::Handle handle_ = nullptr;
};
