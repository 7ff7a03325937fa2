// collectMatches: successive matches over one text, each searched from where the previous one
// ended, with their group-0 texts gathered without duplicates.
#include "updater/regex/CollectMatches.h"

#include <cwchar>
#include <new>
#include <unordered_set>

#include "common/AsciiCase.h"
#include "updater/regex/MatchResult.h"
#include "updater/regex/PatternError.h"
#include "updater/regex/RegExp.h"

namespace {

// The list in the order found, with a set of case-folded keys so that each duplicate check
// costs the same however many texts are already listed.
class DistinctTexts {
public:
    explicit DistinctTexts(std::vector<std::wstring>& list) : list(list) {}

    void add(const wchar_t* start, const wchar_t* end)
    {
        std::wstring text(start, end);
        if (seen.insert(asciiLowered(text)).second)
            list.push_back(std::move(text));
    }

private:
    std::vector<std::wstring>& list;
    std::unordered_set<std::wstring> seen;
};

void collect(const RegExp& regExp, const wchar_t* text, std::size_t length, DistinctTexts& texts)
{
    MatchResult result;
    std::size_t from = 0;
    // Each search treats the rest of the text as a text of its own, so "^" anchors there.
    while (regExp.match(text + from, length - from, &result)) {
        if (regExp.groupCount == 0)
            throw PatternError(PATTERN_E_FAIL);
        const MatchResult::Span& group = result.groups[0];
        if (group.start && group.end && group.start <= group.end)
            texts.add(group.start, group.end < text + length ? group.end : text + length);
        const auto end = static_cast<std::size_t>(result.matchEnd - text);
        // After an empty match the next search starts one character on, or it would find the
        // same empty match for ever.
        from = result.matchEnd == result.matchStart ? end + 1 : end;
        if (from >= length)
            break;
    }
}

} // namespace

bool collectMatches(const std::wstring& pattern, const std::wstring& text, std::vector<std::wstring>& list)
{
    list.clear();
    if (pattern.c_str()[0] == 0 || text.c_str()[0] == 0)
        return false;
    try {
        RegExp regExp;
        if (regExp.compile(pattern.c_str()) != 0)
            return false;
        DistinctTexts texts(list);
        collect(regExp, text.c_str(), std::wcslen(text.c_str()), texts);
        return true;
    } catch (const std::bad_alloc&) {
        list.clear();
        return false;
    } catch (const PatternError&) {
        list.clear();
        throw;
    }
}
