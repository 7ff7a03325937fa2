// The download job against a loopback server: the stages its callback sees, what counts as a
// whole file, and that a job which does not finish leaves no file behind. Also the download task
// that runs a job on its worker, alone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSupport.h"
#include "tests/updater/TestFiles.h"
#include "updater/DownloadJob.h"
#include "updater/DownloadProgress.h"
#include "updater/DownloadTask.h"

namespace {

struct Report {
    int stage;
    uint32_t value;
};

// Records every report; answers 0 at the `stopAt`-th report of stage `stopStage`.
struct Recorder {
    std::vector<Report> reports;
    int stopStage = 0;
    int stopAt = 0;

    static INT_PTR callback(void* context, int stage, uint32_t value)
    {
        Recorder& self = *static_cast<Recorder*>(context);
        self.reports.push_back({stage, value});
        if (stage == self.stopStage && --self.stopAt == 0)
            return 0;
        return 1;
    }

    std::vector<uint32_t> values(int stage) const
    {
        std::vector<uint32_t> found;
        for (const Report& r : reports)
            if (r.stage == stage)
                found.push_back(r.value);
        return found;
    }
};

std::string bytes(size_t count)
{
    std::string data(count, '\0');
    for (size_t i = 0; i < count; ++i)
        data[i] = static_cast<char>('a' + i % 26);
    return data;
}

LoopbackServer::Response body(const std::string& data, size_t chunk = 0, int delayMs = 0)
{
    LoopbackServer::Response response;
    response.body = data;
    response.chunkBytes = chunk;
    response.chunkDelayMs = delayMs;
    return response;
}

class DownloadJobTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::wstring target = folder.file(L"1234setup.exe");
    Recorder recorder;
    bool lengthRequired = true;

    bool runJob(const std::wstring& url, DWORD timeoutMs = 30000)
    {
        DownloadJob job(url, target, Recorder::callback, &recorder);
        job.timeoutMs = timeoutMs;
        job.lengthRequired = lengthRequired;
        const bool succeeded = job.prepare() && job.open() && job.send() && job.receive();
        job.cleanup();
        job.cleanup();  // repeating it is harmless
        return succeeded;
    }
};

TEST_F(DownloadJobTest, AWholeFileArrivesWithEveryStageInOrder)
{
    const std::string data = bytes(2500);
    LoopbackServer server([&](const LoopbackServer::Request&) { return body(data, 1024, 20); });
    ASSERT_TRUE(runJob(server.url(L"/files/setup.exe")));
    std::string written;
    ASSERT_TRUE(readFile(target, written));
    EXPECT_EQ(written, data);

    std::vector<int> stages;
    for (const Report& r : recorder.reports)
        if (stages.empty() || stages.back() != r.stage)
            stages.push_back(r.stage);
    EXPECT_EQ(stages, (std::vector<int>{2, 1, 3, 4}));
    EXPECT_EQ(recorder.values(DownloadProgress::connecting).size(), 3u);
    EXPECT_EQ(recorder.values(DownloadProgress::length), (std::vector<uint32_t>{0, 2500}));
    // Reads of at most 1024 bytes: the running totals end at 2500 and the bar at 40, 81, 100.
    const std::vector<uint32_t> totals = recorder.values(DownloadProgress::data);
    ASSERT_EQ(totals, (std::vector<uint32_t>{0, 1024, 2048, 2500}));
    std::vector<int> percents;
    for (uint32_t total : totals)
        percents.push_back(DownloadProgress::percent(total, 2500));
    EXPECT_EQ(percents, (std::vector<int>{0, 40, 81, 100}));

    const std::vector<LoopbackServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/files/setup.exe");
    EXPECT_EQ(requests[0].header("User-Agent"), "nsInstall");
    EXPECT_EQ(requests[0].header("Accept"), "*/*");
}

TEST_F(DownloadJobTest, TheQueryGoesToTheServer)
{
    LoopbackServer server([&](const LoopbackServer::Request&) { return body("MZ"); });
    ASSERT_TRUE(runJob(server.url(L"/setup.exe?id=7")));
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests()[0].target, "/setup.exe?id=7");
}

TEST_F(DownloadJobTest, ARefusalForWantOfCredentialsIsNoInstaller)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"updates\"\r\n"
                        "Content-Length: 12\r\n";
        response.body = "unauthorized";
        return response;
    });
    EXPECT_FALSE(runJob(server.url(L"/setup.exe")));
    EXPECT_FALSE(fileExists(target));
    EXPECT_EQ(recorder.values(DownloadProgress::data).size(), 0u);
}

