// The update check against a loopback server, for the cases where no question is asked: what is
// read from the reply, when the server is asked at all, and what a failed request leaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <memory>

#include "tests/support/LoopbackServer.h"
#include "tests/support/TestSupport.h"
#include "updater/Updater.h"
#include "updater/tellanupdate.h"

namespace {

LONG_PTR text(const wchar_t* value) { return reinterpret_cast<LONG_PTR>(value); }

LoopbackServer::Response reply(const std::string& body)
{
    LoopbackServer::Response response;
    response.body = body;
    return response;
}

// Test cases run in parallel processes: each keeps its check time under a key of its own.
std::wstring keyOfThisTest()
{
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    return L"Quillet Tests\\UpdateCheck\\" + std::wstring(name.begin(), name.end());
}

class UpdateCheckTest : public ::testing::Test {
protected:
    const std::wstring keyName = keyOfThisTest();
    const std::wstring keyPath = L"Software\\" + keyName;

    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, keyPath.c_str()); }

    // An updater for product "Quillet", installed code `installed`, asking `url`.
    void configure(Updater& updater, int installed, const std::wstring& url)
    {
        updater.setParam(TELLANUP_PARAM_REGISTRY_KEY, text(keyName.c_str()));
        updater.setParam(TELLANUP_PARAM_PRODUCT_ID, text(L"Quillet"));
        updater.setParam(TELLANUP_PARAM_DISPLAY_NAME, text(L"Quillet"));
        updater.setParam(TELLANUP_PARAM_VERSION_CODE, installed);
        updater.setParam(TELLANUP_PARAM_INTERVAL, 86400);
        updater.setParam(TELLANUP_PARAM_UPDATE_URL, text(url.c_str()));
    }

    void storeCheckTime(const SYSTEMTIME& time)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"Quillet_update_time", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&time),
                       sizeof(time));
        RegCloseKey(key);
    }
};

TEST_F(UpdateCheckTest, TheSameVersionIsNoOfferButTheReplyIsKept)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        return reply("<Quillet><version_code>2</version_code><version_name>1.1</version_name>"
                     "<url>http://127.0.0.1:1/QuilletSetup.exe</url></Quillet>");
    });
    Updater updater(nullptr);
    configure(updater, 2, server.url(L"/update/check.xml?p=q"));
    EXPECT_FALSE(updater.haveNew(false));
    EXPECT_EQ(updater.latestVersionCode, 2);
    EXPECT_EQ(updater.latestVersionName, L"1.1");
    EXPECT_EQ(updater.installerUrl, L"http://127.0.0.1:1/QuilletSetup.exe");
    const std::vector<LoopbackServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/update/check.xml?p=q");
}

TEST_F(UpdateCheckTest, RepliesThatOfferNothing)
{
    struct Case {
        const char* body;
        int installed;
        int expectedCode;
    } cases[] = {
        {"<Quillet><version_code> 3x</version_code></Quillet>", 3, 3},
        {"<Quillet><version_code></version_code></Quillet>", 0, 0},
        {"<Quillet><version_code>3</Quillet></version_code>", 2, 0},
        {"<Corvane><version_code>3</version_code></Corvane>", 2, 0},
        {"<quillet><version_code>3</version_code></quillet>", 2, 0},
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        const std::string body = c.body;
        LoopbackServer server([body](const LoopbackServer::Request&) { return reply(body); });
        Updater updater(nullptr);
        configure(updater, c.installed, server.url(L"/u"));
        EXPECT_FALSE(updater.haveNew(false)) << body;
        EXPECT_EQ(updater.latestVersionCode, c.expectedCode) << body;
        EXPECT_EQ(server.requestCount(), 1) << body;
    }
}

TEST_F(UpdateCheckTest, BlanksAroundTheVersionNameAreKept)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        return reply("<Quillet>\n<version_code>1</version_code>\n<version_name>  1.5 beta </version_name>\n</Quillet>");
    });
    Updater updater(nullptr);
    configure(updater, 1, server.url(L"/u"));
    EXPECT_FALSE(updater.haveNew(false));
    EXPECT_EQ(updater.latestVersionName, L"  1.5 beta ");
    EXPECT_EQ(updater.questionText(),
              L"There is a new version -   1.5 beta  of Quillet.\nDo you want to download it?");
}

