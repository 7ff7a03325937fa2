// RegExp::compile: the error codes, the program it produces for the basic constructs, and the
// limits that keep hostile patterns from exhausting the stack or memory.
#include <gtest/gtest.h>

#include <string>

#include "updater/regex/RegExp.h"

namespace {

std::int32_t compileResult(const std::wstring& pattern)
{
    RegExp regExp;
    return regExp.compile(pattern.c_str());
}

std::wstring repeated(const std::wstring& part, int times)
{
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

struct CompileCase {
    const wchar_t* pattern;
    std::int32_t error;
};

TEST(RegExpCompile, ReportsEachErrorCode)
{
    const CompileCase cases[] = {
        {L"[]", 6}, {L"[^]", 6}, {L"[a-", 4}, {L"[a-]", 4}, {L"[ab", 4}, {L"[\\", 4},
        {L"[\\]", 4}, {L"[z-a]", 8}, {L"[Z-a]", 8}, {L"{a", 2}, {L"{a)", 2}, {L"(a", 3},
        {L"(a}", 3}, {L"(a]", 3}, {L"\\1", 7}, {L"{a}\\1", 7}, {L"\\0{a}", 7},
        {L"(a*)*", 9}, {L"(a?)+", 9}, {L"(a*)+?", 9}, {L"(a+?)*", 9}, {L"()*", 9}, {L"{}+", 9},
        {L"(a|)*", 9}, {L"(!(a*))*", 9},
    };
    for (const CompileCase& c : cases)
        EXPECT_EQ(compileResult(c.pattern), c.error) << "pattern " << std::string(c.pattern, c.pattern + std::wcslen(c.pattern));
}

TEST(RegExpCompile, AcceptsTheDialectsEdgeForms)
{
    const wchar_t* const patterns[] = {
        L"(a*)?", L"(a+?)?", L"(a+)*", L"{a}\\0", L"{a{b}\\1}", L"a**", L"*a", L"a)b", L"xa|",
        L"\\A\\d\\D", L"\\a\\b\\c\\d\\h\\n\\q\\w\\z", L"[-a]", L"[a-c-]", L"[\\]]", L"[A-z]",
        L"()", L"{}", L"a\\", L"!a*", L"|*+?", L"^", L"$", L"b$x", L"!", L"(!)",
    };
    for (const wchar_t* pattern : patterns)
        EXPECT_EQ(compileResult(pattern), 0) << std::string(pattern, pattern + std::wcslen(pattern));
}

TEST(RegExpCompile, NullPatternKeepsThePreviousProgram)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"{a}b"), 0);
    const auto size = regExp.program.size();
    EXPECT_EQ(regExp.compile(nullptr), 10);
    EXPECT_EQ(regExp.error, 0);
    EXPECT_EQ(regExp.program.size(), size);
    EXPECT_EQ(regExp.groupCount, 1u);
}

TEST(RegExpCompile, RecompilingStartsAfresh)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"{a}{b}c*!d"), 0);
    EXPECT_EQ(regExp.groupCount, 2u);
    EXPECT_EQ(regExp.slotCount, 3u);
    ASSERT_EQ(regExp.compile(L"[a"), 4);
    EXPECT_EQ(regExp.error, 4);
    EXPECT_TRUE(regExp.program.empty());
    ASSERT_EQ(regExp.compile(L"x"), 0);
    EXPECT_EQ(regExp.groupCount, 0u);
    EXPECT_EQ(regExp.slotCount, 0u);
}

std::wstring listing(const RegExp& regExp)
{
    static const wchar_t* const names[] = {
        L"Nop", L"Char", L"Any", L"InSet", L"NotInSet", L"Jump", L"Call", L"Return", L"PushPos",
        L"PopPos", L"PushSlot", L"PopSlot", L"SavePos", L"SaveDepth", L"LoadPos", L"LoadDepth",
        L"FailIfNoProgress", L"BackRef", L"PushGroup", L"PopGroup", L"GroupStart", L"GroupEnd",
        L"Advance", L"Fail", L"Match",
    };
    std::wstring text;
    for (const Instruction& in : regExp.program)
        text += std::wstring(names[static_cast<int>(in.op)]) + L" " + std::to_wstring(in.operand) + L"; ";
    return text;
}

TEST(RegExpCompile, EmitsTheDocumentedProgramShapes)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"A"), 0);
    EXPECT_EQ(listing(regExp), L"Call 2; Advance 97; Char 97; Match 0; ");
    ASSERT_EQ(regExp.compile(L"^$"), 0);
    EXPECT_EQ(listing(regExp), L"Call 2; Fail 0; Char 0; Match 0; ");
    ASSERT_EQ(regExp.compile(L"{[^a-cX]}"), 0);
    EXPECT_EQ(listing(regExp), L"Call 2; Advance 0; PushGroup 0; GroupStart 0; Call 7; PopGroup 0; Return 0; "
                               L"NotInSet 12; Nop 97; Nop 99; Nop 120; Nop 120; GroupEnd 0; Match 0; ");
    ASSERT_EQ(regExp.compile(L"a|b"), 0);
    EXPECT_EQ(listing(regExp), L"Call 2; Advance 0; PushPos 0; Call 6; PopPos 0; Jump 8; Char 97; Jump 9; "
                               L"Char 98; Match 0; ");
    ASSERT_EQ(regExp.compile(L"a+"), 0);
    EXPECT_EQ(listing(regExp), L"Call 2; Advance 97; Char 97; PushSlot 0; SavePos 0; PushPos 0; Call 10; "
                               L"PopPos 0; PopSlot 0; Jump 14; Char 97; FailIfNoProgress 0; SavePos 0; "
                               L"Jump 3; Match 0; ");
}

TEST(RegExpCompile, PlusCopiesShareGroupNumbers)
{
    RegExp regExp;
    ASSERT_EQ(regExp.compile(L"{a{b}}+{c}"), 0);
    EXPECT_EQ(regExp.groupCount, 3u);
}

// Nesting is capped so that compiling can't overflow the stack; the cap is far beyond any
// pattern a person writes.
TEST(RegExpCompile, RefusesPathologicalNesting)
{
    EXPECT_EQ(compileResult(repeated(L"(", 1000) + L"a" + repeated(L")", 1000)), 0);
    EXPECT_EQ(compileResult(repeated(L"(", 1001) + L"a" + repeated(L")", 1001)), 1);
    EXPECT_EQ(compileResult(repeated(L"{", 1001) + L"a" + repeated(L"}", 1001)), 1);
    EXPECT_EQ(compileResult(repeated(L"!", 5000) + L"a"), 1);
    EXPECT_EQ(compileResult(repeated(L"a|", 5000) + L"a"), 1);
    EXPECT_EQ(compileResult(repeated(L"a|", 900) + L"a"), 0);
}

TEST(RegExpCompile, RefusesProgramsThatDoubleBeyondReason)
{
    // Every "+" compiles its element twice: 24 levels would need hundreds of millions of
    // instructions.
    EXPECT_EQ(compileResult(repeated(L"(", 24) + L"a" + repeated(L"+)", 24)), 1);
    EXPECT_EQ(compileResult(repeated(L"(", 8) + L"a" + repeated(L"+)", 8)), 0);
}

} // namespace
