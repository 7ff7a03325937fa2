// MatchResult: sizing the arrays for a program and growing the backtracking stack.
#include "updater/regex/MatchResult.h"

#include <new>

#include "updater/regex/PatternError.h"

namespace {
// Room for ordinary patterns without ever growing.
constexpr std::uint32_t initialStackRoom = 256;
} // namespace

MatchResult::MatchResult() : stack(initialStackRoom) {}

bool MatchResult::reset(std::uint32_t groupTotal, std::uint32_t slotTotal)
{
    try {
        groups.assign(groupTotal, Span{});
        slots.assign(slotTotal, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    groupCount = groupTotal;
    matchStart = nullptr;
    matchEnd = nullptr;
    depth = 0;
    return true;
}

// When a push makes the depth reach the room available, the room grows to twice the new depth
// plus 2 (but never beyond maxStackEntries).
bool MatchResult::grow(std::uint32_t newDepth)
{
    if (newDepth >= maxStackEntries)
        return false;
    const std::uint32_t room = newDepth < maxStackEntries / 2 ? 2 * newDepth + 2 : maxStackEntries;
    try {
        stack.resize(room);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void MatchResult::failEmptyStack()
{
    throw PatternError(PATTERN_E_INVALIDARG);
}
