// HttpClient over the scripted transport: the proxy fall-back in each of its branches, the
// attempt budget, handle ownership and the body loop's guards.
#include "updater/http/HttpClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/updater/http/ScriptedTransport.h"

namespace {

const uint32_t cannotConnect = 12029;
const std::wstring updateUrl = L"http://updates.example/check";

std::vector<double> progressSeen;
void recordProgress(double percent) { progressSeen.push_back(percent); }

class HttpClientScripted : public ::testing::Test {
protected:
    void SetUp() override { useUrl(updateUrl); }

    void useUrl(const std::wstring& url)
    {
        auto scripted = std::make_unique<ScriptedTransport>();
        transport = scripted.get();
        log = transport->log;
        client = std::make_unique<HttpClient>(url, std::move(scripted));
    }

    // The calls of one send from its first header up to the response, without the body reads.
    std::vector<std::string> exchange() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : *log) {
            if (line.rfind("receiveResponse", 0) == 0)
                break;
            if (line.rfind("addHeaders", 0) == 0 || line.rfind("setProxy", 0) == 0 || line.rfind("send", 0) == 0
                || line.rfind("current", 0) == 0 || line.rfind("proxyFor", 0) == 0)
                lines.push_back(line);
        }
        return lines;
    }

    ScriptedTransport* transport = nullptr;
    std::shared_ptr<std::vector<std::string>> log;
    std::unique_ptr<HttpClient> client;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(HttpClientScripted, AListedProxyIsUsedFromTheNextAttemptWithHeadersAddedAgain)
{
    transport->fail("sendRequest", cannotConnect);
    transport->userConfig.servers = L"proxy.example:8080";
    transport->userConfig.bypass = L"<local>";
    client->extraHeaders = L"X-Product: quillet";
    client->cookies = L"session=1";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ((Lines{"addHeaders X-Product: quillet", "addHeaders Cookie: session=1", "sendRequest 0",
                     "currentUserProxyConfig", "setProxy 3 proxy.example:8080 <local>",
                     "addHeaders X-Product: quillet", "addHeaders Cookie: session=1", "sendRequest 0"}),
              exchange());
    EXPECT_EQ(0u, client->lastError);  // the failed first send itself is not recorded
}

TEST_F(HttpClientScripted, AnAutoConfiguredProxyIsLookedUpAndTriedAtOnce)
{
    transport->fail("sendRequest", cannotConnect);
    transport->userConfig.autoConfigUrl = L"http://wpad/wpad.dat";
    transport->userConfig.servers = L"ignored:1";
    transport->lookedUpProxy.servers = L"found.example:3128";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ((Lines{"sendRequest 0", "currentUserProxyConfig", "proxyForUrl http://updates.example/check http://wpad/wpad.dat",
                     "setProxy 3 found.example:3128 ", "sendRequest 0"}),
              exchange());
    EXPECT_EQ(0u, client->lastError);
}

TEST_F(HttpClientScripted, AFailedLookupIsRecordedAndTheNextAttemptGoesOn)
{
    transport->fail("sendRequest", cannotConnect);
    transport->fail("proxyForUrl", 12180);
    transport->userConfig.autoConfigUrl = L"http://wpad/wpad.dat";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(2, transport->count("sendRequest"));
    EXPECT_EQ(0, transport->count("setProxy"));
    EXPECT_EQ(12180u, client->lastError);  // never cleared by the later success
}

TEST_F(HttpClientScripted, ALookedUpProxyThatCantBeSetOrUsedRecordsNothing)
{
    transport->fail("sendRequest", cannotConnect);
    transport->fail("setProxy", 12150);
    transport->userConfig.autoConfigUrl = L"http://wpad/wpad.dat";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(2, transport->count("sendRequest"));  // not re-sent in the first attempt
    EXPECT_EQ(0u, client->lastError);

    useUrl(updateUrl);
    transport->fail("sendRequest", cannotConnect, 2);
    transport->userConfig.autoConfigUrl = L"http://wpad/wpad.dat";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(3, transport->count("sendRequest"));  // the re-send failed, the next attempt got through
    EXPECT_EQ(0u, client->lastError);
}

