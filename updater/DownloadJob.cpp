// DownloadJob: one file fetched over http or https with WinINet into a local file of its own.
#include "updater/DownloadJob.h"

#include "updater/DecimalText.h"
#include "updater/DownloadProgress.h"

namespace {

const wchar_t agentName[] = L"nsInstall";
const DWORD chunkSize = 1024;

void CALLBACK ignoreStatus(HINTERNET, DWORD_PTR, DWORD, LPVOID, DWORD) {}

} // namespace

DownloadJob::DownloadJob(const std::wstring& sourceUrl, const std::wstring& localPath, Callback callback,
                         void* context)
    : sourceUrl(sourceUrl), localPath(localPath), callback(callback), context(context)
{
}

DownloadJob::~DownloadJob() { cleanup(); }

bool DownloadJob::prepare()
{
    if (!RedirectRule::mayFetch(RedirectRule::schemeOf(sourceUrl)) || !crack(sourceUrl))
        return false;
    currentUrl = sourceUrl;
    // Always a new file: never one, or a link, that someone put at this name beforehand. Others
    // may read it, but nobody may write it while the installer arrives.
    file.reset(CreateFileW(localPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        nameTaken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        return false;
    }
    fileCreated = true;
    return true;
}

bool DownloadJob::open()
{
    if (!goOn(DownloadProgress::connecting))
        return false;
    root.reset(InternetOpenW(agentName, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!root)
        return false;
    applyTimeouts(root.get());
    if (InternetSetStatusCallbackW(root.get(), ignoreStatus) == INTERNET_INVALID_STATUS_CALLBACK)
        return false;
    return openRequest();
}

bool DownloadJob::send()
{
    for (;;) {
        if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0))
            return false;
        uint32_t status = 0;
        if (!queryNumber(HTTP_QUERY_STATUS_CODE, status))
            return false;
        const INT_PTR answer = report(DownloadProgress::statusRead, 0);
        if (answer == 0) {
            aborted = true;
            return false;
        }
        switch (status) {
        case HTTP_STATUS_OK: return true;
        case 301: case 302: case 303: case 307: case 308:
            if (!followRedirect())
                return false;
            break;
        case HTTP_STATUS_PROXY_AUTH_REQ:
            // Only the proxy the system's settings name may ask for the user's password, and only
            // a few times. A server reached directly that asks is no proxy, and what it would
            // get is the user's password. The body is only the refusal, never the installer.
            if (!viaProxy() || ++proxyPrompts > maxProxyPrompts || !discardRefusal() || !askForCredentials(answer))
                return false;
            break;
        default:
            // 401 included: a server's own password prompt would show a text of its choosing and
            // send what the user types in the clear.
            return false;
        }
    }
}

bool DownloadJob::receive()
{
    if (!goOn(DownloadProgress::length, 0))
        return false;
    bool known = false;
    uint32_t length = 0;
    if (!queryLength(known, length))
        return false;
    // Without a length only a chunked body says where it ends; one that ends when the connection
    // closes can't be told from one cut off. Even a chunked one only counts when a signature
    // will decide whether it arrived whole.
    if (!known && (lengthRequired || !isChunked()))
        return false;
    if (known) {
        announcedLength = length;
        if (!goOn(DownloadProgress::length, length))
            return false;
    }
    if (!goOn(DownloadProgress::data, 0))
        return false;
    uint32_t total = 0;
    char chunk[chunkSize];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), chunk, chunkSize, &read))
            return false;
        if (read == 0)
            break;
        if (read > maxFileBytes - total || !writeChunk(chunk, read))
            return false;
        total += read;
        if (!goOn(DownloadProgress::data, total))
            return false;
    }
    // A connection that ends early also ends with an empty read: only the announced length tells
    // a whole installer from a cut-off one. An empty body is no installer at all.
    if (total == 0 || (known && total != announcedLength))
        return false;
    return seal();
}

