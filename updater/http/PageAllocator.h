// PageAllocator: an allocator for large byte buffers that takes whole pages from the system and
// leaves them as they come, zeroed and untouched, instead of writing zeros into them.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace PageMemory {
// Zeroed pages for `bytes` bytes, or null; given back with release.
void* acquire(std::size_t bytes);
void release(void* pages);
}  // namespace PageMemory

// A page is only paid for once it is written: a body buffer that doubled past its data costs the
// pages its data fills, not its whole capacity. Elements made without a value stay as the pages
// hold them, which is zero.
template <typename T>
class PageAllocator {
public:
    using value_type = T;

    PageAllocator() = default;
    template <typename U>
    PageAllocator(const PageAllocator<U>&) noexcept {}

    T* allocate(std::size_t count)
    {
        if (void* pages = PageMemory::acquire(count * sizeof(T)))
            return static_cast<T*>(pages);
        throw std::bad_alloc();
    }
    void deallocate(T* pages, std::size_t) noexcept { PageMemory::release(pages); }

    template <typename U>
    void construct(U*) noexcept
    {
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args)
    {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const PageAllocator<U>&) const noexcept { return true; }
    template <typename U>
    bool operator!=(const PageAllocator<U>&) const noexcept { return false; }
};
