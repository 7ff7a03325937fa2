// File helpers of the updater tests: a scratch folder of a test's own, whole-file reads and
// writes, and the folder the library downloads installers into.
#pragma once

#include <string>
#include <vector>

// A new empty folder under the system's temporary folder, removed with its files on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool writeFile(const std::wstring& path, const std::string& bytes);
bool readFile(const std::wstring& path, std::string& bytes);
bool fileExists(const std::wstring& path);
// The local application-data folder + "\Temp", where installers are downloaded.
std::wstring installerFolder();
// Full paths of the files in `folder` whose names end with `suffix` (letter case ignored).
std::vector<std::wstring> filesEndingWith(const std::wstring& folder, const std::wstring& suffix);
// A name no other test run uses: `stem` + process id + `extension`.
std::wstring uniqueName(const std::wstring& stem, const std::wstring& extension);
