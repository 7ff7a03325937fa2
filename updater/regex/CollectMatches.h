// collectMatches: the distinct texts that capture group 0 of a pattern takes over all the
// successive matches in a text (how the HTTP client reads values out of headers).
#pragma once

#include <string>
#include <vector>

// Empties `list`, then appends the text of capture group 0 (in the letter case of `text`) of
// each successive match, leaving out texts already listed when letter case is ignored. Returns
// false, with `list` empty, when `pattern` or `text` is empty, the pattern does not compile or
// memory runs out; otherwise true, also when nothing matched. Both strings are read up to their
// first NUL. The pattern must have a capture group: without one, the first match throws
// PatternError (PATTERN_E_FAIL).
bool collectMatches(const std::wstring& pattern, const std::wstring& text, std::vector<std::wstring>& list);
