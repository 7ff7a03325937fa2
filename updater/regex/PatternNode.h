// PatternNode: one element of a parsed pattern (a character, a set, a group, a repetition...),
// with the two emptiness facts the compiler needs about it.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

struct PatternNode;
using PatternNodePtr = std::unique_ptr<PatternNode>;

struct PatternNode {
    enum class Kind : std::uint8_t {
        Char,        // `value` is the lower-cased character, 0 for the end of the text
        Any,         // "."
        Set,         // "[...]" or "[^...]": `negated`, `ranges`
        BackRef,     // "\N": `value` is the group number
        Group,       // "(...)": `children` is the sequence
        Capture,     // "{...}": `value` is the group number, `children` the sequence
        Alternation, // "E|F": children[0] is E, children[1] is F or null when nothing followed
        Repeat,      // E with a quantifier: `repeat`, children[0] is E
        Negation,    // "!E": children[0] is E
    };
    enum class Repeat : std::uint8_t { Star, Plus, Optional, LazyStar, LazyPlus, LazyOptional };

    Kind kind = Kind::Char;
    Repeat repeat = Repeat::Star;
    bool negated = false;
    std::uint32_t value = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges;
    std::vector<PatternNodePtr> children;

    // The dialect's rule for error 9: may this element match the empty text? (Back-references
    // count as never empty, negations as empty only when what they negate is.)
    bool canMatchEmpty = false;
    // The plain fact: can a successful pass over this element consume nothing? Besides the
    // above this holds for back-references (an empty or unset group) and every negation; loops
    // over such elements need a guard at run time so they cannot spin without progress.
    bool mayConsumeNothing = false;
};
