// The object behind a tellanupdate handle: parameters, the update check, download and install.
#include "updater/Updater.h"

#include <shellapi.h>

#include "updater/CheckInterval.h"
#include "updater/CheckTimeStore.h"
#include "updater/DownloadDialog.h"
#include "updater/DownloadFolder.h"
#include "common/PathLimits.h"
#include "updater/SignatureVerifier.h"
#include "common/UniqueHandle.h"
#include "updater/UpdateReply.h"
#include "updater/VersionLabel.h"
#include "updater/http/HttpClient.h"
#include "updater/tellanupdate.h"

namespace {

const wchar_t configFileName[] = L"\\tellanupdate.conf";
// The check runs while the host starts and nothing of it is on screen yet: however the server
// behaves, the host gets its answer within this time, and a check that runs out counts as no
// update.
const int32_t checkTimeLimitMs = 10000;
// Far more than any reply of the update service; a longer body is no reply of ours.
const uint32_t maxReplyBytes = 1024 * 1024;

std::wstring textParam(LONG_PTR value)
{
    const wchar_t* text = reinterpret_cast<const wchar_t*>(static_cast<LONG_PTR>(value));
    return text ? std::wstring(text) : std::wstring();
}

CheckInterval::Moment momentOf(const SYSTEMTIME& time)
{
    return CheckInterval::Moment{time.wYear, time.wMonth, time.wDay, time.wHour};
}

} // namespace

Updater::Updater(HWND owner) : ownerWindow(owner) {}

Updater::~Updater() = default;

bool Updater::setParam(int index, LONG_PTR value)
{
    switch (index) {
    case TELLANUP_PARAM_REGISTRY_KEY: registryKeyName = textParam(value); break;
    case TELLANUP_PARAM_PRODUCT_ID: productId = textParam(value); break;
    case TELLANUP_PARAM_DISPLAY_NAME: displayName = textParam(value); break;
    case TELLANUP_PARAM_VERSION_CODE: installedVersionCode = static_cast<int>(value); break;
    case TELLANUP_PARAM_UPDATE_URL: updateUrl = textParam(value); break;
    case TELLANUP_PARAM_INTERVAL: checkInterval = static_cast<unsigned long>(value); break;
    case TELLANUP_PARAM_CONFIG_FILE: readUrlFromConfig(textParam(value)); break;
    case TELLANUP_PARAM_PUBLIC_KEY: return setPublicKey(textParam(value));
    default: break;
    }
    return true;
}

bool Updater::setPublicKey(const std::wstring& base64Key)
{
    // A host that asks for signed updates gets none unchecked, whatever it passed: a key that
    // can't be used leaves no installer that verifies.
    keyRequested = true;
    verifier = SignatureVerifier::fromPublicKey(base64Key);
    return verifier != nullptr;
}

void Updater::readUrlFromConfig(const std::wstring& configPath)
{
    if (configPath.empty())
        return;
    // URLs live in path buffers. A longer one is refused rather than cut: a cut URL would ask
    // another address. The larger buffer tells a long value from one that fits.
    wchar_t url[4 * pathBufferLength] = L"";
    const DWORD length = GetPrivateProfileStringW(L"Global", L"URL", L"", url, ARRAYSIZE(url), configPath.c_str());
    if (length > 0 && length <= maxPathLength)
        updateUrl = url;
}

bool Updater::haveNew(bool useInterval)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(checkTimeLimitMs);
    if (useInterval) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (!checkIsDue(now))
            return false;
    }
    if (updateUrl.empty())
        readUrlFromConfig(hostConfigPath());
    std::wstring reply;
    if (updateUrl.empty() || !askServer(reply, deadline))
        return false;
    UpdateReply offer = UpdateReply::parse(reply, productId);
    latestVersionCode = offer.versionCode;
    latestVersionName = std::move(offer.versionName);
    installerUrl = std::move(offer.installerUrl);
    latestSignature = std::move(offer.signature);
    return latestVersionCode > installedVersionCode && askUser();
}

bool Updater::download() { return DownloadDialog::run(*this); }

bool Updater::install()
{
    // Only a download that finished leaves an installer, held open read-only since its last byte
    // arrived; the file at the path now is the one that was downloaded.
    if (installerPath.empty() || downloadState != DownloadFinished || !installerFile)
        return false;
    // The bytes checked are the bytes that run: the handle held since the download ended lets
    // nobody rewrite or replace the file until the shell has started it.
    if (!verifyInstaller(installerFile.get())) {
        installerFile.reset();
        DeleteFileW(installerPath.c_str());
        DownloadFolder::remove(installerFolder);
        tellNotVerified();
        return false;
    }
    // In its own folder, the installer finds nothing there but itself (no DLL put beside it).
    const HINSTANCE started = ShellExecuteW(nullptr, L"open", installerPath.c_str(), nullptr,
                                            installerFolder.empty() ? nullptr : installerFolder.c_str(), SW_HIDE);
    installerFile.reset();  // started or not, its guard is no longer needed
    return reinterpret_cast<INT_PTR>(started) > 32;
}

bool Updater::verifyInstaller(HANDLE file) const
{
    if (!keyRequested)
        return true;
    return verifier && verifier->verifyInstaller(file, productId, latestVersionCode, latestSignature);
}

bool Updater::checkIsDue(const SYSTEMTIME& now)
{
    const CheckTimeStore store(registryKeyName, productId);
    store.read(lastCheckTime);  // out of reach, the time held here stands
    const int32_t elapsed = CheckInterval::elapsedHours(momentOf(lastCheckTime), momentOf(now));
    if (!CheckInterval::isDue(elapsed, static_cast<uint32_t>(checkInterval)))
        return false;
    lastCheckTime = now;
    store.write(now);
    return true;
}

std::wstring Updater::hostConfigPath()
{
    wchar_t program[pathBufferLength] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, program, pathBufferLength);
    if (length == 0 || length > maxPathLength)  // cut to the buffer, it would name another file
        return std::wstring();
    std::wstring path(program, length);
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos)
        path.erase(slash);
    path += configFileName;
    return fitsPathBuffer(path) ? path : std::wstring();
}

std::wstring Updater::questionText() const
{
    return L"There is a new version - " + VersionLabel::forQuestion(latestVersionName) + L" of " + displayName +
           L".\nDo you want to download it?";
}

bool Updater::askServer(std::wstring& reply, std::chrono::steady_clock::time_point deadline) const
{
    using namespace std::chrono;
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0)
        return false;
    HttpClient client(updateUrl);
    // Whoever answers names the installer: over https, only the server the address names.
    client.verifyCertificates = true;
    client.totalTimeout = static_cast<int32_t>(left);
    client.maxBodySize = maxReplyBytes;
    if (!client.send(L"GET"))
        return false;
    reply = client.responseText();
    return true;
}

HWND Updater::messageOwner() const { return IsWindow(ownerWindow) ? ownerWindow : nullptr; }

bool Updater::askUser() const
{
    // Only a clear Yes counts: a box that could not be shown must not start a download.
    return MessageBoxW(messageOwner(), questionText().c_str(), displayName.c_str(), MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

void Updater::tellNotVerified() const
{
    MessageBoxW(messageOwner(), L"The update could not be verified and was not installed.", displayName.c_str(),
                MB_OK | MB_ICONWARNING);
}
