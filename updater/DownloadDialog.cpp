// The modal progress dialog of a download.
#include "updater/DownloadDialog.h"

#include <commctrl.h>
#include <memory>
#include <string>

#include "updater/ActivationScope.h"
#include "updater/DownloadProgress.h"
#include "updater/DownloadTask.h"
#include "updater/LibraryState.h"
#include "updater/Updater.h"
#include "updater/VersionLabel.h"
#include "updater/res/resource.h"

namespace {

// How long a closed dialog still waits for its worker. A worker stopped by Cancel normally ends
// at its next report; one held longer by a network wait ends on its own and cleans up after
// itself, and the host need not wait for it.
const DWORD workerGraceMs = 3000;

// What the dialog is handed when it opens.
struct Session {
    const Updater& updater;
    DownloadTask& task;
};

DownloadTask* taskOf(HWND dialog) { return reinterpret_cast<DownloadTask*>(GetWindowLongPtrW(dialog, GWLP_USERDATA)); }

} // namespace

bool DownloadDialog::run(Updater& updater)
{
    if (library.currentDownload)
        return false;
    library.currentDownload = &updater;
    updater.downloadState = Updater::DownloadNone;
    updater.totalBytes = 0;
    updater.receivedBytes = 0;
    updater.installerFile.reset();
    const auto task = std::make_shared<DownloadTask>(updater.installerUrl, DownloadTask::tempFolder(),
                                                     !updater.signatureDecides());
    Session session{updater, *task};
    INT_PTR result = -1;
    {
        // The host may not have registered the progress bar class, nor asked for the Common
        // Controls version whose bar can show progress of unknown length.
        ActivationScope manifest(library.moduleInstance);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        result = DialogBoxParamW(library.moduleInstance, MAKEINTRESOURCEW(IDD_DOWNLOAD), nullptr, dialogProc,
                                 reinterpret_cast<LPARAM>(&session));
    }
    task->waitForWorker(workerGraceMs);
    updater.downloadState = task->state();
    updater.totalBytes = task->totalBytes();
    updater.receivedBytes = task->receivedBytes();
    updater.installerPath = task->installerPath();
    updater.installerFolder = task->installerFolder();
    if (task->state() == DownloadTask::finished)
        updater.installerFile = task->takeInstallerFile();
    library.currentDownload = nullptr;
    return result == IDOK && updater.downloadState == Updater::DownloadFinished;
}

INT_PTR CALLBACK DownloadDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Nothing may unwind through the system's dialog code; a failure here ends the download.
    try {
        if (message == WM_INITDIALOG) {
            onInitDialog(dialog, lParam);
            return TRUE;
        }
        DownloadTask* task = taskOf(dialog);
        if (!task)
            return FALSE;
        switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
                return FALSE;
            onCommand(dialog, *task, LOWORD(wParam));
            return TRUE;
        case DownloadTask::progressMessage: onProgress(dialog, *task); return TRUE;
        case WM_DESTROY: task->detachDialog(); return FALSE;
        default: return FALSE;
        }
    } catch (...) {
        if (DownloadTask* task = taskOf(dialog))
            task->cancel();
        EndDialog(dialog, IDCANCEL);
        return FALSE;
    }
}

void DownloadDialog::onInitDialog(HWND dialog, LPARAM lParam)
{
    const Session& session = *reinterpret_cast<const Session*>(lParam);
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&session.task));
    HWND bar = GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS);
    if (!bar || !IsWindow(bar))
        return;
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    const Updater& updater = session.updater;
    SetWindowTextW(dialog,
                   (updater.displayName + L" Version " + VersionLabel::forQuestion(updater.latestVersionName)).c_str());
    if (!session.task.start(dialog))
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

void DownloadDialog::onCommand(HWND dialog, DownloadTask& task, int id)
{
    if (id == IDCANCEL) {
        // Whatever the worker is waiting for, the dialog closes now; the task makes sure a
        // download that finished in the same moment is not counted twice.
        if (task.cancel()) {
            EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);  // taken; a second press means nothing
            EndDialog(dialog, IDCANCEL);
        }
        return;
    }
    // Only the worker's own report ends the dialog with success; the Enter key sends the same
    // command and must not pass a half-downloaded file off as complete.
    if (task.state() == DownloadTask::finished)
        EndDialog(dialog, IDOK);
}

void DownloadDialog::onProgress(HWND dialog, const DownloadTask& task)
{
    HWND bar = GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS);
    if (!bar)
        return;
    const int percent = DownloadProgress::percent(task.receivedBytes(), task.totalBytes());
    if (percent >= 0) {
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
        return;
    }
    // No length: the bar shows activity instead of a share it can't know.
    if (!(GetWindowLongPtrW(bar, GWL_STYLE) & PBS_MARQUEE)) {
        SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
        SendMessageW(bar, PBM_SETMARQUEE, TRUE, 0);
    }
}
