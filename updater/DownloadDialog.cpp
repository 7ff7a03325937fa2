// The modal progress dialog of a download and its cancel protocol.
#include "updater/DownloadDialog.h"

#include <commctrl.h>
#include <string>

#include "updater/ActivationScope.h"
#include "updater/DownloadWorker.h"
#include "updater/LibraryState.h"
#include "updater/Updater.h"
#include "updater/res/resource.h"

bool DownloadDialog::run(Updater& updater)
{
    if (library.currentDownload)
        return false;
    library.currentDownload = &updater;
    updater.downloadState = Updater::DownloadNone;
    updater.totalBytes = 0;
    updater.receivedBytes = 0;
    INT_PTR result = -1;
    {
        // The host may not have registered the progress bar class, nor asked for the Common
        // Controls version whose bar can show progress of unknown length.
        ActivationScope manifest(library.moduleInstance);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        result = DialogBoxParamW(library.moduleInstance, MAKEINTRESOURCEW(IDD_DOWNLOAD), nullptr, dialogProc, 0);
    }
    waitForWorker(updater);
    library.downloadDialog = nullptr;
    library.currentDownload = nullptr;
    return result == IDOK && updater.downloadState == Updater::DownloadFinished;
}

INT_PTR CALLBACK DownloadDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    // Nothing may unwind through the system's dialog code; a failure here ends the download.
    try {
        switch (message) {
        case WM_INITDIALOG: onInitDialog(dialog); return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)
                return FALSE;
            onCommand(dialog, LOWORD(wParam));
            return TRUE;
        case DownloadWorker::lengthUnknownMessage: onLengthUnknown(dialog); return TRUE;
        case WM_DESTROY: library.downloadDialog = nullptr; return FALSE;
        default: return FALSE;
        }
    } catch (...) {
        if (library.currentDownload && !library.workerRunning)
            EndDialog(dialog, IDCANCEL);
        return FALSE;
    }
}

void DownloadDialog::onInitDialog(HWND dialog)
{
    library.downloadDialog = dialog;
    HWND bar = GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS);
    if (!bar || !IsWindow(bar))
        return;
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    Updater& updater = *library.currentDownload;
    SetWindowTextW(dialog, (updater.displayName + L" Version " + updater.latestVersionName).c_str());
    updater.downloadState = Updater::DownloadRunning;
    library.workerRunning = true;
    library.downloadWorker.reset(DownloadWorker::start(updater));
    if (!library.downloadWorker) {
        library.workerRunning = false;
        updater.downloadState = Updater::DownloadFailed;
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

void DownloadDialog::onCommand(HWND dialog, int id)
{
    Updater& updater = *library.currentDownload;
    if (id == IDCANCEL) {
        onCancel(dialog, updater);
        return;
    }
    // Only the worker's own report ends the dialog with success; the Enter key sends the same
    // command and must not pass a half-downloaded file off as complete.
    if (!library.workerRunning && updater.downloadState == Updater::DownloadFinished)
        EndDialog(dialog, IDOK);
}

void DownloadDialog::onCancel(HWND dialog, Updater& updater)
{
    if (updater.downloadState == Updater::DownloadFinished)
        return;  // the worker's success report is on its way
    if (!library.workerRunning) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    // Ask the worker to stop; it answers at its next report and only then does the dialog
    // close, so the Updater and this window stay valid for as long as the worker uses them.
    updater.downloadState = Updater::DownloadFailed;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
}

void DownloadDialog::onLengthUnknown(HWND dialog)
{
    HWND bar = GetDlgItem(dialog, IDC_DOWNLOAD_PROGRESS);
    if (!bar)
        return;
    SetWindowLongPtrW(bar, GWL_STYLE, GetWindowLongPtrW(bar, GWL_STYLE) | PBS_MARQUEE);
    SendMessageW(bar, PBM_SETMARQUEE, TRUE, 0);
}

void DownloadDialog::waitForWorker(Updater& updater)
{
    if (!library.downloadWorker)
        return;
    if (library.workerRunning && updater.downloadState != Updater::DownloadFinished)
        updater.downloadState = Updater::DownloadFailed;  // the dialog went without the worker's report
    // The worker's network waits are bounded; meanwhile serve what it sends to this thread.
    HANDLE worker = library.downloadWorker.get();
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    library.downloadWorker.reset();
}
