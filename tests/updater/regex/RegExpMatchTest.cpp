// RegExp::match: the dialect's matching rules, the positions reported, the guards against
// loops that could spin without progress, and the stack's limits.
#include <gtest/gtest.h>

#include <string>

#include "updater/regex/MatchResult.h"
#include "updater/regex/PatternError.h"
#include "updater/regex/RegExp.h"

namespace {

// Where a pattern matches in a text, as offsets; start == -1 when it doesn't.
struct Found {
    long start = -1;
    long end = -1;
    std::wstring group0;
};

Found find(const std::wstring& pattern, const std::wstring& text)
{
    RegExp regExp;
    EXPECT_EQ(regExp.compile(pattern.c_str()), 0);
    MatchResult result;
    Found found;
    if (!regExp.match(text.c_str(), &result))
        return found;
    found.start = result.matchStart - text.c_str();
    found.end = result.matchEnd - text.c_str();
    if (result.groupCount > 0 && result.groups[0].start && result.groups[0].end)
        found.group0.assign(result.groups[0].start, result.groups[0].end);
    return found;
}

bool matches(const std::wstring& pattern, const std::wstring& text)
{
    return find(pattern, text).start >= 0;
}

void expectSpan(const std::wstring& pattern, const std::wstring& text, long start, long end)
{
    const Found found = find(pattern, text);
    EXPECT_EQ(found.start, start) << "start";
    EXPECT_EQ(found.end, end) << "end";
}

TEST(RegExpMatch, AlternationBindsSingleElements)
{
    expectSpan(L"ab|cd", L"abd", 0, 3);
    expectSpan(L"ab|cd", L"xacd", 1, 4);
    EXPECT_FALSE(matches(L"ab|cd", L"ab"));
    expectSpan(L"(ab)|(cd)", L"ab", 0, 2);
    expectSpan(L"a|b|c", L"xc", 1, 2);
    expectSpan(L"xa|", L"xa", 0, 1);
    expectSpan(L"(a|)b", L"b", 0, 1);
    // A stray closer at the top level ends the pattern.
    expectSpan(L"a)b", L"xab", 1, 2);
}

TEST(RegExpMatch, QuantifiersTakeTheirPreferredCount)
{
    expectSpan(L"a??b", L"ab", 0, 2);
    EXPECT_EQ(find(L"{a*?}b", L"aab").group0, L"aa");
    EXPECT_EQ(find(L"{a*}", L"aaab").group0, L"aaa");
    EXPECT_EQ(find(L"{a*?}", L"aaab").group0, L"");
    EXPECT_EQ(find(L"{a+?}", L"aaab").group0, L"a");
    EXPECT_EQ(find(L"{a??}a", L"aa").group0, L"");
    expectSpan(L"a**", L"aa*", 0, 3);
    expectSpan(L"a*+", L"aa+", 0, 3);
    expectSpan(L"*a", L"x*a", 1, 3);
}

// A lazy element that takes one more pass must start where the rest of the pattern began, not
// where its failed attempt stopped.
TEST(RegExpMatch, LazyPassesResumeAtTheirOwnPosition)
{
    const Found found = find(L"{.+?}ab", L"xaab");
    EXPECT_EQ(found.start, 0);
    EXPECT_EQ(found.group0, L"xa");
    expectSpan(L"a*?bc", L"babc", 1, 4);
    expectSpan(L"a??bc", L"babc", 1, 4);
}

TEST(RegExpMatch, BackReferencesIgnoreCase)
{
    EXPECT_TRUE(matches(L"{a}{b}\\1", L"abb"));
    EXPECT_FALSE(matches(L"{a}{b}\\1", L"aba"));
    EXPECT_TRUE(matches(L"{a}\\0", L"aA"));
    EXPECT_EQ(find(L"{\\w}-\\0", L"x abc-ABC").group0, L"abc");
    // A group that hasn't taken part stands for the empty text.
    expectSpan(L"{x}?\\0y", L"y", 0, 1);
}

TEST(RegExpMatch, NegationConsumesNothing)
{
    expectSpan(L"!ab", L"ab", 1, 2);
    expectSpan(L"!(ab)c", L"c", 0, 1);
    expectSpan(L"!(ab)c", L"abc", 2, 3);
    expectSpan(L"!a*b", L"ab", 1, 2);
    expectSpan(L"a!$", L"aa", 0, 1);
}

TEST(RegExpMatch, AnchorsOnlyWhereTheyMeanIt)
{
    EXPECT_FALSE(matches(L"^b", L"ab"));
    expectSpan(L"^a", L"ab", 0, 1);
    // "$" steps past the end of the text.
    expectSpan(L"b$", L"ab", 1, 3);
    EXPECT_FALSE(matches(L"b$x", L"ab"));
    expectSpan(L"b$x", L"ab$x", 1, 4);
    expectSpan(L"a^", L"a^", 0, 2);
    // Starts run from the first character to the last, so an empty match at the very end is
    // never tried; an empty text is tried once.
    EXPECT_FALSE(matches(L"$", L"ab"));
    expectSpan(L"$", L"", 0, 1);
}

TEST(RegExpMatch, EscapesAndAbbreviations)
{
    expectSpan(L"\\A", L"_5", 1, 2);
    expectSpan(L"\\d+", L"ab12c", 2, 4);
    expectSpan(L"\\D", L"x7", 1, 2);
    expectSpan(L"\\t", L"\tt", 1, 2);
    expectSpan(L"[\\t]", L"t\t", 1, 2);
    expectSpan(L"\\{\\\\", L"{\\", 0, 2);
    expectSpan(L"a\\", L"a\\", 0, 2);
    expectSpan(L"\\h+", L"xFf0g", 1, 4);
    expectSpan(L"\\b+x", L"a \t x", 1, 5);
    EXPECT_EQ(find(L"{\\w}", L"12abC3").group0, L"abC");
    EXPECT_EQ(find(L"{\\z}", L"ab123c").group0, L"123");
    EXPECT_EQ(find(L"{\\q}", L"say 'yo' \"hi\"").group0, L"'yo'");
}

TEST(RegExpMatch, LineBreakAbbreviationTriesBareCrFirst)
{
    EXPECT_TRUE(matches(L"a\\nb", L"a\rb"));
    EXPECT_TRUE(matches(L"a\\nb", L"a\nb"));
    EXPECT_TRUE(matches(L"a\\nb", L"a\r\nb"));
    EXPECT_FALSE(matches(L"a\\nb", L"a\n\rb"));
    EXPECT_EQ(find(L"{\\n}", L"x\r\n").group0, L"\r");
}

TEST(RegExpMatch, SetsAndCase)
{
    expectSpan(L"[A-C]+", L"xbBcd", 1, 4);
    expectSpan(L"[-a]+", L"x-a", 1, 3);
    expectSpan(L"[a-c-]+", L"x-b", 1, 3);
    expectSpan(L"[\\]]", L"a]", 1, 2);
    expectSpan(L"[^a]", L"aAb", 2, 3);
    expectSpan(L"ABC", L"xabc", 1, 4);
    // Only A to Z are folded.
    EXPECT_FALSE(matches(L"\u00e9", L"\u00c9"));
    EXPECT_TRUE(matches(L"\u00e9", L"\u00e9"));
}

TEST(RegExpMatch, DotTakesLineBreaksButNotTheEnd)
{
    expectSpan(L"a.b", L"a\rb", 0, 3);
    expectSpan(L"a.b", L"a\nb", 0, 3);
    EXPECT_FALSE(matches(L"a.", L"a"));
    EXPECT_FALSE(matches(L"a[^x]", L"a"));
    expectSpan(L"x*", L"", 0, 0);
    EXPECT_FALSE(matches(L"a", L""));
}

TEST(RegExpMatch, ReportsGroupsAndEndInTheCallersText)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"{a}|{B}c"), 0);
    const wchar_t* text = L"xxbC";
    MatchResult result;
    const wchar_t* end = nullptr;
    ASSERT_TRUE(regExp.match(text, &result, &end));
    EXPECT_EQ(result.groupCount, 2u);
    EXPECT_EQ(result.groups[0].start, nullptr);
    EXPECT_EQ(result.groups[0].end, nullptr);
    EXPECT_EQ(result.groups[1].start, text + 2);
    EXPECT_EQ(result.groups[1].end, text + 3);
    EXPECT_EQ(result.matchStart, text + 2);
    EXPECT_EQ(end, text + 4);
}

