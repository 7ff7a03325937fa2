// The folder playlist: the media files beside the file opened last, in path order, with at
// most one of them marked current.
#pragma once

#include <string>
#include <vector>

struct PlayListEntry {
    int current = 0;
    std::wstring path;
};

class PlayListData {
public:
    PlayListData() = default;
    virtual ~PlayListData() = default;

    int buildFromFolder(const std::wstring& path);
    int addEntry(const std::wstring& path, int current);
    static bool hasMediaExtension(const std::wstring& path);
    void sortByPath();
    int currentIndex() const;
    void setCurrentIndex(int index);
    bool removeAt(int index);
    std::wstring pathAt(int index) const;
    int count() const;

private:
    std::vector<PlayListEntry> entries;
};
