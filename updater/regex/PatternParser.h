// PatternParser: reads a pattern of the matcher's dialect into a tree of PatternNode and
// reports the dialect's compile errors in the order the pattern shows them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "updater/regex/CompileError.h"
#include "updater/regex/PatternNode.h"

class PatternParser {
public:
    // Deeper nesting than this (groups, negations, chained alternations) is refused with
    // OutOfMemory: the parser and the code generator recurse once per level, and a hostile
    // pattern must not be able to exhaust the thread's stack.
    static constexpr unsigned maxNesting = 1000;

    explicit PatternParser(const wchar_t* pattern);

    // Parses the whole pattern into `sequence` (a Group node whose children are the top-level
    // elements). May throw std::bad_alloc.
    CompileError parse(PatternNode& sequence);

    bool anchored() const { return anchoredAtStart; }
    std::uint32_t groupCount() const { return groups; }

private:
    wchar_t peek(std::size_t ahead = 0) const;
    bool fail(CompileError code);

    bool parseSequence(PatternNode& sequence, unsigned depth);
    bool parseAlternative(PatternNodePtr& out, unsigned depth);
    bool parseQuantified(PatternNodePtr& out, unsigned depth);
    bool parseAtom(PatternNodePtr& out, unsigned depth);
    bool parseGroup(PatternNodePtr& out, unsigned depth, bool capture);
    bool parseNegation(PatternNodePtr& out, unsigned depth);
    bool parseSet(PatternNodePtr& out);
    bool parseSetCharacter(std::uint32_t& c);
    bool parseEscape(PatternNodePtr& out, unsigned depth);
    bool parseBackReference(PatternNodePtr& out);
    bool parseExpansion(const wchar_t* expansion, PatternNodePtr& out, unsigned depth);

    const wchar_t* input;
    std::size_t at = 0;
    std::uint32_t groups = 0;
    bool anchoredAtStart = false;
    CompileError error = CompileError::None;
};
