// evaluateResponseHeaders: what the HTTP client keeps from a response's raw header block (charset,
// length, location, cookies). Standard C++ only, so that it also builds natively and is fuzzed there.
#pragma once

#include <cstdint>
#include <string>

// Reads `headers` (the raw block, lines separated by CR LF) into the fields the client keeps.
// `charset` (only when `takeCharset`), `contentLength` and `location` change only when their header
// is found; a length that does not fit counts as unknown (0). The response's cookies are appended
// to `receivedCookies`, which is then trimmed of spaces and ends in ";" unless it is empty.
void evaluateResponseHeaders(const std::wstring& headers, bool takeCharset, std::wstring& charset,
                             int32_t& contentLength, std::wstring& location, std::wstring& receivedCookies);
