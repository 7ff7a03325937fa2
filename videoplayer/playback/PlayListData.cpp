// The folder playlist. Changed and read on the user-interface thread only (engine events are
// handed over to that thread), so no reader can see a half-rebuilt list.
#include "videoplayer/playback/PlayListData.h"

int PlayListData::buildFromFolder(const std::wstring&)
{
    entries.clear();
    return 0;
}

int PlayListData::addEntry(const std::wstring& path, int current)
{
    entries.push_back({current, path});
    return count() - 1;
}

bool PlayListData::hasMediaExtension(const std::wstring& path)
{
    const size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && path.size() - dot == 4;
}

void PlayListData::sortByPath() {}

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
