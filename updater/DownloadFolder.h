// DownloadFolder: the folder of one installer download, made new under the user's Temp with a
// name nobody can foresee, and the removal of such folders once they are no longer wanted.
#pragma once

#include <string>

struct DownloadFolder {
    // Makes a new folder "tellanupdate-" + 32 random hex digits under `base`. It must not exist
    // before, so nobody can have put a file or a DLL into it beforehand. Empty when none could
    // be made.
    static std::wstring create(const std::wstring& base);
    // Deletes the files directly in `folder` and the folder itself; what can't go (a file still
    // open, something else put there) stays.
    static void remove(const std::wstring& folder);
    // Removes every folder of an earlier download under `base`, as far as it can go: their
    // installers have run or were never wanted.
    static void removeEarlier(const std::wstring& base);
    // True for a name of the form create() gives.
    static bool isDownloadFolderName(const std::wstring& name);
};
