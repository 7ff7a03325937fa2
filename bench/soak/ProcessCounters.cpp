// Counting another process's handles, GDI objects and windows (see ProcessCounters.h).
#include "bench/soak/ProcessCounters.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// The native calls and records below are those ntdll has always exported; they are declared here
// because the SDKs' headers describe them only in part.
typedef LONG(WINAPI* QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);
typedef LONG(WINAPI* QueryInformationProcess)(HANDLE, ULONG, void*, ULONG, ULONG*);
const ULONG kSystemHandleInformation = 16;
const ULONG kProcessBasicInformation = 0;
const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectType;
    UCHAR attributes;
    USHORT value;
    void* object;
    ULONG grantedAccess;
};

struct BasicInformation {
    LONG exitStatus;
    void* pebBaseAddress;
    ULONG_PTR affinityMask;
    LONG basePriority;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR parentProcessId;
};

// Where the PEB keeps the address of the process's GDI handle table, and that table's shape
// under Wine: 65,536 entries of 24 bytes, an entry in use having a nonzero type byte.
const size_t kPebGdiTableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8;
const size_t kGdiEntries = 65536;
const size_t kGdiEntrySize = 24;
const size_t kGdiTypeOffset = 14;

template <typename Function> Function ntdll(const char* name)
{
    HMODULE module = GetModuleHandleW(L"ntdll.dll");
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

struct WindowCount {
    DWORD processId;
    long count;
};

BOOL CALLBACK countChild(HWND, LPARAM data)
{
    ++reinterpret_cast<WindowCount*>(data)->count;
    return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM data)
{
    auto* tally = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == tally->processId) {
        ++tally->count;
        EnumChildWindows(window, countChild, data); // every descendant, not just direct children
    }
    return TRUE;
}

} // namespace

long ProcessCounters::kernelHandles() const
{
    DWORD count = 0;
    if (GetProcessHandleCount(process_, &count) && count > 0)
        return static_cast<long>(count);
    return handlesFromSystemList();
}

long ProcessCounters::handlesFromSystemList() const
{
    auto query = ntdll<QuerySystemInformation>("NtQuerySystemInformation");
    if (!query)
        return -1;
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed))
           == kInfoLengthMismatch)
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    if (status < 0)
        return -1;
    const ULONG entries = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entry = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    long count = 0;
    for (ULONG i = 0; i < entries; ++i)
        count += entry[i].processId == static_cast<USHORT>(processId_);
    return count;
}

long ProcessCounters::gdiObjects() const
{
    const DWORD count = GetGuiResources(process_, GR_GDIOBJECTS);
    if (count > 0)
        return static_cast<long>(count);
    return gdiObjectsFromHandleTable();
}

long ProcessCounters::gdiObjectsFromHandleTable() const
{
    auto query = ntdll<QueryInformationProcess>("NtQueryInformationProcess");
    BasicInformation basic = {};
    if (!query || query(process_, kProcessBasicInformation, &basic, sizeof(basic), nullptr) < 0
        || !basic.pebBaseAddress)
        return -1;
    void* table = nullptr;
    const auto* field = static_cast<const unsigned char*>(basic.pebBaseAddress) + kPebGdiTableOffset;
    if (!ReadProcessMemory(process_, field, &table, sizeof(table), nullptr) || !table)
        return -1;
    std::vector<unsigned char> entries(kGdiEntries * kGdiEntrySize);
    if (!ReadProcessMemory(process_, table, entries.data(), entries.size(), nullptr))
        return -1;
    long count = 0;
    for (size_t i = 0; i < kGdiEntries; ++i)
        count += entries[i * kGdiEntrySize + kGdiTypeOffset] != 0;
    return count;
}

long ProcessCounters::windows() const
{
    WindowCount tally = { processId_, 0 };
    EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&tally));
    return tally.count;
}

long ProcessCounters::privateKb() const
{
    unsigned long long bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    const char* at = nullptr;
    while (VirtualQueryEx(process_, at, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return at ? static_cast<long>(bytes / 1024) : -1;
}
