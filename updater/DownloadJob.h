// DownloadJob: fetches one file over http or https (certificates checked) with WinINet into a
// local file of its own, reporting each stage to a callback that may stop it. A job that does not
// finish leaves no file behind; one that does hands over a read-only handle that keeps the file as
// it arrived.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

#include "common/InternetHandles.h"
#include "common/UniqueHandle.h"
#include "updater/RedirectRule.h"

class DownloadJob {
public:
    // Answers nonzero to go on, 0 to stop. At the status stage a nonzero answer that is a window
    // handle owns the credentials dialog. Stages and values: DownloadProgress.
    using Callback = INT_PTR (*)(void* context, int stage, uint32_t value);

    // An installer larger than this is no installer of ours.
    static const uint32_t maxFileBytes = 1u << 30;
    // A refusal's body is read (to reuse the connection) only up to this many bytes.
    static const uint32_t maxRefusalBytes = 64 * 1024;

    DownloadJob(const std::wstring& sourceUrl, const std::wstring& localPath, Callback callback, void* context);
    ~DownloadJob();
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // The steps, in this order; each false ends the job (call cleanup then).
    bool prepare();  // splits the URL (http or https only) and creates the local file, never over another
    bool open();     // the WinINet session, connection and request
    bool send();     // sends the request, following redirects; true for status 200
    bool receive();  // writes the body to the file; true when all of it provably arrived
    // Closes everything; deletes the local file unless receive finished. Safe to repeat.
    void cleanup();

    std::wstring sourceUrl;
    std::wstring localPath;
    Callback callback;
    void* context;
    URL_COMPONENTSW urlParts{};  // host name and path point into the buffers below
    UniqueFile file;             // written while the body arrives; nobody else may write meanwhile
    UniqueFile sealedFile;       // after receive: the finished file, read-only, nobody may write it
    UniqueInternetHandle root, connection, request;
    bool aborted = false;    // the callback said stop
    bool completed = false;  // the whole body is in the file
    bool nameTaken = false;  // prepare found a file or link at the local path already
    // Bound on each connect, send and receive wait: a transfer that receives nothing for this
    // long fails, so a stalled server can't hold the download (and the host waiting for it).
    DWORD timeoutMs = 30000;
    // Only a body of a stated length counts as whole. WinINet hides the chunk framing, and a
    // chunked body cut before its last chunk can read like a whole one, so without a signature to
    // tell, a body without a Content-Length fails. Cleared when a signature decides.
    bool lengthRequired = true;
    // How often the system's proxy may ask for the user's name and password in one download.
    static const int maxProxyPrompts = 3;

private:
    INT_PTR report(int stage, uint32_t value);
    bool goOn(int stage, uint32_t value = 0);
    bool crack(const std::wstring& url);
    bool openRequest();
    bool queryText(DWORD info, std::wstring& text) const;
    bool queryNumber(DWORD info, uint32_t& number) const;
    bool queryLength(bool& known, uint32_t& length) const;
    bool isChunked() const;
    bool discardRefusal();
    bool followRedirect();
    bool askForCredentials(INT_PTR owner);
    bool viaProxy() const;
    void applyTimeouts(HINTERNET handle);
    bool writeChunk(const char* data, DWORD size);
    bool seal();

    static const DWORD partLength = 2084;
    wchar_t hostName[partLength + 1] = L"";
    wchar_t urlPath[partLength + 1] = L"";
    std::wstring currentUrl;       // the source URL, or where the last redirect led
    int redirects = 0;
    int proxyPrompts = 0;
    bool fileCreated = false;      // the local file is ours to delete
    uint32_t announcedLength = 0;  // 0: the server announced no usable length
};