// When a signature is to decide (UpdateDialogsTest has the refusal without one).
TEST_F(DownloadJobTest, WithoutALengthTheBodyIsTakenToItsEnd)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n";
        response.body = "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n";
        return response;
    });
    lengthRequired = false;
    ASSERT_TRUE(runJob(server.url(L"/setup.exe")));
    std::string written;
    ASSERT_TRUE(readFile(target, written));
    EXPECT_EQ(written, "hello world");
    EXPECT_EQ(recorder.values(DownloadProgress::length), (std::vector<uint32_t>{0}));
    EXPECT_EQ(recorder.values(DownloadProgress::data).back(), 11u);
}

TEST_F(DownloadJobTest, AnEmptyBodyIsNoInstaller)
{
    LoopbackServer server([](const LoopbackServer::Request&) { return body(""); });
    EXPECT_FALSE(runJob(server.url(L"/setup.exe")));
    EXPECT_FALSE(fileExists(target));
}

TEST_F(DownloadJobTest, StoppingAtAnyStageFailsAndDeletesTheFile)
{
    const std::string data = bytes(3000);
    LoopbackServer server([&](const LoopbackServer::Request&) { return body(data, 1024, 5); });
    const int stages[][2] = {{DownloadProgress::connecting, 1}, {DownloadProgress::connecting, 3},
                             {DownloadProgress::statusRead, 1}, {DownloadProgress::length, 2},
                             {DownloadProgress::data, 1},       {DownloadProgress::data, 3}};
    for (const auto& stop : stages) {
        recorder = Recorder{};
        recorder.stopStage = stop[0];
        recorder.stopAt = stop[1];
        DownloadJob job(server.url(L"/setup.exe"), target, Recorder::callback, &recorder);
        const bool succeeded = job.prepare() && job.open() && job.send() && job.receive();
        EXPECT_FALSE(succeeded) << stop[0] << "/" << stop[1];
        EXPECT_TRUE(job.aborted) << stop[0] << "/" << stop[1];
        job.cleanup();
        EXPECT_FALSE(fileExists(target)) << stop[0] << "/" << stop[1];
        // Nothing is reported after the stop.
        EXPECT_EQ(recorder.reports.back().stage, stop[0]);
    }
}

TEST_F(DownloadJobTest, AStalledServerEndsTheJobAfterTheTimeout)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.neverAnswer = true;
        return response;
    });
    EXPECT_FALSE(runJob(server.url(L"/setup.exe"), 1000));
    EXPECT_FALSE(fileExists(target));
}

// Someone may have put a file or a link at the chosen name; it is never opened, let alone written.
TEST_F(DownloadJobTest, AnExistingFileOfTheSameNameIsNeverOpened)
{
    ASSERT_TRUE(writeFile(target, std::string(10000, 'x')));
    LoopbackServer server([](const LoopbackServer::Request&) { return body("new"); });
    DownloadJob job(server.url(L"/setup.exe"), target, Recorder::callback, &recorder);
    EXPECT_FALSE(job.prepare());
    EXPECT_TRUE(job.nameTaken);
    job.cleanup();
    std::string kept;
    ASSERT_TRUE(readFile(target, kept));
    EXPECT_EQ(kept, std::string(10000, 'x'));
    EXPECT_EQ(server.requestCount(), 0);
}

// A finished file is handed over open read-only, and while that handle lives nobody can write,
// rename or delete it.
TEST_F(DownloadJobTest, AFinishedFileIsKeptReadOnlyForWhoeverTakesIt)
{
    LoopbackServer server([](const LoopbackServer::Request&) { return body("MZ installer"); });
    DownloadJob job(server.url(L"/setup.exe"), target, Recorder::callback, &recorder);
    ASSERT_TRUE(job.prepare() && job.open() && job.send() && job.receive());
    job.cleanup();
    ASSERT_TRUE(job.sealedFile);
    EXPECT_EQ(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(target.c_str()));
    char start[2] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(job.sealedFile.get(), start, 2, &read, nullptr));
    EXPECT_EQ(std::string(start, read), "MZ");
}

