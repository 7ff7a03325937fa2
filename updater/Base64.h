// Strict base64 decoding (the standard alphabet with "=" padding) for keys and signatures that
// arrive as text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Decodes `text` into `bytes`, which is left empty on failure. Only the canonical form is
// accepted: a non-empty whole number of four-character groups, "=" only as the last one or two
// characters, no blanks or line breaks, and zero bits where padding leaves bits unused. Anything
// else returns false, since a key or a signature that only decodes by being lenient is not the
// one its publisher wrote.
bool decodeBase64(const std::wstring& text, std::vector<uint8_t>& bytes);