void DownloadJob::cleanup()
{
    file.reset();
    if (fileCreated && !completed)
        DeleteFileW(localPath.c_str());
    fileCreated = false;
    request.reset();
    connection.reset();
    root.reset();
    hostName[0] = L'\0';
    urlPath[0] = L'\0';
    urlParts = URL_COMPONENTSW{};
}

INT_PTR DownloadJob::report(int stage, uint32_t value)
{
    return callback ? callback(context, stage, value) : 1;
}

bool DownloadJob::goOn(int stage, uint32_t value)
{
    if (report(stage, value) != 0)
        return true;
    aborted = true;
    return false;
}

bool DownloadJob::crack(const std::wstring& url)
{
    urlParts = URL_COMPONENTSW{};
    urlParts.dwStructSize = sizeof(urlParts);
    urlParts.lpszHostName = hostName;
    urlParts.dwHostNameLength = ARRAYSIZE(hostName);
    urlParts.lpszUrlPath = urlPath;
    urlParts.dwUrlPathLength = ARRAYSIZE(urlPath);
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &urlParts))
        return false;
    // The scheme WinINet read decides whether the request is a secure one, so it must be one of
    // the two the text claimed (RedirectRule has already looked at the text).
    return (urlParts.nScheme == INTERNET_SCHEME_HTTP || urlParts.nScheme == INTERNET_SCHEME_HTTPS) &&
           hostName[0] != L'\0';
}

// A connection and a request to the current URL, replacing any earlier ones.
bool DownloadJob::openRequest()
{
    request.reset();
    connection.reset();
    if (!goOn(DownloadProgress::connecting))
        return false;
    connection.reset(InternetConnectW(root.get(), hostName, urlParts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP,
                                      0, reinterpret_cast<DWORD_PTR>(this)));
    if (!connection || aborted)
        return false;
    applyTimeouts(connection.get());
    if (!goOn(DownloadProgress::connecting))
        return false;
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    const wchar_t* path = urlPath[0] ? urlPath : L"/";
    // Redirects are followed here, not by WinINet, which would follow them anywhere. A secure
    // request keeps WinINet's certificate checks: no flag here waives an unknown authority, a
    // wrong name or an expired date, and such a certificate fails the send.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION |
                  INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (urlParts.nScheme == INTERNET_SCHEME_HTTPS)
        flags |= INTERNET_FLAG_SECURE;
    request.reset(HttpOpenRequestW(connection.get(), nullptr, path, nullptr, nullptr, acceptTypes, flags,
                                   reinterpret_cast<DWORD_PTR>(this)));
    if (!request || aborted)
        return false;
    applyTimeouts(request.get());
    // No logon to the server with the user's Windows credentials (NTLM, Negotiate): the address
    // came from the update server's reply. A proxy may still ask; where the system knows no
    // such option, the request goes on without it.
    DWORD suppress = 1;
    InternetSetOptionW(request.get(), INTERNET_OPTION_SUPPRESS_SERVER_AUTH, &suppress, sizeof(suppress));
    return true;
}

bool DownloadJob::queryText(DWORD info, std::wstring& text) const
{
    const DWORD maxBytes = 16 * 1024;
    DWORD size = 0;
    if (HttpQueryInfoW(request.get(), info, nullptr, &size, nullptr) || GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
        size > maxBytes)
        return false;
    std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (!HttpQueryInfoW(request.get(), info, &buffer[0], &size, nullptr))
        return false;
    buffer.resize(wcsnlen(buffer.c_str(), buffer.size()));
    text.swap(buffer);
    return true;
}

bool DownloadJob::queryNumber(DWORD info, uint32_t& number) const
{
    std::wstring text;
    uint64_t value = 0;
    if (!queryText(info, text) || !DecimalText::parseWhole(text, UINT32_MAX, value))
        return false;
    number = static_cast<uint32_t>(value);
    return true;
}

