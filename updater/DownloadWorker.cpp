// The download's worker thread and its progress handler.
#include "updater/DownloadWorker.h"

#include <commctrl.h>
#include <shlobj.h>
#include <cstdlib>
#include <ctime>

#include "common/PathLimits.h"
#include "updater/DownloadJob.h"
#include "updater/DownloadProgress.h"
#include "updater/InstallerName.h"
#include "updater/LibraryState.h"
#include "updater/Updater.h"
#include "updater/res/resource.h"

HANDLE DownloadWorker::start(Updater& updater)
{
    return CreateThread(nullptr, 0, threadMain, &updater, 0, nullptr);
}

DWORD WINAPI DownloadWorker::threadMain(void* context)
{
    Updater& updater = *static_cast<Updater*>(context);
    bool succeeded = false;
    try {
        succeeded = download(updater);
    } catch (...) {
        succeeded = false;
    }
    // The state is final before the dialog hears of it; after this the Updater is not touched.
    updater.downloadState = succeeded ? Updater::DownloadFinished : Updater::DownloadFailed;
    library.workerRunning = false;
    PostMessageW(library.downloadDialog, WM_COMMAND, succeeded ? IDOK : IDCANCEL, 0);
    return 0;
}

bool DownloadWorker::download(Updater& updater)
{
    const std::wstring name = InstallerName::fromUrl(updater.installerUrl);
    const std::wstring folder = name.empty() ? std::wstring() : tempFolder();
    if (folder.empty()) {
        updater.installerPath.clear();
        return false;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    updater.installerPath = InstallerName::localPath(folder, static_cast<unsigned>(std::rand()), name);
    DownloadJob job(updater.installerUrl, updater.installerPath, onProgress, &updater);
    const bool succeeded = job.prepare() && job.open() && job.send() && job.receive();
    job.cleanup();
    return succeeded;
}

INT_PTR DownloadWorker::onProgress(void* context, int stage, uint32_t value)
{
    Updater& updater = *static_cast<Updater*>(context);
    if (updater.downloadState == Updater::DownloadFailed)
        return 0;
    switch (stage) {
    case DownloadProgress::statusRead: {
        HWND dialog = library.downloadDialog;
        return dialog ? reinterpret_cast<INT_PTR>(dialog) : 1;
    }
    case DownloadProgress::length: updater.totalBytes = value; break;
    case DownloadProgress::data: showProgress(updater, value); break;
    default: break;
    }
    return 1;
}

void DownloadWorker::showProgress(Updater& updater, uint32_t received)
{
    const uint32_t total = updater.totalBytes;
    const int before = DownloadProgress::percent(updater.receivedBytes, total);
    updater.receivedBytes = received;
    const int now = DownloadProgress::percent(received, total);
    HWND dialog = library.downloadDialog;
    if (now < 0) {
        if (received == 0)
            PostMessageW(dialog, lengthUnknownMessage, 0, 0);
        return;
    }
    // The bar moves in whole percent, so only a change is worth a trip to the dialog's thread.
    HWND bar = GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS);
    if (now != before && bar && IsWindow(bar))
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(now), 0);
}

std::wstring DownloadWorker::tempFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE))
        return std::wstring();
    std::wstring path = std::wstring(folder) + L"\\Temp";
    if (!fitsPathBuffer(path))
        return std::wstring();
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}
