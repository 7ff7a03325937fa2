// The whole update road with the real programs: Quillet.exe (with the libvlc test double) finds
// "tellanupdate.conf" beside itself, asks a loopback server, and on Yes downloads and starts a
// test installer and ends without ever making its main window. Also a minimal host showing that
// a URL set by the host keeps the configuration file unread, a player built with an update key
// that starts only a signed installer, and one built as a later release that reports its code.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"
#include "tests/updater/TestFiles.h"
#include "tests/support/WindowDriver.h"

namespace {

const wchar_t mainWindowClass[] = L"Player_WndClass";
const wchar_t settingsKey[] = L"Software\\Tellan Media Player";
const wchar_t placementValue[] = L"MAIN_WP";
const DWORD processTimeoutMs = 60000;

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ownFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

// A program started by a test; ended by its process id if the test leaves it running.
class ChildProcess {
public:
    ChildProcess(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder)
    {
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                            &startup, &info))
            info = PROCESS_INFORMATION{};
        else
            CloseHandle(info.hThread);
    }
    ~ChildProcess()
    {
        if (!info.hProcess)
            return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info.hProcess, 99);
        CloseHandle(info.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return info.hProcess != nullptr; }
    DWORD id() const { return info.dwProcessId; }
    HANDLE process() const { return info.hProcess; }
    bool waitForExit(DWORD timeoutMs) const { return WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0; }
    DWORD exitCode() const
    {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info = {};
};

// The player's main window in process `processId`, or null.
HWND mainWindowOf(DWORD processId)
{
    for (HWND window = FindWindowExW(nullptr, nullptr, mainWindowClass, nullptr); window;
         window = FindWindowExW(nullptr, window, mainWindowClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

class UpdateEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedPlacementFound = readPlacement(savedPlacement);
        ASSERT_TRUE(readFile(ownFolder() + L"\\update_test_installer.exe", installerProgram));
    }

    void TearDown() override
    {
        restorePlacement();
        removeDownloads();
    }

    LoopbackServer::Response answer(const LoopbackServer::Request& request)
    {
        LoopbackServer::Response response;
        if (request.target == "/update.xml")
            response.body = "<updates><Quillet><version_code>3</version_code><version_name>9.9</version_name><url>" +
                            narrow(server.url(L"/dl/" + installerName)) + "</url>" +
                            (signature.empty() ? "" : "<signature>" + narrow(signature) + "</signature>") +
                            "</Quillet></updates>";
        else
            response.body = installerProgram;
        return response;
    }

    // Copies the programs into the test's own folder, with a configuration file naming `url`.
    void deploy(const std::vector<std::wstring>& programs, const std::wstring& url)
    {
        for (const std::wstring& name : programs)
            ASSERT_TRUE(CopyFileW((ownFolder() + L"\\" + name).c_str(), folder.file(name).c_str(), FALSE))
                << narrow(name);
        ASSERT_TRUE(writeFile(folder.file(L"tellanupdate.conf"), "[Global]\r\nURL=" + narrow(url) + "\r\n"));
    }

    void deployPlayer(const std::wstring& url) { deploy({L"Quillet.exe", L"tellanupdate.dll", L"libvlc.dll"}, url); }

    // A variant of the player (`program`), deployed under its usual name.
    void deployPlayerBuiltAs(const std::wstring& program, const std::wstring& url)
    {
        deploy({L"tellanupdate.dll", L"libvlc.dll"}, url);
        ASSERT_TRUE(CopyFileW((ownFolder() + L"\\" + program).c_str(), folder.file(L"Quillet.exe").c_str(), FALSE));
    }

    // The player as built with the test key.
    void deployKeyedPlayer(const std::wstring& url) { deployPlayerBuiltAs(L"QuilletKeyed.exe", url); }

    bool readPlacement(std::string& value)
    {
        BYTE data[256];
        DWORD size = sizeof(data);
        DWORD type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, settingsKey, placementValue, RRF_RT_ANY, &type, data, &size) !=
            ERROR_SUCCESS)
            return false;
        value.assign(reinterpret_cast<const char*>(data), size);
        return true;
    }

    void writePlacement(const std::string& value)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, settingsKey, placementValue, REG_BINARY, value.data(),
                        static_cast<DWORD>(value.size()));
    }

    void restorePlacement()
    {
        if (savedPlacementFound)
            writePlacement(savedPlacement);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, settingsKey, placementValue);
    }

    // Answers the player's question with `button`; the question's text lands in `question`.
    void answerQuestion(int button, std::wstring& question)
    {
        Driver driver([&] {
            HWND box = waitForWindow(L"#32770", L"Quillet", processTimeoutMs);
            if (!box)
                return;
            question = messageBoxText(box);
            clickButton(box, button);
        });
        driver.join();
    }

    // Waits for the player's main window to show, closes it and expects a clean exit.
    void expectNormalRunAndClose(ChildProcess& player)
    {
        HWND window = nullptr;
        ASSERT_TRUE(waitFor([&] { return (window = mainWindowOf(player.id())) && IsWindowVisible(window); },
                            processTimeoutMs))
            << "the player's window did not appear";
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(player.waitForExit(processTimeoutMs));
        EXPECT_EQ(player.exitCode(), 0u);
    }

    int installerRequests() const
    {
        int count = 0;
        for (const LoopbackServer::Request& request : server.requests())
            count += request.target != "/update.xml";
        return count;
    }

    TempFolder folder;
    std::string installerProgram;
    std::wstring installerName = uniqueName(L"QuilletE2ESetup", L".exe");
    std::wstring signature;  // offered in the reply when not empty
    LoopbackServer server{[this](const LoopbackServer::Request& request) { return answer(request); }};
    std::string savedPlacement;
    bool savedPlacementFound = false;
};

