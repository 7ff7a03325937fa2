// Where a downloaded installer goes: its file name taken from the installer URL, and the local
// path in the Temp folder with a number in front of that name.
#pragma once

#include <string>

struct InstallerName {
    // The text after the URL's last "/" or "\" (the whole URL when it has neither), ending before
    // a "?". The name comes from the server, so anything that is not a plain Windows file name
    // (empty, "." or "..", a name ending in a dot or a blank, a ":" or another character
    // Windows forbids) gives an empty result and nothing may be downloaded. So does a name that
    // does not end in ".exe" or ".msi" (letter case ignored): the shell opens a file by its
    // extension, and a script, an HTML application or a shortcut would run as something else
    // than an installer.
    static std::wstring fromUrl(const std::wstring& url);
    // folder + "\" + number in decimal + file name, e.g. "...\Temp\4711setup.exe".
    static std::wstring localPath(const std::wstring& folder, unsigned number, const std::wstring& fileName);
};
