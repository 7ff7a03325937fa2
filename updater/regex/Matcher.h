// Matcher: executes a compiled pattern over one text, backtracking with the explicit stack of
// a MatchResult (no recursion, so no text or pattern can exhaust the thread's stack).
#pragma once

#include <cstdint>
#include <vector>

#include "updater/regex/Instruction.h"
#include "updater/regex/MatchResult.h"

class Matcher {
public:
    // `text` holds `length` characters; the end of the text is at text[length], which is never
    // read. `result` must already be reset for the program.
    Matcher(const std::vector<Instruction>& program, const wchar_t* text, std::uint32_t length,
            MatchResult& result);

    // Searches for the leftmost match, taking the first one backtracking finds there. Fills
    // the result's positions either way; false on no match or when the stack could not grow.
    // Throws PatternError when the program is inconsistent.
    bool run();

    // The position where matching stopped: just after the match when there was one.
    std::uint32_t endOffset() const { return position; }

private:
    std::uint32_t character(std::uint32_t at) const;
    bool inRanges(std::uint32_t pc, std::uint32_t next, std::uint32_t c) const;
    bool matchBackReference(std::uint32_t group, std::uint32_t& pos) const;
    std::uint32_t checkedSlot(std::uint32_t slot) const;
    std::uint32_t checkedGroup(std::uint32_t group) const;
    std::uint32_t checkedPosition(std::uint32_t offset) const;
    std::uint32_t offsetOf(const wchar_t* at) const;
    const wchar_t* pointerTo(std::uint32_t offset) const;
    bool nextStart(std::uint32_t& searchStart, std::uint32_t first) const;
    bool finish(bool matched, std::uint32_t start);

    const Instruction* code;
    std::uint32_t size;
    const wchar_t* text;
    std::uint32_t length;
    MatchResult& result;
    std::uint32_t position = 0;
};
