// The server reply rule and the version code conversion.
#include <gtest/gtest.h>

#include <climits>

#include "updater/DecimalText.h"
#include "updater/UpdateReply.h"

namespace {

const std::wstring fullReply =
    L"<?xml version=\"1.0\"?>\r\n<updates>\r\n"
    L"<Other><version_code>9</version_code><url>http://x/other.exe</url></Other>\r\n"
    L"<Quillet>\r\n  <version_code>3</version_code>\r\n  <version_name>1.2</version_name>\r\n"
    L"  <url>http://example.test/QuilletSetup.exe</url>\r\n</Quillet>\r\n</updates>\r\n";

TEST(UpdateReplyTest, ReadsTheThreeFieldsOfTheProductsSection)
{
    const UpdateReply reply = UpdateReply::parse(fullReply, L"Quillet");
    EXPECT_EQ(reply.versionCode, 3);
    EXPECT_EQ(reply.versionName, L"1.2");
    EXPECT_EQ(reply.installerUrl, L"http://example.test/QuilletSetup.exe");
}

TEST(UpdateReplyTest, ValuesAreTakenExactlyWithBlanksAndEntities)
{
    const std::wstring reply = L"<P><version_name>  2.0 beta </version_name><url>a&amp;b</url></P>";
    EXPECT_EQ(replyValue(reply, L"P", L"version_name"), L"  2.0 beta ");
    EXPECT_EQ(replyValue(reply, L"P", L"url"), L"a&amp;b");
}

TEST(UpdateReplyTest, MissingPiecesGiveEmptyValues)
{
    // No section, an unclosed section, a missing element, an unclosed element.
    EXPECT_EQ(replyValue(L"<version_code>3</version_code>", L"P", L"version_code"), L"");
    EXPECT_EQ(replyValue(L"<P><version_code>3</version_code>", L"P", L"version_code"), L"");
    EXPECT_EQ(replyValue(L"<P><url>u</url></P>", L"P", L"version_code"), L"");
    EXPECT_EQ(replyValue(L"<P><version_code>3</P>", L"P", L"version_code"), L"");
    EXPECT_EQ(replyValue(L"", L"P", L"url"), L"");
}

TEST(UpdateReplyTest, MatchingIsCaseSensitiveAndIgnoresTagsWithAttributes)
{
    EXPECT_EQ(replyValue(L"<quillet><url>u</url></quillet>", L"Quillet", L"url"), L"");
    EXPECT_EQ(replyValue(L"<Quillet><URL>u</URL></Quillet>", L"Quillet", L"url"), L"");
    EXPECT_EQ(replyValue(L"<Quillet id=\"1\"><url>u</url></Quillet>", L"Quillet", L"url"), L"");
    EXPECT_EQ(replyValue(L"<Quillet><url kind=\"exe\">u</url></Quillet>", L"Quillet", L"url"), L"");
}

TEST(UpdateReplyTest, OnlyTheFirstSectionIsRead)
{
    const std::wstring reply = L"<P><version_name>one</version_name></P><P><version_name>two</version_name></P>";
    EXPECT_EQ(replyValue(reply, L"P", L"version_name"), L"one");
    // An element missing from the first section is not looked for in a later one.
    EXPECT_EQ(replyValue(L"<P></P><P><url>late</url></P>", L"P", L"url"), L"");
}

TEST(UpdateReplyTest, VersionCodeTextConversion)
{
    EXPECT_EQ(versionCodeFromText(L" 3x"), 3);
    EXPECT_EQ(versionCodeFromText(L""), 0);
    EXPECT_EQ(versionCodeFromText(L"x3"), 0);
    EXPECT_EQ(versionCodeFromText(L"\t\r\n  42"), 42);
    EXPECT_EQ(versionCodeFromText(L"+17"), 17);
    EXPECT_EQ(versionCodeFromText(L"-5"), -5);
    EXPECT_EQ(versionCodeFromText(L"- 5"), 0);
    EXPECT_EQ(versionCodeFromText(L"0012"), 12);
}

TEST(UpdateReplyTest, VersionCodeBeyondThirtyTwoBitsStopsAtTheLimit)
{
    EXPECT_EQ(versionCodeFromText(L"2147483647"), INT_MAX);
    EXPECT_EQ(versionCodeFromText(L"2147483648"), INT_MAX);
    EXPECT_EQ(versionCodeFromText(L"99999999999999999999999"), INT_MAX);
    EXPECT_EQ(versionCodeFromText(L"-2147483648"), INT_MIN);
    EXPECT_EQ(versionCodeFromText(L"-99999999999"), INT_MIN);
}

// The strict form read from headers: digits only, within a limit, whatever their count.
TEST(DecimalTextTest, AWholeNumberIsDigitsOnlyWithinItsLimit)
{
    uint64_t value = 7;
    EXPECT_TRUE(DecimalText::parseWhole(L"2500", UINT32_MAX, value));
    EXPECT_EQ(value, 2500u);
    EXPECT_TRUE(DecimalText::parseWhole(L"0000000000000000000000000042", 100, value));
    EXPECT_EQ(value, 42u);
    EXPECT_TRUE(DecimalText::parseWhole(L"4294967295", UINT32_MAX, value));
    EXPECT_EQ(value, 4294967295u);
    value = 7;
    for (const wchar_t* refused : {L"", L" 1", L"1 ", L"+1", L"-1", L"1x", L"4294967296", L"99999999999999999999999"})
        EXPECT_FALSE(DecimalText::parseWhole(refused, UINT32_MAX, value)) << refused;
    EXPECT_FALSE(DecimalText::parseWhole(L"18446744073709551616", UINT64_MAX, value));
    EXPECT_FALSE(DecimalText::parseWhole(L"5", 4, value));
    EXPECT_EQ(value, 7u);
}

} // namespace
