// HttpClient over real WinHTTP against the in-process loopback server: verbs, URL limits, pages,
// completeness, decoding, cookies, body assembly, progress and time-outs.
#include "updater/http/HttpClient.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/LoopbackServer.h"
#include "tests/support/TestSupport.h"
#include "updater/http/WinHttpTransport.h"

namespace {

using Request = LoopbackServer::Request;
using Response = LoopbackServer::Response;

Response page(const std::string& body, const std::string& headers = "", const std::string& status = "200 OK")
{
    Response response;
    response.head = "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n" + headers;
    response.body = body;
    return response;
}

LoopbackServer::Handler always(const Response& response)
{
    return [response](const Request&) { return response; };
}

std::wstring ansiText(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, bytes.data(), int(bytes.size()), &text[0],
                                    int(text.size())));
    return text;
}

void setBody(HttpClient& client, const std::string& body)
{
    client.requestBody.reset(new uint8_t[body.size()]);
    std::memcpy(client.requestBody.get(), body.data(), body.size());
    client.requestBodySize = uint32_t(body.size());
}

std::vector<double> progressSeen;
void recordProgress(double percent) { progressSeen.push_back(percent); }

}  // namespace

TEST(HttpClientRequest, RefusesAnEmptyUrlOrAnUnknownVerbWithoutSending)
{
    LoopbackServer server(always(page("x")));
    HttpClient empty(L"");
    EXPECT_FALSE(empty.send(L"GET"));
    EXPECT_EQ(3u, empty.lastError);
    EXPECT_TRUE(empty.host.empty());

    HttpClient put(server.url(L"/"));
    EXPECT_FALSE(put.send(L"PUT"));
    EXPECT_EQ(87u, put.lastError);
    EXPECT_EQ(0, server.requestCount());
}

TEST(HttpClientRequest, SendsVerbsInUpperCaseWithHeadersCookiesAndBody)
{
    LoopbackServer server([](const Request& request) { return page(request.method + " " + request.body); });
    HttpClient client(server.url(L"/path?q=1"));
    client.userAgent = L"TestAgent";
    client.extraHeaders = L"X-One: 1\r\nX-Two: 2";
    client.cookies = L"c=3";
    ASSERT_TRUE(client.send(L"get"));
    EXPECT_EQ(L"GET ", client.responseText());
    EXPECT_EQ(L"127.0.0.1", client.host);

    setBody(client, "name=value");
    ASSERT_TRUE(client.send(L"Post"));
    EXPECT_EQ(L"POST name=value", client.responseText());

    const std::vector<Request> seen = server.requests();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("/path?q=1", seen[0].target);
    EXPECT_EQ("TestAgent", seen[0].header("User-Agent"));
    EXPECT_EQ("1", seen[0].header("X-One"));
    EXPECT_EQ("2", seen[0].header("X-Two"));
    EXPECT_EQ("c=3", seen[0].header("Cookie"));
    EXPECT_EQ("10", seen[1].header("Content-Length"));
    EXPECT_EQ(0u, client.lastError);
}

TEST(HttpClientRequest, AUrlThatCantBeSplitFailsAndLeavesLastError)
{
    LoopbackServer server(always(page("x")));
    const std::wstring port = std::to_wstring(server.port());
    const std::vector<std::wstring> unsplittable = {
        L"127.0.0.1:" + port + L"/no-scheme",
        L"http://" + std::wstring(260, L'h') + L"/",
        server.url(L"/" + std::wstring(1299, L'p')),
    };
    for (const std::wstring& url : unsplittable) {
        HttpClient client(url);
        client.lastError = 1234;
        EXPECT_FALSE(client.send(L"GET")) << url.size();
        EXPECT_EQ(1234u, client.lastError);
        EXPECT_TRUE(client.host.empty());
    }
    EXPECT_EQ(0, server.requestCount());

    // One character shorter, the path fits.
    HttpClient longest(server.url(L"/" + std::wstring(1298, L'p')));
    EXPECT_TRUE(longest.send(L"GET"));
    EXPECT_EQ(1, server.requestCount());
}

TEST(HttpClientResponse, AnErrorPageIsAResponse)
{
    LoopbackServer server(always(page("<html>missing</html>", "", "404 Not Found")));
    HttpClient client(server.url(L"/missing"));
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(L"<html>missing</html>", client.responseText());
    EXPECT_EQ(L"404", client.statusCode);
    EXPECT_NE(std::wstring::npos, client.responseHeaders.find(L"HTTP/1.1 404 Not Found\r\n"));
}