// Only a body that provably arrived whole counts: the length must be readable and within
// bounds, and without one the body must at least be chunked.
TEST_F(DownloadJobTest, LengthsThatCantBeTrustedFail)
{
    const std::string data = bytes(2500);
    const std::string heads[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::string(40, '0') + "2500\r\n",  // longer than any number
        "HTTP/1.1 200 OK\r\nContent-Length: 4294969796\r\n",                         // 2500 past 32 bits
        "HTTP/1.1 200 OK\r\nContent-Length: 1073741825\r\n",                         // over 1 GiB
        "HTTP/1.1 200 OK\r\nContent-Length: 25OO\r\n",
        "HTTP/1.1 200 OK\r\nConnection: close\r\n",                                   // ends with the connection
    };
    for (const std::string& head : heads) {
        LoopbackServer server([&](const LoopbackServer::Request&) {
            LoopbackServer::Response response = body(data);
            response.head = head;
            response.dropAfterBytes = data.size();
            return response;
        });
        EXPECT_FALSE(runJob(server.url(L"/setup.exe"))) << head;
        EXPECT_FALSE(fileExists(target)) << head;
    }
}

// The system's proxy's refusal is read to its end before the credentials question, but not
// without end.
TEST_F(DownloadJobTest, AnEndlessRefusalIsGivenUpAfterSixtyFourKibibytes)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic realm=\"p\"\r\n"
                        "Transfer-Encoding: chunked\r\n";
        response.body = "400\r\n" + std::string(1024, 'r') + "\r\n";
        response.repeatBody = true;
        return response;
    });
    useProxyFromSettings(server.url(L""));
    EXPECT_FALSE(runJob(L"http://updates.invalid/setup.exe"));
    EXPECT_FALSE(fileExists(target));
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(DownloadJobTest, RedirectsAreFollowedOnlyToWebAddressesAndOnlyFiveTimes)
{
    const std::string data = bytes(3000);
    LoopbackServer server([&](const LoopbackServer::Request& request) {
        LoopbackServer::Response response;
        if (request.target == "/moved")
            response.head = "HTTP/1.1 302 Found\r\nLocation: /files/setup.exe\r\nContent-Length: 0\r\n";
        else if (request.target == "/local")  // https is followed too: DownloadHttpsTest
            response.head = "HTTP/1.1 301 Moved\r\nLocation: file:///C:/setup.exe\r\nContent-Length: 0\r\n";
        else if (request.target == "/loop")
            response.head = "HTTP/1.1 307 Again\r\nLocation: /loop\r\nContent-Length: 0\r\n";
        else if (request.target == "/far")
            response.head = "HTTP/1.1 302 Found\r\nLocation: ftp://127.0.0.1/setup.exe\r\nContent-Length: 0\r\n";
        else
            response.body = data;
        return response;
    });
    ASSERT_TRUE(runJob(server.url(L"/moved")));
    std::string written;
    ASSERT_TRUE(readFile(target, written));
    EXPECT_EQ(written, data);
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(server.requests()[1].target, "/files/setup.exe");
    ASSERT_TRUE(DeleteFileW(target.c_str()));  // each job makes its file anew

    for (const wchar_t* path : {L"/local", L"/far", L"/loop"}) {
        const int before = server.requestCount();
        EXPECT_FALSE(runJob(server.url(path)));
        EXPECT_FALSE(fileExists(target));
        // One request, and for the loop the five redirects followed; nothing else leaves.
        EXPECT_EQ(server.requestCount() - before, std::wstring(path) == L"/loop" ? 6 : 1);
    }
}

// The task alone: a Cancel that comes once the worker has finished (pressed as the last byte
// arrived) changes nothing. The download counts as finished, and its installer stays.
TEST_F(DownloadJobTest, ACancelAfterTheTaskFinishedLeavesItFinishedWithItsInstaller)
{
    LoopbackServer server([](const LoopbackServer::Request&) { return body("MZ installer"); });
    const auto task = std::make_shared<DownloadTask>(server.url(L"/setup.exe"), folder.path(), true);
    ASSERT_TRUE(task->start(nullptr));
    task->waitForWorker(60000);
    ASSERT_EQ(task->state(), DownloadTask::finished) << "the worker had not finished after a minute";
    EXPECT_FALSE(task->cancel());
    EXPECT_EQ(task->state(), DownloadTask::finished);
    EXPECT_TRUE(task->takeInstallerFile());
    std::string written;
    EXPECT_TRUE(readFile(task->installerPath(), written) && written == "MZ installer");
}

TEST(DownloadProgressTest, LargeInstallersRiseToOneHundredWithoutOverflow)
{
    // 45,000,000 x 100 no longer fits in 32 bits.
    EXPECT_EQ(DownloadProgress::percent(45000000, 60000000), 75);
    EXPECT_EQ(DownloadProgress::percent(60000000, 60000000), 100);
    EXPECT_EQ(DownloadProgress::percent(UINT32_MAX, UINT32_MAX), 100);
    EXPECT_EQ(DownloadProgress::percent(3000, 2500), 100);
    EXPECT_EQ(DownloadProgress::percent(1024, 0), -1);
}

} // namespace
