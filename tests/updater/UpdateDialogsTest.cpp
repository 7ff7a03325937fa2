// The library's windows through its exports, against a loopback server: the Yes/No question of
// the update check, the download dialog with its worker, its cancel protocol, the folder of its
// own it downloads into and the file it leaves there for tellanup_install, the password prompt
// only the system's proxy may cause, and the signature check that install makes with a key set.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>

#include "tests/support/LoopbackServer.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"
#include "tests/updater/TestFiles.h"
#include "updater/Updater.h"
#include "updater/tellanupdate.h"

namespace {

const wchar_t dialogClass[] = L"#32770";
const wchar_t displayName[] = L"Quillet Test";
const wchar_t dialogTitle[] = L"Quillet Test Version 3.0";

LONG_PTR text(const wchar_t* value) { return reinterpret_cast<LONG_PTR>(value); }

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string bytes(size_t count)
{
    std::string data(count, '\0');
    for (size_t i = 0; i < count; ++i)
        data[i] = static_cast<char>(i * 7 % 251);
    return data;
}

LoopbackServer::Response proxyRefusal(const LoopbackServer::Request&)
{
    LoopbackServer::Response response;
    response.head = "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"p\"\r\n"
                    "Content-Length: 0\r\n";
    return response;
}

std::wstring ownFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\'));
}

int barPosition(HWND dialog)
{
    DWORD_PTR position = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, 1001), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000, &position);
    return static_cast<int>(position);
}

// A server that answers "/check" with an offer of version 3 of "Quillet" whose installer is at
// `installerPath`, and every other request with `installer`.
class UpdateDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle = tellanup_create(nullptr);
        ASSERT_NE(handle, nullptr);
        tellanup_setParam(handle, TELLANUP_PARAM_REGISTRY_KEY, text(L"Quillet Tests\\Dialogs"));
        tellanup_setParam(handle, TELLANUP_PARAM_PRODUCT_ID, text(L"Quillet"));
        tellanup_setParam(handle, TELLANUP_PARAM_DISPLAY_NAME, text(displayName));
        tellanup_setParam(handle, TELLANUP_PARAM_VERSION_CODE, 2);
        tellanup_setParam(handle, TELLANUP_PARAM_INTERVAL, 86400);
        tellanup_setParam(handle, TELLANUP_PARAM_UPDATE_URL, text(server.url(L"/check").c_str()));
    }

    void TearDown() override
    {
        // Released first: it holds a finished installer open, and nobody can delete it meanwhile.
        tellanup_release(handle);
        removeDownloads();
    }

    LoopbackServer::Response answer(const LoopbackServer::Request& request)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (request.target == "/check") {
            LoopbackServer::Response response;
            response.body = "<Quillet><version_code>" + versionCode + "</version_code><version_name>" +
                            narrow(versionName) + "</version_name><url>" + narrow(installerUrl) + "</url>" +
                            (signature.empty() ? "" : "<signature>" + narrow(signature) + "</signature>") +
                            "</Quillet>";
            return response;
        }
        return installer(request);
    }

    // Runs the check with `button` pressed on the question; returns the check's result and
    // the question's text (empty when the box lacked Yes or No or had an OK button).
    int check(int button, std::wstring& question)
    {
        Driver driver([&] {
            HWND box = waitForWindow(dialogClass, displayName);
            if (!box)
                return;
            if (GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK))
                question = messageBoxText(box);
            clickButton(box, button);
        });
        return tellanup_haveNew(handle, false);
    }

    // The check, answered Yes, for an installer at `path` on the server (or at `url` as given).
    void acceptOffer(const std::wstring& pathOrUrl)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            installerUrl = pathOrUrl.compare(0, 1, L"/") == 0 ? server.url(pathOrUrl) : pathOrUrl;
        }
        std::wstring question;
        ASSERT_EQ(check(IDYES, question), 1);
    }

    void serveInstaller(std::function<LoopbackServer::Response(const LoopbackServer::Request&)> handler)
    {
        std::lock_guard<std::mutex> lock(mutex);
        installer = std::move(handler);
    }

    int installerRequests() const
    {
        int count = 0;
        for (const LoopbackServer::Request& request : server.requests())
            count += request.target != "/check";
        return count;
    }

    const Updater& fields() const { return *static_cast<const Updater*>(handle); }

    // The check's offer, made without asking (whose request would go through the proxy too).
    void offer(const std::wstring& url)
    {
        static_cast<Updater*>(handle)->latestVersionName = versionName;
        static_cast<Updater*>(handle)->installerUrl = url;
    }

    // A download that fails, each password prompt answered (four times with a name and a
    // password, then with Cancel); returns the number of prompts.
    int downloadAnsweringPasswordPrompts()
    {
        std::atomic<bool> returned{false};
        int prompts = 0;
        Driver driver([&] {
            while (!returned) {
                HWND box = FindWindowW(dialogClass, L"Enter Network Password");
                if (box && IsWindowVisible(box)) {
                    SetDlgItemTextW(box, 1027, L"user");
                    SetDlgItemTextW(box, 1028, L"secret");
                    clickButton(box, ++prompts <= 4 ? IDOK : IDCANCEL);
                    waitForWindowGone(box, 10000);
                }
                Sleep(20);
            }
        });
        EXPECT_EQ(tellanup_download(handle), 0);
        returned = true;
        driver.join();
        return prompts;
    }

    std::mutex mutex;
    std::string versionCode = "3";
    std::wstring versionName = L"3.0";
    std::wstring installerUrl;
    std::wstring signature;  // offered in the reply when not empty
    std::function<LoopbackServer::Response(const LoopbackServer::Request&)> installer =
        [](const LoopbackServer::Request&) { return LoopbackServer::Response{}; };
    LoopbackServer server{[this](const LoopbackServer::Request& request) { return answer(request); }};
    std::wstring installerName = uniqueName(L"QuilletTestSetup", L".exe");
    void* handle = nullptr;
};

