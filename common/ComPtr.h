// ComPtr: the single owner of one reference to a COM interface, released when the owner goes.
// Standard C++ only (it calls nothing but the interface's own Release), so it needs no COM header.
#pragma once

#include <utility>

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller holds (one a creating function handed out).
    explicit ComPtr(Interface* held) : held_(held) {}
    ~ComPtr() { reset(); }

    ComPtr(ComPtr&& other) noexcept : held_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return held_; }
    Interface* operator->() const { return held_; }
    explicit operator bool() const { return held_ != nullptr; }
    Interface* release() { return std::exchange(held_, nullptr); }
    void reset(Interface* held = nullptr)
    {
        if (held_)
            held_->Release();
        held_ = held;
    }
    // For functions that hand a new reference back through a pointer; releases any held one first.
    Interface** receive()
    {
        reset();
        return &held_;
    }

private:
    Interface* held_ = nullptr;
};
