// CheckTimeStore: the moment of the last due update check, kept in the current user's registry
// as a 16-byte SYSTEMTIME under Software\<key name>, value <product id>_update_time.
#pragma once

#include <windows.h>
#include <string>

class CheckTimeStore {
public:
    CheckTimeStore(const std::wstring& registryKeyName, const std::wstring& productId);

    // Reads the stored time into `time`; a value that is missing, not REG_BINARY or not exactly
    // 16 bytes gives all zero. False (and `time` untouched) when the key can't be opened or made.
    bool read(SYSTEMTIME& time) const;
    // Stores `time`; failures are ignored, they must never stop a check.
    void write(const SYSTEMTIME& time) const;

    std::wstring keyPath;    // below HKEY_CURRENT_USER; empty when the name is too long
    std::wstring valueName;
};
