// RegExp: a pattern of the updater's own regular-expression dialect, compiled into a program
// for a backtracking matcher. Braces capture, parentheses only group, letter case is ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "updater/regex/CompileError.h"
#include "updater/regex/Instruction.h"

class MatchResult;

class RegExp {
public:
    // Result of the last compile: 0 or one of the CompileError codes.
    std::int32_t error = 0;
    std::vector<Instruction> program;
    // After compiling: the number of capture groups, and of slots the program uses.
    std::uint32_t groupCount = 0;
    std::uint32_t slotCount = 0;

    // Compiles the null-terminated `pattern`, replacing any previous program; returns the error
    // code, 0 on success. A null pattern returns 10 and changes nothing.
    std::int32_t compile(const wchar_t* pattern);

    // True when the pattern matches somewhere in the null-terminated `text`: the leftmost match,
    // the first one backtracking finds there. On success `result` holds the match and group
    // positions in `text` and `*end` (when given) the position just after the match. False on
    // no match, a missing text or result, a pattern that did not compile, or lack of memory.
    // Throws PatternError when the program is inconsistent.
    bool match(const wchar_t* text, MatchResult* result, const wchar_t** end = nullptr) const;

    // The same over the first `length` characters of `text`, taken as a text of its own (so
    // "^" anchors at `text`). text[length] is never read; a "$" match ends just past it.
    bool match(const wchar_t* text, std::size_t length, MatchResult* result,
               const wchar_t** end = nullptr) const;
};
