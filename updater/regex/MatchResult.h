// MatchResult: the working state and the outcome of one RegExp::match: where the match began
// and ended, the capture groups, and the slots and backtracking stack the program uses.
#pragma once

#include <cstdint>
#include <vector>

class MatchResult {
public:
    // Start and end of a capture group in the matched text; both null until the group takes part.
    struct Span {
        const wchar_t* start = nullptr;
        const wchar_t* end = nullptr;
    };

    // The stack may not grow beyond this many entries (256 MB): a pattern that needs more is
    // treated like one that ran out of memory, and the match fails.
    static constexpr std::uint32_t maxStackEntries = 1u << 26;

    MatchResult();

    std::uint32_t groupCount = 0;
    const wchar_t* matchStart = nullptr;
    const wchar_t* matchEnd = nullptr;
    std::vector<std::uint32_t> slots;
    std::vector<Span> groups;
    // Entry 0 is never used; depth 0 means empty.
    std::vector<std::uint32_t> stack;
    std::uint32_t depth = 0;

    // Sizes and clears groups and slots for a program and empties the stack; false when memory
    // is short.
    bool reset(std::uint32_t groupTotal, std::uint32_t slotTotal);

    // False when the stack cannot grow; the entry is then not pushed and the match must end.
    bool push(std::uint32_t value)
    {
        const std::uint32_t next = depth + 1;
        if (next >= stack.size() && !grow(next))
            return false;
        stack[next] = value;
        depth = next;
        return true;
    }

    // Throws PatternError on an empty stack.
    std::uint32_t pop()
    {
        if (depth == 0)
            failEmptyStack();
        return stack[depth--];
    }

private:
    bool grow(std::uint32_t newDepth);
    [[noreturn]] static void failEmptyStack();
};