TEST(HttpClientResponse, ACutOffPageIsFetchedThreeTimesThenFails)
{
    LoopbackServer server(always(page("<HTML><body>the rest never came")));
    HttpClient client(server.url(L"/"));
    client.cookies = L"s=1";
    EXPECT_FALSE(client.send(L"GET"));
    EXPECT_EQ(13u, client.lastError);
    EXPECT_EQ(L"<HTML><body>the rest never came", client.responseText());
    const std::vector<Request> seen = server.requests();
    ASSERT_EQ(3u, seen.size());
    // The cookie is added again in each attempt and folds into the header already there.
    EXPECT_EQ("s=1", seen[0].header("Cookie"));
    EXPECT_EQ("s=1; s=1; s=1", seen[2].header("Cookie"));
}

TEST(HttpClientResponse, APageIsCompleteWithItsClosingTagOrWithoutTheExactTag)
{
    const std::vector<std::string> complete = {"<html><p>whole</p></HTML>", "<html lang=en><p>no end tag", ""};
    for (const std::string& body : complete) {
        LoopbackServer server(always(page(body)));
        HttpClient client(server.url(L"/"));
        EXPECT_TRUE(client.send(L"GET")) << body;
        EXPECT_EQ(1, server.requestCount()) << body;
        EXPECT_EQ(0u, client.lastError) << body;
    }
}

TEST(HttpClientResponse, APostIsNeverRepeated)
{
    LoopbackServer server(always(page("<html>cut")));
    HttpClient client(server.url(L"/"));
    setBody(client, "a=1");
    EXPECT_TRUE(client.send(L"POST"));
    EXPECT_EQ(1, server.requestCount());
    EXPECT_EQ(L"<html>cut", client.responseText());
}

TEST(HttpClientResponse, LocationKeepsTheHeaderValueWithoutBlanks)
{
    // 201, so that WinHTTP doesn't follow it.
    LoopbackServer server(always(page("made", "Content-Location: /elsewhere\r\nLocation: \t http://a.example/b?c=d  \r\n",
                                      "201 Created")));
    HttpClient client(server.url(L"/"));
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(L"http://a.example/b?c=d", client.location);
}

TEST(HttpClientDecoding, Utf8OnlyWhenTheCharsetSaysUtf8Exactly)
{
    const std::string body = "caf\xC3\xA9";
    struct Case {
        std::string contentType;
        std::wstring charset;
        bool utf8;
    };
    const std::vector<Case> cases = {
        {"text/html; charset=UTF-8", L"UTF-8", true},
        {"text/html; charset=utf-8x", L"utf-8x", true},
        {"text/html; charset=utf8", L"utf8", false},
        {"text/html; charset=\"UTF-8\"", L"", false},
    };
    for (const Case& c : cases) {
        LoopbackServer server(always(page(body, "Content-Type: " + c.contentType + "\r\n")));
        HttpClient client(server.url(L"/"));
        ASSERT_TRUE(client.send(L"GET"));
        EXPECT_EQ(c.charset, client.charset) << c.contentType;
        EXPECT_EQ(c.utf8 ? std::wstring(L"caf\u00e9") : ansiText(body), client.responseText()) << c.contentType;
    }
}

TEST(HttpClientDecoding, AFixedCharsetIgnoresTheResponses)
{
    LoopbackServer server(always(page("caf\xC3\xA9", "Content-Type: text/plain; charset=windows-1252\r\n")));
    HttpClient client(server.url(L"/"));
    client.charsetFixed = true;
    client.charset = L"utf-8";
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(L"utf-8", client.charset);
    EXPECT_EQ(L"caf\u00e9", client.responseText());
}

TEST(HttpClientDecoding, TheTextEndsAtAZeroByte)
{
    LoopbackServer server(always(page(std::string("abc\0def", 7))));
    HttpClient client(server.url(L"/"));
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(L"abc", client.responseText());
    EXPECT_EQ(7u, client.rawBodySize);
    EXPECT_EQ(0, std::memcmp(client.rawBody.data(), "abc\0def", 7));
}