TEST_F(UpdateDialogsTest, ANewerVersionAsksAndYesAccepts)
{
    std::wstring question;
    EXPECT_EQ(check(IDYES, question), 1);
    EXPECT_EQ(question, L"There is a new version - 3.0 of Quillet Test.\nDo you want to download it?");
}

TEST_F(UpdateDialogsTest, NoDeclinesAndTheQuestionShowsTheNameAsWritten)
{
    versionName = L" 3.0 rc ";
    std::wstring question;
    EXPECT_EQ(check(IDNO, question), 0);
    EXPECT_EQ(question, L"There is a new version -  3.0 rc  of Quillet Test.\nDo you want to download it?");
}

// Each download gets a new folder of its own under Temp holding only the installer; the next
// download removes it.
TEST_F(UpdateDialogsTest, AWholeDownloadLandsInAFolderOfItsOwnWithANumberBeforeTheName)
{
    const std::string data = bytes(2500);
    serveInstaller([&](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = data;
        response.chunkBytes = 1024;
        response.chunkDelayMs = 150;
        return response;
    });
    acceptOffer(L"/files/" + installerName);

    std::wstring label;
    int rangeHigh = -1;
    Driver driver([&] {
        HWND dialog = waitForWindow(dialogClass, dialogTitle);
        if (!dialog)
            return;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgCtrlID(child) != 1001 && GetDlgCtrlID(child) != IDCANCEL)
                label = windowText(child);
        DWORD_PTR high = 0;
        SendMessageTimeoutW(GetDlgItem(dialog, 1001), PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 5000, &high);
        rangeHigh = static_cast<int>(high);
        waitForWindowGone(dialog);
    });
    EXPECT_EQ(tellanup_download(handle), 1);
    driver.join();
    EXPECT_EQ(label, L"Downloading...");
    EXPECT_EQ(rangeHigh, 100);

    const std::wstring path = fields().installerPath;
    const std::wstring folder = fields().installerFolder + L"\\";
    EXPECT_EQ(downloadFolders(), std::vector<std::wstring>{fields().installerFolder});
    ASSERT_EQ(path.compare(0, folder.size(), folder), 0) << narrow(path);
    EXPECT_EQ(filesEndingWith(fields().installerFolder, L""), std::vector<std::wstring>{path});
    const std::wstring name = path.substr(folder.size());
    ASSERT_GT(name.size(), installerName.size());
    EXPECT_EQ(name.substr(name.size() - installerName.size()), installerName);
    const std::wstring number = name.substr(0, name.size() - installerName.size());
    EXPECT_EQ(number.find_first_not_of(L"0123456789"), std::wstring::npos) << narrow(name);
    EXPECT_TRUE(number == L"0" || number[0] != L'0') << narrow(name);
    std::string written;
    ASSERT_TRUE(readFile(path, written));
    EXPECT_EQ(written, data);
    EXPECT_EQ(fields().downloadState, Updater::DownloadFinished);
    EXPECT_EQ(fields().totalBytes, 2500u);
    EXPECT_EQ(fields().receivedBytes, 2500u);

    // What downloaded is no program: the shell can't start it, and install says so.
    EXPECT_EQ(tellanup_install(handle), 0);
    // Gone from the disk, there is nothing to start either.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(tellanup_install(handle), 0);
    // The next download removes the earlier folder, with whatever was left in it.
    ASSERT_TRUE(writeFile(folder + L"left-behind.dll", "MZ"));
    ASSERT_EQ(tellanup_download(handle), 1);
    EXPECT_EQ(downloadFolders(), std::vector<std::wstring>{fields().installerFolder});
}

