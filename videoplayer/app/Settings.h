// The one setting kept between runs: the main window's placement, as the registry value
// "MAIN_WP" under HKEY_CURRENT_USER\Software\Tellan Media Player.
#pragma once

#include <windows.h>

extern const wchar_t settingsKeyName[];

HKEY openSettingsKey();
bool loadSettings();
bool saveSettings();
