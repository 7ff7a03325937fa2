// How long the folder playlist takes to build for a folder of 10,000 media files, and how
// much of that is sorting as against listing and opening the files.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "videoplayer/playback/PlayListData.h"

namespace {

const int fileCount = 10000;
const int runs = 3;

// Names in shuffled order, with mixed letter case so the order is not the creation order.
std::vector<std::wstring> shuffledNames()
{
    std::vector<int> numbers(fileCount);
    std::iota(numbers.begin(), numbers.end(), 0);
    std::mt19937 random(20261208);
    std::shuffle(numbers.begin(), numbers.end(), random);
    std::vector<std::wstring> names;
    for (int n : numbers)
        names.push_back((n % 3 ? L"clip " : L"Clip ") + std::to_wstring(n) + (n % 2 ? L".mp4" : L".MP4"));
    return names;
}

std::wstring makeFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring folder = std::wstring(temp) + L"quillet-bench-playlist-" +
                                    std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder + L"\\";
    }
    return std::wstring();
}

// Under Wine every new name costs a read of the whole folder (it looks for a case-insensitive
// match first), so making the 10,000 files takes most of this program's run time.
bool createFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

void removeFolder(const std::wstring& folder, const std::vector<std::wstring>& names)
{
    for (const std::wstring& name : names)
        DeleteFileW((folder + name).c_str());
    RemoveDirectoryW(folder.substr(0, folder.size() - 1).c_str());
}

} // namespace

int main()
{
    const std::wstring folder = makeFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const std::vector<std::wstring> names = shuffledNames();
    for (const std::wstring& name : names) {
        if (!createFile(folder + name)) {
            std::fprintf(stderr, "cannot create the test files\n");
            removeFolder(folder, names);
            return 1;
        }
    }

    PlayListData list;
    double buildMs = 1e30;
    int entries = 0;
    for (int run = 0; run < runs; ++run) {
        const double start = nowMs();
        entries = list.buildFromFolder(folder + names.front());
        buildMs = std::min(buildMs, nowMs() - start);
    }

    // The same entries, unsorted, in the order the files were made.
    PlayListData unsorted;
    for (const std::wstring& name : names)
        unsorted.addEntry(folder + name, 0);
    double sortMs = 1e30;
    for (int run = 0; run < runs; ++run) {
        PlayListData copy = unsorted;
        const double start = nowMs();
        copy.sortByPath();
        sortMs = std::min(sortMs, nowMs() - start);
    }
    removeFolder(folder, names);

    if (entries != fileCount || unsorted.count() != fileCount) {
        std::fprintf(stderr, "listed %d and added %d of %d files\n", entries, unsorted.count(), fileCount);
        return 1;
    }
    std::printf("playlist-files: %d\n", fileCount);
    std::printf("playlist-build-ms: %.1f\n", buildMs);
    std::printf("playlist-sort-ms: %.2f\n", sortMs);
    std::printf("playlist-sort-share: %.2f\n", 100.0 * sortMs / buildMs);
    return 0;
}
