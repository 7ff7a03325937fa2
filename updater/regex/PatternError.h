// PatternError: thrown by the pattern matcher on an internal consistency failure (never in
// well-formed use); it carries an HRESULT-style code.
#pragma once

#include <cstdint>
#include <exception>

// The HRESULT values the matcher reports, named apart from the <windows.h> macros so both can
// be seen in one translation unit.
constexpr std::int32_t PATTERN_E_INVALIDARG = static_cast<std::int32_t>(0x80070057u);
constexpr std::int32_t PATTERN_E_OUTOFMEMORY = static_cast<std::int32_t>(0x8007000Eu);
constexpr std::int32_t PATTERN_E_FAIL = static_cast<std::int32_t>(0x80004005u);

class PatternError : public std::exception {
public:
    explicit PatternError(std::int32_t code) noexcept;

    std::int32_t code() const noexcept;
    const char* what() const noexcept override;

private:
    std::int32_t errorCode;
};
