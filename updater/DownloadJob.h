// DownloadJob: fetches one file over plain HTTP with WinINet into a local file, reporting each
// stage to a callback that may stop it. A job that does not finish leaves no file behind.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

#include "common/InternetHandles.h"
#include "common/UniqueHandle.h"

class DownloadJob {
public:
    // Answers nonzero to go on, 0 to stop. At the status stage a nonzero answer that is a window
    // handle owns the credentials dialog. Stages and values: DownloadProgress.
    using Callback = INT_PTR (*)(void* context, int stage, uint32_t value);

    DownloadJob(const std::wstring& sourceUrl, const std::wstring& localPath, Callback callback, void* context);
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // The steps, in this order; each false ends the job (call cleanup then).
    bool prepare();  // splits the URL (plain http only) and creates the local file
    bool open();     // the WinINet session, connection and request
    bool send();     // sends the request; true for status 200
    bool receive();  // writes the body to the file; true when all of it arrived
    // Closes everything; deletes the local file unless receive finished. Safe to repeat.
    void cleanup();

    std::wstring sourceUrl;
    std::wstring localPath;
    Callback callback;
    void* context;
    URL_COMPONENTSW urlParts{};  // host name and path point into the buffers below
    UniqueFile file;
    UniqueInternetHandle root, connection, request;
    bool aborted = false;    // the callback said stop
    bool completed = false;  // the whole body is in the file
    // Bound on each connect, send and receive wait, so a stalled server can't hold the download
    // (and the host waiting for it) for long.
    DWORD timeoutMs = 30000;

private:
    INT_PTR report(int stage, uint32_t value);
    bool goOn(int stage, uint32_t value = 0);
    bool queryNumber(DWORD info, uint32_t& number) const;
    void discardBody();
    bool askForCredentials(INT_PTR owner);
    void applyTimeouts(HINTERNET handle);
    bool writeChunk(const char* data, DWORD size);

    static const DWORD partLength = 2084;
    wchar_t hostName[partLength + 1] = L"";
    wchar_t urlPath[partLength + 1] = L"";
    bool fileCreated = false;      // the local file is ours to delete
    uint32_t announcedLength = 0;  // 0: the server announced no usable length
};