TEST_F(UpdateDialogsTest, InstallStartsTheDownloadedInstaller)
{
    std::string program;
    ASSERT_TRUE(readFile(ownFolder() + L"\\update_test_installer.exe", program));
    serveInstaller([&](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = program;
        return response;
    });
    acceptOffer(L"/" + installerName + L"?id=7");
    ASSERT_EQ(tellanup_download(handle), 1);
    ASSERT_EQ(installerRequests(), 1);
    EXPECT_EQ(server.requests().back().target, narrow(L"/" + installerName + L"?id=7"));
    const std::wstring path = fields().installerPath;
    EXPECT_EQ(path.substr(path.size() - installerName.size()), installerName);  // no query in the name

    EXPECT_EQ(tellanup_install(handle), 1);
    std::string ran;  // the folder it ran in (UTF-16)
    EXPECT_TRUE(waitFor([&] { return readFile(path + L".ran", ran) && !ran.empty(); })) << "the installer did not run";
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(ran.data()), ran.size() / 2), fields().installerFolder);
}

TEST_F(UpdateDialogsTest, ANotFoundInstallerFailsAndLeavesNoFile)
{
    serveInstaller([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n";
        response.body = "not found";
        return response;
    });
    acceptOffer(L"/" + installerName);
    EXPECT_EQ(tellanup_download(handle), 0);
    EXPECT_EQ(fields().downloadState, Updater::DownloadFailed);
    EXPECT_FALSE(fields().installerPath.empty());
    EXPECT_FALSE(fileExists(fields().installerPath));
    EXPECT_TRUE(downloadFolders().empty()) << "the failed download's folder stayed";
    EXPECT_EQ(tellanup_install(handle), 0);
}

TEST_F(UpdateDialogsTest, ATransferCutShortOfItsLengthFails)
{
    serveInstaller([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = bytes(8000);
        response.chunkBytes = 1024;
        response.dropAfterBytes = 5000;
        return response;
    });
    acceptOffer(L"/" + installerName);
    EXPECT_EQ(tellanup_download(handle), 0);
    EXPECT_FALSE(fileExists(fields().installerPath));
    EXPECT_EQ(tellanup_install(handle), 0);
}