// The server writes the version name, so it may not add lines, turn the text around, or run on.
TEST_F(UpdateCheckTest, TheQuestionShowsTheVersionNameWithoutLinesOrDirectionChangesAndCut)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response = reply(
            "<Quillet><version_code>1</version_code><version_name>4.0\r\n\r\nSecurity notice: say Yes"
            "\xE2\x80\xAE" "exe.\xE2\x81\xA6x\xE2\x80\x8F\tz</version_name></Quillet>");
        response.head = "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
                        std::to_string(response.body.size()) + "\r\n";
        return response;
    });
    Updater updater(nullptr);
    configure(updater, 1, server.url(L"/u"));
    EXPECT_FALSE(updater.haveNew(false));
    EXPECT_EQ(updater.questionText(),
              L"There is a new version - 4.0Security notice: say Yesexe.xz of Quillet.\nDo you want to download it?");

    updater.latestVersionName = std::wstring(70, L'7');
    EXPECT_EQ(updater.questionText(), L"There is a new version - " + std::wstring(61, L'7') +
                                          L"... of Quillet.\nDo you want to download it?");
    updater.latestVersionName = std::wstring(64, L'6');
    EXPECT_EQ(updater.questionText(), L"There is a new version - " + std::wstring(64, L'6') +
                                          L" of Quillet.\nDo you want to download it?");
    // A character of two UTF-16 units is not split by the cut.
    updater.latestVersionName = std::wstring(60, L'a') + L"\xD83D\xDE00\xD83D\xDE00\xD83D\xDE00";
    EXPECT_EQ(updater.questionText(), L"There is a new version - " + std::wstring(60, L'a') +
                                          L"... of Quillet.\nDo you want to download it?");
}

TEST_F(UpdateCheckTest, AnErrorPageIsAReplyWithoutFields)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.head = "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n";
        response.body = "not found";
        return response;
    });
    Updater updater(nullptr);
    configure(updater, 0, server.url(L"/u"));
    updater.latestVersionCode = 5;
    updater.latestVersionName = L"old";
    EXPECT_FALSE(updater.haveNew(false));
    EXPECT_EQ(updater.latestVersionCode, 0);
    EXPECT_EQ(updater.latestVersionName, L"");
}

TEST_F(UpdateCheckTest, AServerThatIsDownLeavesTheEarlierAnswer)
{
    int port = 0;
    {
        LoopbackServer gone([](const LoopbackServer::Request&) { return reply(""); });
        port = gone.port();
    }
    Updater updater(nullptr);
    configure(updater, 0, L"http://127.0.0.1:" + std::to_wstring(port) + L"/u");
    updater.latestVersionCode = 7;
    updater.latestVersionName = L"7.0";
    EXPECT_FALSE(updater.haveNew(false));
    EXPECT_EQ(updater.latestVersionCode, 7);
    EXPECT_EQ(updater.latestVersionName, L"7.0");
}

TEST_F(UpdateCheckTest, EachAnswerReplacesTheFieldsOfTheLastOne)
{
    int call = 0;
    LoopbackServer server([&call](const LoopbackServer::Request&) {
        return ++call == 1 ? reply("<Quillet><version_code>1</version_code><url>http://x/a.exe</url></Quillet>")
                           : reply("<Quillet><version_name>n</version_name></Quillet>");
    });
    Updater updater(nullptr);
    configure(updater, 5, server.url(L"/u"));
    updater.haveNew(false);
    EXPECT_EQ(updater.installerUrl, L"http://x/a.exe");
    updater.haveNew(false);
    EXPECT_EQ(updater.latestVersionCode, 0);
    EXPECT_EQ(updater.latestVersionName, L"n");
    EXPECT_EQ(updater.installerUrl, L"");
}