TEST(RegExpMatch, RefusesMissingInputs)
{
    RegExp regExp;
    MatchResult result;
    EXPECT_FALSE(regExp.match(L"a", &result));
    ASSERT_EQ(regExp.compile(L"a"), 0);
    EXPECT_FALSE(regExp.match(nullptr, &result));
    EXPECT_FALSE(regExp.match(L"a", nullptr));
    ASSERT_EQ(regExp.compile(L"(a"), 3);
    EXPECT_FALSE(regExp.match(L"a", &result));
}

TEST(RegExpMatch, LongTextsGrowTheStack)
{
    const std::wstring text = std::wstring(5000, L'a') + L"b";
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"{a*}b"), 0);
    MatchResult result;
    ASSERT_TRUE(regExp.match(text.c_str(), &result));
    EXPECT_EQ(result.groups[0].end - result.groups[0].start, 5000);
    EXPECT_GT(result.stack.size(), 256u);
}

// Loops whose element can succeed without consuming (an empty or unset back-reference, a
// negation) must still end: each pass has to make progress.
TEST(RegExpMatch, LoopsWithoutProgressEnd)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"{x?}(a|\\0)*b"), 0);
    MatchResult result;
    EXPECT_FALSE(regExp.match(L"aac", &result));
    // Failing by exhausting the stack would also say "no match"; an honest failure needs
    // little of it.
    EXPECT_LE(result.stack.size(), 256u);
    expectSpan(L"{x?}(a|\\0)*b", L"aab", 0, 3);
    expectSpan(L"{x?}\\0*?y", L"zzy", 2, 3);
    expectSpan(L"{x?}\\0+y", L"zy", 1, 2);
    expectSpan(L"!a*?b", L"cb", 1, 2);
    expectSpan(L"(!a)+b", L"cb", 1, 2);
}

TEST(RegExpMatch, FailsCleanlyWhenTheStackCannotGrow)
{
    MatchResult result;
    result.depth = MatchResult::maxStackEntries - 1;
    EXPECT_FALSE(result.push(7));
    EXPECT_EQ(result.depth, MatchResult::maxStackEntries - 1);
}

TEST(RegExpMatch, InconsistentProgramsThrow)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"a|b"), 0);
    regExp.program[5].operand = 999;  // Jump past the end
    MatchResult result;
    try {
        regExp.match(L"b", &result);
        ADD_FAILURE() << "no PatternError";
    } catch (const PatternError& error) {
        EXPECT_EQ(error.code(), PATTERN_E_INVALIDARG);
    }
    ASSERT_EQ(regExp.compile(L"a"), 0);
    regExp.program[0] = Instruction{Opcode::Return, 0};  // backtracks with an empty stack
    EXPECT_THROW(regExp.match(L"a", &result), PatternError);
}

} // namespace
