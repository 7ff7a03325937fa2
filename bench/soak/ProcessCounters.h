// Live resources of another process, counted from outside it: kernel handles, GDI objects and
// windows. Wine answers some of the documented calls with 0 for every process, so each count
// falls back to what Wine does keep when the documented call says nothing.
#pragma once

#include <windows.h>

class ProcessCounters {
public:
    // `process` needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ (CreateProcess gives all).
    ProcessCounters(HANDLE process, DWORD processId) : process_(process), processId_(processId) {}

    // -1 when no way of counting answered.
    long kernelHandles() const;
    long gdiObjects() const;
    long windows() const;
    // Committed private memory in kB: what the process's own Windows code and libraries hold.
    // Under Wine it leaves out what native Linux libraries (the libVLC behind the bridge)
    // allocate, which the process's resident memory includes.
    long privateKb() const;

private:
    long handlesFromSystemList() const;
    long gdiObjectsFromHandleTable() const;

    HANDLE process_;
    DWORD processId_;
};
