// Reads the saved placement once at start-up and writes it once at the end of the run.
#include "videoplayer/app/Settings.h"

#include <cwchar>

#include "common/PathLimits.h"
#include "common/UniqueHandle.h"
#include "videoplayer/app/AppState.h"

const wchar_t settingsKeyName[] = L"Tellan Media Player";

namespace {

const char placementValueName[] = "MAIN_WP";
const REGSAM settingsAccess = KEY_READ | KEY_WRITE;

} // namespace

HKEY openSettingsKey()
{
    wchar_t path[pathBufferLength];
    swprintf(path, pathBufferLength, L"Software\\%ls", settingsKeyName);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, settingsAccess, &key) == ERROR_SUCCESS)
        return key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, settingsAccess, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
        return key;
    return nullptr;
}

bool loadSettings()
{
    const UniqueRegistryKey settings(openSettingsKey());
    if (!settings)
        return false;
    DWORD type = 0, size = 0;
    // A value of another type or size was not written by us: ignore it as if absent.
    if (RegQueryValueExA(settings.get(), placementValueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size > sizeof(WINDOWPLACEMENT))
        return true;
    BYTE buffer[sizeof(WINDOWPLACEMENT)] = {};
    DWORD read = sizeof(buffer);
    if (RegQueryValueExA(settings.get(), placementValueName, nullptr, &type, buffer, &read) == ERROR_SUCCESS &&
        type == REG_BINARY && read == sizeof(WINDOWPLACEMENT)) {
        memcpy(&app.placement, buffer, sizeof(buffer));
        app.placementValid = 1;
    }
    return true;
}

bool saveSettings()
{
    const UniqueRegistryKey settings(openSettingsKey());
    if (!settings)
        return false;
    if (app.placementValid)
        RegSetValueExA(settings.get(), placementValueName, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&app.placement),
                       sizeof(app.placement));
    return true;
}
