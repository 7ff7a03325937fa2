// The download's single owner: worker thread, state, counts, local file and the hand-over to
// the dialog, which hears from the worker only through posted messages.
#include "updater/DownloadTask.h"

#include <bcrypt.h>
#include <shlobj.h>
#include <new>

#include "common/LibraryHold.h"
#include "common/PathLimits.h"
#include "updater/DownloadFolder.h"
#include "updater/DownloadJob.h"
#include "updater/DownloadProgress.h"
#include "updater/InstallerName.h"

namespace {

// A number nobody can foresee, so nobody can place a file or a link at the name beforehand.
bool randomNumber(uint32_t& number)
{
    return BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&number), sizeof(number),
                           BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
}

} // namespace

// What the worker thread starts with: its share of the task, and the hold on the library.
struct WorkerStart {
    std::shared_ptr<DownloadTask> task;
    UniqueModule module;
};

DownloadTask::DownloadTask(std::wstring installerUrl, std::wstring tempBase, bool lengthRequired)
    : url_(std::move(installerUrl)), tempBase_(std::move(tempBase)), lengthRequired_(lengthRequired)
{
}

bool DownloadTask::start(HWND dialog)
{
    {
        std::lock_guard<std::mutex> hold(lock_);
        dialog_ = dialog;
    }
    state_ = running;
    std::unique_ptr<WorkerStart> begin(
        new (std::nothrow) WorkerStart{shared_from_this(), holdLibraryOf(reinterpret_cast<const void*>(&threadMain))});
    if (begin)
        thread_.reset(CreateThread(nullptr, 0, threadMain, begin.get(), 0, nullptr));
    if (thread_) {
        begin.release();  // the worker's now
        return true;
    }
    state_ = failed;
    return false;
}

bool DownloadTask::cancel()
{
    long expected = running;
    state_.compare_exchange_strong(expected, failed);
    return state() != finished;
}

void DownloadTask::detachDialog()
{
    std::lock_guard<std::mutex> hold(lock_);
    dialog_ = nullptr;
}

void DownloadTask::waitForWorker(DWORD timeoutMs)
{
    if (!thread_)
        return;
    HANDLE worker = thread_.get();
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        // A credentials prompt of the worker may still send to this thread's windows.
        if (MsgWaitForMultipleObjects(1, &worker, FALSE, static_cast<DWORD>(end - now), QS_SENDMESSAGE) !=
            WAIT_OBJECT_0 + 1)
            return;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

std::wstring DownloadTask::installerPath() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return path_;
}

std::wstring DownloadTask::installerFolder() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return folder_;
}

UniqueFile DownloadTask::takeInstallerFile()
{
    std::lock_guard<std::mutex> hold(lock_);
    return std::move(installer_);
}

DWORD WINAPI DownloadTask::threadMain(void* raw)
{
    std::unique_ptr<WorkerStart> begin(static_cast<WorkerStart*>(raw));
    // Given back by hand, as the thread's last act: no owner could run after the code it is in
    // has gone.
    const HMODULE module = begin->module.release();
    begin->task->run();
    begin.reset();  // possibly the task's last owner
    if (module)
        FreeLibraryAndExitThread(module, 0);
    return 0;
}

void DownloadTask::run()
{
    bool succeeded = false;
    try {
        succeeded = download();
    } catch (...) {
        succeeded = false;
    }
    finish(succeeded, takeInstallerFile());
}

bool DownloadTask::download()
{
    const std::wstring name = InstallerName::fromUrl(url_);
    if (name.empty() || tempBase_.empty())
        return false;
    // The installer runs from its folder and may load DLLs from it: a new folder nobody could
    // have prepared holds nothing but what arrives here. Earlier ones have served their purpose.
    DownloadFolder::removeEarlier(tempBase_);
    const std::wstring folder = DownloadFolder::create(tempBase_);
    if (folder.empty())
        return false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        folder_ = folder;  // from here on, a download that does not finish removes it
    }
    uint32_t number = 0;
    if (!randomNumber(number))
        return false;
    const std::wstring path = InstallerName::localPath(folder, number, name);
    {
        std::lock_guard<std::mutex> hold(lock_);
        path_ = path;
    }
    DownloadJob job(url_, path, onProgress, this);
    job.lengthRequired = lengthRequired_;
    const bool succeeded = job.prepare() && job.open() && job.send() && job.receive();
    job.cleanup();
    std::lock_guard<std::mutex> hold(lock_);
    installer_ = std::move(job.sealedFile);
    return succeeded;
}

// The worker's last word: the state is decided before the dialog hears of it.
void DownloadTask::finish(bool succeeded, UniqueFile installer)
{
    long expected = running;
    const bool decided = state_.compare_exchange_strong(expected, succeeded ? finished : failed);
    if (succeeded && decided) {
        std::lock_guard<std::mutex> hold(lock_);
        installer_ = std::move(installer);
    } else if (installer) {
        // Cancelled in the moment it finished: the file is no more wanted than a partial one.
        installer.reset();
        DeleteFileW(installerPath().c_str());
    }
    if (state() != finished)
        DownloadFolder::remove(installerFolder());
    post(WM_COMMAND, state() == finished ? IDOK : IDCANCEL);
}

void DownloadTask::post(UINT message, WPARAM wParam)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (dialog_)
        PostMessageW(dialog_, message, wParam, 0);
}

INT_PTR DownloadTask::onProgress(void* context, int stage, uint32_t value)
{
    DownloadTask& task = *static_cast<DownloadTask*>(context);
    if (task.state() != running)
        return 0;
    switch (stage) {
    case DownloadProgress::statusRead: {
        std::lock_guard<std::mutex> hold(task.lock_);
        return task.dialog_ ? reinterpret_cast<INT_PTR>(task.dialog_) : 1;
    }
    case DownloadProgress::length: task.total_ = value; break;
    case DownloadProgress::data: {
        const uint32_t total = task.total_;
        const int before = DownloadProgress::percent(task.received_.exchange(value), total);
        const int now = DownloadProgress::percent(value, total);
        // The bar moves in whole percent, or once into showing activity when there is no length:
        // only a change is worth a message.
        if (now != before || (now < 0 && value == 0))
            task.post(progressMessage, 0);
        break;
    }
    default: break;
    }
    return 1;
}

std::wstring DownloadTask::tempFolder()
{
    wchar_t folder[pathBufferLength] = L"";
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE))
        return std::wstring();
    std::wstring path = std::wstring(folder) + L"\\Temp";
    if (!fitsPathBuffer(path))
        return std::wstring();
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}
