// bench_matcher: the pattern matcher on the HTTP client's work (cookies out of a 64 KB header
// block, the <html> and </html> test on a 1 MB page), against std::wregex doing the same
// extraction, and on input of twice the size. Prints `name: value` lines.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench/BenchClock.h"
#include "updater/regex/CollectMatches.h"

namespace {

using List = std::vector<std::wstring>;

struct Work {
    std::wstring headers;
    std::wstring page;
};

struct Lists {
    List cookies;
    List open;
    List close;

    bool operator==(const Lists& other) const
    {
        return cookies == other.cookies && open == other.open && close == other.close;
    }
};

// `cookies` Set-Cookie lines of 65 characters each among a few ordinary header lines: 1,000
// of them make a 64 KB block.
std::wstring headerBlock(int cookies)
{
    std::wstring block = L"HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n"
                         L"Content-Length: 1048576\r\nServer: bench\r\n";
    for (int i = 0; i < cookies; ++i) {
        std::wstring line = L"Set-Cookie: s" + std::to_wstring(i) + L"=9f3c2a; Path=/; HttpOnly";
        line.resize(63, L'x');
        block += line + L"\r\n";
    }
    return block + L"\r\n";
}

std::wstring page(std::size_t characters)
{
    std::wstring text = L"<!DOCTYPE html>\n<HTML><HEAD><TITLE>Release notes</TITLE></HEAD><BODY>\n";
    const std::wstring paragraph =
        L"<p class=\"note\">Fixed the <b>playlist</b> order &amp; the volume slider; see "
        L"<a href=\"/notes/1.1\">notes</a> for more.</p>\n";
    while (text.size() + paragraph.size() < characters)
        text += paragraph;
    return text + L"</BODY></HTML>\n";
}

Work makeWork(int scale)
{
    return Work{headerBlock(1000 * scale), page(1024 * 1024 * static_cast<std::size_t>(scale))};
}

Lists withMatcher(const Work& work)
{
    Lists lists;
    collectMatches(L"Set-Cookie:\\b*{.+?}\\n", work.headers, lists.cookies);
    collectMatches(L"{<html>}", work.page, lists.open);
    collectMatches(L"{</html>}", work.page, lists.close);
    return lists;
}

std::wstring folded(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

// The same extraction with std::wregex: distinct group-1 texts, case ignored.
List collectWithRegex(const wchar_t* pattern, const std::wstring& text)
{
    const std::wregex regex(pattern, std::regex::ECMAScript | std::regex::icase);
    List list;
    std::unordered_set<std::wstring> seen;
    for (std::wsregex_iterator it(text.begin(), text.end(), regex), end; it != end; ++it) {
        std::wstring value = (*it)[1].str();
        if (seen.insert(folded(value)).second)
            list.push_back(std::move(value));
    }
    return list;
}

Lists withRegex(const Work& work)
{
    Lists lists;
    lists.cookies = collectWithRegex(L"Set-Cookie:[ \\t]*(.+?)(?:\\r|\\r?\\n)", work.headers);
    lists.open = collectWithRegex(L"(<html>)", work.page);
    lists.close = collectWithRegex(L"(</html>)", work.page);
    return lists;
}

// Milliseconds per call of each function: the least over several rounds, in each of which every
// function runs one batch of at least 25 ms in turn. Wall time (the performance counter), since a
// thread's CPU time hardly moves under wine64. Taking turns spreads the load of the machine's
// other processes over all the figures alike, so their ratios hold on a busy machine, and the
// least batch of each is the one they disturbed least.
std::vector<double> perCall(const std::vector<std::function<void()>>& functions)
{
    constexpr double batchMilliseconds = 25;
    constexpr int rounds = 20;
    std::vector<int> calls(functions.size(), 0);
    std::vector<double> best(functions.size());
    for (std::size_t f = 0; f < functions.size(); ++f) {
        const double start = nowMs();
        double spent = 0;
        do {
            functions[f]();
            ++calls[f];
            spent = nowMs() - start;
        } while (spent < batchMilliseconds);
        best[f] = spent / calls[f];
    }
    for (int round = 1; round < rounds; ++round) {
        for (std::size_t f = 0; f < functions.size(); ++f) {
            const double from = nowMs();
            for (int i = 0; i < calls[f]; ++i)
                functions[f]();
            best[f] = std::min(best[f], (nowMs() - from) / calls[f]);
        }
    }
    return best;
}

} // namespace

int main()
{
    const Work work = makeWork(1);
    const Work doubled = makeWork(2);
    const Lists expected = withRegex(work);
    if (!(withMatcher(work) == expected) || expected.cookies.size() != 1000) {
        std::fprintf(stderr, "bench_matcher: the matcher and std::wregex disagree\n");
        return 1;
    }

    const Work headersOnly{work.headers, {}};
    const Work pageOnly{{}, work.page};
    const std::vector<double> ms = perCall({
        [&] { withMatcher(headersOnly); },
        [&] { withMatcher(pageOnly); },
        [&] { withMatcher(work); },
        [&] { withMatcher(doubled); },
        [&] { withRegex(headersOnly); },
        [&] { withRegex(pageOnly); },
    });
    const double matcherHeaders = ms[0], matcherPage = ms[1], matcher = ms[2], matcherDoubled = ms[3];
    const double regexHeaders = ms[4], regexPage = ms[5];
    const double regex = regexHeaders + regexPage;

    std::printf("matcher-headers-ms: %.3f\n", matcherHeaders);
    std::printf("matcher-page-ms: %.3f\n", matcherPage);
    std::printf("matcher-total-ms: %.3f\n", matcher);
    std::printf("matcher-doubled-ms: %.3f\n", matcherDoubled);
    std::printf("wregex-headers-ms: %.3f\n", regexHeaders);
    std::printf("wregex-page-ms: %.3f\n", regexPage);
    std::printf("matcher-vs-wregex: %.3f\n", matcher / regex);
    std::printf("matcher-doubling: %.3f\n", matcherDoubled / matcher);
    return 0;
}
