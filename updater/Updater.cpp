// Parameters of an update attempt, copied in from the host.
#include "updater/Updater.h"

#include "updater/tellanupdate.h"

namespace {

std::wstring textParam(long value)
{
    const wchar_t* text = reinterpret_cast<const wchar_t*>(static_cast<LONG_PTR>(value));
    return text ? std::wstring(text) : std::wstring();
}

} // namespace

Updater::Updater(HWND owner) : ownerWindow(owner) {}

void Updater::setParam(int index, long value)
{
    switch (index) {
    case TELLANUP_PARAM_REGISTRY_KEY: registryKeyName = textParam(value); break;
    case TELLANUP_PARAM_PRODUCT_ID: productId = textParam(value); break;
    case TELLANUP_PARAM_DISPLAY_NAME: displayName = textParam(value); break;
    case TELLANUP_PARAM_VERSION_CODE: installedVersionCode = static_cast<int>(value); break;
    case TELLANUP_PARAM_UPDATE_URL: updateUrl = textParam(value); break;
    case TELLANUP_PARAM_INTERVAL: checkInterval = static_cast<unsigned long>(value); break;
    case TELLANUP_PARAM_CONFIG_FILE: readUrlFromConfig(textParam(value)); break;
    default: break;
    }
}

void Updater::readUrlFromConfig(const std::wstring& configPath)
{
    if (configPath.empty())
        return;
    wchar_t url[2048] = L"";
    GetPrivateProfileStringW(L"Global", L"URL", L"", url, ARRAYSIZE(url), configPath.c_str());
    if (url[0] != L'\0')
        updateUrl = url;
}