TEST_F(HttpClientScripted, AnUnreadableConfigurationEndsEachAttempt)
{
    transport->fail("sendRequest", cannotConnect, 3);
    transport->fail("currentUserProxyConfig", 1234, 3);
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(1234u, client->lastError);
    EXPECT_EQ(3, transport->count("sendRequest"));
    EXPECT_EQ(0, transport->count("receiveResponse"));
}

TEST_F(HttpClientScripted, WithoutAnyProxyConfiguredThreeFailedSendsFail)
{
    transport->fail("sendRequest", cannotConnect, 3);
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(3, transport->count("sendRequest"));
    EXPECT_EQ(3, transport->count("currentUserProxyConfig"));
    EXPECT_EQ(0, transport->count("setProxy"));
}

TEST_F(HttpClientScripted, AProxyTextTooLongIsRefusedWholeNotCut)
{
    transport->fail("sendRequest", cannotConnect);
    transport->userConfig.servers = std::wstring(260, L'p');
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(87u, client->lastError);
    EXPECT_EQ(0, transport->count("setProxy"));

    useUrl(updateUrl);
    transport->fail("sendRequest", cannotConnect);
    transport->userConfig.servers = L"proxy:1";
    transport->userConfig.bypass = std::wstring(260, L'b');
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(87u, client->lastError);
    EXPECT_EQ(0, transport->count("setProxy"));

    useUrl(updateUrl);
    transport->userConfig.servers = std::wstring(259, L'p');
    transport->fail("sendRequest", cannotConnect);
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ((Lines{"setProxy 3 " + std::string(259, 'p') + " "}), transport->calls("setProxy"));
}

TEST_F(HttpClientScripted, TheClientsOwnProxyAndCredentialsAreSetInEveryAttempt)
{
    transport->body = "<html>cut";
    client->proxy = L"own.example:8080";
    client->proxyUser = L"user";
    client->proxyPassword = L"secret";
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(3, transport->count("setProxy 3 own.example:8080 "));
    EXPECT_EQ(3, transport->count("setProxyUserName user"));
    EXPECT_EQ(3, transport->count("setProxyPassword secret"));

    useUrl(updateUrl);
    client->proxy = std::wstring(260, L'p');
    client->proxyPassword = L"secret";  // a password without a user name is not set
    transport->fail("addHeaders", 5);
    client->cookies = L"a=1";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(0, transport->count("setProxy"));
    EXPECT_EQ(87u, client->lastError);  // recorded after the failed header, which was 5
}

TEST_F(HttpClientScripted, AResponseThatNeverArrivesUsesUpTheAttemptsOnOneRequest)
{
    transport->fail("receiveResponse", 12002, 3);
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(12002u, client->lastError);
    EXPECT_EQ(3, transport->count("sendRequest"));
    EXPECT_EQ(1, transport->count("openRequest GET"));
    EXPECT_EQ(1u, transport->openHandles.size());  // request and connection closed, the session kept
    client.reset();
    EXPECT_EQ(1, int(std::count(log->begin(), log->end(), "close session#1")));
}

TEST_F(HttpClientScripted, TheSessionIsOpenedOnceAndFailuresBeforeTheRequestLeaveNothingOpen)
{
    transport->fail("openSession", 8);
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(8u, client->lastError);

    ASSERT_TRUE(client->send(L"GET"));
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(2, transport->count("openSession"));
    EXPECT_EQ(2, transport->count("setTimeouts 0 60000 30000 30000"));

    transport->fail("connect", 12007);
    EXPECT_FALSE(client->send(L"GET"));
    transport->fail("openRequest", 12005);
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(8u, client->lastError);
    EXPECT_EQ(1u, transport->openHandles.size());
}

TEST_F(HttpClientScripted, HttpsIgnoresCertificateErrorsUnlessVerifying)
{
    useUrl(L"https://secure.example/check");
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(1, transport->count("ignoreCertificateErrors"));
    client->verifyCertificates = true;
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(1, transport->count("ignoreCertificateErrors"));
}

TEST_F(HttpClientScripted, FailedQueriesLeaveTheirFieldsAsTheyWere)
{
    transport->headers = L"HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    transport->body = "body";
    transport->fail("queryHeaders", 12150);
    transport->fail("queryStatus", 12150);
    client->statusCode = L"none";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_TRUE(client->responseHeaders.empty());
    EXPECT_TRUE(client->charset.empty());
    EXPECT_EQ(L"none", client->statusCode);
    EXPECT_EQ(L"body", client->responseText());
    EXPECT_EQ(0u, client->lastError);  // header and status queries are not recorded
}

