// A uniquely named folder under the user's temporary folder for one test, removed with
// everything in it when the test is done.
#pragma once

#include <string>

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool valid() const { return !folder.empty(); }
    // The folder, without a trailing backslash.
    const std::wstring& path() const { return folder; }
    std::wstring file(const std::wstring& name) const { return folder + L"\\" + name; }
    std::wstring operator/(const std::wstring& name) const { return file(name); }

    // Creates an empty file or a sub-folder; false if it exists or cannot be made.
    bool addFile(const std::wstring& name) const;
    bool addFolder(const std::wstring& name) const;

private:
    std::wstring folder;
};