// False when the length can't be trusted: a header too long or not a number of at most
// maxFileBytes. A missing header is no length (known false), which is no failure by itself.
bool DownloadJob::queryLength(bool& known, uint32_t& length) const
{
    wchar_t text[32] = L"";
    DWORD size = sizeof(text);
    known = false;
    if (!HttpQueryInfoW(request.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND;
    uint64_t value = 0;
    if (!DecimalText::parseWhole(std::wstring_view(text, wcsnlen(text, ARRAYSIZE(text))), maxFileBytes, value))
        return false;
    known = true;
    length = static_cast<uint32_t>(value);
    return true;
}

bool DownloadJob::isChunked() const
{
    std::wstring coding;
    if (!queryText(HTTP_QUERY_TRANSFER_ENCODING, coding))
        return false;
    for (wchar_t& c : coding)
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    return coding.find(L"chunked") != std::wstring::npos;
}

// Reads a refusal's body to its end, up to maxRefusalBytes; a longer one ends the download.
bool DownloadJob::discardRefusal()
{
    char scrap[chunkSize];
    uint32_t total = 0;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), scrap, sizeof(scrap), &read))
            return false;
        if (read == 0)
            return true;
        total += read;
        if (total > maxRefusalBytes || !goOn(DownloadProgress::statusRead))
            return false;
    }
}

bool DownloadJob::followRedirect()
{
    if (++redirects > RedirectRule::maxRedirects)
        return false;
    std::wstring location;
    if (!queryText(HTTP_QUERY_LOCATION, location) || location.empty())
        return false;
    std::wstring target(INTERNET_MAX_URL_LENGTH + 1, L'\0');
    DWORD size = static_cast<DWORD>(target.size());
    if (!InternetCombineUrlW(currentUrl.c_str(), location.c_str(), &target[0], &size, ICU_NO_ENCODE))
        return false;
    target.resize(size);
    const RedirectRule::Scheme from = RedirectRule::schemeOf(currentUrl);
    if (!RedirectRule::mayFollow(from, RedirectRule::schemeOf(target)) || !crack(target))
        return false;
    currentUrl = target;
    return openRequest();
}

bool DownloadJob::askForCredentials(INT_PTR owner)
{
    HWND window = reinterpret_cast<HWND>(owner);
    if (!IsWindow(window))
        window = nullptr;
    const DWORD flags =
        FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS | FLAGS_ERROR_UI_FLAGS_GENERATE_DATA;
    return InternetErrorDlg(window, request.get(), ERROR_INTERNET_INCORRECT_PASSWORD, flags, nullptr) ==
           ERROR_INTERNET_FORCE_RETRY;
}

// Whether the request went out through a proxy; WinINet uses only the one the system's settings
// name, since the session asks for those and names none of its own.
bool DownloadJob::viaProxy() const
{
    DWORD flags = 0;
    DWORD size = sizeof(flags);
    return InternetQueryOptionW(request.get(), INTERNET_OPTION_REQUEST_FLAGS, &flags, &size) &&
           (flags & INTERNET_REQFLAG_VIA_PROXY) != 0;
}

// Set on every handle: a handle does not reliably take the time-outs of its parent.
void DownloadJob::applyTimeouts(HINTERNET handle)
{
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD value = timeoutMs;
        InternetSetOptionW(handle, option, &value, sizeof(value));
    }
}

bool DownloadJob::writeChunk(const char* data, DWORD size)
{
    DWORD written = 0;
    return file && WriteFile(file.get(), data, size, &written, nullptr) && written == size;
}

// Trades the write handle for a read-only one that nobody may write through, and makes sure it
// is the same file: one put in its place between the two handles is refused.
bool DownloadJob::seal()
{
    BY_HANDLE_FILE_INFORMATION written{};
    BY_HANDLE_FILE_INFORMATION reopened{};
    if (!GetFileInformationByHandle(file.get(), &written))
        return false;
    file.reset();
    sealedFile.reset(CreateFileW(localPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!sealedFile || !GetFileInformationByHandle(sealedFile.get(), &reopened) ||
        written.dwVolumeSerialNumber != reopened.dwVolumeSerialNumber ||
        written.nFileIndexHigh != reopened.nFileIndexHigh || written.nFileIndexLow != reopened.nFileIndexLow) {
        sealedFile.reset();
        return false;
    }
    completed = true;
    return true;
}
