// The folder playlist: listing the folder, the media-file test and the path order. Changed and
// read on the user-interface thread only (engine events are handed over to that thread).
#include "videoplayer/playback/PlayListData.h"

#include <windows.h>

#include <algorithm>

#include "common/AsciiCase.h"
#include "common/UniqueHandle.h"

namespace {

const wchar_t mediaExtension[] = L"mp4";

// Read sharing only: a file that someone is still writing (a download, a recording) is not
// playable yet and stays out of the list.
bool canOpenForReading(const std::wstring& path)
{
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

// Names starting with a dot are the folder itself, its parent and hidden Unix-style files.
bool isListable(const WIN32_FIND_DATAW& item)
{
    return item.cFileName[0] != L'.' && !(item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Code units compared as unsigned 16-bit numbers, so the order does not depend on the
// signedness of wchar_t or on the locale.
bool pathLess(const PlayListEntry& a, const PlayListEntry& b)
{
    return std::lexicographical_compare(a.path.begin(), a.path.end(), b.path.begin(), b.path.end(),
                                        [](wchar_t x, wchar_t y) {
                                            return static_cast<unsigned short>(x) < static_cast<unsigned short>(y);
                                        });
}

} // namespace

int PlayListData::buildFromFolder(const std::wstring& path)
{
    entries.clear();
    const size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos)
        return 0;
    const std::wstring folder = path.substr(0, slash + 1);
    WIN32_FIND_DATAW item;
    const UniqueFindHandle search(FindFirstFileW((folder + L"*.*").c_str(), &item));
    if (search) {
        do {
            if (!isListable(item))
                continue;
            const std::wstring full = folder + item.cFileName;
            addEntry(full, full == path ? 1 : 0);
        } while (FindNextFileW(search.get(), &item));
    }
    sortByPath();
    return count();
}

int PlayListData::addEntry(const std::wstring& path, int current)
{
    // The extension first: it is free, while opening costs a file-system round trip for every
    // other file in the folder.
    if (!hasMediaExtension(path) || !canOpenForReading(path))
        return -1;
    entries.push_back({current, path});
    return count() - 1;
}

bool PlayListData::hasMediaExtension(const std::wstring& path)
{
    // The last dot of the whole path: "D:\my.videos\clip" has no extension.
    const size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    const std::wstring extension = path.substr(dot + 1);
    return !extension.empty() && asciiLowered(extension) == mediaExtension;
}

void PlayListData::sortByPath()
{
    std::stable_sort(entries.begin(), entries.end(), pathLess);
}

int PlayListData::currentIndex() const
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].current)
            return static_cast<int>(i);
    return -1;
}

void PlayListData::setCurrentIndex(int index)
{
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i].current = static_cast<int>(i) == index ? 1 : 0;
}

bool PlayListData::removeAt(int index)
{
    if (index < 0 || index >= count())
        return false;
    entries.erase(entries.begin() + index);
    return true;
}

std::wstring PlayListData::pathAt(int index) const
{
    return index >= 0 && index < count() ? entries[static_cast<size_t>(index)].path : std::wstring();
}

int PlayListData::count() const
{
    return static_cast<int>(entries.size());
}
