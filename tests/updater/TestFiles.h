// File helpers of the updater tests: whole-file reads and writes, the folder the library
// downloads installers into, and the test keys and signatures.
#pragma once

#include <string>
#include <vector>

bool writeFile(const std::wstring& path, const std::string& bytes);
bool readFile(const std::wstring& path, std::string& bytes);
bool fileExists(const std::wstring& path);
// The local application-data folder + "\Temp", under which installers are downloaded, each into
// a folder of its own ("tellanupdate-" and a random name).
std::wstring installerFolder();
std::vector<std::wstring> downloadFolders();
// Full paths of the downloaded files, in any download folder, whose names end with `suffix`.
std::vector<std::wstring> downloadedFiles(const std::wstring& suffix);
// Deletes the download folders with what they hold (but what is still open or running).
void removeDownloads();
// Full paths of the files (not folders) in `folder` whose names end with `suffix` (letter case
// ignored).
std::vector<std::wstring> filesEndingWith(const std::wstring& folder, const std::wstring& suffix);
// The text of a file the build's signing set-up left in "signing" beside the test programs
// (keys and signatures as base64), without its line break; empty when there is none.
std::wstring signingText(const std::wstring& name);
// A name no other test run uses: `stem` + process id + `extension`.
std::wstring uniqueName(const std::wstring& stem, const std::wstring& extension);
