// Random patterns in the syntax the dialect shares with ECMAScript (literals, sets, ".",
// greedy and lazy quantifiers, groups without alternation, a leading "^") must find the same
// leftmost match as std::wregex with icase, over random texts.
#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "updater/regex/MatchResult.h"
#include "updater/regex/RegExp.h"

namespace {

// Builds one pattern twice: in the dialect, and in ECMAScript syntax for std::wregex.
class PatternPair {
public:
    explicit PatternPair(std::mt19937& random) : random(random)
    {
        if (chance(8)) {
            dialect += L'^';
            ecmaScript += L'^';
        }
        sequence(0);
    }

    std::wstring dialect;
    std::wstring ecmaScript;

private:
    bool chance(unsigned oneIn) { return random() % oneIn == 0; }

    void add(const std::wstring& both) { add(both, both); }

    void add(const std::wstring& ours, const std::wstring& theirs)
    {
        dialect += ours;
        ecmaScript += theirs;
    }

    // Returns whether the sequence can match the empty text.
    bool sequence(int depth)
    {
        bool empty = true;
        const unsigned count = 1 + random() % 3;
        for (unsigned i = 0; i < count; ++i)
            empty = element(depth) && empty;
        return empty;
    }

    // Only elements that always consume get a quantifier: on an element that can match empty,
    // libstdc++ accepts an empty pass where ECMAScript (and the dialect) reject it.
    bool element(int depth)
    {
        static const wchar_t* const letters[] = {L"a", L"b", L"c", L"A", L"B"};
        static const wchar_t* const sets[] = {L"[ab]", L"[^a]", L"[a-b]", L"[B-C]", L"[^bc]", L"[c]"};
        bool empty = false;
        switch (random() % (depth < 2 ? 5 : 4)) {
        case 0:
        case 1:
            add(letters[random() % 5]);
            break;
        case 2:
            add(L".");
            break;
        case 3:
            add(sets[random() % 6]);
            break;
        default:
            add(L"(", L"(?:");
            empty = sequence(depth + 1);
            add(L")");
            break;
        }
        if (empty || !chance(2))
            return empty;
        static const wchar_t* const quantifiers[] = {L"*", L"+", L"?", L"*?", L"+?", L"??"};
        const unsigned which = random() % 6;
        add(quantifiers[which]);
        return which != 1 && which != 4;
    }

    std::mt19937& random;
};

std::wstring randomText(std::mt19937& random)
{
    static const wchar_t alphabet[] = L"abcABd";
    std::wstring text(random() % 9, L' ');
    for (wchar_t& c : text)
        c = alphabet[random() % 6];
    return text;
}

std::string narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Compares the leftmost match (start and end) of both engines on `texts` random texts.
void compareOnRandomTexts(RegExp& regExp, const PatternPair& pattern, std::mt19937& random, int texts)
{
    const std::wregex reference(pattern.ecmaScript, std::regex::ECMAScript | std::regex::icase);
    MatchResult result;
    for (int i = 0; i < texts; ++i) {
        const std::wstring text = randomText(random);
        std::wsmatch expected;
        const bool found = std::regex_search(text, expected, reference);
        const bool ours = regExp.match(text.c_str(), &result);
        ASSERT_EQ(ours, found) << narrow(pattern.dialect) << " over \"" << narrow(text) << "\"";
        if (!found)
            continue;
        EXPECT_EQ(result.matchStart - text.c_str(), expected.position(0))
            << narrow(pattern.dialect) << " over \"" << narrow(text) << "\"";
        EXPECT_EQ(result.matchEnd - result.matchStart, expected.length(0))
            << narrow(pattern.dialect) << " over \"" << narrow(text) << "\"";
    }
}

class RegExpDifferential : public ::testing::TestWithParam<unsigned> {};

TEST_P(RegExpDifferential, AgreesWithStdRegex)
{
    std::mt19937 random(GetParam());
    int compared = 0;
    for (int i = 0; i < 400; ++i) {
        const PatternPair pattern(random);
        RegExp regExp;
        // Loops over elements that can match the empty text are refused by the dialect.
        if (regExp.compile(pattern.dialect.c_str()) != 0)
            continue;
        compareOnRandomTexts(regExp, pattern, random, 12);
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, RegExpDifferential, ::testing::Values(1u, 2u, 3u, 20240607u));

} // namespace