TEST_F(HttpClientScripted, ARequestBodyIsAnnouncedAndWrittenInEachAttempt)
{
    const char data[] = "k=v";
    client->requestBody.reset(new uint8_t[3]{uint8_t(data[0]), uint8_t(data[1]), uint8_t(data[2])});
    client->requestBodySize = 3;
    transport->fail("writeData", 12030);
    ASSERT_TRUE(client->send(L"POST"));
    EXPECT_EQ((Lines{"sendRequest 3"}), transport->calls("sendRequest"));
    EXPECT_EQ((Lines{"writeData k=v"}), transport->calls("writeData"));
    EXPECT_EQ(12030u, client->lastError);
}

TEST_F(HttpClientScripted, EachReadTakesExactlyWhatIsAvailable)
{
    transport->body = std::string(10000, 'z');
    transport->piece = 3000;
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ((Lines{"readData 3000", "readData 3000", "readData 3000", "readData 1000"}), transport->calls("readData"));
    EXPECT_EQ(10000u, client->rawBodySize);
    EXPECT_EQ(10240u, client->rawBody.size());  // 10000 bytes and the zero after them still fit
}

TEST_F(HttpClientScripted, AStatedLengthSizesTheBufferOnceAndAFalseOneOnlyBoundsIt)
{
    transport->body = std::string(100000, 'z');
    transport->piece = 30000;
    transport->headers = L"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(163840u, client->rawBody.size());  // the doubling step that holds it, taken at once
    EXPECT_EQ(100000u, client->rawBodySize);
    EXPECT_EQ(100000u, client->responseText().size());

    // A length far beyond the body starts the buffer at its cap; the short body still reads whole.
    transport->body = "short";
    transport->headers = L"HTTP/1.1 200 OK\r\nContent-Length: 2000000000\r\n\r\n";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(10240u << 13, client->rawBody.size());
    EXPECT_EQ(L"short", client->responseText());
}

TEST_F(HttpClientScripted, ABodyOverTheLimitFailsUnreadBeyondItAndIsNotKept)
{
    transport->body = std::string(10000, 'z');
    transport->piece = 3000;
    client->maxBodySize = 6000;
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(2, transport->count("readData"));  // the third piece would pass the limit
    EXPECT_EQ(1, transport->count("sendRequest"));
    EXPECT_EQ(HttpClient::errorBodyTooLong, client->lastError);
    EXPECT_EQ(0u, client->rawBodySize);
    EXPECT_TRUE(client->rawBody.empty());
    client->maxBodySize = 10000;
    EXPECT_TRUE(client->send(L"GET"));
    EXPECT_EQ(10000u, client->rawBodySize);
}

TEST_F(HttpClientScripted, AnImpossibleAvailableCountEndsTheBodyAsAFailure)
{
    transport->claimedAvailable = 0x7fffffff;
    EXPECT_FALSE(client->send(L"GET"));
    EXPECT_EQ(1, transport->count("queryDataAvailable"));
    EXPECT_EQ(0, transport->count("readData"));
    EXPECT_EQ(1, transport->count("sendRequest"));  // no further attempt either
}

TEST_F(HttpClientScripted, AFailingReadEndsTheBodyInsteadOfSpinning)
{
    transport->body = "never read";
    transport->fail("readData", 12030, 1000);
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(1, transport->count("readData"));
    EXPECT_EQ(0u, client->rawBodySize);
    EXPECT_EQ(L"", client->responseText());
}

TEST_F(HttpClientScripted, AContentLengthBeyondTheFieldCountsAsUnknown)
{
    transport->headers = L"HTTP/1.1 200 OK\r\nContent-Length: 4294967396\r\n\r\n";
    transport->body = "abc";
    client->contentLength = 77;
    progressSeen.clear();
    client->progressCallback = recordProgress;
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(0, client->contentLength);
    EXPECT_TRUE(progressSeen.empty());

    transport->headers = L"HTTP/1.1 200 OK\r\nContent-Length: 2147483647\r\n\r\n";
    ASSERT_TRUE(client->send(L"GET"));
    EXPECT_EQ(2147483647, client->contentLength);
    EXPECT_FALSE(progressSeen.empty());
}