TEST_F(UpdateCheckTest, WithTheIntervalACheckThatIsNotDueAsksNoServer)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        return reply("<Quillet><version_code>1</version_code></Quillet>");
    });
    SYSTEMTIME now;
    GetLocalTime(&now);
    storeCheckTime(now);
    Updater updater(nullptr);
    configure(updater, 1, server.url(L"/u"));
    EXPECT_FALSE(updater.haveNew(true));
    EXPECT_EQ(server.requestCount(), 0);
    // Without the interval the same updater asks at once.
    EXPECT_FALSE(updater.haveNew(false));
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(UpdateCheckTest, WithTheIntervalADueCheckAsksAndStampsEvenWhenTheRequestFails)
{
    int port = 0;
    {
        LoopbackServer gone([](const LoopbackServer::Request&) { return reply(""); });
        port = gone.port();
    }
    Updater updater(nullptr);
    configure(updater, 1, L"http://127.0.0.1:" + std::to_wstring(port) + L"/u");
    EXPECT_FALSE(updater.haveNew(true));
    SYSTEMTIME stored{};
    DWORD size = sizeof(stored);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), L"Quillet_update_time", RRF_RT_REG_BINARY, nullptr, &stored,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof(SYSTEMTIME));
    EXPECT_NE(stored.wYear, 0);
    // A second check right after is not due.
    LoopbackServer server([](const LoopbackServer::Request&) { return reply(""); });
    updater.setParam(TELLANUP_PARAM_UPDATE_URL, text(server.url(L"/u").c_str()));
    EXPECT_FALSE(updater.haveNew(true));
    EXPECT_EQ(server.requestCount(), 0);
}

// A server may answer slowly, not at all, or without end; the check gives up within its time and
// counts that as no answer. The bound is generous for a loaded machine yet far below what the
// per-call time-outs alone would allow (30 s per read, three attempts). A check that does not
// return at all fails the test after a minute, on its own.
class UpdateCheckDeadlineTest : public UpdateCheckTest {
protected:
    const std::string offer = "<Quillet><version_code>7</version_code></Quillet>";

    // Runs the check with installed code 9 against `url`, within its bounds.
    void expectNoAnswerInTime(const std::wstring& url)
    {
        const auto updater = std::make_shared<Updater>(nullptr);
        configure(*updater, 9, url);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(returnsWithin([updater] { updater->haveNew(false); }, 60000))
            << "the check had not returned after a minute";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(25));
        EXPECT_EQ(updater->latestVersionCode, 0);
    }
};

TEST_F(UpdateCheckDeadlineTest, AServerThatDripsItsReplyIsNoAnswer)
{
    LoopbackServer server([this](const LoopbackServer::Request&) {
        LoopbackServer::Response response = reply(offer + std::string(200, ' '));
        response.chunkBytes = 1;
        response.chunkDelayMs = 700;  // always well within any per-call time-out
        return response;
    });
    expectNoAnswerInTime(server.url(L"/u"));
}

TEST_F(UpdateCheckDeadlineTest, AServerThatNeverAnswersIsNoAnswer)
{
    LoopbackServer server([](const LoopbackServer::Request&) {
        LoopbackServer::Response response;
        response.neverAnswer = true;
        return response;
    });
    expectNoAnswerInTime(server.url(L"/u"));
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(UpdateCheckTest, AReplyLongerThanOneMebibyteIsNoAnswer)
{
    const std::string offer = "<Quillet><version_code>7</version_code></Quillet>";
    const size_t mebibyte = 1024 * 1024;
    LoopbackServer server([&](const LoopbackServer::Request& request) {
        const size_t size = request.target == "/whole" ? mebibyte : mebibyte + 1;
        return reply(offer + std::string(size - offer.size(), ' '));
    });
    Updater whole(nullptr);
    configure(whole, 9, server.url(L"/whole"));
    EXPECT_FALSE(whole.haveNew(false));
    EXPECT_EQ(whole.latestVersionCode, 7);
    Updater tooLong(nullptr);
    configure(tooLong, 9, server.url(L"/long"));
    EXPECT_FALSE(tooLong.haveNew(false));
    EXPECT_EQ(tooLong.latestVersionCode, 0);
}

} // namespace
