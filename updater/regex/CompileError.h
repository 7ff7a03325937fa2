// The result codes of RegExp::compile. The numbers are part of the matcher's contract: callers
// and tests may compare against them directly.
#pragma once

#include <cstdint>

enum class CompileError : std::int32_t {
    None = 0,
    OutOfMemory = 1,       // also: nesting or program size beyond what the compiler accepts
    UnclosedCapture = 2,   // "{" without its "}"
    UnclosedGroup = 3,     // "(" without its ")"
    UnclosedSet = 4,       // "[" without its "]", or a range without its upper end
    BadAbbreviation = 5,   // an abbreviation's expansion did not compile
    EmptySet = 6,          // "[]" or "[^]"
    BadBackReference = 7,  // "\N" with N not below the capture groups opened so far
    ReversedRange = 8,     // a range whose upper end is below its lower end
    EmptyLoop = 9,         // "*", "+", "*?" or "+?" on an element that can match the empty text
    NoPattern = 10,        // a null pattern
};
