// The object behind a tellanupdate handle: the host's parameters and what one update attempt
// learns on the way (the server's answer and the state of the download).
#pragma once

#include <windows.h>
#include <string>

class Updater {
public:
    enum DownloadState { DownloadNone = 0, DownloadRunning = 1, DownloadFinished = 2, DownloadFailed = 4 };

    explicit Updater(HWND owner);
    virtual ~Updater() = default;

    // Stores one parameter; unknown indices are ignored. Text values point to wide strings.
    void setParam(int index, long value);
    // Takes the update URL from a configuration file; keeps the current one when it has none.
    void readUrlFromConfig(const std::wstring& configPath);

    HWND ownerWindow;
    std::wstring registryKeyName;
    std::wstring productId;
    std::wstring displayName;
    int installedVersionCode = 0;
    unsigned long checkInterval = 0;
    std::wstring updateUrl;
    SYSTEMTIME lastCheckTime{};
    int latestVersionCode = 0;
    std::wstring latestVersionName;
    std::wstring installerUrl;
    volatile LONG downloadState = DownloadNone;
    volatile DWORD totalBytes = 0;
    volatile DWORD receivedBytes = 0;
    std::wstring installerPath;
};
