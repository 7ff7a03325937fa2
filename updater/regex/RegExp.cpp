// RegExp: compiling a pattern (parse, then emit the program) and running it over a text.
#include "updater/regex/RegExp.h"

#include <cwchar>
#include <new>

#include "updater/regex/MatchResult.h"
#include "updater/regex/Matcher.h"
#include "updater/regex/PatternParser.h"
#include "updater/regex/ProgramBuilder.h"

namespace {
// Positions travel as 32-bit values and may reach one past the end of the text, and
// UINT32_MAX marks an unset capture, so longer texts are not matched.
constexpr std::size_t maxTextLength = UINT32_MAX - 2;

CompileError translate(const PatternNode& sequence, bool anchored, std::vector<Instruction>& program,
                       std::uint32_t& slotCount)
{
    ProgramBuilder builder(program, slotCount);
    return builder.build(sequence, anchored) ? CompileError::None : CompileError::OutOfMemory;
}
} // namespace

std::int32_t RegExp::compile(const wchar_t* pattern)
{
    if (!pattern)
        return static_cast<std::int32_t>(CompileError::NoPattern);
    program.clear();
    error = 0;
    groupCount = 0;
    slotCount = 0;
    CompileError result = CompileError::None;
    try {
        PatternParser parser(pattern);
        PatternNode sequence;
        sequence.kind = PatternNode::Kind::Group;
        result = parser.parse(sequence);
        groupCount = parser.groupCount();
        if (result == CompileError::None)
            result = translate(sequence, parser.anchored(), program, slotCount);
    } catch (const std::bad_alloc&) {
        result = CompileError::OutOfMemory;
    }
    error = static_cast<std::int32_t>(result);
    // A half-built program must never run.
    if (error != 0)
        program.clear();
    return error;
}

bool RegExp::match(const wchar_t* text, MatchResult* result, const wchar_t** end) const
{
    return text && match(text, std::wcslen(text), result, end);
}

bool RegExp::match(const wchar_t* text, std::size_t length, MatchResult* result,
                   const wchar_t** end) const
{
    if (!text || !result || error != 0 || program.empty() || length > maxTextLength)
        return false;
    if (!result->reset(groupCount, slotCount))
        return false;
    Matcher matcher(program, text, static_cast<std::uint32_t>(length), *result);
    const bool matched = matcher.run();
    if (end)
        *end = text + matcher.endOffset();
    return matched;
}
