// collectMatches: the header patterns the HTTP client relies on, duplicates, empty inputs,
// progress after empty matches, and the refusal of patterns without a capture group.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "updater/regex/CollectMatches.h"
#include "updater/regex/PatternError.h"

namespace {

using List = std::vector<std::wstring>;

List collected(const std::wstring& pattern, const std::wstring& text)
{
    List list{L"stale"};
    EXPECT_TRUE(collectMatches(pattern, text, list));
    return list;
}

const std::wstring headers =
    L"HTTP/1.1 200 OK\r\n"
    L"Content-Type: text/html; charset=UTF-8\r\n"
    L"content-length: 512\r\n"
    L"Set-Cookie: a=1; path=/\r\n"
    L"SET-COOKIE:\t A=1; path=/\r\n"
    L"Set-Cookie: b=2\r\n"
    L"\r\n";

TEST(CollectMatches, ReadsTheHttpClientsHeaders)
{
    EXPECT_EQ(collected(L"Content-Length: {[0-9]+}", headers), List{L"512"});
    EXPECT_EQ(collected(L"charset={[A-Za-z0-9\\-_]+}", headers), List{L"UTF-8"});
    // The capture stops before the CR; the second cookie repeats the first but for case.
    EXPECT_EQ(collected(L"Set-Cookie:\\b*{.+?}\\n", headers), (List{L"a=1; path=/", L"b=2"}));
}

TEST(CollectMatches, FindsPageTagsKeepingTheirCase)
{
    EXPECT_EQ(collected(L"{<html>}", L"<!doctype html><HTML><BODY>"), List{L"<HTML>"});
    EXPECT_EQ(collected(L"{</html>}", L"<html lang=en><body>"), List{});
}

TEST(CollectMatches, KeepsFirstSeenOrderOfDistinctTexts)
{
    EXPECT_EQ(collected(L"{\\z}", L"1 22 1 333 22"), (List{L"1", L"22", L"333"}));
    EXPECT_EQ(collected(L"{\\w}", L"Ab aB ab x"), (List{L"Ab", L"x"}));
}

TEST(CollectMatches, RefusesEmptyOrBadInput)
{
    List list{L"stale"};
    EXPECT_FALSE(collectMatches(L"", L"abc", list));
    EXPECT_TRUE(list.empty());
    list = {L"stale"};
    EXPECT_FALSE(collectMatches(L"{a}", L"", list));
    EXPECT_TRUE(list.empty());
    list = {L"stale"};
    EXPECT_FALSE(collectMatches(L"{a", L"abc", list));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(collected(L"{x}", L"abc"), List{});
}

// Each search treats the rest of the text as a text of its own.
TEST(CollectMatches, AnchorsAtEachSearchPosition)
{
    EXPECT_EQ(collected(L"^{.}", L"ab"), (List{L"a", L"b"}));
    EXPECT_EQ(collected(L"^{a}", L"ba"), List{});
}

TEST(CollectMatches, MovesOnAfterAnEmptyMatch)
{
    EXPECT_EQ(collected(L"{x*}", L"abc"), List{L""});
    EXPECT_EQ(collected(L"{a?}", L"bab"), (List{L"", L"a"}));
}

TEST(CollectMatches, StopsAtAMatchThatReachesTheEnd)
{
    EXPECT_EQ(collected(L"{a}$", L"aa"), List{L"a"});
    EXPECT_EQ(collected(L"{.}", L"abc"), (List{L"a", L"b", L"c"}));
}

TEST(CollectMatches, ReadsTextsUpToTheirFirstNul)
{
    const std::wstring text(L"id=1;\0id=2;", 11);
    EXPECT_EQ(collected(L"id={\\z}", text), List{L"1"});
}

TEST(CollectMatches, PatternWithoutCaptureThrowsAtItsFirstMatch)
{
    List list;
    EXPECT_TRUE(collectMatches(L"abc", L"xyz", list));
    try {
        collectMatches(L"y", L"xyz", list);
        ADD_FAILURE() << "no PatternError";
    } catch (const PatternError& error) {
        EXPECT_EQ(error.code(), PATTERN_E_FAIL);
    }
    EXPECT_TRUE(list.empty());
}

TEST(CollectMatches, GathersThousandsOfCookiesInOrder)
{
    std::wstring block = L"HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 3000; ++i)
        block += L"Set-Cookie: c" + std::to_wstring(i) + L"=v; path=/\r\n";
    const List list = collected(L"Set-Cookie:\\b*{.+?}\\n", block);
    ASSERT_EQ(list.size(), 3000u);
    EXPECT_EQ(list.front(), L"c0=v; path=/");
    EXPECT_EQ(list.back(), L"c2999=v; path=/");
}

} // namespace