TEST_F(UpdateDialogsTest, CancelStopsTheWorkerWhichDeletesThePartialFile)
{
    serveInstaller([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = bytes(400 * 1024);
        response.chunkBytes = 4096;
        response.chunkDelayMs = 400;
        return response;
    });
    acceptOffer(L"/" + installerName);

    bool cancelDisabled = false;
    Driver driver([&] {
        HWND dialog = waitForWindow(dialogClass, dialogTitle);
        if (!dialog || !waitFor([&] { return !IsWindow(dialog) || barPosition(dialog) > 0; }))
            return;
        clickButton(dialog, IDCANCEL);
        cancelDisabled = !IsWindowEnabled(GetDlgItem(dialog, IDCANCEL));
        // A second Cancel (Esc, the close box) while the worker still waits for data.
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(tellanup_download(handle), 0);
    // The download returns only once the worker is done with the Updater and the file.
    EXPECT_EQ(fields().downloadState, Updater::DownloadFailed);
    EXPECT_TRUE(downloadFolders().empty()) << "the cancelled download's folder stayed";
    driver.join();
    EXPECT_TRUE(cancelDisabled);
    EXPECT_LT(fields().receivedBytes, 400u * 1024);
    EXPECT_EQ(tellanup_install(handle), 0);
}

// Whatever the worker is waiting for (the answer's head, the rest of a proxy's endless refusal,
// a body that stopped arriving), Cancel closes the dialog at once and the download returns soon
// after. The bounds are generous for a loaded machine; the waits they cut short are 30 s each.
// The server is the system's proxy here, the only one that may refuse for want of a password.
TEST_F(UpdateDialogsTest, CancelClosesTheDialogPromptlyInEveryStage)
{
    useProxyFromSettings(server.url(L""));
    LoopbackServer::Response silent;
    silent.neverAnswer = true;
    LoopbackServer::Response refusal;
    refusal.head = "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"p\"\r\n"
                   "Transfer-Encoding: chunked\r\n";
    refusal.body = "1\r\nr\r\n";
    refusal.repeatBody = true;
    refusal.chunkDelayMs = 700;
    LoopbackServer::Response stalled;
    stalled.body = bytes(100000);
    stalled.holdAfterBytes = 5000;
    using Clock = std::chrono::steady_clock;
    const LoopbackServer::Response stages[] = {silent, refusal, stalled};
    for (size_t i = 0; i < 3; ++i) {
        const LoopbackServer::Response stage = stages[i];
        serveInstaller([stage](const LoopbackServer::Request&) { return stage; });
        offer(server.url(L"/" + installerName));
        const int before = installerRequests();
        double closedAfter = -1;
        Clock::time_point cancelled;
        Driver driver([&] {
            HWND dialog = waitForWindow(dialogClass, dialogTitle);
            if (!dialog || !waitFor([&] { return installerRequests() > before; }))
                return;
            Sleep(1000);  // the worker is inside its wait by now
            cancelled = Clock::now();
            clickButton(dialog, IDCANCEL);
            if (waitForWindowGone(dialog, 10000))
                closedAfter = std::chrono::duration<double>(Clock::now() - cancelled).count();
        });
        EXPECT_EQ(tellanup_download(handle), 0);
        const double returnedAfter = std::chrono::duration<double>(Clock::now() - cancelled).count();
        driver.join();
        EXPECT_GE(closedAfter, 0.0) << "stage " << i;
        EXPECT_LT(closedAfter, 3.0) << "stage " << i;
        EXPECT_LT(returnedAfter, 8.0) << "stage " << i;
        EXPECT_EQ(fields().downloadState, Updater::DownloadFailed);
        EXPECT_EQ(tellanup_install(handle), 0);
    }
}

// Only the proxy of the system's settings may ask for the user's password, three times at most in
// a download; a server reached directly that asks as a proxy would fails it without a prompt.
TEST_F(UpdateDialogsTest, AServerReachedDirectlyGetsNoPasswordPrompt)
{
    serveInstaller(proxyRefusal);
    offer(server.url(L"/" + installerName));
    EXPECT_EQ(downloadAnsweringPasswordPrompts(), 0);
    EXPECT_EQ(installerRequests(), 1);
}

TEST_F(UpdateDialogsTest, TheSystemsProxyMayAskForAPasswordThreeTimes)
{
    serveInstaller(proxyRefusal);
    useProxyFromSettings(server.url(L""));
    offer(L"http://updates.invalid/" + installerName);
    EXPECT_EQ(downloadAnsweringPasswordPrompts(), 3);
    EXPECT_EQ(server.requests().back().header("Proxy-Authorization"), "Basic dXNlcjpzZWNyZXQ=");  // user:secret
}

TEST_F(UpdateDialogsTest, EnterDoesNotPassAnUnfinishedDownloadOffAsDone)
{
    const std::string data = bytes(6 * 1024);
    serveInstaller([&](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = data;
        response.chunkBytes = 1024;
        response.chunkDelayMs = 150;
        return response;
    });
    acceptOffer(L"/" + installerName);
    Driver driver([&] {
        HWND dialog = waitForWindow(dialogClass, dialogTitle);
        if (dialog)
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(tellanup_download(handle), 1);
    std::string written;
    ASSERT_TRUE(readFile(fields().installerPath, written));
    EXPECT_EQ(written, data);
}

// Without a key only the length the server states tells a whole installer from a cut one, so a
// chunked one is refused; with a key the signature decides, and it arrives.
TEST_F(UpdateDialogsTest, WithoutALengthOnlyASignedInstallerArrivesAndTheBarShowsActivity)
{
    std::string chunked;
    std::string data;
    for (int i = 0; i < 8; ++i) {
        const std::string piece = bytes(700);
        data += piece;
        chunked += "2bc\r\n" + piece + "\r\n";
    }
    chunked += "0\r\n\r\n";
    serveInstaller([&](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n";
        response.body = chunked;
        response.chunkBytes = 707;
        response.chunkDelayMs = 150;
        return response;
    });
    acceptOffer(L"/" + installerName);
    EXPECT_EQ(tellanup_download(handle), 0);
    EXPECT_TRUE(downloadFolders().empty());
    ASSERT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PUBLIC_KEY, text(signingText(L"public.b64").c_str())), 1);
    std::atomic<bool> marquee{false};
    Driver driver([&] {
        HWND dialog = waitForWindow(dialogClass, dialogTitle);
        if (!dialog)
            return;
        HWND bar = GetDlgItem(dialog, 1001);
        waitFor([&] {
            if (GetWindowLongW(bar, GWL_STYLE) & PBS_MARQUEE)
                marquee = true;
            return marquee || !IsWindow(dialog);
        });
    });
    EXPECT_EQ(tellanup_download(handle), 1);
    driver.join();
    EXPECT_TRUE(marquee);
    std::string written;
    ASSERT_TRUE(readFile(fields().installerPath, written));
    EXPECT_EQ(written, data);
}

TEST_F(UpdateDialogsTest, InstallerUrlsThatCannotBeFetchedSafelyAreRefused)
{
    serveInstaller([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = "MZ";
        return response;
    });
    const std::wstring base = L"http://127.0.0.1:" + std::to_wstring(server.port());
    const std::wstring urls[] = {
        base + L"/..\\",                                              // no name at all
        base + L"/C:" + installerName,                                // a drive or stream name
        base + L"/files/..",                                          // the parent folder
        L"ftp://127.0.0.1:" + std::to_wstring(server.port()) + L"/" + installerName,  // not http or https
        installerName,                                                // no server at all
        base + L"/" + installerName + L".js",                         // a script,
        base + L"/Setup.LNK?file=" + installerName,                   // a shortcut: no installer
    };
    for (const std::wstring& url : urls) {
        acceptOffer(url);
        EXPECT_EQ(tellanup_download(handle), 0) << narrow(url);
        EXPECT_EQ(tellanup_install(handle), 0) << narrow(url);
    }
    EXPECT_EQ(installerRequests(), 0);
    EXPECT_TRUE(filesEndingWith(installerFolder(), installerName).empty());
}

TEST_F(UpdateDialogsTest, WithoutAKeyAnInstallerStartsWhateverSignatureIsOffered)
{
    std::string program;
    ASSERT_TRUE(readFile(ownFolder() + L"\\update_test_installer.exe", program));
    serveInstaller([&](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.body = program;
        return response;
    });
    signature = L"not a signature";
    acceptOffer(L"/" + installerName);
    ASSERT_EQ(tellanup_download(handle), 1);
    const std::wstring path = fields().installerPath;
    EXPECT_EQ(tellanup_install(handle), 1);
    EXPECT_TRUE(waitFor([&] { return fileExists(path + L".ran"); })) << "the installer did not run";
    waitFor([&] { return DeleteFileW(path.c_str()) != FALSE; }, 5000);
}

// With the publisher's key set, install starts only an installer the offered signature verifies.
class SignedUpdateTest : public UpdateDialogsTest {
protected:
    void SetUp() override
    {
        UpdateDialogsTest::SetUp();
        ASSERT_FALSE(goodSignature.empty()) << "no signing material beside the test";
        ASSERT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PUBLIC_KEY, text(signingText(L"public.b64").c_str())), 1);
        ASSERT_TRUE(readFile(ownFolder() + L"\\update_test_installer.exe", program));
        serveInstaller([this](const LoopbackServer::Request&) {
            LoopbackServer::Response response;
            response.body = program;
            return response;
        });
    }

    // The check and a whole download of the test installer, offered with `offered`.
    void downloadOffering(const std::wstring& offered)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            signature = offered;
        }
        acceptOffer(L"/" + installerName);
        ASSERT_EQ(tellanup_download(handle), 1);
    }

    // Install, with any message box it shows answered; `told` gets the text of an OK-only box.
    int install(std::wstring& told)
    {
        std::atomic<bool> returned{false};
        Driver driver([&] {
            HWND box = nullptr;
            // Shown means whole: a box found before that may not have its text and button yet.
            const auto shown = [&] { return (box = FindWindowW(dialogClass, displayName)) && IsWindowVisible(box); };
            if (!waitFor([&] { return returned || shown(); }, 20000) || returned)
                return;
            if (GetDlgItem(box, IDOK) && !GetDlgItem(box, IDYES) && !GetDlgItem(box, IDNO))
                told = messageBoxText(box);
            clickButton(box, IDOK);
        });
        const int result = tellanup_install(handle);
        returned = true;
        return result;
    }

    std::string program;
    const std::wstring goodSignature = signingText(L"installer.sig");
};