TEST(HttpClientCookies, CollectsDistinctCookiesWithoutEmptyOnesAndAppendsOnTheNextSend)
{
    // The empty one's line break must not become a cookie.
    LoopbackServer server(
        always(page("", "Set-Cookie: a=1; path=/\r\nSet-Cookie:\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\n")));
    HttpClient client(server.url(L"/"));
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(L"a=1; path=/; b=2;", client.receivedCookies);
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(L"a=1; path=/; b=2;a=1; path=/; b=2;", client.receivedCookies);
}

TEST(HttpClientBody, ALargeBodyArrivesWholeInADoubledBuffer)
{
    std::string body(30000, '\0');
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = char('a' + i % 26);
    Response response = page(body);
    response.chunkBytes = 7000;
    response.chunkDelayMs = 5;
    LoopbackServer server(always(response));
    HttpClient client(server.url(L"/"));
    ASSERT_TRUE(client.send(L"GET"));
    EXPECT_EQ(30000u, client.rawBodySize);
    EXPECT_EQ(40960u, client.rawBody.size());
    EXPECT_EQ(0, std::memcmp(client.rawBody.data(), body.data(), body.size()));
    EXPECT_EQ(0, client.rawBody[30000]);
    EXPECT_EQ(30000, client.contentLength);
    EXPECT_EQ(30000u, client.responseText().size());
}

TEST(HttpClientBody, ReportsProgressFromZeroToOneHundred)
{
    Response response = page(std::string(2000, 'x'));
    response.chunkBytes = 500;
    response.chunkDelayMs = 20;
    LoopbackServer server(always(response));
    HttpClient client(server.url(L"/"));
    progressSeen.clear();
    client.progressCallback = recordProgress;
    ASSERT_TRUE(client.send(L"GET"));
    ASSERT_GE(progressSeen.size(), 2u);
    EXPECT_EQ(0.0, progressSeen.front());
    EXPECT_EQ(100.0, progressSeen.back());
    for (size_t i = 1; i < progressSeen.size(); ++i)
        EXPECT_LE(progressSeen[i - 1], progressSeen[i]);
}

TEST(HttpClientTimeouts, AServerThatNeverAnswersIsAbandoned)
{
    Response silent;
    silent.neverAnswer = true;
    LoopbackServer server(always(silent));
    HttpClient client(server.url(L"/"));
    client.connectTimeout = 2000;
    client.sendTimeout = 2000;
    client.receiveTimeout = 300;
    EXPECT_FALSE(client.send(L"GET"));
    EXPECT_EQ(12002u, client.lastError);
    EXPECT_GE(server.requestCount(), 1);
}

// The reply arrived, so the send counts; what came of the body is kept and the time-out recorded.
TEST(HttpClientTimeouts, ABodyThatStopsArrivingIsAbandoned)
{
    Response stalled = page(std::string(2000, 'x'));
    stalled.chunkBytes = 1000;
    stalled.chunkDelayMs = 1500;
    LoopbackServer server(always(stalled));
    HttpClient client(server.url(L"/"));
    client.receiveTimeout = 300;
    EXPECT_TRUE(client.send(L"GET"));
    EXPECT_EQ(12002u, client.lastError);
    EXPECT_EQ(1000u, client.rawBodySize);
    EXPECT_EQ(std::wstring(1000, L'x'), client.responseText());
}

// WinHTTP, with a user whose proxy settings name a script at `script`.
struct ScriptConfiguredTransport : WinHttpTransport {
    std::wstring script;
    uint32_t currentUserProxyConfig(ProxyConfig& config) override { return config = {script, L"", L""}, 0; }
};

// Finding and running the proxy script (after a first send that failed) counts against the
// send's time: a script whose server never answers can't hold the send past it.
TEST(HttpClientTimeouts, AProxyScriptThatNeverArrivesCountsAgainstTheDeadline)
{
    Response silent;
    silent.neverAnswer = true;
    LoopbackServer script(always(silent));
    auto transport = std::make_unique<ScriptConfiguredTransport>();
    transport->script = script.url(L"/p.pac");
    const auto client = std::make_shared<HttpClient>(L"http://127.0.0.1:1/check", std::move(transport));  // no one there
    client->totalTimeout = 3000;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(returnsWithin([client] { client->send(L"GET"); }, 60000)) << "the send had not returned after a minute";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(12002u, client->lastError);
    EXPECT_GE(script.requestCount(), 1);  // the script was asked for, and never came
}
