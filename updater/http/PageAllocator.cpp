// PageMemory: whole pages from VirtualAlloc for PageAllocator.
#include "updater/http/PageAllocator.h"

#include <windows.h>

void* PageMemory::acquire(std::size_t bytes)
{
    return VirtualAlloc(nullptr, bytes == 0 ? 1 : bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void PageMemory::release(void* pages)
{
    if (pages)
        VirtualFree(pages, 0, MEM_RELEASE);
}
