// The moment of the last due update check, kept in the current user's registry.
#include "updater/CheckTimeStore.h"

#include "common/PathLimits.h"
#include "common/UniqueHandle.h"

namespace {

UniqueRegistryKey openOrCreate(const std::wstring& path, REGSAM openAccess)
{
    UniqueRegistryKey key;
    if (path.empty())
        return key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, openAccess, key.receive()) == ERROR_SUCCESS)
        return key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, key.receive(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

} // namespace

CheckTimeStore::CheckTimeStore(const std::wstring& registryKeyName, const std::wstring& productId)
    : valueName(productId + L"_update_time")
{
    const std::wstring path = L"Software\\" + registryKeyName;
    if (fitsPathBuffer(path))  // "Software\" and the key name share one path buffer
        keyPath = path;
}

bool CheckTimeStore::read(SYSTEMTIME& time) const
{
    UniqueRegistryKey key = openOrCreate(keyPath, KEY_READ);
    if (!key)
        return false;
    time = SYSTEMTIME{};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof(SYSTEMTIME))
        return true;
    SYSTEMTIME stored{};
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) ==
            ERROR_SUCCESS &&
        type == REG_BINARY && size == sizeof(SYSTEMTIME))
        time = stored;
    return true;
}

void CheckTimeStore::write(const SYSTEMTIME& time) const
{
    UniqueRegistryKey key = openOrCreate(keyPath, KEY_READ | KEY_WRITE);
    if (key)
        RegSetValueExW(key.get(), valueName.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&time),
                       sizeof(time));
}
