// The object behind a tellanupdate handle: the host's parameters and what one update attempt
// learns on the way (the server's answer and the state of the download).
#pragma once

#include <windows.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "common/UniqueHandle.h"
class SignatureVerifier;

class Updater {
public:
    enum DownloadState : long { DownloadNone = 0, DownloadRunning = 1, DownloadFinished = 2, DownloadFailed = 4 };

    explicit Updater(HWND owner);
    virtual ~Updater();
    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;

    // Stores one parameter; unknown indices are ignored. Text values point to wide strings.
    // False only for a public key that cannot be used, which leaves no key set.
    bool setParam(int index, LONG_PTR value);
    // Sets the key installers must be signed with; false when it is unusable, and then no
    // installer is started until a usable key is set.
    bool setPublicKey(const std::wstring& base64Key);
    // Takes the update URL from a configuration file; keeps the current one when it has none.
    void readUrlFromConfig(const std::wstring& configPath);

    // The update check: true when the server offers a newer version and the user wants it.
    bool haveNew(bool useInterval);
    // Downloads the offered installer behind the progress dialog; true when it arrived whole.
    bool download();
    // Starts the downloaded installer through the shell; true when it was started. With a
    // public key set, an installer whose signature does not verify is deleted instead, and the
    // user is told.
    bool install();
    // True when no key was ever asked for, or when the offered signature verifies with the key
    // as the publisher's statement that the file read through `file` is the installer of the
    // offered version code of this product. False after a key that could not be used.
    bool verifyInstaller(HANDLE file) const;
    // Whether a signature will decide about the installer (a key was asked for), rather than
    // only the download itself telling that it arrived whole.
    bool signatureDecides() const { return keyRequested; }

    // The interval test at local time `now`: true when a check is due, and then the stored
    // time of the last check becomes `now`.
    bool checkIsDue(const SYSTEMTIME& now);
    // "tellanupdate.conf" in the folder of the program that started the process; empty when
    // that path does not fit a path buffer (common/PathLimits.h).
    static std::wstring hostConfigPath();
    // The question put to the user when a newer version exists.
    std::wstring questionText() const;

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
    std::wstring latestSignature;
    std::unique_ptr<SignatureVerifier> verifier;  // null: no usable key
    bool keyRequested = false;  // the host set a key, usable or not: installers must verify
    // Shared with the download's worker thread.
    std::atomic<long> downloadState{DownloadNone};
    std::atomic<uint32_t> totalBytes{0};
    std::atomic<uint32_t> receivedBytes{0};
    std::wstring installerPath;
    std::wstring installerFolder;  // the download's own folder, the installer's working folder
    // The finished installer, open read-only with nobody allowed to write it, from the end of
    // the download until it has been started, so that it can't be changed or replaced between.
    UniqueFile installerFile;

private:
    bool askServer(std::wstring& reply, std::chrono::steady_clock::time_point deadline) const;
    bool askUser() const;
    void tellNotVerified() const;
    HWND messageOwner() const;
};