TEST_F(SignedUpdateTest, AnInstallerWithItsPublishersSignatureStarts)
{
    downloadOffering(goodSignature);
    const std::wstring path = fields().installerPath;
    // Between its download and its start nobody can change the file that was checked.
    EXPECT_FALSE(writeFile(path, program + "!"));
    std::wstring told;
    EXPECT_EQ(install(told), 1);
    EXPECT_EQ(told, L"");
    EXPECT_TRUE(waitFor([&] { return fileExists(path + L".ran"); })) << "the installer did not run";
    waitFor([&] { return DeleteFileW(path.c_str()) != FALSE; }, 5000);
}

TEST_F(SignedUpdateTest, AnInstallerThatFailsItsCheckIsDeletedNotStartedAndTheUserIsTold)
{
    // One byte changed in the middle of r: still a well-formed signature, just not this file's.
    std::wstring otherR = goodSignature;
    otherR[20] = otherR[20] == L'A' ? L'B' : L'A';
    struct Case {
        const char* what;
        std::wstring offered;
        bool unusableKeyFirst = false;
    };
    const Case cases[] = {
        {"no signature", L""},
        {"another file's signature", signingText(L"other.sig")},
        {"a changed signature", otherR},
        {"a cut signature", goodSignature.substr(0, goodSignature.size() - 8)},
        {"not base64", L"!" + goodSignature.substr(1)},
        // What is signed says which product and version these bytes are (the reply offers 3).
        {"a signature of the installer's bytes alone", signingText(L"bare.sig")},
        {"the same installer signed as the older version 2", signingText(L"older.sig")},
        {"the same installer signed for another product", signingText(L"product.sig")},
        {"the publisher's own, after a key that can't be used", goodSignature, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.unusableKeyFirst) {
            EXPECT_EQ(tellanup_setParam(handle, TELLANUP_PARAM_PUBLIC_KEY, text(L"MFkwEwYHKoZI")), 0);
        }
        downloadOffering(c.offered);
        const std::wstring path = fields().installerPath;
        std::wstring told;
        EXPECT_EQ(install(told), 0);
        EXPECT_EQ(told, L"The update could not be verified and was not installed.");
        EXPECT_TRUE(downloadFolders().empty()) << "the refused installer or its folder stayed";
        EXPECT_FALSE(fileExists(path + L".ran"));
    }
}

