// The folder playlist: the media files beside the file opened last, in path order, with at
// most one of them marked current.
#pragma once

#include <string>
#include <vector>

struct PlayListEntry {
    int current = 0;
    std::wstring path;
};

// Changed and read on the user-interface thread only: engine events reach the control bar
// through a posted message, so nothing reads the list while buildFromFolder is rebuilding it.
class PlayListData {
public:
    PlayListData() = default;
    virtual ~PlayListData() = default;

    // Rebuilds the list from the folder of `path` and marks the entry equal to it as current.
    int buildFromFolder(const std::wstring& path);
    // Appends a media file that can be opened for reading; its index, or -1.
    int addEntry(const std::wstring& path, int current);
    static bool hasMediaExtension(const std::wstring& path);
    // Ascending by UTF-16 code units, no case folding; a prefix comes first.
    void sortByPath();
    int currentIndex() const;
    void setCurrentIndex(int index);
    bool removeAt(int index);
    std::wstring pathAt(int index) const;
    int count() const;

private:
    std::vector<PlayListEntry> entries;
};
