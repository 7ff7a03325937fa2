// libFuzzer entry for the pattern matcher: the input is a pattern length, then UTF-16 code
// units (two bytes each, little-endian) for the pattern and the text. Every compiled pattern
// is run with match and collectMatches; results must stay inside the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "updater/regex/CollectMatches.h"
#include "updater/regex/MatchResult.h"
#include "updater/regex/PatternError.h"
#include "updater/regex/RegExp.h"

namespace {

constexpr std::size_t maxPatternLength = 24;

// Backtracking is exponential by design, so the text is kept short enough for the pattern's
// number of choice points (quantifiers, bars, looping abbreviations) to stay cheap.
std::size_t textLimit(const std::wstring& pattern)
{
    unsigned choices = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t c = pattern[i];
        if (c == L'*' || c == L'+' || c == L'?' || c == L'|')
            ++choices;
        else if (c == L'\\' && i + 1 < pattern.size())
            choices += std::wstring(L"wWzZqQnN").find(pattern[i + 1]) != std::wstring::npos ? 3 : 0;
    }
    if (choices <= 1)
        return 512;
    std::size_t length = 0;
    for (double paths = 1; paths * (choices + 1) <= 200000; paths *= choices + 1)
        ++length;
    return length;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool inside(const wchar_t* at, const std::wstring& text)
{
    return at >= text.c_str() && at <= text.c_str() + text.size() + 1;
}

void checkMatch(const RegExp& regExp, const std::wstring& text)
{
    MatchResult result;
    const wchar_t* end = nullptr;
    if (!regExp.match(text.c_str(), &result, &end))
        return;
    require(inside(result.matchStart, text) && inside(result.matchEnd, text));
    require(result.matchStart <= result.matchEnd && end == result.matchEnd);
    require(result.groups.size() == regExp.groupCount);
    for (const MatchResult::Span& group : result.groups)
        require((!group.start || inside(group.start, text)) && (!group.end || inside(group.end, text)));
}

void checkCollect(const std::wstring& pattern, const std::wstring& text, bool hasGroups)
{
    std::vector<std::wstring> list;
    try {
        collectMatches(pattern, text, list);
    } catch (const PatternError& error) {
        // The one documented throw: a pattern without any capture group that matches.
        require(!hasGroups && error.code() == PATTERN_E_FAIL);
    }
    for (const std::wstring& entry : list)
        require(entry.size() <= text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::vector<wchar_t> units;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        units.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    const std::size_t patternLength = std::min<std::size_t>(data[0] % (maxPatternLength + 1), units.size());
    // Both are read as C strings, up to their first NUL.
    const std::wstring pattern(units.begin(), units.begin() + patternLength);
    std::wstring text(units.begin() + patternLength, units.end());
    text.resize(std::min(text.size(), textLimit(pattern)));

    RegExp regExp;
    if (regExp.compile(pattern.c_str()) != 0)
        return 0;
    checkMatch(regExp, text);
    checkCollect(pattern, text, regExp.groupCount > 0);
    return 0;
}