// WinINet hides the chunk framing, and Wine's takes a chunked body cut before its last chunk for
// a whole one; with a key set, the signature still keeps such an installer from ever starting.
TEST_F(SignedUpdateTest, AChunkedInstallerCutBeforeItsLastChunkNeverStarts)
{
    std::string chunked;
    for (size_t at = 0; at < program.size(); at += 4096) {
        const std::string piece = program.substr(at, 4096);
        char size[16];
        std::snprintf(size, sizeof(size), "%zx\r\n", piece.size());
        chunked += size + piece + "\r\n";
    }
    chunked += "0\r\n\r\n";
    serveInstaller([&](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n";
        response.body = chunked;
        response.dropAfterBytes = chunked.size() / 2;
        return response;
    });
    {
        std::lock_guard<std::mutex> lock(mutex);
        signature = goodSignature;
    }
    acceptOffer(L"/" + installerName);
    if (tellanup_download(handle) == 1) {
        const std::wstring path = fields().installerPath;
        std::wstring told;
        EXPECT_EQ(install(told), 0);
        EXPECT_EQ(told, L"The update could not be verified and was not installed.");
        EXPECT_FALSE(fileExists(path));
    }
    EXPECT_TRUE(filesEndingWith(installerFolder(), installerName + L".ran").empty());
}

} // namespace
