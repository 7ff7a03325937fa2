// DownloadJob: one file fetched over plain HTTP with WinINet into a local file.
#include "updater/DownloadJob.h"

#include "updater/DownloadProgress.h"

namespace {

const wchar_t agentName[] = L"nsInstall";
const DWORD chunkSize = 1024;

void CALLBACK ignoreStatus(HINTERNET, DWORD_PTR, DWORD, LPVOID, DWORD) {}

// A decimal number of at most 32 bits, nothing else; false for anything else.
bool parseNumber(const wchar_t* text, uint32_t& number)
{
    uint64_t value = 0;
    if (*text == L'\0')
        return false;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9')
            return false;
        value = value * 10 + static_cast<uint64_t>(*text - L'0');
        if (value > UINT32_MAX)
            return false;
    }
    number = static_cast<uint32_t>(value);
    return true;
}

} // namespace

DownloadJob::DownloadJob(const std::wstring& sourceUrl, const std::wstring& localPath, Callback callback,
                         void* context)
    : sourceUrl(sourceUrl), localPath(localPath), callback(callback), context(context)
{
}

DownloadJob::~DownloadJob() { cleanup(); }

bool DownloadJob::prepare()
{
    urlParts = URL_COMPONENTSW{};
    urlParts.dwStructSize = sizeof(urlParts);
    urlParts.lpszHostName = hostName;
    urlParts.dwHostNameLength = ARRAYSIZE(hostName);
    urlParts.lpszUrlPath = urlPath;
    urlParts.dwUrlPathLength = ARRAYSIZE(urlPath);
    if (!InternetCrackUrlW(sourceUrl.c_str(), 0, 0, &urlParts))
        return false;
    // Only plain http is fetched: the request below is never a secure one, and letting an https
    // address through would send it unencrypted to the https port or to another service.
    if (urlParts.nScheme != INTERNET_SCHEME_HTTP || hostName[0] == L'\0')
        return false;
    file.reset(CreateFileW(localPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    fileCreated = static_cast<bool>(file);
    return fileCreated;
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
    request.reset(HttpOpenRequestW(connection.get(), nullptr, path, nullptr, nullptr, acceptTypes,
                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION,
                                   reinterpret_cast<DWORD_PTR>(this)));
    if (!request || aborted)
        return false;
    applyTimeouts(request.get());
    return true;
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
        if (status == HTTP_STATUS_OK)
            return true;
        if (status != HTTP_STATUS_DENIED && status != HTTP_STATUS_PROXY_AUTH_REQ)
            return false;
        // Without new credentials the body is only the server's refusal, never the installer.
        discardBody();
        if (!askForCredentials(answer))
            return false;
    }
}

bool DownloadJob::receive()
{
    if (!goOn(DownloadProgress::length, 0))
        return false;
    uint32_t length = 0;
    if (queryNumber(HTTP_QUERY_CONTENT_LENGTH, length)) {
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
        if (read > UINT32_MAX - total || !writeChunk(chunk, read))
            return false;
        total += read;
        if (!goOn(DownloadProgress::data, total))
            return false;
    }
    // A connection that ends early also ends with an empty read: only the announced length tells
    // a whole installer from a cut-off one. An empty body is no installer at all.
    if (total == 0 || (announcedLength != 0 && total != announcedLength))
        return false;
    completed = true;
    return true;
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

bool DownloadJob::queryNumber(DWORD info, uint32_t& number) const
{
    wchar_t text[16] = L"";
    DWORD size = sizeof(text);
    if (!HttpQueryInfoW(request.get(), info, text, &size, nullptr))
        return false;
    text[ARRAYSIZE(text) - 1] = L'\0';
    return parseNumber(text, number);
}

void DownloadJob::discardBody()
{
    char scrap[50];
    DWORD read = 0;
    while (InternetReadFile(request.get(), scrap, sizeof(scrap), &read) && read != 0) {
    }
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
