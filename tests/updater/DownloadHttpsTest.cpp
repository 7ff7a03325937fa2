// The update check and installer downloads over https against the loopback TLS servers of
// tests/support/tls: only a certificate the machine trusts, for the right name and within its
// dates, gets an answer or lets the file through, and a redirect may lead up to https but never
// back down to http.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSupport.h"
#include "tests/updater/TestFiles.h"
#include "updater/DownloadJob.h"
#include "updater/DownloadProgress.h"
#include "updater/Updater.h"

namespace {

// What tls-server.py serves as /setup.exe.
std::string installerBytes()
{
    std::string data(100000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>('a' + i % 26);
    return data;
}

// The fixture's servers by certificate: "trusted", "expired", "wrongname", "selfsigned".
std::map<std::string, int> serverPorts()
{
    std::map<std::string, int> ports;
    std::ifstream in(QUILLET_TLS_DIR "/ports");
    std::string name;
    int port = 0;
    while (in >> name >> port)
        ports[name] = port;
    return ports;
}

// Stops the job at the first report of `stopStage` (0: never).
INT_PTR stopAt(void* context, int stage, uint32_t)
{
    return stage == *static_cast<int*>(context) ? 0 : 1;
}

class DownloadHttpsTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::wstring target = folder.file(L"5678setup.exe");
    std::map<std::string, int> ports = serverPorts();
    int stopStage = 0;

    void SetUp() override { ASSERT_EQ(ports.size(), 4u) << "the TLS fixture is not running"; }

    std::wstring secureUrl(const std::string& server, const std::wstring& path)
    {
        // The certificates name "localhost": Wine matches a host name only against DNS names.
        return L"https://localhost:" + std::to_wstring(ports[server]) + path;
    }

    bool runJob(const std::wstring& url, DWORD timeoutMs = 30000)
    {
        DownloadJob job(url, target, stopAt, &stopStage);
        job.timeoutMs = timeoutMs;
        const bool succeeded = job.prepare() && job.open() && job.send() && job.receive();
        job.cleanup();
        return succeeded;
    }

    void expectDownloaded()
    {
        std::string written;
        ASSERT_TRUE(readFile(target, written));
        EXPECT_TRUE(written == installerBytes());
        DeleteFileW(target.c_str());
    }
};

TEST_F(DownloadHttpsTest, OnlyATrustedCertificateForTheRightNameWithinItsDatesGetsTheFile)
{
    ASSERT_TRUE(runJob(secureUrl("trusted", L"/setup.exe")));
    expectDownloaded();
    for (const char* server : {"selfsigned", "expired", "wrongname"}) {
        EXPECT_FALSE(runJob(secureUrl(server, L"/setup.exe"))) << server;
        EXPECT_FALSE(fileExists(target)) << server;
    }
}

// Whoever answers the check names the installer: any certificate the download would refuse is
// no update, within the check's time.
TEST_F(DownloadHttpsTest, TheUpdateCheckHearsOnlyAServerWithATrustedCertificate)
{
    for (const char* server : {"trusted", "selfsigned", "expired", "wrongname"}) {
        const auto updater = std::make_shared<Updater>(nullptr);
        updater->productId = L"Quillet";
        updater->installedVersionCode = 9;  // the offer of 7 asks nothing
        updater->updateUrl = secureUrl(server, L"/update.xml");
        ASSERT_TRUE(returnsWithin([updater] { updater->haveNew(false); }, 60000)) << server;
        EXPECT_EQ(updater->latestVersionCode, std::string(server) == "trusted" ? 7 : 0) << server;
    }
}

TEST_F(DownloadHttpsTest, RedirectsMayLeadUpToHttpsButNeverBackDown)
{
    const std::wstring trustedInstaller = secureUrl("trusted", L"/setup.exe");
    const std::wstring untrustedInstaller = secureUrl("selfsigned", L"/setup.exe");
    LoopbackServer plain([&](const LoopbackServer::Request& request) {
        LoopbackServer::Response response;
        const std::wstring& to = request.target == "/up" ? trustedInstaller : untrustedInstaller;
        response.head = "HTTP/1.1 302 Found\r\nLocation: " + std::string(to.begin(), to.end()) +
                        "\r\nContent-Length: 0\r\n";
        return response;
    });
    ASSERT_TRUE(runJob(plain.url(L"/up")));
    expectDownloaded();
    // Over to https, the certificate is checked as for any other https address.
    EXPECT_FALSE(runJob(plain.url(L"/up-untrusted")));
    EXPECT_FALSE(fileExists(target));

    ASSERT_TRUE(runJob(secureUrl("trusted", L"/redirect?to=/setup.exe")));
    expectDownloaded();
    const int plainRequests = plain.requestCount();
    EXPECT_FALSE(runJob(secureUrl("trusted", L"/redirect?to=") + plain.url(L"/up")));
    EXPECT_FALSE(fileExists(target));
    EXPECT_EQ(plain.requestCount(), plainRequests);  // nothing left in the clear
    EXPECT_FALSE(runJob(secureUrl("trusted", L"/loop")));  // five redirects at most
}

TEST_F(DownloadHttpsTest, DeadlinesCancelAndCompletenessHoldOverHttps)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(runJob(secureUrl("trusted", L"/silent"), 2000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_FALSE(fileExists(target));

    EXPECT_FALSE(runJob(secureUrl("trusted", L"/short")));  // 1000 of 5000 announced bytes
    EXPECT_FALSE(fileExists(target));

    stopStage = DownloadProgress::data;
    EXPECT_FALSE(runJob(secureUrl("trusted", L"/setup.exe")));
    EXPECT_FALSE(fileExists(target));
}

} // namespace