TEST_F(UpdateEndToEndTest, YesInstallsTheUpdateAndThePlayerEndsWithoutAWindow)
{
    WINDOWPLACEMENT known = {};
    known.length = sizeof(known);
    known.showCmd = SW_SHOWNORMAL;
    known.ptMinPosition = {-1, -1};
    known.ptMaxPosition = {-1, -1};
    known.rcNormalPosition = {123, 45, 763, 525};
    const std::string knownValue(reinterpret_cast<const char*>(&known), sizeof(known));
    ASSERT_EQ(knownValue.size(), 44u);
    writePlacement(knownValue);
    deployPlayer(server.url(L"/update.xml"));

    ChildProcess player(folder.file(L"Quillet.exe"), L"", folder.path());
    ASSERT_TRUE(player.started());
    std::wstring question;
    bool sawMainWindow = false;
    Driver driver([&] {
        HWND box = waitForWindow(L"#32770", L"Quillet", processTimeoutMs);
        if (!box)
            return;
        question = messageBoxText(box);
        clickButton(box, IDYES);
    });
    const bool ended = waitFor(
        [&] {
            sawMainWindow = sawMainWindow || mainWindowOf(player.id()) != nullptr;
            return player.waitForExit(0);
        },
        processTimeoutMs);
    driver.join();
    ASSERT_TRUE(ended) << "the player did not end";
    EXPECT_EQ(player.exitCode(), 0u);
    EXPECT_FALSE(sawMainWindow);
    EXPECT_EQ(question, L"There is a new version - 9.9 of Quillet.\nDo you want to download it?");
    EXPECT_EQ(installerRequests(), 1);
    EXPECT_EQ(server.requests().back().header("User-Agent"), "nsInstall");
    EXPECT_TRUE(waitFor([&] { return !downloadedFiles(installerName + L".ran").empty(); }))
        << "the installer was not started";

    std::string placement;
    ASSERT_TRUE(readPlacement(placement));
    EXPECT_EQ(placement, knownValue);
}

TEST_F(UpdateEndToEndTest, NoLetsThePlayerStartNormally)
{
    deployPlayer(server.url(L"/update.xml"));
    ChildProcess player(folder.file(L"Quillet.exe"), L"", folder.path());
    ASSERT_TRUE(player.started());
    std::wstring question;
    answerQuestion(IDNO, question);
    EXPECT_FALSE(question.empty());
    expectNormalRunAndClose(player);
    EXPECT_EQ(installerRequests(), 0);
}

TEST_F(UpdateEndToEndTest, AnUpdateServerThatIsDownLetsThePlayerStartNormally)
{
    int port = 0;
    {
        LoopbackServer gone([](const LoopbackServer::Request&) { return LoopbackServer::Response{}; });
        port = gone.port();
    }
    deployPlayer(L"http://127.0.0.1:" + std::to_wstring(port) + L"/update.xml");
    ChildProcess player(folder.file(L"Quillet.exe"), L"", folder.path());
    ASSERT_TRUE(player.started());
    expectNormalRunAndClose(player);
}

