// DownloadTask: one download of an installer, the single owner of everything the dialog's thread
// and the worker thread share: the worker itself, its state (with the cancel request), the byte
// counts, the local file and the hand-over to the dialog.
#pragma once

#include <windows.h>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "common/UniqueHandle.h"

class DownloadTask : public std::enable_shared_from_this<DownloadTask> {
public:
    // The download state, as the Updater reports it. One variable, changed only by
    // compare-and-swap from running: whichever of a Cancel and the worker's end comes first
    // decides, and the other can't turn a finished download into a failed one or the reverse.
    enum State : long { notStarted = 0, running = 1, finished = 2, failed = 4 };

    // Posted to the dialog whenever the counts change; the dialog reads them from the task.
    static const UINT progressMessage = WM_APP + 1;

    // A download of `installerUrl` into a folder of its own under `tempBase` (tempFolder(), or
    // another for tests). `lengthRequired`: only a body whose length the server states counts as
    // whole, as when no signature is to decide whether an installer arrived as it was signed.
    DownloadTask(std::wstring installerUrl, std::wstring tempBase, bool lengthRequired);
    DownloadTask(const DownloadTask&) = delete;
    DownloadTask& operator=(const DownloadTask&) = delete;

    // Starts the worker, which reports to `dialog` by posted messages; false when no thread could
    // be had (the state is then failed).
    bool start(HWND dialog);
    // Cancel from the dialog: true when the download now counts as failed (the dialog may close
    // at once, whatever the worker is still waiting for), false when it had already finished.
    bool cancel();
    // The dialog is going: nothing is posted to it from now on.
    void detachDialog();
    // Waits up to `timeoutMs` for the worker to end; a worker still held by a network call after
    // that ends on its own, touching nothing but this task.
    void waitForWorker(DWORD timeoutMs);

    State state() const { return static_cast<State>(state_.load()); }
    uint32_t totalBytes() const { return total_; }
    uint32_t receivedBytes() const { return received_; }
    std::wstring installerPath() const;
    // The folder made for this download; removed again unless the download finished.
    std::wstring installerFolder() const;
    // After a finished download: the installer, open read-only with nobody allowed to write it.
    UniqueFile takeInstallerFile();

    // The local application-data folder + "\Temp", created when missing; empty when unknown.
    static std::wstring tempFolder();

private:
    static DWORD WINAPI threadMain(void* task);
    void run();
    bool download();
    void finish(bool succeeded, UniqueFile installer);
    void post(UINT message, WPARAM wParam);
    static INT_PTR onProgress(void* task, int stage, uint32_t value);

    const std::wstring url_;
    const std::wstring tempBase_;
    const bool lengthRequired_;
    std::atomic<long> state_{notStarted};
    std::atomic<uint32_t> total_{0};
    std::atomic<uint32_t> received_{0};
    UniqueKernelHandle thread_;
    mutable std::mutex lock_;  // guards the four below
    HWND dialog_ = nullptr;
    std::wstring folder_;
    std::wstring path_;
    UniqueFile installer_;
};
