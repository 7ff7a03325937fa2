// PatternError: the matcher's internal-failure exception and its HRESULT-style code.
#include "updater/regex/PatternError.h"

PatternError::PatternError(std::int32_t code) noexcept : errorCode(code) {}

std::int32_t PatternError::code() const noexcept
{
    return errorCode;
}

const char* PatternError::what() const noexcept
{
    switch (errorCode) {
    case PATTERN_E_INVALIDARG:
        return "pattern matcher: index out of range";
    case PATTERN_E_OUTOFMEMORY:
        return "pattern matcher: out of memory";
    default:
        return "pattern matcher: internal failure";
    }
}