TEST_F(UpdateEndToEndTest, AUrlSetByTheHostKeepsTheConfigurationFileUnread)
{
    LoopbackServer hostServer([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = "<Quillet><version_code>2</version_code></Quillet>";
        return response;
    });
    auto sameVersion = [](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = "<Quillet><version_code>2</version_code></Quillet>";
        return response;
    };
    LoopbackServer fileServer(sameVersion);
    deploy({L"update_test_host.exe", L"tellanupdate.dll"}, fileServer.url(L"/from-file"));

    {
        ChildProcess host(folder.file(L"update_test_host.exe"), hostServer.url(L"/from-host"), folder.path());
        ASSERT_TRUE(host.started());
        ASSERT_TRUE(host.waitForExit(processTimeoutMs));
        EXPECT_EQ(host.exitCode(), 0u);
    }
    EXPECT_EQ(hostServer.requestCount(), 1);
    EXPECT_EQ(fileServer.requestCount(), 0);

    ChildProcess host(folder.file(L"update_test_host.exe"), L"-", folder.path());
    ASSERT_TRUE(host.started());
    ASSERT_TRUE(host.waitForExit(processTimeoutMs));
    EXPECT_EQ(fileServer.requestCount(), 1);
    ASSERT_EQ(fileServer.requests().size(), 1u);
    EXPECT_EQ(fileServer.requests()[0].target, "/from-file");
}

TEST_F(UpdateEndToEndTest, APlayerBuiltWithAKeyRefusesAnUnsignedUpdateAndStartsNormally)
{
    deployKeyedPlayer(server.url(L"/update.xml"));
    ChildProcess player(folder.file(L"Quillet.exe"), L"", folder.path());
    ASSERT_TRUE(player.started());
    std::wstring question, told;
    {
        Driver driver([&] {
            HWND box = waitForWindow(L"#32770", L"Quillet", processTimeoutMs);
            if (!box)
                return;
            question = messageBoxText(box);
            clickButton(box, IDYES);
            if (!waitForWindowGone(box) || !(box = waitForWindow(L"#32770", L"Quillet", processTimeoutMs)))
                return;
            told = messageBoxText(box);
            clickButton(box, IDOK);
        });
    }
    EXPECT_FALSE(question.empty());
    EXPECT_EQ(told, L"The update could not be verified and was not installed.");
    expectNormalRunAndClose(player);
    EXPECT_EQ(installerRequests(), 1);
    EXPECT_TRUE(downloadedFiles(installerName).empty()) << "the refused installer was kept";
    EXPECT_TRUE(downloadedFiles(installerName + L".ran").empty()) << "the installer ran";
}

TEST_F(UpdateEndToEndTest, APlayerBuiltWithAKeyInstallsASignedUpdate)
{
    signature = signingText(L"installer.sig");
    ASSERT_FALSE(signature.empty());
    deployKeyedPlayer(server.url(L"/update.xml"));
    ChildProcess player(folder.file(L"Quillet.exe"), L"", folder.path());
    ASSERT_TRUE(player.started());
    std::wstring question;
    answerQuestion(IDYES, question);
    EXPECT_FALSE(question.empty());
    ASSERT_TRUE(player.waitForExit(processTimeoutMs)) << "the player did not end";
    EXPECT_EQ(player.exitCode(), 0u);
    EXPECT_TRUE(waitFor([&] { return !downloadedFiles(installerName + L".ran").empty(); }))
        << "the installer was not started";
}

// A release is built with its own version and version code, and the player reports that code: the
// player built as 1.2 with code 3 takes a reply offering 3 for no update, where 1.1 (code 2) asks.
TEST_F(UpdateEndToEndTest, APlayerBuiltAsALaterReleaseReportsItsOwnVersionAndCode)
{
    deployPlayerBuiltAs(L"QuilletNext.exe", server.url(L"/update.xml"));
    ChildProcess player(folder.file(L"Quillet.exe"), L"", folder.path());
    ASSERT_TRUE(player.started());
    HWND window = nullptr;
    DWORD asker = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            GetWindowThreadProcessId(FindWindowW(L"#32770", L"Quillet"), &asker);
            return asker == player.id() || ((window = mainWindowOf(player.id())) && IsWindowVisible(window));
        },
        processTimeoutMs));
    ASSERT_NE(asker, player.id()) << "the player reported an older code than it was built with";
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(waitFor([&] { return windowText(window) == L"Quillet 1.2"; })) << narrow(windowText(window));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(player.waitForExit(processTimeoutMs));
}

} // namespace
